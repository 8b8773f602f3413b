#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace perikon::db {

// The database a statement is translated for. SqlServer output is the input, byte for byte.
enum class SqlTarget { SqlServer, Sqlite, Postgres };

// One executable step of a translated statement.
struct TranslatedStatement
{
    enum class Kind {
        Sql,         // run `sql`
        UseDatabase, // switch the connection's default database to `database`
        Procedure,   // call the suite procedure `procedure` with `arguments` (quotes removed)
        IfExists,    // run `probe`; when it yields a row, run `sql`
    };
    Kind kind = Kind::Sql;
    QString sql;
    QString probe;
    QString database;
    QString procedure;
    QStringList arguments;

    bool operator==(const TranslatedStatement &) const = default;
};

// Turns the SQL Server text the component writes into the target's text. Statements whose shape
// it does not know are refused with a DbError naming the statement; nothing is half-translated.
class SqlDialect
{
public:
    explicit SqlDialect(SqlTarget target)
        : m_target(target)
    {}

    SqlTarget target() const { return m_target; }

    // The schema under which the backend knows a database of the suite (lower-case database name
    // -> schema), where that differs from the name: SQLite knows the account database as "main".
    void setDatabaseSchemas(QHash<QString, QString> schemas)
    {
        m_databaseSchemas = std::move(schemas);
    }

    // Throws DbError (number DbError::UnsupportedStatement) for an unknown shape.
    std::vector<TranslatedStatement> translate(const QString &sqlServerText) const;

private:
    SqlTarget m_target;
    QHash<QString, QString> m_databaseSchemas;
};

} // namespace perikon::db
