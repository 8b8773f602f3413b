#include "TranslationCache.h"

#include "DbError.h"
#include "SqlTokenizer.h"

namespace perikon::db {

namespace {

// Literal i of a text stands in its shape as these marks around i. Private-use characters: a text
// that holds them is kept whole.
constexpr char16_t kOpenMark = u'\uE000';
constexpr char16_t kCloseMark = u'\uE001';

bool isTranslatedByLiteral(const QString &text, const SqlTokenSpan &span)
{
    // DDL reads the values of its defaults, and procedure calls take their arguments unquoted.
    const QStringView word = QStringView(text).mid(span.start, span.end - span.start);
    for (QStringView leading : {u"create", u"alter", u"exec", u"execute"}) {
        if (word.compare(leading, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Splits a translated text at the literal marks; false when a mark is not alone between quotes
// or names no literal of the text.
bool splitAtMarks(const QString &sql, int literals, std::vector<int> &uses,
                  std::vector<std::pair<QString, int>> &pieces)
{
    qsizetype done = 0;
    for (qsizetype at = sql.indexOf(QChar(kOpenMark)); at >= 0;
         at = sql.indexOf(QChar(kOpenMark), done)) {
        const qsizetype close = sql.indexOf(QChar(kCloseMark), at);
        if (close < 0 || at == 0 || sql.at(at - 1) != u'\'' || close + 1 >= sql.size()
            || sql.at(close + 1) != u'\'')
            return false;
        bool number = false;
        const int index = QStringView(sql).mid(at + 1, close - at - 1).toInt(&number);
        if (!number || index < 0 || index >= literals)
            return false;
        ++uses[std::size_t(index)];
        pieces.emplace_back(sql.mid(done, at - done), -1);
        pieces.emplace_back(QString(), index);
        done = close + 1;
    }
    pieces.emplace_back(sql.mid(done), -1);
    return true;
}

bool hasMark(const QString &text)
{
    return text.contains(QChar(kOpenMark)) || text.contains(QChar(kCloseMark));
}

} // namespace

TranslationCache::TranslationCache(qsizetype capacity)
    : m_texts(capacity)
    , m_shapes(capacity)
{}

qsizetype TranslationCache::shapeCount() const
{
    qsizetype count = 0;
    m_shapes.forEach(
        [&](const QString &, const std::optional<Shape> &shape) { count += shape.has_value(); });
    return count;
}

void TranslationCache::clear()
{
    m_texts.clear();
    m_shapes.clear();
}

std::vector<TranslatedStatement> TranslationCache::steps(const QString &text,
                                                         const Translate &translate)
{
    if (const auto *known = m_texts.find(text))
        return *known;
    const std::optional<std::vector<Literal>> literals = shapeLiterals(text);
    if (!literals)
        return whole(text, translate);
    const QString shapeKey = shapeText(text, *literals);
    if (const std::optional<Shape> *shape = m_shapes.find(shapeKey))
        return *shape ? fill(**shape, text, *literals) : whole(text, translate);

    std::vector<TranslatedStatement> steps = translate(text);
    std::optional<Shape> shape;
    try {
        shape = shapeOf(translate(shapeKey), int(literals->size()));
    } catch (const DbError &) {
        // The marks made a text the dialect refuses: its texts are kept whole.
    }
    // A shape stands for its texts only if it gives this one's translation back.
    if (shape && fill(*shape, text, *literals) != steps)
        shape.reset();
    if (!shape)
        m_texts.insert(text, steps);
    m_shapes.insert(shapeKey, std::move(shape));
    return steps;
}

std::vector<TranslatedStatement> TranslationCache::whole(const QString &text,
                                                         const Translate &translate)
{
    std::vector<TranslatedStatement> steps = translate(text);
    m_texts.insert(text, steps);
    return steps;
}

std::optional<std::vector<TranslationCache::Literal>>
TranslationCache::shapeLiterals(const QString &text)
{
    if (hasMark(text))
        return std::nullopt;
    std::vector<Literal> literals;
    for (const SqlTokenSpan &span : SqlTokenizer::spans(text)) {
        if (span.kind == SqlToken::Kind::Word && isTranslatedByLiteral(text, span))
            return std::nullopt;
        if (span.kind != SqlToken::Kind::String)
            continue;
        if (span.unterminated)
            return std::nullopt;
        const qsizetype quote = text.at(span.start) == u'\'' ? span.start : span.start + 1;
        literals.push_back({quote + 1, span.end - 1});
    }
    if (literals.empty())
        return std::nullopt;
    return literals;
}

QString TranslationCache::shapeText(const QString &text, const std::vector<Literal> &literals)
{
    QString shape;
    shape.reserve(text.size());
    qsizetype done = 0;
    for (std::size_t i = 0; i < literals.size(); ++i) {
        shape += QStringView(text).mid(done, literals[i].start - done);
        shape += QChar(kOpenMark) + QString::number(i) + QChar(kCloseMark);
        done = literals[i].end;
    }
    shape += QStringView(text).mid(done);
    return shape;
}

std::optional<TranslationCache::Shape>
TranslationCache::shapeOf(std::vector<TranslatedStatement> steps, int literals)
{
    Shape shape;
    std::vector<int> uses(std::size_t(literals), 0);
    auto split = [&](QString &sql, std::vector<Pieces> &into) {
        std::vector<std::pair<QString, int>> parts;
        if (!splitAtMarks(sql, literals, uses, parts))
            return false;
        Pieces pieces;
        for (auto &[partText, literal] : parts)
            pieces.push_back({std::move(partText), literal});
        into.push_back(std::move(pieces));
        sql.clear();
        return true;
    };
    for (TranslatedStatement &step : steps) {
        if (step.kind == TranslatedStatement::Kind::Procedure || hasMark(step.database)
            || hasMark(step.procedure) || hasMark(step.arguments.join(QString())))
            return std::nullopt;
        if (!split(step.sql, shape.sql) || !split(step.probe, shape.probe))
            return std::nullopt;
    }
    for (int count : uses) {
        if (count != 1)
            return std::nullopt;
    }
    shape.steps = std::move(steps);
    return shape;
}

std::vector<TranslatedStatement> TranslationCache::fill(const Shape &shape, const QString &text,
                                                        const std::vector<Literal> &literals)
{
    auto join = [&](const Pieces &pieces) {
        QString sql;
        for (const Piece &piece : pieces) {
            if (piece.literal < 0) {
                sql += piece.text;
            } else {
                const Literal &literal = literals[std::size_t(piece.literal)];
                sql += QStringView(text).mid(literal.start, literal.end - literal.start);
            }
        }
        return sql;
    };
    std::vector<TranslatedStatement> steps = shape.steps;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].sql = join(shape.sql[i]);
        steps[i].probe = join(shape.probe[i]);
    }
    return steps;
}

} // namespace perikon::db
