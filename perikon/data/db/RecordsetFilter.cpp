#include "RecordsetFilter.h"

#include "DbError.h"
#include "RecordsetData.h"
#include "ValueConversion.h"

namespace perikon::db {

namespace {

const QString kSource = QStringLiteral("Perikon.Db.Recordset");

template<typename T> int ordering(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Dates carry no zone: compare them as written, whatever zone a caller's value was labelled with.
int wallClockOrdering(const QDateTime &a, const QDateTime &b)
{
    const int byDate = ordering(a.date(), b.date());
    return byDate != 0 ? byDate : ordering(a.time(), b.time());
}

} // namespace

class RecordsetFilter::Parser
{
public:
    Parser(const QString &text, const RecordsetData &data, std::vector<Node> &nodes)
        : m_text(text)
        , m_data(data)
        , m_nodes(nodes)
    {}

    int parse()
    {
        const int root = orExpression();
        skipBlanks();
        if (m_pos < m_text.size())
            fail();
        return root;
    }

private:
    int orExpression()
    {
        int left = andExpression();
        while (keyword(u"OR"))
            left = join(Node::Kind::Or, left, andExpression());
        return left;
    }

    int andExpression()
    {
        int left = factor();
        while (keyword(u"AND"))
            left = join(Node::Kind::And, left, factor());
        return left;
    }

    int factor()
    {
        skipBlanks();
        if (peek() == u'(') {
            ++m_pos;
            const int inner = orExpression();
            skipBlanks();
            if (peek() != u')')
                fail();
            ++m_pos;
            return inner;
        }
        return comparison();
    }

    int comparison()
    {
        Node node;
        const QString name = identifier();
        node.column = m_data.indexOf(name);
        if (node.column < 0)
            throw DbError(DbError::ItemNotFound,
                          QStringLiteral("Item cannot be found in the collection corresponding to "
                                         "the requested name or ordinal: %1")
                              .arg(name),
                          kSource);
        node.op = op();
        node.literal = literal();
        if (node.op == Op::Like) {
            QString wildcard = QRegularExpression::escape(node.literal.toString());
            wildcard.replace(QStringLiteral("\\*"), QStringLiteral(".*"));
            wildcard.replace(QStringLiteral("\\%"), QStringLiteral(".*"));
            wildcard.replace(u'%', QStringLiteral(".*"));
            node.pattern = QRegularExpression(QRegularExpression::anchoredPattern(wildcard),
                                              QRegularExpression::CaseInsensitiveOption);
        }
        if (node.literal.typeId() == QMetaType::QString)
            node.literalUtf8 = node.literal.toString().toUtf8();
        m_nodes.push_back(std::move(node));
        return int(m_nodes.size()) - 1;
    }

    QString identifier()
    {
        skipBlanks();
        if (peek() == u'[') {
            const qsizetype close = m_text.indexOf(u']', m_pos);
            if (close < 0)
                fail();
            const QString name = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            return name;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()
               && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == u'_'))
            ++m_pos;
        if (m_pos == start)
            fail();
        return m_text.mid(start, m_pos - start);
    }

    Op op()
    {
        skipBlanks();
        static const std::pair<const char16_t *, Op> ops[] = {
            {u"<>", Op::Ne}, {u"!=", Op::Ne}, {u"<=", Op::Le}, {u">=", Op::Ge},
            {u"=", Op::Eq},  {u"<", Op::Lt},  {u">", Op::Gt},
        };
        for (const auto &[text, value] : ops) {
            const QStringView symbol(text);
            if (QStringView(m_text).mid(m_pos).startsWith(symbol)) {
                m_pos += symbol.size();
                return value;
            }
        }
        if (keyword(u"LIKE"))
            return Op::Like;
        fail();
    }

    QVariant literal()
    {
        skipBlanks();
        const QChar quote = peek();
        if (quote == u'\'' || quote == u'"' || quote == u'#') {
            QString value;
            ++m_pos;
            while (true) {
                if (m_pos >= m_text.size())
                    fail();
                const QChar c = m_text.at(m_pos++);
                if (c != quote) {
                    value += c;
                } else if (quote != u'#' && peek() == quote) {
                    value += c; // a doubled quote stands for one
                    ++m_pos;
                } else {
                    break;
                }
            }
            if (quote == u'#') {
                const auto date = ValueConversion::parseDateTime(value);
                if (!date)
                    fail();
                return *date;
            }
            return value;
        }
        if (keyword(u"NULL"))
            return {};
        const qsizetype start = m_pos;
        while (m_pos < m_text.size()
               && (m_text.at(m_pos).isDigit() || m_text.at(m_pos) == u'.'
                   || m_text.at(m_pos) == u'-' || m_text.at(m_pos) == u'+'
                   || m_text.at(m_pos) == u'e' || m_text.at(m_pos) == u'E'))
            ++m_pos;
        bool ok = false;
        const double number = m_text.mid(start, m_pos - start).toDouble(&ok);
        if (!ok)
            fail();
        return number;
    }

