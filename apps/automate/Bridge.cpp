#include "apps/automate/Bridge.h"

#include "apps/automate/JsonValues.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/entry/CreateObject.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/session/ClassRegistry.h"
#include "perikon/session/GlobalRegistry.h"
#include "perikon/session/ModuleRegistry.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteServices.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>

#include <exception>
#include <vector>

namespace perikon::automation {
namespace {

// "obj.Member" -> ("obj", "Member"); the member is what follows the last point.
std::pair<QString, QString> splitTarget(const QString &target)
{
    const qsizetype dot = target.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == target.size() - 1)
        return {};
    return {target.left(dot), target.mid(dot + 1)};
}

QMetaType parameterType(const QMetaMethod &method, int index)
{
    QMetaType type = method.parameterMetaType(index);
    if (type.isValid())
        return type;
    QByteArray name = method.parameterTypeName(index);
    if (name.endsWith('&'))
        name.chop(1);
    return QMetaType::fromName(name);
}

bool isObjectPointer(QMetaType type)
{
    return type.flags().testFlag(QMetaType::PointerToQObject);
}

} // namespace

Bridge::Bridge()
    : m_root(std::make_unique<QObject>())
    , m_windowVerbs([this](const QString &name, QObject *window) { keep(name, window); })
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
}

Bridge::~Bridge() = default;

QString Bridge::handleLine(const QString &line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
    QJsonObject reply;
    if (error.error != QJsonParseError::NoError || !document.isObject())
        reply
            = failure(QStringLiteral("request is not a JSON object: %1").arg(error.errorString()));
    else
        reply = handle(document.object());
    return QString::fromUtf8(QJsonDocument(reply).toJson(QJsonDocument::Compact));
}

QJsonObject Bridge::handle(const QJsonObject &request)
{
    QJsonObject reply = dispatch(request);
    if (request.contains(QLatin1String("id")))
        reply.insert(QStringLiteral("id"), request.value(QLatin1String("id")));
    return reply;
}

QJsonObject Bridge::dispatch(const QJsonObject &request)
{
    try {
        if (request.contains(QLatin1String("ui")))
            return m_windowVerbs.handle(request);
        if (request.contains(QLatin1String("new")))
            return createObject(request);
        if (request.contains(QLatin1String("call")))
            return call(request);
        if (request.contains(QLatin1String("get")))
            return getProperty(request);
        if (request.contains(QLatin1String("set")))
            return setProperty(request);
        if (request.contains(QLatin1String("global")))
            return getGlobal(request);
        if (request.contains(QLatin1String("setglobal")))
            return setGlobal(request);
        if (request.contains(QLatin1String("file")))
            return readFile(request);
        if (request.contains(QLatin1String("answers"))) {
            QList<int> answers;
            for (const QJsonValue &v : request.value(QLatin1String("answers")).toArray())
                answers.append(v.toInt());
            suite::MessageBoxScript::queueAnswers(answers);
            return success();
        }
        if (request.contains(QLatin1String("messages"))) {
            QJsonObject reply = success();
            reply.insert(QStringLiteral("messages"),
                         QJsonArray::fromStringList(suite::MessageBoxScript::takeShownMessages()));
            return reply;
        }
        return failure(
            QStringLiteral("unknown request: %1")
                .arg(QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact))));
    } catch (const std::exception &e) {
        return failure(QString::fromUtf8(e.what()));
    } catch (...) {
        return failure(QStringLiteral("unexpected error"));
    }
}

