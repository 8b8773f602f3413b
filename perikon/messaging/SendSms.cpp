#include "perikon/messaging/SendSms.h"

#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/ModuleRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <dlfcn.h>

#include <cstring>
#include <exception>

namespace perikon::Common {
namespace {

using SmsCallFunction = int (*)(const char *config, char *reply, const char *payload);

const QString kTraceHeading = QStringLiteral("Contact-Common");
constexpr int kReplyBytes = 255;

// Error numbers as the host's callers know them: a library file that cannot be loaded, a library
// without the entry point.
constexpr qint64 kLibraryNotFound = 53;
constexpr qint64 kEntryPointNotFound = 453;

struct SmsCallError
{
    qint64 number;
    QString description;
};

QString smsClientPath()
{
    const QString overridden = qEnvironmentVariable("PERIKON_SMS_CLIENT");
    if (!overridden.isEmpty())
        return overridden;
    // The client is installed beside the component, whichever folder that is.
    Dl_info info{};
    QString folder = QDir::currentPath();
    if (dladdr(reinterpret_cast<void *>(&smsClientPath), &info) && info.dli_fname)
        folder = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QDir(folder).filePath(QStringLiteral("libperikon-smsclient.so"));
}

SmsCallFunction loadSmsCall()
{
    // Never unloaded: the library may keep a worker thread of its own.
    QLibrary library(smsClientPath());
    if (!library.load())
        throw SmsCallError{kLibraryNotFound,
                           QStringLiteral("The SMS client library cannot be loaded: %1")
                               .arg(library.errorString())};
    auto function = reinterpret_cast<SmsCallFunction>(library.resolve("SMSCall"));
    if (!function)
        throw SmsCallError{kEntryPointNotFound,
                           QStringLiteral("The SMS client library %1 has no function SMSCall.")
                               .arg(library.fileName())};
    return function;
}

void trace(const QString &detail)
{
    try {
        internal::uiHelper().WriteTrace(kTraceHeading, detail, false);
    } catch (const HostServiceMissing &) {
        // No helper, no trace: the message has been handed over all the same.
    }
}

} // namespace

QString maskSmsConfig(const QString &config)
{
    QStringList pairs = config.split(QLatin1Char(';'));
    for (QString &pair : pairs) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const QString key = pair.left(equals).trimmed().toLower();
        if (key == QLatin1String("token") || key == QLatin1String("password"))
            pair = pair.left(equals + 1) + QStringLiteral("***");
    }
    return pairs.join(QLatin1Char(';'));
}

void sendSMS(const QString &config, const QList<QStringList> &table, QString &report)
{
    const QStringList recipients = table.value(0);
    const QStringList texts = table.value(1);
    const qsizetype messages = qMax(recipients.size(), texts.size());
    SmsCallFunction smsCall = nullptr;
    try {
        for (qsizetype i = 0; i < messages; ++i) {
            const QString to = recipients.value(i);
            const QString text = texts.value(i);
            if (text.trimmed().isEmpty()) {
                report += GetResFormat(QStringLiteral("K2.CRM.COMMON.SMSNullContent"), {});
                continue;
            }
            if (to.trimmed().isEmpty()) {
                report += GetResFormat(QStringLiteral("K2.CRM.COMMON.SMSNullMobil"), {});
                continue;
            }
            if (!smsCall)
                smsCall = loadSmsCall();
            char reply[kReplyBytes + 1];
            std::memset(reply, ' ', kReplyBytes);
            reply[kReplyBytes] = '\0';
            const int result = smsCall(config.toUtf8().constData(), reply,
                                       (to + QLatin1Char(',') + text).toUtf8().constData());
            trace(QStringLiteral("显示发送短信后的返回信息===============")
                  + QString::number(result));
            trace(QStringLiteral("发送的手机号===============") + to);
            trace(QStringLiteral("配置中心信息===============") + maskSmsConfig(config));
            report += GetResText(result == 1 ? QStringLiteral("K2.CRM.COMMON.SMSSendSucc")
                                             : QStringLiteral("K2.CRM.COMMON.SMSSendFail"));
        }
    } catch (const SmsCallError &error) {
        report += error.description;
        WriteErrorLog(QStringLiteral("Perikon.Common.sendSMS"), true,
                      ErrorInfo{error.number, error.description, QStringLiteral("Perikon.Common")});
    } catch (const std::exception &error) {
        const QString description = QString::fromUtf8(error.what());
        report += description;
        WriteErrorLog(QStringLiteral("Perikon.Common.sendSMS"), true,
                      ErrorInfo{0, description, QStringLiteral("Perikon.Common")});
    }
}

namespace {
// Bridge arguments: configuration, recipients per message, texts per message, report (in, out).
const bool registered = ModuleRegistry::registerFunction(
    QStringLiteral("Common"), QStringLiteral("sendSMS"), [](QVariantList &args) {
        if (args.size() < 4)
            args.resize(4);
        QString report = args.at(3).toString();
        sendSMS(args.at(0).toString(), {args.at(1).toStringList(), args.at(2).toStringList()},
                report);
        args[3] = report;
        return QVariant();
    });
} // namespace

} // namespace perikon::Common
