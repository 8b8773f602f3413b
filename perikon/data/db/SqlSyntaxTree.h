#pragma once

#include "SqlTokenizer.h"

#include <QString>

#include <span>
#include <vector>

namespace perikon::db::internal {

// A token, or a parenthesised group with its contents, so that "depth 0" is simply one level of
// the tree.
struct SqlNode
{
    SqlToken token;                // the token itself, or the '(' of a group
    std::vector<SqlNode> children; // a group's contents
    SqlToken close;                // the ')' of a group
    bool group = false;

    bool isGroup() const { return group; }
    bool isWord(QStringView word) const { return !group && token.isWord(word); }
    bool isPunct(QChar c) const { return !group && token.isPunct(c); }
    bool isTrivia() const { return !group && token.isTrivia(); }
    // The original text, groups included.
    QString text() const;
};

using SqlNodes = std::vector<SqlNode>;
using SqlRange = std::span<const SqlNode>;

// What the rewrites cannot translate; SqlDialect adds the statement text and turns it into a
// DbError.
struct SqlUnsupported
{
    QString reason;
};

// Throws SqlUnsupported for unbalanced parentheses, unterminated literals and a national literal
// right after another literal.
SqlNodes buildSyntaxTree(const std::vector<SqlToken> &tokens);

QString originalText(SqlRange nodes);
// Index of the first node at or after `from` that is not whitespace or a comment; size() if none.
std::size_t nextSignificant(SqlRange nodes, std::size_t from);
// Index of the last significant node before `before`, or -1.
std::ptrdiff_t previousSignificant(SqlRange nodes, std::size_t before);
// The range without leading and trailing whitespace and comments.
SqlRange trimmed(SqlRange nodes);
// The first significant node is the word `word`.
bool startsWithWord(SqlRange nodes, QStringView word);
// Splits at depth-0 commas.
std::vector<SqlRange> splitAtCommas(SqlRange nodes);

} // namespace perikon::db::internal
