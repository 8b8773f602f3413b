// PostgresDriver: what the catalog tells about result columns, and the spellings that give
// folded names back their case.
#include "PostgresDriver.h"

#include "ColumnType.h"
#include "PostgresResultNames.h"

#include <QRegularExpression>

#include <libpq-fe.h>

namespace perikon::db {

using namespace Qt::StringLiterals;

namespace {

// What tells one result's columns from another's: per column the table, the column number, the
// value type and the name.
QByteArray resultSignature(const PGresult *result)
{
    const int count = PQnfields(result);
    QByteArray signature;
    signature.reserve(count * 24);
    for (int i = 0; i < count; ++i) {
        const quint32 numbers[3]
            = {PQftable(result, i), quint32(PQftablecol(result, i)), PQftype(result, i)};
        signature.append(reinterpret_cast<const char *>(numbers), sizeof numbers);
        signature.append(PQfname(result, i)).append('\0');
    }
    return signature;
}

} // namespace

std::shared_ptr<const ResultColumns>
PostgresDriver::describe(const PGresult *result, const QString &sql, std::vector<unsigned> &types)
{
    const QHash<QString, QString> written = selectListSpellings(sql);
    if (!written.isEmpty())
        return std::make_shared<const ResultColumns>(describeAnew(result, written, types));
    const QByteArray signature = resultSignature(result);
    const auto known = m_described.constFind(signature);
    if (known != m_described.cend() && known->catalogGeneration == m_catalogGeneration
        && known->spellingGeneration == m_spellingGeneration) {
        types = known->types;
        return known->columns;
    }
    auto columns = std::make_shared<const ResultColumns>(describeAnew(result, written, types));
    constexpr qsizetype kMaxDescribed = 256;
    if (m_described.size() >= kMaxDescribed)
        m_described.clear();
    m_described.insert(signature, {m_catalogGeneration, m_spellingGeneration, columns, types});
    return columns;
}

std::vector<ColumnInfo> PostgresDriver::describeAnew(const PGresult *result,
                                                     const QHash<QString, QString> &written,
                                                     std::vector<unsigned> &types)
{
    const int count = PQnfields(result);
    QList<unsigned> unknown;
    for (int i = 0; i < count; ++i) {
        const Oid table = PQftable(result, i);
        // A table seen before but with a column not seen yet was altered since: read it again.
        const bool known = m_knownTables.contains(table)
                           && m_columns.contains(quint64(table) << 16 | PQftablecol(result, i));
        if (table != InvalidOid && !known && !unknown.contains(table))
            unknown << table;
    }
    if (!unknown.isEmpty())
        loadTableColumns(unknown);

    std::vector<ColumnInfo> columns;
    columns.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        ColumnInfo info;
        const QString name = QString::fromUtf8(PQfname(result, i));
        const Oid table = PQftable(result, i);
        const auto column = m_columns.find(quint64(table) << 16 | PQftablecol(result, i));
        const bool fromTable = table != InvalidOid && column != m_columns.end();
        if (fromTable) {
            if (column->spelledAt != m_spellingGeneration) {
                column->spelled = spelling(column->table, column->name);
                column->spelledAt = m_spellingGeneration;
            }
            const DeclaredType &declared = column->declared;
            info.type = declared.type;
            info.definedSize = declared.definedSize;
            info.precision = declared.precision;
            info.scale = declared.scale;
            info.rowVersion = declared.rowVersion;
            info.baseDatabase = column->schema;
            info.baseTable = column->table;
            info.baseColumn = column->spelled;
            info.isKey = column->isKey;
            info.nullable = !column->notNull;
        }
        // A quoted alias keeps its case; a folded name gets the spelling the select list or the
        // schema gave it.
        if (name != name.toLower())
            info.name = name;
        else if (const auto it = written.constFind(name); it != written.cend())
            info.name = *it;
        else if (fromTable && name == column->name)
            info.name = info.baseColumn;
        else
            info.name = spelling({}, name);
        columns.push_back(std::move(info));
        types.push_back(fromTable ? column->valueType : PQftype(result, i));
    }
    return columns;
}

