#include "SqlTokenizer.h"

namespace perikon::db {

using namespace Qt::StringLiterals;

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

class Scanner
{
public:
    explicit Scanner(const QString &text)
        : m_text(text)
    {}

    std::vector<SqlTokenSpan> run()
    {
        std::vector<SqlTokenSpan> spans;
        while (m_pos < m_text.size())
            spans.push_back(next());
        return spans;
    }

private:
    QChar at(qsizetype i) const { return i < m_text.size() ? m_text[i] : QChar(); }

    SqlTokenSpan make(SqlToken::Kind kind, qsizetype end, bool unterminated = false)
    {
        const SqlTokenSpan span{kind, m_pos, end, unterminated};
        m_pos = end;
        return span;
    }

    // A literal closed by `close`, where a doubled `close` stands for the character itself.
    SqlTokenSpan quoted(SqlToken::Kind kind, qsizetype contentStart, QChar close)
    {
        qsizetype i = contentStart;
        while (i < m_text.size()) {
            if (m_text[i] == close) {
                if (at(i + 1) == close) {
                    i += 2;
                    continue;
                }
                return make(kind, i + 1);
            }
            ++i;
        }
        return make(kind, i, true);
    }

    SqlTokenSpan blockComment()
    {
        int depth = 0;
        qsizetype i = m_pos;
        while (i < m_text.size()) {
            if (m_text[i] == u'/' && at(i + 1) == u'*') {
                ++depth;
                i += 2;
            } else if (m_text[i] == u'*' && at(i + 1) == u'/') {
                i += 2;
                if (--depth == 0)
                    return make(SqlToken::Kind::Comment, i);
            } else {
                ++i;
            }
        }
        return make(SqlToken::Kind::Comment, i, true);
    }

    SqlTokenSpan number()
    {
        qsizetype i = m_pos;
        if (m_text[i] == u'0' && (at(i + 1) == u'x' || at(i + 1) == u'X')) {
            i += 2;
            while (at(i).isLetterOrNumber())
                ++i;
            return make(SqlToken::Kind::Number, i);
        }
        while (at(i).isDigit())
            ++i;
        if (at(i) == u'.') {
            ++i;
            while (at(i).isDigit())
                ++i;
        }
        if ((at(i) == u'e' || at(i) == u'E')
            && (at(i + 1).isDigit()
                || ((at(i + 1) == u'+' || at(i + 1) == u'-') && at(i + 2).isDigit()))) {
            i += 2;
            while (at(i).isDigit())
                ++i;
        }
        return make(SqlToken::Kind::Number, i);
    }

    SqlTokenSpan next()
    {
        const QChar c = m_text[m_pos];
        if (c.isSpace()) {
            qsizetype i = m_pos;
            while (at(i).isSpace())
                ++i;
            return make(SqlToken::Kind::Whitespace, i);
        }
        if (c == u'-' && at(m_pos + 1) == u'-') {
            qsizetype i = m_pos;
            while (i < m_text.size() && m_text[i] != u'\n' && m_text[i] != u'\r')
                ++i;
            return make(SqlToken::Kind::Comment, i);
        }
        if (c == u'/' && at(m_pos + 1) == u'*')
            return blockComment();
        if (c == u'\'')
            return quoted(SqlToken::Kind::String, m_pos + 1, u'\'');
        if ((c == u'N' || c == u'n') && at(m_pos + 1) == u'\'')
            return quoted(SqlToken::Kind::String, m_pos + 2, u'\'');
        if (c == u'[')
            return quoted(SqlToken::Kind::QuotedName, m_pos + 1, u']');
        if (c == u'"')
            return quoted(SqlToken::Kind::QuotedName, m_pos + 1, u'"');
        if (c.isDigit() || (c == u'.' && at(m_pos + 1).isDigit()))
            return number();
        if (isWordStart(c)) {
            qsizetype i = m_pos + 1;
            while (isWordPart(at(i)))
                ++i;
            return make(SqlToken::Kind::Word, i);
        }
        if (c == u'(' || c == u')' || c == u',' || c == u';' || c == u'.')
            return make(SqlToken::Kind::Punct, m_pos + 1);
        static const QString twoCharOperators[]
            = {u"<="_s, u">="_s, u"<>"_s, u"!="_s, u"!<"_s, u"!>"_s,
               u"+="_s, u"-="_s, u"*="_s, u"/="_s, u"||"_s, u"::"_s};
        for (const QString &op : twoCharOperators) {
            if (QStringView(m_text).mid(m_pos, 2) == op)
                return make(SqlToken::Kind::Operator, m_pos + 2);
        }
        if (QStringLiteral("=<>+-*/%&|^~!").contains(c))
            return make(SqlToken::Kind::Operator, m_pos + 1);
        return make(SqlToken::Kind::Other, m_pos + 1);
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

} // namespace

bool SqlToken::isWord(QStringView word) const
{
    return kind == Kind::Word && QStringView(text).compare(word, Qt::CaseInsensitive) == 0;
}

bool SqlToken::isNationalString() const
{
    return kind == Kind::String && !text.isEmpty() && (text[0] == u'N' || text[0] == u'n');
}

QString SqlToken::stringValue() const
{
    QStringView body(text);
    if (isNationalString())
        body = body.mid(1);
    body = body.mid(1); // opening quote
    if (!unterminated && !body.isEmpty())
        body.chop(1);
    return body.toString().replace(u"''"_s, u"'"_s);
}

QString SqlToken::name() const
{
    if (kind != Kind::QuotedName)
        return text;
    const QChar close = text[0] == u'[' ? u']' : u'"';
    QStringView body = QStringView(text).mid(1);
    if (!unterminated && !body.isEmpty())
        body.chop(1);
    return body.toString().replace(QString(2, close), QString(close));
}

std::vector<SqlToken> SqlTokenizer::tokenize(const QString &text)
{
    std::vector<SqlToken> tokens;
    for (const SqlTokenSpan &span : Scanner(text).run())
        tokens.push_back(
            {span.kind, text.mid(span.start, span.end - span.start), span.unterminated});
    return tokens;
}

std::vector<SqlTokenSpan> SqlTokenizer::spans(const QString &text)
{
    return Scanner(text).run();
}

} // namespace perikon::db
