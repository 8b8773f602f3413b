#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace perikon::db {

// One lexical token of a T-SQL text. `text` is the exact original spelling, so joining the tokens
// of a text gives the text back byte for byte.
struct SqlToken
{
    enum class Kind {
        Whitespace,
        Comment,    // -- to end of line, or /* */ (nesting as T-SQL does)
        Word,       // keyword or plain identifier; also @variables and #temp names
        QuotedName, // [name] or "name"
        String,     // 'text' or N'text'
        Number,
        Operator, // = <> <= >= != + - * / % ...
        Punct,    // ( ) , ; .
        Other,
    };

    Kind kind = Kind::Other;
    QString text;
    bool unterminated = false; // a string, quoted name or comment that runs to the end of the text

    bool isTrivia() const { return kind == Kind::Whitespace || kind == Kind::Comment; }
    // A Word whose text equals `word` ignoring case.
    bool isWord(QStringView word) const;
    bool isPunct(QChar c) const { return kind == Kind::Punct && text.size() == 1 && text[0] == c; }
    bool isOperator(QStringView op) const { return kind == Kind::Operator && text == op; }
    // N'..' rather than '..'.
    bool isNationalString() const;
    // The value of a string literal: quotes and the N prefix removed, '' turned into '.
    QString stringValue() const;
    // The name an identifier token stands for: a Word as written, [a]]b] as a]b, "a""b" as a"b.
    QString name() const;
};

// Where a token lies in its text, without a copy of its text.
struct SqlTokenSpan
{
    SqlToken::Kind kind = SqlToken::Kind::Other;
    qsizetype start = 0;
    qsizetype end = 0; // one past the last character
    bool unterminated = false;
};

// Splits T-SQL text into tokens. It never fails: unterminated literals are flagged on the token
// and left for the caller to refuse.
class SqlTokenizer
{
public:
    static std::vector<SqlToken> tokenize(const QString &text);
    // The same tokens, as places in `text`.
    static std::vector<SqlTokenSpan> spans(const QString &text);
};

} // namespace perikon::db
