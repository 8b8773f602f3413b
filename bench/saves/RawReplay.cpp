#include "RawReplay.h"

#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/PgResultHandle.h"
#include "perikon/data/db/PostgresDriver.h"
#include "perikon/data/db/SqliteDriver.h"
#include "perikon/data/db/SqliteStatementHandle.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <libpq-fe.h>
#include <sqlite3.h>

namespace perikon::bench {

namespace {

// The parameter forms the drivers send; byte arrays are the only binary values.
struct PgParameters
{
    explicit PgParameters(const QVariantList &values)
    {
        for (const QVariant &value : values) {
            const bool binary = value.typeId() == QMetaType::QByteArray;
            if (value.isNull())
                storage.push_back({});
            else if (binary)
                storage.push_back(value.toByteArray());
            else if (value.typeId() == QMetaType::Bool)
                storage.push_back(value.toBool() ? "1" : "0");
            else if (value.typeId() == QMetaType::Double)
                storage.push_back(QByteArray::number(value.toDouble(), 'g', 17));
            else if (value.typeId() == QMetaType::QDateTime)
                storage.push_back(value.toDateTime().toString(db::kDateTimeMillisFormat).toUtf8());
            else
                storage.push_back(value.toString().toUtf8());
            types.push_back(binary && !value.isNull() ? 17 : 0);
            formats.push_back(binary ? 1 : 0);
        }
        for (std::size_t i = 0; i < storage.size(); ++i) {
            pointers.push_back(values.at(qsizetype(i)).isNull() ? nullptr : storage[i].constData());
            lengths.push_back(int(storage[i].size()));
        }
    }

    std::vector<QByteArray> storage;
    std::vector<const char *> pointers;
    std::vector<int> lengths;
    std::vector<Oid> types;
    std::vector<int> formats;
};

void bindSqlite(sqlite3_stmt *statement, const QVariantList &parameters)
{
    for (int i = 0; i < parameters.size(); ++i) {
        const QVariant &value = parameters.at(i);
        switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
        case QMetaType::UnknownType:
            sqlite3_bind_null(statement, i + 1);
            break;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::LongLong:
            sqlite3_bind_int64(statement, i + 1, value.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(statement, i + 1, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob64(statement, i + 1, bytes.constData(), bytes.size(),
                                SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDateTime:
            sqlite3_bind_text(statement, i + 1,
                              value.toDateTime().toString(db::kDateTimeFormat).toUtf8(), -1,
                              SQLITE_TRANSIENT);
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text64(statement, i + 1, text.constData(), text.size(), SQLITE_TRANSIENT,
                                SQLITE_UTF8);
            break;
        }
        }
    }
}

void fail(ReplayResult &result, const QString &sql, const QString &message)
{
    if (result.failures++ == 0)
        result.firstFailure = message + QStringLiteral("\n  ") + sql;
}

void replaySqlite(sqlite3 *db, const CapturedStatement &captured, ReplayResult &result,
                  qint64 &checksum)
{
    const QByteArray utf8 = captured.sql.toUtf8();
    const char *next = utf8.constData();
    const char *const end = next + utf8.size();
    while (next < end) {
        db::SqliteStatementHandle statement;
        if (db::prepareSqliteStatement(db, next, int(end - next), statement, &next) != SQLITE_OK) {
            fail(result, captured.sql, QString::fromUtf8(sqlite3_errmsg(db)));
            return;
        }
        if (!statement)
            return;
        bindSqlite(statement.get(), captured.parameters);
        const int columns = sqlite3_column_count(statement.get());
        int rc;
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) {
                if (sqlite3_column_type(statement.get(), i) == SQLITE_INTEGER)
                    checksum += sqlite3_column_int64(statement.get(), i);
                else if (sqlite3_column_text(statement.get(), i))
                    checksum += sqlite3_column_bytes(statement.get(), i);
            }
        }
        if (rc != SQLITE_DONE)
            fail(result, captured.sql, QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

void replayPostgres(PGconn *conn, const CapturedStatement &captured, ReplayResult &result,
                    qint64 &checksum)
{
    const QByteArray text = captured.sql.toUtf8();
    auto check = [&](PGresult *raw) {
        const db::PgResultHandle handle(raw);
        const ExecStatusType status = PQresultStatus(raw);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            fail(result, captured.sql, QString::fromUtf8(PQresultErrorMessage(raw)).trimmed());
        for (int row = 0; row < PQntuples(raw); ++row) {
            for (int column = 0; column < PQnfields(raw); ++column)
                checksum += PQgetlength(raw, row, column);
        }
    };
    if (captured.parameters.isEmpty() && captured.sql.contains(u';')) {
        // A batch of statements goes as one simple query, as the driver sends it.
        if (!PQsendQuery(conn, text.constData())) {
            fail(result, captured.sql, QString::fromUtf8(PQerrorMessage(conn)));
            return;
        }
        while (PGresult *raw = PQgetResult(conn))
            check(raw);
        return;
    }
    const PgParameters bound(captured.parameters);
    check(PQexecParams(conn, text.constData(), int(bound.pointers.size()), bound.types.data(),
                       bound.pointers.data(), bound.lengths.data(), bound.formats.data(), 0));
}

} // namespace

ReplayResult replayRaw(db::Driver &driver, std::span<const CapturedStatement> statements)
{
    ReplayResult result;
    qint64 checksum = 0;
    QElapsedTimer timer;
    if (auto *sqlite = dynamic_cast<db::SqliteDriver *>(&driver)) {
        timer.start();
        for (const CapturedStatement &statement : statements)
            replaySqlite(sqlite->handle(), statement, result, checksum);
    } else if (auto *postgres = dynamic_cast<db::PostgresDriver *>(&driver)) {
        timer.start();
        for (const CapturedStatement &statement : statements)
            replayPostgres(postgres->handle(), statement, result, checksum);
    }
    result.nanoseconds = timer.nsecsElapsed();
    // Keeps the reads from being optimized away.
    if (checksum == -1)
        result.failures = -1;
    return result;
}

} // namespace perikon::bench