void PostgresDriver::loadTableColumns(const QList<unsigned> &tables)
{
    ++m_catalogGeneration;
    QStringList oids;
    for (unsigned table : tables) {
        oids << QString::number(table);
        m_knownTables.insert(table, true);
    }
    const PgResultHandle result(
        run(u"SELECT a.attrelid, a.attnum, a.attname, format_type(a.atttypid, a.atttypmod),"
            " a.attnotnull, c.relname, n.nspname,"
            " EXISTS (SELECT 1 FROM pg_index i WHERE i.indrelid = a.attrelid AND i.indisprimary"
            " AND a.attnum = ANY (i.indkey)),"
            " CASE WHEN t.typbasetype <> 0 THEN t.typbasetype ELSE a.atttypid END,"
            " col_description(a.attrelid, a.attnum)"
            " FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid"
            " JOIN pg_namespace n ON n.oid = c.relnamespace JOIN pg_type t ON t.oid = a.atttypid"
            " WHERE a.attrelid = ANY ($1::oid[]) AND a.attnum > 0 AND NOT a.attisdropped"_s,
            {u'{' + oids.join(u',') + u'}'}));
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        auto text = [&](int column) {
            return QString::fromUtf8(PQgetvalue(result.get(), row, column));
        };
        TableColumn column;
        column.name = text(2);
        column.type = text(3);
        column.valueType = text(8).toUInt();
        // varchar beside nvarchar, varbinary(n): the dialect notes the declaration on the column.
        static const QString marker = u"T-SQL type "_s;
        if (const QString comment = text(9); comment.startsWith(marker))
            column.sqlServerType = comment.mid(marker.size());
        column.notNull = text(4) == u"t"_s;
        column.table = text(5);
        column.schema = text(6);
        column.isKey = text(7) == u"t"_s;
        column.declared = column.sqlServerType.isEmpty() ? declaredTypeOfPostgres(column.type)
                                                         : declaredTypeOf(column.sqlServerType);
        m_columns.insert(quint64(text(0).toUInt()) << 16 | text(1).toUInt(), column);
    }
}

void PostgresDriver::loadSpellings()
{
    m_spellings.emplace();
    ++m_spellingGeneration;
    const PgResultHandle exists(run(u"SELECT to_regclass('public.qz_spelling') IS NOT NULL"_s, {}));
    m_spellingTable = QByteArray(PQgetvalue(exists.get(), 0, 0)) == "t";
    if (!m_spellingTable)
        return;
    const PgResultHandle result(
        run(u"SELECT table_name, spelling FROM public.qz_spelling ORDER BY table_name DESC"_s, {}));
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        const QString table = QString::fromUtf8(PQgetvalue(result.get(), row, 0));
        const QString spelling = QString::fromUtf8(PQgetvalue(result.get(), row, 1));
        const QString column = spelling.toLower();
        m_spellings->insert(table + u'.' + column, spelling);
        // Columns of views and expressions: the spelling any table gives the name.
        if (!m_spellings->contains(column) || table.isEmpty())
            m_spellings->insert(column, spelling);
    }
}

QString PostgresDriver::spelling(const QString &table, const QString &column) const
{
    if (!m_spellings)
        const_cast<PostgresDriver *>(this)->loadSpellings();
    if (!table.isEmpty()) {
        const auto it = m_spellings->constFind(table + u'.' + column);
        if (it != m_spellings->cend())
            return *it;
    }
    return m_spellings->value(column, column);
}

// A table created at run time (a scratch table) has no spellings from the schema: its declaration
// gives them, for this connection and for others that read the table.
void PostgresDriver::recordSpellings(const QString &createTable)
{
    // A #temporary table keeps its '#'; ALTER TABLE ... ADD COLUMN names one more column.
    static const QRegularExpression head(
        u"^\\s*(?:create\\s+table|alter\\s+table)\\s+(?:[\"\\w]+\\.)?\"?(#?\\w+)\"?"
        "\\s*(?:\\(|add\\s+column\\s+(?=\\w))"_s,
        QRegularExpression::CaseInsensitiveOption);
    const auto match = head.match(createTable);
    if (!match.hasMatch())
        return;
    const bool addColumn = !match.captured(0).endsWith(u'(');
    const QString table = match.captured(1).toLower();
    static const QRegularExpression column(u"(?:\\(|,)\\s*\"?([A-Za-z_]\\w*)\"?\\s+[A-Za-z]"_s);
    QStringList rows;
    QVariantList values;
    // ADD COLUMN names exactly one column, right after the words.
    static const QRegularExpression added(u"\\G\"?([A-Za-z_]\\w*)\"?\\s+[A-Za-z]"_s);
    for (auto it = addColumn ? added.globalMatch(createTable, match.capturedEnd())
                             : column.globalMatch(createTable, match.capturedEnd() - 1);
         it.hasNext();) {
        const QString name = it.next().captured(1);
        if (name == name.toLower())
            continue;
        if (!m_spellings)
            loadSpellings();
        m_spellings->insert(table + u'.' + name.toLower(), name);
        ++m_spellingGeneration;
        rows << u"($%1, $%2)"_s.arg(values.size() + 1).arg(values.size() + 2);
        values << table << name;
    }
    if (!rows.isEmpty() && m_spellingTable)
        execute(u"INSERT INTO public.qz_spelling (table_name, spelling) VALUES "_s
                    + rows.join(u", "_s) + u" ON CONFLICT DO NOTHING"_s,
                values);
}

} // namespace perikon::db
