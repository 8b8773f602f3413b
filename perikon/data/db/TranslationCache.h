#pragma once

#include "LruCache.h"
#include "SqlDialect.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace perikon::db {

// The translations of the texts a connection ran. The component writes values into its statements
// as string literals, so most texts are seen once; the dialect copies a literal into its output as
// it stands, so texts that differ only in their string literals share one translation, with the
// literals put back in place. A shape whose translation does not show each literal once, as
// written, is kept by whole text instead.
class TranslationCache
{
public:
    using Translate = std::function<std::vector<TranslatedStatement>(const QString &)>;

    explicit TranslationCache(qsizetype capacity);

    // The steps of `text`: from the cache, or from `translate` (which may throw) on first sight
    // of the text or of its shape.
    std::vector<TranslatedStatement> steps(const QString &text, const Translate &translate);
    void clear();

    // Shapes known to share a translation, and texts kept whole.
    qsizetype shapeCount() const;
    qsizetype textCount() const { return m_texts.size(); }

private:
    // A translated text with literal i where `literal` is i, and plain text where it is -1.
    struct Piece
    {
        QString text;
        int literal = -1;
    };
    using Pieces = std::vector<Piece>;
    struct Shape
    {
        std::vector<TranslatedStatement> steps; // sql and probe are in the pieces
        std::vector<Pieces> sql;
        std::vector<Pieces> probe;
    };
    struct Literal
    {
        qsizetype start = 0; // of the text between the quotes
        qsizetype end = 0;
    };

    static std::optional<std::vector<Literal>> shapeLiterals(const QString &text);
    static QString shapeText(const QString &text, const std::vector<Literal> &literals);
    static std::optional<Shape> shapeOf(std::vector<TranslatedStatement> steps, int literals);
    static std::vector<TranslatedStatement> fill(const Shape &shape, const QString &text,
                                                 const std::vector<Literal> &literals);
    std::vector<TranslatedStatement> whole(const QString &text, const Translate &translate);

    LruCache<std::vector<TranslatedStatement>> m_texts;
    // nullopt: texts of the shape are kept whole.
    LruCache<std::optional<Shape>> m_shapes;
};

} // namespace perikon::db