// A file a window wrote (an export): its size and, when it is UTF-8 text, the text; a PDF's page
// count; with "member", the text of that member of a zip file (an Excel workbook).
QJsonObject Bridge::readFile(const QJsonObject &request)
{
    const QString path = request.value(QLatin1String("file")).toString();
    QFile file(path);
    if (!file.exists())
        return failure(QStringLiteral("no file %1").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    QJsonObject reply = success();
    reply.insert(QStringLiteral("size"), double(bytes.size()));
    const QString member = request.value(QLatin1String("member")).toString();
    if (!member.isEmpty()) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, member});
        if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
            return failure(QStringLiteral("%1 has no member %2").arg(path, member));
        reply.insert(QStringLiteral("text"), QString::fromUtf8(unzip.readAllStandardOutput()));
        return reply;
    }
    if (bytes.startsWith("%PDF")) {
        // Each page object names its type; the page tree names "/Pages".
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
        const QString text = QString::fromLatin1(bytes);
        reply.insert(QStringLiteral("pages"), double(text.count(page)));
        static const QRegularExpression box(QStringLiteral(
            "/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)"));
        if (const QRegularExpressionMatch first = box.match(text); first.hasMatch()) {
            const double width = first.captured(3).toDouble() - first.captured(1).toDouble();
            const double height = first.captured(4).toDouble() - first.captured(2).toDouble();
            reply.insert(QStringLiteral("landscape"), width > height);
        }
        return reply;
    }
    // A byte-order mark stays in the text: whether a file has one is part of what it is.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        reply.insert(QStringLiteral("text"), text);
    return reply;
}

QJsonObject Bridge::createObject(const QJsonObject &request)
{
    const QString progId = request.value(QLatin1String("new")).toString();
    const QString name = request.value(QLatin1String("as")).toString();
    if (name.isEmpty())
        return failure(QStringLiteral("\"new\" needs a name in \"as\""));
    QObject *created = nullptr;
    if (progId.startsWith(QLatin1String("Perikon."), Qt::CaseInsensitive))
        created = perikon_create_object(progId.toUtf8().constData());
    else
        created = HostRegistry::create(progId).release();
    if (!created)
        return failure(QStringLiteral("no class named %1").arg(progId));
    keep(name, created);
    return success();
}

QObject *Bridge::object(const QString &name) const
{
    return m_objects.value(name);
}

void Bridge::keep(const QString &name, QObject *object)
{
    // A window belongs to the application; the bridge only names it.
    if (!object->parent() && !object->isWidgetType())
        object->setParent(m_root.get());
    QObject *previous = m_objects.value(name);
    m_objects.insert(name, object);
    if (previous && previous != object && previous->parent() == m_root.get()
        && std::find(m_objects.cbegin(), m_objects.cend(), previous) == m_objects.cend())
        delete previous;
    QObject::connect(object, &QObject::destroyed, m_root.get(), [this, name, object] {
        if (m_objects.value(name) == object)
            m_objects.remove(name);
    });
}

QJsonObject Bridge::call(const QJsonObject &request)
{
    const auto [owner, member] = splitTarget(request.value(QLatin1String("call")).toString());
    if (owner.isEmpty())
        return failure(QStringLiteral("\"call\" needs \"object.Method\" or \"Module.Function\""));
    const QJsonArray args = request.value(QLatin1String("args")).toArray();
    const QString keepAs = request.value(QLatin1String("as")).toString();
    if (QObject *target = object(owner))
        return callMethod(target, member, args, keepAs);
    return callModuleFunction(owner, member, args, keepAs);
}

