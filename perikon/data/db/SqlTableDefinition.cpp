// Reading CREATE TABLE and column definitions into data; SqlDdlWriter turns them into each
// target's text.
#include "SqlTableDefinition.h"

#include <algorithm>
#include <array>

namespace perikon::db::internal {

using namespace Qt::StringLiterals;

namespace {

// How many arguments a T-SQL type takes, and whether the length may be "max".
struct TypeRule
{
    const char *name;
    int maxArguments;
    bool allowsMax;
};

// The types the targets carry over with the type codes and sizes the catalog expects.
constexpr std::array kColumnTypes = {
    TypeRule{"int", 0, false},
    TypeRule{"integer", 0, false},
    TypeRule{"smallint", 0, false},
    TypeRule{"tinyint", 0, false},
    TypeRule{"bigint", 0, false},
    TypeRule{"bit", 0, false},
    TypeRule{"money", 0, false},
    TypeRule{"real", 0, false},
    TypeRule{"float", 1, false},
    TypeRule{"decimal", 2, false},
    TypeRule{"numeric", 2, false},
    TypeRule{"datetime", 0, false},
    TypeRule{"smalldatetime", 0, false},
    TypeRule{"date", 0, false},
    TypeRule{"uniqueidentifier", 0, false},
    TypeRule{"char", 1, false},
    TypeRule{"nchar", 1, false},
    TypeRule{"varchar", 1, true},
    TypeRule{"nvarchar", 1, true},
    TypeRule{"text", 0, false},
    TypeRule{"ntext", 0, false},
    TypeRule{"image", 0, false},
    TypeRule{"binary", 1, false},
    TypeRule{"varbinary", 1, true},
    TypeRule{"timestamp", 0, false},
    TypeRule{"rowversion", 0, false},
};

bool isName(const SqlNode &node)
{
    return !node.isGroup()
           && (node.token.kind == SqlToken::Kind::Word
               || node.token.kind == SqlToken::Kind::QuotedName);
}

// The significant nodes of a range, so the parsers can look ahead without skipping blanks.
std::vector<const SqlNode *> significant(SqlRange nodes)
{
    std::vector<const SqlNode *> result;
    for (const SqlNode &node : nodes) {
        if (!node.isTrivia())
            result.push_back(&node);
    }
    return result;
}

SqlColumnType parseType(const SqlNode &nameNode, const SqlNode *arguments)
{
    if (nameNode.isGroup() || nameNode.token.kind != SqlToken::Kind::Word)
        throw SqlUnsupported{u"column type "_s + nameNode.text()};
    SqlColumnType type;
    type.name = nameNode.token.text.toLower();
    const auto rule
        = std::find_if(kColumnTypes.begin(), kColumnTypes.end(),
                       [&](const TypeRule &r) { return type.name == QLatin1StringView(r.name); });
    if (rule == kColumnTypes.end())
        throw SqlUnsupported{u"column type "_s + nameNode.token.text};
    if (!arguments)
        return type;
    for (SqlRange argument : splitAtCommas(arguments->children)) {
        const SqlRange value = trimmed(argument);
        const bool isMax = value.size() == 1 && value[0].isWord(u"max");
        if (value.size() != 1 || value[0].isGroup()
            || (value[0].token.kind != SqlToken::Kind::Number && !(isMax && rule->allowsMax)))
            throw SqlUnsupported{u"column type "_s + nameNode.token.text + arguments->text()};
        type.arguments << value[0].token.text.toLower();
    }
    if (type.arguments.size() > rule->maxArguments)
        throw SqlUnsupported{u"column type "_s + nameNode.token.text + arguments->text()};
    return type;
}

} // namespace

QStringList parseKeyColumns(const SqlNode *group)
{
    if (!group || !group->isGroup())
        throw SqlUnsupported{u"key without a column list"_s};
    QStringList columns;
    for (SqlRange part : splitAtCommas(group->children)) {
        const auto words = significant(part);
        if (words.empty() || !isName(*words[0]) || words.size() > 2
            || (words.size() == 2 && !words[1]->isWord(u"asc") && !words[1]->isWord(u"desc")))
            throw SqlUnsupported{u"key column "_s + originalText(trimmed(part))};
        columns << words[0]->token.name();
    }
    return columns;
}

namespace {

// CLUSTERED and NONCLUSTERED only steer SQL Server's storage.
std::size_t skipClustering(const std::vector<const SqlNode *> &words, std::size_t at)
{
    if (at < words.size()
        && (words[at]->isWord(u"clustered") || words[at]->isWord(u"nonclustered")))
        return at + 1;
    return at;
}

// The end of a DEFAULT expression starting at `at`: a literal, a signed number, a parenthesised
// expression or a function call.
std::size_t defaultEnd(const std::vector<const SqlNode *> &words, std::size_t at)
{
    if (at >= words.size())
        throw SqlUnsupported{u"DEFAULT without a value"_s};
    const SqlNode &first = *words[at];
    if (first.isGroup())
        return at + 1;
    const SqlToken &token = first.token;
    if (token.kind == SqlToken::Kind::String || token.kind == SqlToken::Kind::Number
        || first.isWord(u"null"))
        return at + 1;
    if ((token.isOperator(u"-") || token.isOperator(u"+")) && at + 1 < words.size()
        && !words[at + 1]->isGroup() && words[at + 1]->token.kind == SqlToken::Kind::Number)
        return at + 2;
    if (token.kind == SqlToken::Kind::Word && at + 1 < words.size() && words[at + 1]->isGroup())
        return at + 2;
    throw SqlUnsupported{u"DEFAULT "_s + first.text()};
}

// The nodes from `first` to `last` (both significant nodes of `nodes`), blanks between included.
SqlRange between(SqlRange nodes, const SqlNode *first, const SqlNode *last)
{
    const std::size_t begin = std::size_t(first - nodes.data());
    const std::size_t end = std::size_t(last - nodes.data()) + 1;
    return nodes.subspan(begin, end - begin);
}

} // namespace

QString SqlColumnType::declaration() const
{
    return arguments.isEmpty() ? name : name + u'(' + arguments.join(u',') + u')';
}

bool SqlColumnType::isText() const
{
    return name == u"char" || name == u"nchar" || name == u"varchar" || name == u"nvarchar"
           || name == u"text" || name == u"ntext";
}

bool SqlColumnType::isRowVersion() const
{
    return name == u"timestamp" || name == u"rowversion";
}

const SqlColumnDefinition *SqlTableDefinition::rowVersionColumn() const
{
    for (const SqlColumnDefinition &column : columns) {
        if (column.type.isRowVersion())
            return &column;
    }
    return nullptr;
}

const SqlColumnDefinition *SqlTableDefinition::identityColumn() const
{
    for (const SqlColumnDefinition &column : columns) {
        if (column.identity)
            return &column;
    }
    return nullptr;
}

SqlTableName parseTableName(SqlRange nodes)
{
    const SqlRange name = trimmed(nodes);
    QStringList parts{QString()};
    for (const SqlNode &node : name) {
        if (node.isPunct(u'.'))
            parts << QString();
        else if (isName(node) && parts.last().isEmpty())
            parts.last() = node.token.name();
        else
            throw SqlUnsupported{u"table name "_s + originalText(name)};
    }
    const QString owner = parts.size() >= 2 ? parts[parts.size() - 2] : QString();
    if (parts.last().isEmpty() || parts.size() > 3
        || (parts.size() >= 2 && !owner.isEmpty() && owner.compare(u"dbo"_s, Qt::CaseInsensitive))
        || (parts.size() == 3 && parts[0].isEmpty()))
        throw SqlUnsupported{u"table name "_s + originalText(name)};

    SqlTableName table;
    table.table = parts.last();
    table.database = parts.size() == 3 ? parts[0] : QString();
    table.temporary = table.table.startsWith(u'#');
    if (table.table.startsWith(u"##"_s))
        throw SqlUnsupported{u"global temporary table "_s + table.table};
    if (table.temporary) {
        if (!table.database.isEmpty()
            && table.database.compare(u"tempdb"_s, Qt::CaseInsensitive) != 0)
            throw SqlUnsupported{u"table name "_s + originalText(name)};
        table.database.clear();
    }
    return table;
}

SqlColumnDefinition parseColumnDefinition(SqlRange nodes)
{
    const auto words = significant(nodes);
    if (words.empty() || !isName(*words[0]))
        throw SqlUnsupported{u"column definition "_s + originalText(trimmed(nodes))};
    SqlColumnDefinition column;
    column.name = words[0]->token.name();
    if (words.size() < 2)
        throw SqlUnsupported{u"column without a type "_s + column.name};
    if (words[1]->isWord(u"as"))
        throw SqlUnsupported{u"computed column "_s + column.name};
    std::size_t i = 2;
    const SqlNode *arguments = i < words.size() && words[i]->isGroup() ? words[i++] : nullptr;
    column.type = parseType(*words[1], arguments);

    while (i < words.size()) {
        const SqlNode &word = *words[i];
        if (word.isWord(u"identity")) {
            column.identity = true;
            ++i;
            if (i < words.size() && words[i]->isGroup()) {
                if (words[i]->text().remove(u' ') != u"(1,1)"_s)
                    throw SqlUnsupported{u"IDENTITY"_s + words[i]->text()};
                ++i;
            }
        } else if (word.isWord(u"null")) {
            ++i;
        } else if (word.isWord(u"not") && i + 1 < words.size() && words[i + 1]->isWord(u"null")) {
            column.notNull = true;
            i += 2;
        } else if (word.isWord(u"primary") && i + 1 < words.size()
                   && words[i + 1]->isWord(u"key")) {
            column.primaryKey = true;
            column.notNull = true;
            i = skipClustering(words, i + 2);
        } else if (word.isWord(u"unique")) {
            column.unique = true;
            i = skipClustering(words, i + 1);
        } else if (word.isWord(u"default")) {
            const std::size_t end = defaultEnd(words, i + 1);
            column.defaultValue = between(nodes, words[i + 1], words[end - 1]);
            i = end;
        } else if (word.isWord(u"constraint") && i + 1 < words.size() && isName(*words[i + 1])) {
            // The name only serves to drop the constraint later, which no caller does.
            i += 2;
        } else {
            throw SqlUnsupported{u"column option "_s + word.text().toUpper() + u" of "_s
                                 + column.name};
        }
    }
    return column;
}

SqlTableDefinition parseCreateTable(SqlRange nodes)
{
    const SqlRange statement = trimmed(nodes);
    std::size_t open = 0;
    while (open < statement.size() && !statement[open].isGroup())
        ++open;
    if (open == statement.size())
        throw SqlUnsupported{u"CREATE TABLE without columns"_s};
    SqlTableDefinition table;
    table.name = parseTableName(statement.first(open));
    const SqlRange rest = trimmed(statement.subspan(open + 1));
    if (!rest.empty())
        throw SqlUnsupported{u"CREATE TABLE option "_s + originalText(rest)};

    for (SqlRange part : splitAtCommas(statement[open].children)) {
        const auto words = significant(part);
        if (words.empty())
            throw SqlUnsupported{u"empty column definition"_s};
        std::size_t i = 0;
        if (words[0]->isWord(u"constraint")) {
            if (words.size() < 3 || !isName(*words[1]))
                throw SqlUnsupported{u"constraint "_s + originalText(trimmed(part))};
            i = 2;
        }
        if (words[i]->isWord(u"primary") && i + 1 < words.size() && words[i + 1]->isWord(u"key")) {
            const std::size_t list = skipClustering(words, i + 2);
            if (!table.primaryKey.isEmpty())
                throw SqlUnsupported{u"a second PRIMARY KEY"_s};
            table.primaryKey = parseKeyColumns(list < words.size() ? words[list] : nullptr);
            if (list + 1 != words.size())
                throw SqlUnsupported{u"key option "_s + originalText(trimmed(part))};
        } else if (words[i]->isWord(u"unique")) {
            const std::size_t list = skipClustering(words, i + 1);
            table.uniqueKeys.push_back(
                parseKeyColumns(list < words.size() ? words[list] : nullptr));
            if (list + 1 != words.size())
                throw SqlUnsupported{u"key option "_s + originalText(trimmed(part))};
        } else if (i > 0 || words[0]->isWord(u"foreign") || words[0]->isWord(u"check")
                   || words[0]->isWord(u"index")) {
            throw SqlUnsupported{u"table constraint "_s + words[i]->text().toUpper()};
        } else {
            table.columns.push_back(parseColumnDefinition(part));
        }
    }

    for (const SqlColumnDefinition &column : table.columns) {
        if (column.primaryKey) {
            if (!table.primaryKey.isEmpty())
                throw SqlUnsupported{u"a second PRIMARY KEY"_s};
            table.primaryKey = {column.name};
        }
    }
    for (const QString &key : std::as_const(table.primaryKey)) {
        auto it = std::find_if(table.columns.begin(), table.columns.end(),
                               [&](const SqlColumnDefinition &c) {
                                   return c.name.compare(key, Qt::CaseInsensitive) == 0;
                               });
        if (it == table.columns.end())
            throw SqlUnsupported{u"PRIMARY KEY column "_s + key + u" is not in the table"_s};
        it->notNull = true;
    }
    int rowVersions = 0;
    int identities = 0;
    for (const SqlColumnDefinition &column : table.columns) {
        rowVersions += column.type.isRowVersion() ? 1 : 0;
        identities += column.identity ? 1 : 0;
    }
    if (rowVersions > 1)
        throw SqlUnsupported{u"a second row-version column"_s};
    if (identities > 1)
        throw SqlUnsupported{u"a second IDENTITY column"_s};
    return table;
}

} // namespace perikon::db::internal
