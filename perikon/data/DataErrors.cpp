#include "perikon/data/DataErrors.h"

#include "perikon/data/db/DbError.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/session/ErrorLog.h"

namespace perikon::internal {
namespace {
// The classic numbers for a missing host object and for any other run-time failure.
constexpr qint64 kCannotCreateObject = 429;
constexpr qint64 kApplicationError = 440;
} // namespace

ErrorInfo currentError()
{
    try {
        throw;
    } catch (const db::DbError &e) {
        return {e.number(), e.description(), e.source()};
    } catch (const HostServiceMissing &e) {
        return {kCannotCreateObject, QString::fromUtf8(e.what()), QStringLiteral("Perikon")};
    } catch (const std::exception &e) {
        return {kApplicationError, QString::fromUtf8(e.what()), QStringLiteral("Perikon")};
    } catch (...) {
        return {kApplicationError, QStringLiteral("unknown error"), QStringLiteral("Perikon")};
    }
}

void logDataError(const QString &module, const QString &procedure, const ErrorInfo &error,
                  const QString &descriptionPrefix)
{
    WriteSrvTransLog(module, procedure, error.number, descriptionPrefix + error.description);
}

QString dataMessage(const QString &key)
{
    try {
        return GetResServiceText(key);
    } catch (...) {
        return {};
    }
}

QString connectionFailedMessage()
{
    return dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0003")) + QStringLiteral("\r\n")
           + dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0004"));
}

} // namespace perikon::internal
