#include "apps/automate/JsonValues.h"

#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/Recordset.h"

#include <QDateTime>
#include <QJsonArray>

namespace perikon::automation {
namespace {

QJsonValue cellToJson(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue(QJsonValue::Null);
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toString(db::kDateTimeFormat);
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toBase64());
    default:
        return QJsonValue::fromVariant(value);
    }
}

} // namespace

std::optional<QJsonObject> objectAsValue(QObject *object)
{
    auto *rs = qobject_cast<db::Recordset *>(object);
    if (!rs)
        return std::nullopt;
    QJsonArray fields;
    QJsonArray rows;
    if (rs->state() == 1) {
        for (int i = 0; i < rs->fieldCount(); ++i) {
            const db::Field field = rs->field(i);
            fields.append(QJsonObject{{QStringLiteral("name"), field.name()},
                                      {QStringLiteral("type"), field.type()},
                                      {QStringLiteral("size"), double(field.definedSize())}});
        }
        // A clone walks the rows, so the caller's cursor stays where it was.
        std::unique_ptr<db::Recordset> walker = rs->clone();
        if (walker->recordCount() > 0) {
            for (walker->moveFirst(); !walker->eof(); walker->moveNext()) {
                QJsonArray row;
                for (int i = 0; i < walker->fieldCount(); ++i)
                    row.append(cellToJson(walker->value(i)));
                rows.append(row);
            }
        }
    }
    QJsonObject body{{QStringLiteral("fields"), fields}, {QStringLiteral("rows"), rows}};
    if (rs->state() != 1)
        body.insert(QStringLiteral("closed"), true);
    return QJsonObject{{QStringLiteral("recordset"), body}};
}

QJsonObject success()
{
    return QJsonObject{{QStringLiteral("ok"), true}};
}

QJsonObject failure(const QString &error)
{
    return QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}};
}

} // namespace perikon::automation
