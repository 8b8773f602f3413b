// SchemaInstaller: the schema scripts, written once in SQL Server's dialect and translated for
// each backend.
#include "suite/schema/SchemaInstaller.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlSyntaxTree.h"
#include "perikon/data/db/SqlTableDefinition.h"

#include <QFile>

namespace perikon::suite {

using namespace Qt::StringLiterals;

SchemaResult<QString> SchemaInstaller::scriptText(const QString &folder, const QString &scriptName)
{
    QFile script(u":/suite/schema/%1/%2.sql"_s.arg(folder, scriptName));
    if (!script.open(QIODevice::ReadOnly))
        return SchemaResult<QString>::failure(
            u"The schema script %1 is missing from the library."_s.arg(script.fileName()));
    return QString::fromUtf8(script.readAll());
}

SchemaResult<std::vector<SchemaInstaller::SourceTable>>
SchemaInstaller::sourceTables(const QString &scriptName)
{
    using namespace db::internal;
    using Result = SchemaResult<std::vector<SourceTable>>;
    const auto source = scriptText(u"mssql"_s, scriptName);
    if (!source)
        return Result::failure(source.error());
    std::vector<SourceTable> tables;
    try {
        const SqlNodes tree = buildSyntaxTree(db::SqlTokenizer::tokenize(*source));
        std::size_t start = 0;
        for (std::size_t i = 0; i <= tree.size(); ++i) {
            if (i < tree.size() && !tree[i].isPunct(u';'))
                continue;
            const SqlRange statement = trimmed(SqlRange(tree).subspan(start, i - start));
            start = i + 1;
            if (!startsWithWord(statement, u"create"))
                continue;
            const std::size_t kind = nextSignificant(statement, 1);
            if (kind >= statement.size() || !statement[kind].isWord(u"table"))
                continue;
            tables.push_back(
                {parseCreateTable(statement.subspan(kind + 1)), originalText(statement)});
        }
    } catch (const SqlUnsupported &unsupported) {
        return Result::failure(u"The schema script %1: %2"_s.arg(scriptName, unsupported.reason));
    }
    return tables;
}

SchemaResult<QString> SchemaInstaller::tableStatement(const QString &scriptName,
                                                      const QString &table)
{
    const auto tables = sourceTables(scriptName);
    if (!tables)
        return SchemaResult<QString>::failure(tables.error());
    for (const SourceTable &source : *tables) {
        if (source.definition.name.table.compare(table, Qt::CaseInsensitive) == 0)
            return source.statement;
    }
    return SchemaResult<QString>::failure(
        u"The schema script %1 defines no table %2."_s.arg(scriptName, table));
}

SchemaResult<QStringList> SchemaInstaller::scriptStatements(db::SqlTarget target,
                                                            const QString &scriptName)
{
    using Result = SchemaResult<QStringList>;
    const auto source = scriptText(u"mssql"_s, scriptName);
    if (!source)
        return Result::failure(source.error());
    QStringList statements;
    try {
        for (const db::TranslatedStatement &step : db::SqlDialect(target).translate(*source)) {
            // A schema is plain definitions and rows: nothing the connection would dispatch.
            if (step.kind != db::TranslatedStatement::Kind::Sql)
                return Result::failure(
                    u"The schema script %1 holds a statement that is not plain SQL."_s.arg(
                        scriptName));
            statements << step.sql;
        }
    } catch (const db::DbError &error) {
        return Result::failure(u"The schema script %1: %2"_s.arg(scriptName, error.description()));
    }
    // Triggers with bodies and sequences: the backend's own language, run as written.
    const QString backend = target == db::SqlTarget::Postgres ? u"postgres"_s : u"sqlite"_s;
    if (QFile::exists(u":/suite/schema/%1/%2-backend.sql"_s.arg(backend, scriptName))) {
        const auto own = scriptText(backend, scriptName + u"-backend"_s);
        if (!own)
            return Result::failure(own.error());
        statements << *own;
    }
    return statements;
}

} // namespace perikon::suite
