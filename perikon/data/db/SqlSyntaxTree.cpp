#include "SqlSyntaxTree.h"

namespace perikon::db::internal {

using namespace Qt::StringLiterals;

QString SqlNode::text() const
{
    if (!group)
        return token.text;
    return token.text + originalText(children) + close.text;
}

SqlNodes buildSyntaxTree(const std::vector<SqlToken> &tokens)
{
    std::vector<SqlNodes> stack(1);
    std::vector<SqlToken> openers;
    const SqlToken *previous = nullptr;
    for (const SqlToken &token : tokens) {
        if (token.unterminated)
            throw SqlUnsupported{u"unterminated literal, quoted name or comment"_s};
        // 'a'N'b' loses its N on the way: written as 'a''b', the two would read as one literal.
        if (previous && previous->kind == SqlToken::Kind::String && token.isNationalString())
            throw SqlUnsupported{u"a literal right after another one"_s};
        previous = &token;
        if (token.isPunct(u'(')) {
            openers.push_back(token);
            stack.emplace_back();
        } else if (token.isPunct(u')')) {
            if (openers.empty())
                throw SqlUnsupported{u"unbalanced parentheses"_s};
            SqlNode node{openers.back(), std::move(stack.back()), token, true};
            openers.pop_back();
            stack.pop_back();
            stack.back().push_back(std::move(node));
        } else {
            stack.back().push_back(SqlNode{token, {}, {}, false});
        }
    }
    if (!openers.empty())
        throw SqlUnsupported{u"unbalanced parentheses"_s};
    return std::move(stack.front());
}

QString originalText(SqlRange nodes)
{
    QString text;
    for (const SqlNode &node : nodes)
        text += node.text();
    return text;
}

std::size_t nextSignificant(SqlRange nodes, std::size_t from)
{
    while (from < nodes.size() && nodes[from].isTrivia())
        ++from;
    return from;
}

std::ptrdiff_t previousSignificant(SqlRange nodes, std::size_t before)
{
    std::ptrdiff_t i = std::ptrdiff_t(before) - 1;
    while (i >= 0 && nodes[i].isTrivia())
        --i;
    return i;
}

SqlRange trimmed(SqlRange nodes)
{
    std::size_t first = nextSignificant(nodes, 0);
    std::size_t end = nodes.size();
    while (end > first && nodes[end - 1].isTrivia())
        --end;
    return nodes.subspan(first, end - first);
}

bool startsWithWord(SqlRange nodes, QStringView word)
{
    const std::size_t i = nextSignificant(nodes, 0);
    return i < nodes.size() && nodes[i].isWord(word);
}

std::vector<SqlRange> splitAtCommas(SqlRange nodes)
{
    std::vector<SqlRange> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].isPunct(u',')) {
            parts.push_back(nodes.subspan(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(nodes.subspan(start));
    return parts;
}

} // namespace perikon::db::internal
