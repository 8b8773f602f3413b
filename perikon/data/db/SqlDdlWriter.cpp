#include "SqlDdlWriter.h"

#include <QRegularExpression>

namespace perikon::db::internal {

using namespace Qt::StringLiterals;

namespace {

bool isIntegerType(const SqlColumnType &type)
{
    return type.name == u"int" || type.name == u"integer" || type.name == u"smallint"
           || type.name == u"tinyint" || type.name == u"bigint";
}

// FLOAT(1) to FLOAT(24) is SQL Server's REAL.
bool isSinglePrecision(const SqlColumnType &type)
{
    return type.name == u"real"
           || (type.name == u"float" && !type.arguments.isEmpty()
               && type.arguments[0].toInt() <= 24);
}

QString postgresType(const SqlColumnType &type)
{
    const QString &name = type.name;
    const QString length = type.arguments.value(0, u"1"_s);
    if (name == u"int" || name == u"integer")
        return u"integer"_s;
    if (name == u"smallint" || name == u"bigint" || name == u"date")
        return name;
    // The suite's domains: their names let the catalog give the SQL Server type codes back.
    if (name == u"tinyint")
        return u"public.tinyint"_s;
    if (name == u"bit")
        return u"public.flag"_s;
    if (type.isRowVersion())
        return u"public.rowversion"_s;
    if (name == u"money")
        return u"numeric(19,4)"_s;
    if (isSinglePrecision(type))
        return u"real"_s;
    if (name == u"float")
        return u"double precision"_s;
    if (name == u"decimal" || name == u"numeric")
        return u"numeric(%1,%2)"_s.arg(type.arguments.value(0, u"18"_s),
                                       type.arguments.value(1, u"0"_s));
    if (name == u"datetime")
        return u"timestamp(3)"_s;
    if (name == u"smalldatetime")
        return u"timestamp(0)"_s;
    if (name == u"uniqueidentifier")
        return u"uuid"_s;
    if (name == u"char" || name == u"nchar")
        return u"char("_s + length + u')';
    if (name == u"varchar" || name == u"nvarchar")
        return length == u"max" ? u"varchar"_s : u"varchar("_s + length + u')';
    if (name == u"text" || name == u"ntext")
        return u"text"_s;
    return u"bytea"_s; // image, binary, varbinary
}

// A GUID in NEWID()'s form from SQLite's own functions: a default has to work on every
// connection to the file, also one without the functions the driver installs.
const QString kSqliteNewGuid
    = u"upper(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-' || hex(randomblob(2)) || '-' "
      "|| hex(randomblob(2)) || '-' || hex(randomblob(6)))"_s;

bool isSingleLiteral(SqlRange nodes)
{
    if (nodes.size() != 1)
        return false;
    const SqlNode &node = nodes[0];
    return node.isGroup() || node.token.kind == SqlToken::Kind::String
           || node.token.kind == SqlToken::Kind::Number || node.isWord(u"null");
}

// PostgreSQL has one text type where SQL Server has an ANSI and a national one, and no binary
// type with a length: the catalog reads the T-SQL declaration of such columns from their comment.
bool postgresLosesDeclaration(const SqlColumnType &type)
{
    return type.name == u"char" || type.name == u"varchar" || type.name == u"text"
           || type.name == u"binary"
           || (type.name == u"varbinary" && type.arguments.value(0) != u"max");
}

// The index of the first depth-0 word `word`, or size() when there is none.
std::size_t findWord(SqlRange nodes, QStringView word)
{
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].isWord(word))
            return i;
    }
    return nodes.size();
}

} // namespace

SqlDdlWriter::SqlDdlWriter(const SqlTargetProfile &profile,
                           const QHash<QString, QString> &databaseSchemas)
    : m_profile(profile)
    , m_databaseSchemas(databaseSchemas)
    , m_rewriter(profile, databaseSchemas)
{}

QString SqlDdlWriter::schemaPrefix(const SqlTableName &name) const
{
    if (name.temporary)
        return m_rewriter.temporarySchema() + u'.';
    if (name.database.isEmpty())
        return {};
    return m_profile.quoteName(m_databaseSchemas.value(name.database.toLower(), name.database))
           + u'.';
}

QString SqlDdlWriter::tableName(const SqlTableName &name) const
{
    return name.temporary ? m_rewriter.temporaryTableName(name.table)
                          : m_profile.quoteName(name.table);
}

QString SqlDdlWriter::columnType(const SqlColumnType &type) const
{
    if (!isSqlite())
        return postgresType(type);
    // SQLite keeps the declaration, from which the catalog reads type codes and sizes. Its
    // grammar takes no word for a length: (max) becomes the long type of the same code and size.
    if (isSinglePrecision(type))
        return u"real"_s;
    if (type.arguments.value(0) == u"max")
        return type.name == u"nvarchar"  ? u"ntext"_s
               : type.name == u"varchar" ? u"text"_s
                                         : u"image"_s;
    return type.declaration();
}

