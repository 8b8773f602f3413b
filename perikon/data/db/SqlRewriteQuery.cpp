// SELECT-level rewrites: TOP becomes LIMIT, `name = expr` items become `expr AS name`.
#include "SqlRewriter.h"

#include "SqlKeywords.h"

namespace perikon::db::internal {

using namespace Qt::StringLiterals;

namespace {

QString leadingTrivia(SqlRange nodes)
{
    return originalText(nodes.first(nextSignificant(nodes, 0)));
}

QString trailingTrivia(SqlRange nodes)
{
    std::size_t start = nodes.size();
    while (start > 0 && nodes[start - 1].isTrivia())
        --start;
    return originalText(nodes.subspan(start));
}

bool isCompoundOperator(const SqlNode &node)
{
    return node.isWord(u"union") || node.isWord(u"except") || node.isWord(u"intersect");
}

bool endsSelectList(const SqlNode &node)
{
    for (QStringView word : {u"from", u"into", u"where", u"group", u"having", u"order"}) {
        if (node.isWord(word))
            return true;
    }
    return false;
}

QString topCount(const SqlNode &node, const SqlRewriter &rewriter)
{
    if (node.isGroup()) {
        const SqlRange inner = trimmed(node.children);
        if (inner.size() == 1 && inner[0].token.kind == SqlToken::Kind::Number)
            return inner[0].token.text;
        return u'(' + rewriter.expression(node.children) + u')';
    }
    if (node.token.kind == SqlToken::Kind::Number
        && !node.token.text.startsWith(u"0x"_s, Qt::CaseInsensitive))
        return node.token.text;
    throw SqlUnsupported{u"TOP without a row count"_s};
}

} // namespace

QString SqlRewriter::query(SqlRange nodes) const
{
    std::vector<SqlRange> members;
    std::vector<SqlRange> separators;
    std::size_t start = 0;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (!isCompoundOperator(nodes[i]))
            continue;
        members.push_back(nodes.subspan(start, i - start));
        std::size_t end = i + 1;
        const std::size_t next = nextSignificant(nodes, end);
        if (next < nodes.size() && nodes[next].isWord(u"all"))
            end = next + 1;
        separators.push_back(nodes.subspan(i, end - i));
        start = end;
        i = end - 1;
    }
    members.push_back(nodes.subspan(start));

    // The ORDER BY after the last part of a compound orders the whole compound.
    SqlRange orderBy;
    if (members.size() > 1) {
        SqlRange &last = members.back();
        for (std::size_t i = 0; i < last.size(); ++i) {
            if (last[i].isWord(u"order")) {
                orderBy = last.subspan(i);
                last = last.first(i);
                break;
            }
        }
    }

    QString text;
    for (std::size_t m = 0; m < members.size(); ++m) {
        const SqlRange member = members[m];
        const SqlRange core = trimmed(member);
        if (core.empty() || !core[0].isWord(u"select"))
            throw SqlUnsupported{u"expected a SELECT"_s};
        QString limit;
        QString coreText = selectCore(core, limit);
        if (!limit.isEmpty()) {
            if (members.size() == 1) {
                coreText += u" LIMIT "_s + limit;
            } else {
                if (m == members.size() - 1 && !orderBy.empty())
                    throw SqlUnsupported{
                        u"TOP in the last part of a compound SELECT with ORDER BY"_s};
                // The target's LIMIT would cut the whole compound; keep it to this part.
                coreText = u"SELECT * FROM ("_s + coreText + u" LIMIT "_s + limit + u')';
                // PostgreSQL names every derived table.
                if (m_profile.target == SqlTarget::Postgres)
                    coreText += u" AS limited_part"_s;
            }
        }
        text += leadingTrivia(member) + coreText + trailingTrivia(member);
        if (m < separators.size())
            text += originalText(separators[m]);
    }
    return text + expression(orderBy);
}

QString SqlRewriter::selectCore(SqlRange nodes, QString &limit) const
{
    QString text = nodes[0].token.text;
    std::size_t i = 1;
    std::size_t next = nextSignificant(nodes, i);
    if (next < nodes.size() && (nodes[next].isWord(u"distinct") || nodes[next].isWord(u"all"))) {
        text += originalText(nodes.subspan(i, next + 1 - i));
        i = next + 1;
        next = nextSignificant(nodes, i);
    }
    if (next < nodes.size() && nodes[next].isWord(u"top")) {
        const std::size_t count = nextSignificant(nodes, next + 1);
        if (count >= nodes.size())
            throw SqlUnsupported{u"TOP without a row count"_s};
        limit = topCount(nodes[count], *this);
        text += originalText(nodes.subspan(i, next - i));
        i = nextSignificant(nodes, count + 1);
        if (i < nodes.size() && (nodes[i].isWord(u"percent") || nodes[i].isWord(u"with")))
            throw SqlUnsupported{u"TOP ... PERCENT or WITH TIES"_s};
    }
    std::size_t listEnd = i;
    while (listEnd < nodes.size() && !endsSelectList(nodes[listEnd]))
        ++listEnd;
    if (listEnd < nodes.size() && nodes[listEnd].isWord(u"into"))
        throw SqlUnsupported{u"SELECT ... INTO"_s};
    text += selectList(nodes.subspan(i, listEnd - i));
    return text + expression(nodes.subspan(listEnd));
}

QString SqlRewriter::selectList(SqlRange nodes) const
{
    QString text;
    const std::vector<SqlRange> items = splitAtCommas(nodes);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += u',';
        text += selectItem(items[i]);
    }
    return text;
}

QString SqlRewriter::selectItem(SqlRange nodes) const
{
    const std::size_t first = nextSignificant(nodes, 0);
    if (first >= nodes.size() || nodes[first].isGroup())
        return expression(nodes);
    const SqlToken &token = nodes[first].token;
    const bool isAliasName = token.kind == SqlToken::Kind::QuotedName
                             || (token.kind == SqlToken::Kind::Word && !isReservedWord(token.text)
                                 && !token.text.startsWith(u'@'));
    const std::size_t equals = nextSignificant(nodes, first + 1);
    if (!isAliasName || equals >= nodes.size() || nodes[equals].isGroup()
        || !nodes[equals].token.isOperator(u"="))
        return expression(nodes);
    // `alias = expression`, the T-SQL spelling of `expression AS alias`
    const SqlRange value = trimmed(nodes.subspan(equals + 1));
    if (value.empty())
        throw SqlUnsupported{u"select item without a value"_s};
    return leadingTrivia(nodes) + expression(value) + u" AS "_s + name(nodes[first])
           + trailingTrivia(nodes);
}

} // namespace perikon::db::internal
