// The SQL dialect on arbitrary text: the tokenizer gives the text back byte for byte, a statement
// is translated or refused with the dialect's own error, and what the translation hands to a
// database is lexically whole: no literal, quoted name or comment left open, no parenthesis
// left unbalanced.

#include "FuzzCheck.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlDialect.h"
#include "perikon/data/db/SqlTokenizer.h"

#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace perikon::db;
using perikon::fuzz::visible;

namespace {

void checkTokens(const QString &text)
{
    const std::vector<SqlToken> tokens = SqlTokenizer::tokenize(text);
    QString joined;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        FUZZ_CHECK(!tokens[i].text.isEmpty(), visible(text));
        // Only a literal that runs to the end of the text is unterminated.
        FUZZ_CHECK(!tokens[i].unterminated || i + 1 == tokens.size(), visible(text));
        joined += tokens[i].text;
    }
    FUZZ_CHECK(joined == text, visible(text) + QStringLiteral("\n=>\n") + visible(joined));
}

// The values of the string literals in a text, in order.
QStringList literalValues(const QString &text)
{
    QStringList values;
    for (const SqlToken &token : SqlTokenizer::tokenize(text)) {
        if (token.kind == SqlToken::Kind::String)
            values << token.stringValue();
    }
    return values;
}

// Whether every element of `part` is in `whole`, as often as in `part`. Not in order: a TOP
// expression becomes a LIMIT at the end, after the literals of the WHERE clause.
bool isContainedIn(QStringList part, QStringList whole)
{
    part.sort();
    whole.sort();
    return std::includes(whole.cbegin(), whole.cend(), part.cbegin(), part.cend());
}

// Text a database will run: every token closed, parentheses balanced.
void checkWhole(const QString &sql, const QString &source)
{
    const auto detail = [&] {
        return visible(source) + QStringLiteral("\n=>\n") + visible(sql);
    };
    int depth = 0;
    for (const SqlToken &token : SqlTokenizer::tokenize(sql)) {
        FUZZ_CHECK(!token.unterminated, detail());
        if (token.isPunct(u'('))
            ++depth;
        else if (token.isPunct(u')'))
            --depth;
        FUZZ_CHECK(depth >= 0, detail());
    }
    FUZZ_CHECK(depth == 0, detail());
}

void checkTranslation(SqlTarget target, const QString &text)
{
    SqlDialect dialect(target);
    // As an SQLite connection knows its account database.
    if (target == SqlTarget::Sqlite)
        dialect.setDatabaseSchemas({{QStringLiteral("qzdata_001_2026"), QStringLiteral("main")},
                                    {QStringLiteral("main"), QStringLiteral("main")}});
    std::vector<TranslatedStatement> steps;
    try {
        steps = dialect.translate(text);
    } catch (const DbError &e) {
        FUZZ_CHECK(e.number() == DbError::UnsupportedStatement, e.description());
        FUZZ_CHECK(!e.description().isEmpty(), visible(text));
        return;
    }
    // Every literal reaches the target with its value, however the statement around it changes;
    // the translation may add literals of its own.
    QStringList translatedValues;
    for (const TranslatedStatement &step : steps) {
        switch (step.kind) {
        case TranslatedStatement::Kind::Sql:
            checkWhole(step.sql, text);
            translatedValues << literalValues(step.sql);
            break;
        case TranslatedStatement::Kind::IfExists:
            checkWhole(step.probe, text);
            checkWhole(step.sql, text);
            translatedValues << literalValues(step.probe) << literalValues(step.sql);
            break;
        case TranslatedStatement::Kind::UseDatabase:
            FUZZ_CHECK(!step.database.isEmpty(), visible(text));
            break;
        case TranslatedStatement::Kind::Procedure:
            FUZZ_CHECK(!step.procedure.isEmpty(), visible(text));
            translatedValues << step.arguments;
            break;
        }
    }
    FUZZ_CHECK(isContainedIn(literalValues(text), translatedValues),
               visible(text) + QStringLiteral("\n=> literals ")
                   + visible(translatedValues.join(QStringLiteral(" | "))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkTokens(text);

    // SQL Server runs the component's text as written.
    const std::vector<TranslatedStatement> same = SqlDialect(SqlTarget::SqlServer).translate(text);
    FUZZ_CHECK(same.size() == 1 && same[0].sql == text, visible(text));

    checkTranslation(SqlTarget::Sqlite, text);
    checkTranslation(SqlTarget::Postgres, text);
    return 0;
}