QString SqlDdlWriter::defaultValue(SqlRange nodes) const
{
    const SqlRange value = trimmed(nodes);
    QString text = m_rewriter.expression(value);
    if (isSqlite()) {
        static const QRegularExpression newid(u"\\bnewid\\s*\\(\\s*\\)"_s,
                                              QRegularExpression::CaseInsensitiveOption);
        text.replace(newid, kSqliteNewGuid);
    }
    return isSingleLiteral(value) ? text : u'(' + text + u')';
}

QString SqlDdlWriter::column(const SqlColumnDefinition &column, bool keyInline) const
{
    const bool sqliteIdentity = isSqlite() && column.identity;
    // SQLite numbers only an INTEGER PRIMARY KEY itself.
    QString text = m_profile.quoteName(column.name) + u' '
                   + (sqliteIdentity ? u"integer"_s : columnType(column.type));
    // Text compares without regard to case, as in the suite's own tables.
    if (isSqlite() && column.type.isText())
        text += u" COLLATE NOCASE"_s;
    if (column.identity && !isSqlite())
        text += u" GENERATED BY DEFAULT AS IDENTITY"_s;
    if (column.notNull)
        text += u" NOT NULL"_s;
    if (keyInline)
        text += sqliteIdentity ? u" PRIMARY KEY AUTOINCREMENT"_s : u" PRIMARY KEY"_s;
    if (column.unique)
        text += u" UNIQUE"_s;
    if (!column.defaultValue.empty())
        text += u" DEFAULT "_s + defaultValue(column.defaultValue);
    return text;
}

QStringList SqlDdlWriter::rowVersionSteps(const SqlTableName &name, const QString &columnName) const
{
    // The version is written by triggers that know the column as qzts, the suite's name for it.
    if (columnName.compare(u"qzts"_s, Qt::CaseInsensitive) != 0)
        throw SqlUnsupported{u"row-version column "_s + columnName + u" not named qzts"_s};
    const QString prefix = schemaPrefix(name);
    const QString table = tableName(name);
    const QString column = m_profile.quoteName(columnName);
    const QString plainTable = name.temporary && !isSqlite() ? name.table.toLower() : name.table;
    const QString trigger = u"tr_"_s + plainTable + u'_' + columnName;
    if (!isSqlite()) {
        return {
            u"CREATE SEQUENCE IF NOT EXISTS %1qz_rowversion_seq"_s.arg(prefix),
            u"CREATE TRIGGER %1 BEFORE INSERT OR UPDATE ON %2%3 FOR EACH ROW EXECUTE FUNCTION "
            "public.perikon_touch_row_version()"_s.arg(m_profile.quoteName(trigger), prefix, table),
        };
    }
    // One counter per database file; the WHEN guard keeps the trigger's own write of the version
    // from counting as another update, even where recursive triggers are switched on.
    const QString touch = u" BEGIN UPDATE qz_RowVersion SET iLastTs = iLastTs + 1 WHERE ID = 1; "
                          "UPDATE %1 SET %2 = (SELECT iLastTs FROM qz_RowVersion WHERE ID = 1) "
                          "WHERE rowid = NEW.rowid; END"_s.arg(table, column);
    return {
        u"CREATE TABLE IF NOT EXISTS %1qz_RowVersion (ID int NOT NULL PRIMARY KEY CHECK (ID = 1), "
        "iLastTs bigint NOT NULL)"_s.arg(prefix),
        u"INSERT OR IGNORE INTO %1qz_RowVersion (ID, iLastTs) VALUES (1, 0)"_s.arg(prefix),
        u"CREATE TRIGGER %1%2 AFTER INSERT ON %3"_s.arg(
            prefix, m_profile.quoteName(trigger + u"_insert"_s), table)
            + touch,
        u"CREATE TRIGGER %1%2 AFTER UPDATE ON %3 WHEN NEW.%4 IS OLD.%4"_s.arg(
            prefix, m_profile.quoteName(trigger + u"_update"_s), table, column)
            + touch,
    };
}

QStringList SqlDdlWriter::declarationNotes(const SqlTableName &name,
                                           const std::vector<SqlColumnDefinition> &columns) const
{
    QStringList steps;
    if (isSqlite())
        return steps;
    for (const SqlColumnDefinition &column : columns) {
        if (postgresLosesDeclaration(column.type))
            steps << u"COMMENT ON COLUMN %1%2.%3 IS 'T-SQL type %4'"_s.arg(
                schemaPrefix(name), tableName(name), m_profile.quoteName(column.name),
                column.type.declaration());
    }
    return steps;
}