QJsonObject Bridge::callMethod(QObject *target, const QString &method, const QJsonArray &args,
                               const QString &keepAs)
{
    const QMetaObject *meta = target->metaObject();
    QMetaMethod chosen;
    bool nameFound = false;
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod candidate = meta->method(i);
        if (candidate.access() != QMetaMethod::Public || candidate.name() != method.toUtf8())
            continue;
        nameFound = true;
        if (candidate.parameterCount() == args.size()) {
            chosen = candidate;
            break;
        }
    }
    if (!chosen.isValid()) {
        return failure(nameFound ? QStringLiteral("%1.%2 does not take %3 arguments")
                                       .arg(QString::fromUtf8(meta->className()), method)
                                       .arg(args.size())
                                 : QStringLiteral("%1 has no method %2")
                                       .arg(QString::fromUtf8(meta->className()), method));
    }

    std::vector<QVariant> storage;
    storage.reserve(args.size() + 1);
    std::vector<void *> argv(args.size() + 1, nullptr);
    const QMetaType returnType = chosen.returnMetaType();
    const bool returnsValue = returnType.isValid() && returnType.id() != QMetaType::Void;
    if (returnsValue) {
        storage.emplace_back(returnType);
        argv[0] = storage.back().data();
    }
    for (int i = 0; i < args.size(); ++i) {
        const QMetaType type = parameterType(chosen, i);
        if (!type.isValid())
            return failure(QStringLiteral("%1: argument %2 has a type the bridge cannot pass (%3)")
                               .arg(method)
                               .arg(i + 1)
                               .arg(QString::fromUtf8(chosen.parameterTypeName(i))));
        storage.push_back(fromJson(args.at(i), type));
        argv[i + 1] = storage.back().data();
    }

    QMetaObject::metacall(target, QMetaObject::InvokeMetaMethod, chosen.methodIndex(), argv.data());

    QJsonObject reply = success();
    const qsizetype firstArg = returnsValue ? 1 : 0;
    reply.insert(QStringLiteral("result"),
                 returnsValue ? toJson(storage.front(), keepAs) : QJsonValue(QJsonValue::Null));
    QJsonArray outArgs;
    for (qsizetype i = firstArg; i < qsizetype(storage.size()); ++i)
        outArgs.append(toJson(storage[i], {}));
    reply.insert(QStringLiteral("args"), outArgs);
    return reply;
}

QJsonObject Bridge::callModuleFunction(const QString &module, const QString &function,
                                       const QJsonArray &args, const QString &keepAs)
{
    QVariantList values;
    for (const QJsonValue &arg : args)
        values.append(fromJson(arg, QMetaType::fromType<QVariant>()).value<QVariant>());
    const std::optional<QVariant> result = ModuleRegistry::call(module, function, values);
    if (!result)
        return failure(
            QStringLiteral("no object or module function named %1.%2").arg(module, function));
    QJsonObject reply = success();
    reply.insert(QStringLiteral("result"), toJson(*result, keepAs));
    QJsonArray outArgs;
    for (const QVariant &v : values)
        outArgs.append(toJson(v, {}));
    reply.insert(QStringLiteral("args"), outArgs);
    return reply;
}

// The object and property a "get"/"set" request names, or the failure reply.
std::variant<std::pair<QObject *, QMetaProperty>, QJsonObject>
Bridge::property(const QString &target) const
{
    const auto [owner, member] = splitTarget(target);
    QObject *found = object(owner);
    if (!found)
        return failure(QStringLiteral("no object named %1").arg(owner));
    const QMetaObject *meta = found->metaObject();
    const int index = meta->indexOfProperty(member.toUtf8().constData());
    if (index < 0)
        return failure(QStringLiteral("%1 has no property %2")
                           .arg(QString::fromUtf8(meta->className()), member));
    return std::pair{found, meta->property(index)};
}

QJsonObject Bridge::getProperty(const QJsonObject &request)
{
    const auto found = property(request.value(QLatin1String("get")).toString());
    if (const auto *reply = std::get_if<QJsonObject>(&found))
        return *reply;
    const auto &[target, prop] = std::get<std::pair<QObject *, QMetaProperty>>(found);
    QJsonObject reply = success();
    reply.insert(QStringLiteral("result"), toJson(prop.read(target), {}));
    return reply;
}

QJsonObject Bridge::setProperty(const QJsonObject &request)
{
    const auto found = property(request.value(QLatin1String("set")).toString());
    if (const auto *reply = std::get_if<QJsonObject>(&found))
        return *reply;
    const auto &[target, prop] = std::get<std::pair<QObject *, QMetaProperty>>(found);
    if (!prop.isWritable())
        return failure(
            QStringLiteral("property %1 is read-only").arg(QString::fromUtf8(prop.name())));
    if (!prop.write(target, fromJson(request.value(QLatin1String("value")), prop.metaType())))
        return failure(
            QStringLiteral("property %1 refused the value").arg(QString::fromUtf8(prop.name())));
    return success();
}