    bool keyword(QStringView word)
    {
        skipBlanks();
        if (!QStringView(m_text).mid(m_pos).startsWith(word, Qt::CaseInsensitive))
            return false;
        const qsizetype end = m_pos + word.size();
        if (end < m_text.size() && (m_text.at(end).isLetterOrNumber() || m_text.at(end) == u'_'))
            return false;
        m_pos = end;
        return true;
    }

    int join(Node::Kind kind, int left, int right)
    {
        Node node;
        node.kind = kind;
        node.left = left;
        node.right = right;
        m_nodes.push_back(std::move(node));
        return int(m_nodes.size()) - 1;
    }

    QChar peek() const { return m_pos < m_text.size() ? m_text.at(m_pos) : QChar(); }
    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }
    [[noreturn]] void fail() const
    {
        throw DbError(DbError::InvalidState,
                      QStringLiteral("The filter \"%1\" cannot be understood (at position %2).")
                          .arg(m_text)
                          .arg(m_pos + 1),
                      kSource);
    }

    const QString &m_text;
    const RecordsetData &m_data;
    std::vector<Node> &m_nodes;
    qsizetype m_pos = 0;
};

RecordsetFilter::RecordsetFilter(const QString &expression, const RecordsetData &data)
{
    m_root = Parser(expression, data, m_nodes).parse();
}

bool RecordsetFilter::matches(const RecordsetData &data, qsizetype row) const
{
    return evaluate(m_root, data, row);
}

bool RecordsetFilter::evaluate(int index, const RecordsetData &data, qsizetype row) const
{
    const Node &node = m_nodes[std::size_t(index)];
    switch (node.kind) {
    case Node::Kind::And:
        return evaluate(node.left, data, row) && evaluate(node.right, data, row);
    case Node::Kind::Or:
        return evaluate(node.left, data, row) || evaluate(node.right, data, row);
    case Node::Kind::Compare:
        return compare(node, data, row);
    }
    return false;
}

bool RecordsetFilter::compare(const Node &node, const RecordsetData &data, qsizetype row) const
{
    const StoredCell &cell = data.rows.cell(row, node.column);
    if (node.literal.isNull() || cell.kind == CellKind::Null) {
        const bool bothNull = node.literal.isNull() && cell.kind == CellKind::Null;
        if (node.op == Op::Eq)
            return bothNull;
        if (node.op == Op::Ne)
            return !bothNull;
        return false;
    }

    // The common case, text against text: compare the stored bytes without converting them.
    if (cell.kind == CellKind::Text && !node.literalUtf8.isNull()
        && (node.op == Op::Eq || node.op == Op::Ne)) {
        const bool equal = data.rows.bytes(cell)
                           == std::string_view(node.literalUtf8.constData(),
                                               std::size_t(node.literalUtf8.size()));
        return node.op == Op::Eq ? equal : !equal;
    }

    const ColumnInfo &column = data.columns()[std::size_t(node.column)];
    const QVariant value = ValueConversion::toCallerValue(column, data.rows.ref(cell));
    if (node.op == Op::Like)
        return node.pattern.match(value.toString()).hasMatch();

    int order = 0;
    if (value.typeId() == QMetaType::QDateTime) {
        const auto literal = node.literal.typeId() == QMetaType::QDateTime
                                 ? std::optional<QDateTime>(node.literal.toDateTime())
                                 : ValueConversion::parseDateTime(node.literal.toString());
        if (!literal)
            return node.op == Op::Ne;
        order = wallClockOrdering(value.toDateTime(), *literal);
    } else if (node.literal.typeId() == QMetaType::Double
               || (value.typeId() != QMetaType::QString
                   && value.typeId() != QMetaType::QByteArray)) {
        bool valueOk = false, literalOk = false;
        const double number = value.toDouble(&valueOk);
        const double literal = node.literal.toDouble(&literalOk);
        if (!valueOk || !literalOk)
            return node.op == Op::Ne;
        order = ordering(number, literal);
    } else {
        order = ordering(value.toString(), node.literal.toString());
    }

    switch (node.op) {
    case Op::Eq:
        return order == 0;
    case Op::Ne:
        return order != 0;
    case Op::Lt:
        return order < 0;
    case Op::Le:
        return order <= 0;
    case Op::Gt:
        return order > 0;
    case Op::Ge:
        return order >= 0;
    case Op::Like:
        break;
    }
    return false;
}

} // namespace perikon::db
