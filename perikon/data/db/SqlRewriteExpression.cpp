// Token-level rewrites that apply anywhere in a statement: literals, names, db..table, table
// hints, string concatenation, subqueries and function calls.
#include "SqlRewriter.h"

#include "SqlKeywords.h"

namespace perikon::db::internal {

using namespace Qt::StringLiterals;

namespace {

bool isName(const SqlNode &node)
{
    return !node.isGroup()
           && (node.token.kind == SqlToken::Kind::Word
               || node.token.kind == SqlToken::Kind::QuotedName);
}

bool isStringLiteral(SqlRange nodes, std::ptrdiff_t index)
{
    return index >= 0 && std::size_t(index) < nodes.size() && !nodes[index].isGroup()
           && nodes[index].token.kind == SqlToken::Kind::String;
}

} // namespace

QString SqlRewriter::name(const SqlNode &node) const
{
    if (node.token.kind == SqlToken::Kind::QuotedName)
        return m_profile.quoteName(node.token.name());
    return node.token.text;
}

QString SqlRewriter::temporarySchema() const
{
    return m_profile.target == SqlTarget::Postgres ? u"pg_temp"_s : u"tempdb"_s;
}

QString SqlRewriter::temporaryTableName(const QString &name) const
{
    if (name.startsWith(u"##"_s))
        throw SqlUnsupported{u"global temporary table "_s + name};
    return m_profile.quoteName(m_profile.target == SqlTarget::Postgres ? name.toLower() : name);
}

std::size_t SqlRewriter::tableHintEnd(SqlRange nodes, std::size_t at) const
{
    if (at >= nodes.size() || !nodes[at].isWord(u"with"))
        return at;
    const std::size_t hints = nextSignificant(nodes, at + 1);
    if (hints >= nodes.size() || !nodes[hints].isGroup())
        return at;
    const std::vector<SqlRange> words = splitAtCommas(nodes[hints].children);
    for (SqlRange word : words) {
        const SqlRange hint = trimmed(word);
        if (hint.size() != 1 || !isTableHint(hint[0].token.text) || hint[0].isGroup())
            return at;
    }
    return hints + 1;
}

void SqlRewriter::keepApartAfterHint(SqlRange nodes, std::size_t hintEnd, QString &text)
{
    // What stood on both sides of a dropped hint must not run together: two literals would
    // become one ('a'WITH(NOLOCK)'b' is not 'a''b').
    if (hintEnd >= nodes.size() || text.isEmpty() || text.back().isSpace())
        return;
    const SqlToken::Kind next = nodes[hintEnd].token.kind;
    if (nodes[hintEnd].isGroup()
        || (next != SqlToken::Kind::Whitespace && next != SqlToken::Kind::Comment))
        text += u' ';
}

QString SqlRewriter::group(const SqlNode &node) const
{
    const QString inner = startsWithWord(node.children, u"select") ? query(node.children)
                                                                   : expression(node.children);
    return node.token.text + inner + node.close.text;
}

QString SqlRewriter::expression(SqlRange nodes) const
{
    QString text;
    std::size_t ownerDroppedBefore = nodes.size(); // the name after a dropped leading `dbo.`
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const SqlNode &node = nodes[i];
        if (node.isGroup()) {
            text += group(node);
            continue;
        }
        const SqlToken &token = node.token;
        switch (token.kind) {
        case SqlToken::Kind::Whitespace:
        case SqlToken::Kind::Comment: {
            // Table hints go together with the blank before them.
            const std::size_t next = nextSignificant(nodes, i);
            const std::size_t hintEnd = tableHintEnd(nodes, next);
            if (hintEnd != next) {
                i = hintEnd - 1;
                keepApartAfterHint(nodes, hintEnd, text);
                continue;
            }
            text += token.text;
            continue;
        }
        case SqlToken::Kind::String:
            text += token.isNationalString() ? token.text.mid(1) : token.text;
            continue;
        case SqlToken::Kind::Number:
            if (token.text.startsWith(u"0x"_s, Qt::CaseInsensitive))
                throw SqlUnsupported{u"binary literal "_s + token.text};
            text += token.text;
            continue;
        case SqlToken::Kind::Operator:
            if (token.text == u"+"_s
                && (isStringLiteral(nodes, previousSignificant(nodes, i))
                    || isStringLiteral(nodes, std::ptrdiff_t(nextSignificant(nodes, i + 1))))) {
                text += QLatin1StringView(m_profile.concatOperator);
                continue;
            }
            if (token.text == u"*="_s || token.text == u"=*"_s || token.text == u"::"_s)
                throw SqlUnsupported{u"operator "_s + token.text};
            text += token.text;
            continue;
        case SqlToken::Kind::Punct:
            text += token.text;
            continue;
        case SqlToken::Kind::Other:
            throw SqlUnsupported{u"unexpected character "_s + token.text};
        case SqlToken::Kind::QuotedName:
        case SqlToken::Kind::Word:
            break;
        }

        if (const std::size_t hintEnd = tableHintEnd(nodes, i); hintEnd != i) {
            i = hintEnd - 1;
            keepApartAfterHint(nodes, hintEnd, text);
            continue;
        }
        // db..table and db.dbo.table: the target's schema form; a bare dbo. owner goes away.
        if (i + 1 < nodes.size() && nodes[i + 1].isPunct(u'.')) {
            if (node.isWord(u"dbo")) {
                if (i == 0 || !nodes[i - 1].isPunct(u'.'))
                    ownerDroppedBefore = i + 2;
                ++i;
                continue;
            }
            if (i + 3 < nodes.size() && nodes[i + 2].isPunct(u'.') && isName(nodes[i + 3])) {
                const QString database = name(node);
                // tempdb..#t is the temporary table #t.
                if (nodes[i + 3].token.name().startsWith(u'#')) {
                    if (database.compare(u"tempdb"_s, Qt::CaseInsensitive) != 0)
                        throw SqlUnsupported{u"temporary table in "_s + database};
                    text
                        += temporarySchema() + u'.' + temporaryTableName(nodes[i + 3].token.name());
                    i += 3;
                    continue;
                }
                text += m_databaseSchemas.value(database.toLower(), database) + u'.';
                i += 2;
                continue;
            }
        }
        const bool qualified = i > 0 && nodes[i - 1].isPunct(u'.') && i != ownerDroppedBefore;
        if (token.kind == SqlToken::Kind::QuotedName || qualified) {
            text += name(node);
            continue;
        }
        if (token.text.startsWith(u'@'))
            throw SqlUnsupported{u"variable "_s + token.text};
        if (token.text.startsWith(u'#')) {
            text += temporarySchema() + u'.' + temporaryTableName(token.text);
            continue;
        }
        const std::size_t next = nextSignificant(nodes, i + 1);
        if (next < nodes.size() && nodes[next].isGroup()) {
            if (m_profile.function(token.text)) {
                text += functionCall(node, nodes.subspan(i + 1, next - i - 1), nodes[next]);
                i = next;
                continue;
            }
            if (!isReservedWord(token.text))
                throw SqlUnsupported{u"unknown function "_s + token.text};
        }
        if (isReservedWord(token.text) && !isPortableKeyword(token.text))
            throw SqlUnsupported{u"T-SQL keyword "_s + token.text.toUpper()};
        text += token.text;
    }
    return text;
}

} // namespace perikon::db::internal