QJsonObject Bridge::getGlobal(const QJsonObject &request)
{
    const QString name = request.value(QLatin1String("global")).toString();
    const std::optional<QVariant> value = GlobalRegistry::get(name);
    if (!value)
        return failure(QStringLiteral("no session value named %1").arg(name));
    QJsonObject reply = success();
    reply.insert(QStringLiteral("result"), toJson(*value, {}));
    return reply;
}

QJsonObject Bridge::setGlobal(const QJsonObject &request)
{
    const QString name = request.value(QLatin1String("setglobal")).toString();
    const QVariant value
        = fromJson(request.value(QLatin1String("value")), QMetaType::fromType<QVariant>())
              .value<QVariant>();
    if (!GlobalRegistry::set(name, value))
        return failure(QStringLiteral("no settable session value named %1").arg(name));
    return success();
}

QVariant Bridge::fromJson(const QJsonValue &value, QMetaType type) const
{
    const bool wantsVariant = type == QMetaType::fromType<QVariant>();
    if (value.isObject() && value.toObject().contains(QLatin1String("ref"))) {
        const QString name = value.toObject().value(QLatin1String("ref")).toString();
        QObject *referenced = object(name);
        if (!referenced)
            throw std::runtime_error(QStringLiteral("no object named %1").arg(name).toStdString());
        if (wantsVariant)
            return QVariant::fromValue(QVariant::fromValue(referenced));
        if (!isObjectPointer(type))
            throw std::runtime_error(QStringLiteral("object %1 passed where %2 is expected")
                                         .arg(name, QString::fromUtf8(type.name()))
                                         .toStdString());
        if (type.metaObject() && !referenced->inherits(type.metaObject()->className()))
            throw std::runtime_error(
                QStringLiteral("object %1 is no %2")
                    .arg(name, QString::fromUtf8(type.metaObject()->className()))
                    .toStdString());
        return QVariant(type, &referenced);
    }
    // JSON null is the system's Null: an empty variant, never a value that reads as empty text.
    const bool null = value.isNull() || value.isUndefined();
    if (wantsVariant)
        return QVariant::fromValue(null ? QVariant() : value.toVariant());
    if (null)
        return QVariant(type);
    QVariant converted = value.toVariant();
    if (converted.metaType() != type && !converted.convert(type))
        throw std::runtime_error(
            QStringLiteral("cannot pass %1 as %2")
                .arg(QString::fromUtf8(
                         QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)),
                     QString::fromUtf8(type.name()))
                .toStdString());
    return converted;
}

QJsonValue Bridge::toJson(const QVariant &value, const QString &keepAs)
{
    if (value.metaType() == QMetaType::fromType<QVariant>())
        return toJson(value.value<QVariant>(), keepAs);
    if (!value.isValid() || value.isNull()) {
        if (!isObjectPointer(value.metaType()))
            return QJsonValue(QJsonValue::Null);
    }
    if (isObjectPointer(value.metaType())) {
        QObject *obj = *static_cast<QObject *const *>(value.constData());
        if (!obj)
            return QJsonValue(QJsonValue::Null);
        if (!keepAs.isEmpty())
            keep(keepAs, obj);
        else if (!obj->parent() && !obj->isWidgetType())
            obj->setParent(m_root.get()); // results with no owner live as long as the bridge
        if (std::optional<QJsonObject> asValue = objectAsValue(obj))
            return *asValue;
        const QString name = m_objects.key(obj);
        if (!name.isEmpty())
            return QJsonObject{{QStringLiteral("ref"), name}};
        return QJsonObject{
            {QStringLiteral("object"), QString::fromUtf8(obj->metaObject()->className())}};
    }
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toString(db::kDateTimeFormat);
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toBase64());
    case QMetaType::QStringList:
        return QJsonArray::fromStringList(value.toStringList());
    case QMetaType::QVariantList: {
        QJsonArray array;
        for (const QVariant &item : value.toList())
            array.append(toJson(item, {}));
        return array;
    }
    default:
        break;
    }
    return QJsonValue::fromVariant(value);
}

} // namespace perikon::automation
