#include "SqliteCompat.h"

#include "DateTimeFormat.h"
#include "DbError.h"
#include "SqliteStatementHandle.h"

#include <QDateTime>
#include <QUuid>

#include <sqlite3.h>

namespace perikon::db {

using namespace Qt::StringLiterals;

namespace {

void resultText(sqlite3_context *context, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

QString argumentText(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void getdateFunction(sqlite3_context *context, int, sqlite3_value **)
{
    resultText(context, QDateTime::currentDateTime().toString(db::kDateTimeMillisFormat));
}

void newidFunction(sqlite3_context *context, int, sqlite3_value **)
{
    resultText(context, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
}

// SQL Server's LEN ignores trailing blanks (and only blanks).
void lenFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    QString text = argumentText(argv[0]);
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    sqlite3_result_int64(context, end);
}

void moneyTextFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    sqlite3_value *value = argv[0];
    switch (sqlite3_value_numeric_type(value)) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    case SQLITE_INTEGER:
        resultText(context, QString::number(sqlite3_value_int64(value)) + u".0000"_s);
        return;
    case SQLITE_FLOAT:
        resultText(context, QString::number(sqlite3_value_double(value), 'f', 4));
        return;
    default:
        sqlite3_result_error(context, "money_text: the value is not a number", -1);
    }
}

// object_id('t'), object_id('db..t'), object_id('db.dbo.t'), object_id('[t]')
void objectIdFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    QStringList parts = argumentText(argv[0]).trimmed().split(u'.');
    for (QString &part : parts) {
        if (part.startsWith(u'[') && part.endsWith(u']'))
            part = part.mid(1, part.size() - 2);
    }
    const QString name = parts.last();
    QString schema = parts.size() >= 3 ? parts.first() : QString();
    if (schema.isEmpty())
        schema = u"main"_s;
    const QByteArray sql
        = u"SELECT rowid FROM \"%1\".sqlite_master WHERE type IN ('table','view') "
          "AND name = ?1 COLLATE NOCASE"_s.arg(QString(schema).replace(u"\""_s, u"\"\""_s))
              .toUtf8();
    SqliteStatementHandle statement;
    // An unknown database has no objects: NULL, as SQL Server answers.
    if (prepareSqliteStatement(sqlite3_context_db_handle(context), sql.constData(), -1, statement)
        != SQLITE_OK) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(statement.get(), 1, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    if (sqlite3_step(statement.get()) == SQLITE_ROW)
        sqlite3_result_int64(context, sqlite3_column_int64(statement.get(), 0));
    else
        sqlite3_result_null(context);
}

void localeIdFunction(sqlite3_context *context, int, sqlite3_value **)
{
    resultText(context, *static_cast<const QString *>(sqlite3_user_data(context)));
}

void deleteLocaleId(void *localeId)
{
    delete static_cast<QString *>(localeId);
}

[[noreturn]] void fail(sqlite3 *db, const QString &what)
{
    throw DbError(DbError::ProviderError,
                  u"%1: %2"_s.arg(what, QString::fromUtf8(sqlite3_errmsg(db))),
                  u"Perikon.Db.SqliteCompat"_s);
}

using Function = void (*)(sqlite3_context *, int, sqlite3_value **);

void createFunction(sqlite3 *db, const char *name, int argc, int flags, Function function)
{
    if (sqlite3_create_function_v2(db, name, argc, SQLITE_UTF8 | flags, nullptr, function, nullptr,
                                   nullptr, nullptr)
        != SQLITE_OK)
        fail(db, u"cannot install function %1"_s.arg(QLatin1StringView(name)));
}

bool isAttached(sqlite3 *db, const char *schema)
{
    // sqlite3_db_filename answers NULL only for a database name that is not attached.
    return sqlite3_db_filename(db, schema) != nullptr;
}

QString sysobjectsSelect(const QString &source)
{
    return u"SELECT rowid AS id, name COLLATE NOCASE AS name, "
           "CASE type WHEN 'view' THEN 'V' ELSE 'U' END AS type, "
           "CASE type WHEN 'view' THEN 'V' ELSE 'U' END AS xtype "
           "FROM %1 WHERE type IN ('table','view')"_s.arg(source);
}

void execute(sqlite3 *db, const QString &sql)
{
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db, u"cannot run \"%1\""_s.arg(sql));
}

} // namespace

void installSqlServerCompat(sqlite3 *db)
{
    constexpr int deterministic = SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    createFunction(db, "getdate", 0, SQLITE_INNOCUOUS, getdateFunction);
    createFunction(db, "newid", 0, SQLITE_INNOCUOUS, newidFunction);
    createFunction(db, "len", 1, deterministic, lenFunction);
    createFunction(db, "money_text", 1, deterministic, moneyTextFunction);
    createFunction(db, "object_id", 1, 0, objectIdFunction);
    setCompatLocaleId(db, u"zh-CN"_s);

    execute(db, u"CREATE TEMP VIEW IF NOT EXISTS sysobjects AS "_s
                    + sysobjectsSelect(u"main.sqlite_master"_s));
    // A view in an attached database reads that database's own schema table.
    if (isAttached(db, "tempdb"))
        execute(db, u"CREATE VIEW IF NOT EXISTS tempdb.sysobjects AS "_s
                        + sysobjectsSelect(u"sqlite_master"_s));
}

void setCompatLocaleId(sqlite3 *db, const QString &localeId)
{
    auto *value = new QString(localeId);
    // sqlite3_create_function_v2 calls deleteLocaleId for `value` even when it fails.
    if (sqlite3_create_function_v2(db, "UDF_GetLocaleID", 0, SQLITE_UTF8 | SQLITE_INNOCUOUS, value,
                                   localeIdFunction, nullptr, nullptr, deleteLocaleId)
        != SQLITE_OK)
        fail(db, u"cannot install function UDF_GetLocaleID"_s);
}

} // namespace perikon::db
