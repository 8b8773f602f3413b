#include "suite/services/SuitePubService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/DbError.h"
#include "suite/services/SuiteSql.h"

#include <QDateTime>

namespace perikon::suite {
namespace {

// Backends hand the time back in their own text form ("2026-03-01 09:05:07.123",
// "2026-03-01T09:05:07", a PostgreSQL timestamp with fractions ...).
QDateTime parseServerTime(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const QStringView format : {db::kDateTimeMillisFormat, db::kDateTimeFormat}) {
        const QDateTime parsed = QDateTime::fromString(trimmed, format);
        if (parsed.isValid())
            return parsed;
    }
    QDateTime parsed = QDateTime::fromString(trimmed, Qt::ISODateWithMs);
    if (!parsed.isValid())
        parsed = QDateTime::fromString(trimmed.left(19), db::kDateTimeFormat);
    return parsed;
}

} // namespace

QString SuitePubService::GetSrvTime(QObject *&ICom)
{
    db::Connection *connection = connectionOf(ICom);
    if (!connection)
        return {};
    try {
        const QList<QStringList> rows = queryRows(*connection, QStringLiteral("select getdate()"));
        if (rows.isEmpty() || rows.first().isEmpty())
            return {};
        const QDateTime time = parseServerTime(rows.first().first());
        return time.isValid() ? time.toString(db::kDateTimeFormat) : QString();
    } catch (const db::DbError &) {
        return {};
    }
}

} // namespace perikon::suite
