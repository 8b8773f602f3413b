#pragma once

#include "SqlSyntaxTree.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace perikon::db::internal {

// A table as a DDL statement names it: "t", "[t]", "dbo.t", "db..t", "db.dbo.t", "#t".
struct SqlTableName
{
    QString database; // empty: the connection's default database
    QString table;    // brackets removed; a temporary table keeps its '#'
    bool temporary = false;
};

// A column type in T-SQL terms: "nvarchar" with {"50"}, "decimal" with {"18", "2"}.
struct SqlColumnType
{
    QString name; // lower case
    QStringList arguments;

    // "nvarchar(50)": the declaration the type codes and defined sizes derive from.
    QString declaration() const;
    bool isText() const;
    bool isRowVersion() const;
};

struct SqlColumnDefinition
{
    QString name; // brackets removed
    SqlColumnType type;
    bool identity = false;
    bool notNull = false; // NOT NULL, or part of the primary key
    bool primaryKey = false;
    bool unique = false;
    SqlRange defaultValue; // the DEFAULT expression, empty without one
};

// The statement's columns and keys; what the targets do not share (types, identity, row
// versions) is left to the writer.
struct SqlTableDefinition
{
    SqlTableName name;
    std::vector<SqlColumnDefinition> columns;
    QStringList primaryKey;              // a table constraint's columns, or the one column's
    std::vector<QStringList> uniqueKeys; // table constraints only

    const SqlColumnDefinition *rowVersionColumn() const;
    const SqlColumnDefinition *identityColumn() const;
};

// Each throws SqlUnsupported for a shape outside what the targets carry over: computed columns,
// CHECK, FOREIGN KEY, COLLATE, storage options, unknown types.
SqlTableName parseTableName(SqlRange nodes);
// `nodes`: everything after CREATE TABLE.
SqlTableDefinition parseCreateTable(SqlRange nodes);
// One "name type [options]" of a CREATE TABLE or ALTER TABLE ... ADD.
SqlColumnDefinition parseColumnDefinition(SqlRange nodes);
// The columns of a key or index, "(a, b DESC)"; throws for anything but names and directions.
QStringList parseKeyColumns(const SqlNode *group);

} // namespace perikon::db::internal
