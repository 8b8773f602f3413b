#pragma once

#include "SqlSyntaxTree.h"
#include "SqlTargetProfile.h"

#include <QHash>
#include <QString>

namespace perikon::db::internal {

// Rewrites the parts of one statement for a target. Every method takes nodes of one tree level
// and returns the target's text; anything it cannot translate throws SqlUnsupported.
class SqlRewriter
{
public:
    SqlRewriter(const SqlTargetProfile &profile,
                const QHash<QString, QString> &databaseSchemas = {})
        : m_profile(profile)
        , m_databaseSchemas(databaseSchemas)
    {}

    // A SELECT, possibly a compound one with UNION/EXCEPT/INTERSECT and a final ORDER BY.
    QString query(SqlRange nodes) const;
    // Any other run of nodes: clauses, expressions, lists.
    QString expression(SqlRange nodes) const;
    QString name(const SqlNode &node) const;
    // Where a #temporary table lives: a scratch database private to the connection, "tempdb" on
    // SQLite (in memory) and the session's own "pg_temp" on PostgreSQL.
    QString temporarySchema() const;
    // "#scratch" as the target's (quoted) name; PostgreSQL keeps quoted case, so it is folded.
    QString temporaryTableName(const QString &name) const;

private:
    // One SELECT of a compound; `limit` receives the TOP count, empty without TOP.
    QString selectCore(SqlRange nodes, QString &limit) const;
    QString selectList(SqlRange nodes) const;
    QString selectItem(SqlRange nodes) const;
    QString group(const SqlNode &node) const;
    // The table hint WITH (...) starting at `at`: the index after it, or `at` when none.
    std::size_t tableHintEnd(SqlRange nodes, std::size_t at) const;
    // After a table hint ending before nodes[hintEnd] is dropped from `text`: a blank when
    // what follows would otherwise join what came before.
    static void keepApartAfterHint(SqlRange nodes, std::size_t hintEnd, QString &text);

    QString functionCall(const SqlNode &nameNode, SqlRange between, const SqlNode &arguments) const;
    QString convert(const SqlNode &arguments) const;
    QString cast(const SqlNode &arguments) const;
    QString castTo(SqlRange type, const QString &expression) const;

    const SqlTargetProfile &m_profile;
    QHash<QString, QString> m_databaseSchemas; // lower-case database name -> schema
};

} // namespace perikon::db::internal