QStringList SqlDdlWriter::createTable(SqlRange nodes) const
{
    const SqlTableDefinition table = parseCreateTable(nodes);
    const SqlColumnDefinition *identity = table.identityColumn();
    if (identity) {
        if (!isIntegerType(identity->type))
            throw SqlUnsupported{u"IDENTITY on a column of type "_s + identity->type.declaration()};
        if (isSqlite() && !table.primaryKey.isEmpty()
            && (table.primaryKey.size() != 1
                || table.primaryKey[0].compare(identity->name, Qt::CaseInsensitive) != 0))
            throw SqlUnsupported{u"IDENTITY column beside a PRIMARY KEY of other columns"_s};
    }
    QStringList parts;
    for (const SqlColumnDefinition &column : table.columns) {
        const bool keyInline
            = (table.primaryKey.size() == 1
               && table.primaryKey[0].compare(column.name, Qt::CaseInsensitive) == 0)
              || (isSqlite() && column.identity);
        parts << this->column(column, keyInline);
    }
    auto keyList = [&](const QStringList &columns) {
        QStringList names;
        for (const QString &name : columns)
            names << m_profile.quoteName(name);
        return u" ("_s + names.join(u", "_s) + u')';
    };
    if (table.primaryKey.size() > 1)
        parts << u"PRIMARY KEY"_s + keyList(table.primaryKey);
    for (const QStringList &unique : table.uniqueKeys)
        parts << u"UNIQUE"_s + keyList(unique);

    QStringList steps{u"CREATE TABLE "_s + schemaPrefix(table.name) + tableName(table.name)
                      + u" ("_s + parts.join(u", "_s) + u')'};
    steps << declarationNotes(table.name, table.columns);
    if (const SqlColumnDefinition *version = table.rowVersionColumn())
        steps << rowVersionSteps(table.name, version->name);
    return steps;
}

QStringList SqlDdlWriter::alterTable(SqlRange nodes) const
{
    const std::size_t add = findWord(nodes, u"add");
    if (add == nodes.size())
        throw SqlUnsupported{u"ALTER TABLE without ADD"_s};
    const SqlTableName name = parseTableName(nodes.first(add));
    const QString target = schemaPrefix(name) + tableName(name);
    QStringList steps;
    QStringList versionSteps;
    for (SqlRange part : splitAtCommas(nodes.subspan(add + 1))) {
        const SqlRange definition = trimmed(part);
        for (QStringView word : {u"constraint", u"primary", u"unique", u"foreign", u"check"}) {
            if (startsWithWord(definition, word))
                throw SqlUnsupported{u"ALTER TABLE ADD "_s + word.toString().toUpper()};
        }
        const SqlColumnDefinition column = parseColumnDefinition(definition);
        // SQLite cannot add these to a table that has rows; neither target is asked to.
        if (column.identity || column.primaryKey || column.unique)
            throw SqlUnsupported{u"ALTER TABLE ADD of a key or IDENTITY column "_s + column.name};
        steps << u"ALTER TABLE "_s + target + u" ADD COLUMN "_s + this->column(column, false);
        steps << declarationNotes(name, {column});
        if (column.type.isRowVersion())
            versionSteps << rowVersionSteps(name, column.name);
    }
    return steps + versionSteps;
}

QString SqlDdlWriter::createIndex(SqlRange nodes, bool unique) const
{
    const std::size_t on = findWord(nodes, u"on");
    std::size_t columns = on;
    while (columns < nodes.size() && !nodes[columns].isGroup())
        ++columns;
    if (on == nodes.size() || columns == nodes.size())
        throw SqlUnsupported{u"CREATE INDEX without ON table (columns)"_s};
    const SqlRange indexName = trimmed(nodes.first(on));
    if (indexName.size() != 1 || indexName[0].isGroup())
        throw SqlUnsupported{u"index name "_s + originalText(indexName)};
    const SqlRange rest = trimmed(nodes.subspan(columns + 1));
    if (!rest.empty())
        throw SqlUnsupported{u"CREATE INDEX option "_s + originalText(rest)};
    const SqlTableName table = parseTableName(nodes.subspan(on + 1, columns - on - 1));
    parseKeyColumns(&nodes[columns]);

    // SQLite names the index's database on the index, PostgreSQL on the table.
    const QString index = m_profile.quoteName(indexName[0].token.name());
    const QString prefix = schemaPrefix(table);
    QString text = unique ? u"CREATE UNIQUE INDEX "_s : u"CREATE INDEX "_s;
    text += isSqlite() ? prefix + index + u" ON "_s + tableName(table)
                       : index + u" ON "_s + prefix + tableName(table);
    return text + u" ("_s + m_rewriter.expression(trimmed(nodes[columns].children)) + u')';
}

QString SqlDdlWriter::createView(SqlRange nodes) const
{
    const std::size_t as = findWord(nodes, u"as");
    if (as == nodes.size())
        throw SqlUnsupported{u"CREATE VIEW without AS"_s};
    const SqlRange query = trimmed(nodes.subspan(as + 1));
    if (!startsWithWord(query, u"select"))
        throw SqlUnsupported{u"CREATE VIEW option "_s + originalText(trimmed(nodes.first(as)))};
    const SqlTableName view = parseTableName(nodes.first(as));
    return u"CREATE VIEW "_s + schemaPrefix(view) + tableName(view) + u" AS "_s
           + m_rewriter.query(query);
}

} // namespace perikon::db::internal
