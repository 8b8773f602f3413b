#pragma once

#include "SqlRewriter.h"
#include "SqlTableDefinition.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace perikon::db::internal {

// Writes table definitions in a target's terms. One statement can need several target
// statements: a table with a row-version column also gets the counter and the triggers that
// keep the version current, as the suite's own tables have them.
class SqlDdlWriter
{
public:
    SqlDdlWriter(const SqlTargetProfile &profile, const QHash<QString, QString> &databaseSchemas);

    // Each takes the nodes after the statement's leading words (CREATE TABLE, ALTER TABLE,
    // CREATE [UNIQUE] INDEX, CREATE VIEW) and throws SqlUnsupported for shapes it cannot carry.
    QStringList createTable(SqlRange nodes) const;
    QStringList alterTable(SqlRange nodes) const;
    QString createIndex(SqlRange nodes, bool unique) const;
    QString createView(SqlRange nodes) const;

    // "tempdb.", "pg_temp.", "main." or empty: how the target qualifies objects of the table's
    // database.
    QString schemaPrefix(const SqlTableName &name) const;
    // The table's own name on the target, quoted where needed.
    QString tableName(const SqlTableName &name) const;

private:
    bool isSqlite() const { return m_profile.target == SqlTarget::Sqlite; }
    QString columnType(const SqlColumnType &type) const;
    QString column(const SqlColumnDefinition &column, bool keyInline) const;
    QString defaultValue(SqlRange nodes) const;
    QStringList rowVersionSteps(const SqlTableName &name, const QString &columnName) const;
    // PostgreSQL: the declarations its types cannot tell apart, kept as column comments.
    QStringList declarationNotes(const SqlTableName &name,
                                 const std::vector<SqlColumnDefinition> &columns) const;

    const SqlTargetProfile &m_profile;
    QHash<QString, QString> m_databaseSchemas;
    SqlRewriter m_rewriter;
};

} // namespace perikon::db::internal
