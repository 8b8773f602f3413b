// Statement level: splitting a text into statements and translating each by its leading keyword.
#include "SqlDialect.h"

#include "DbError.h"
#include "SqlDdlWriter.h"
#include "SqlKeywords.h"
#include "SqlRewriter.h"
#include "SqlSyntaxTree.h"
#include "SqlTargetProfile.h"
#include "SqlTokenizer.h"

#include <optional>

namespace perikon::db {

using namespace Qt::StringLiterals;
using namespace internal;

namespace {

TranslatedStatement makeStep(TranslatedStatement::Kind kind, QString sql = {})
{
    TranslatedStatement step;
    step.kind = kind;
    step.sql = std::move(sql);
    return step;
}

bool startsStatement(const SqlNode &node)
{
    for (QStringView word : {u"insert", u"update", u"delete", u"drop", u"use", u"exec", u"execute",
                             u"if", u"create", u"alter"}) {
        if (node.isWord(word))
            return true;
    }
    return false;
}

bool isCompoundOperator(const SqlNode &node)
{
    return node.isWord(u"union") || node.isWord(u"all") || node.isWord(u"except")
           || node.isWord(u"intersect");
}

// CREATE TRIGGER/PROCEDURE/FUNCTION: the statements of its body belong to it.
bool hasBody(SqlRange nodes, const SqlNode *create)
{
    const std::size_t next = nextSignificant(nodes, std::size_t(create - nodes.data()) + 1);
    if (next >= nodes.size())
        return false;
    for (QStringView word : {u"trigger", u"procedure", u"proc", u"function"}) {
        if (nodes[next].isWord(word))
            return true;
    }
    return false;
}

// Statements end at ';' or where the next one begins: "update a ... update b ...". The statement
// after IF EXISTS (...) is the IF's body, and a SELECT after INSERT ... is its source.
std::vector<SqlRange> splitStatements(SqlRange nodes)
{
    std::vector<SqlRange> statements;
    std::size_t start = 0;
    const SqlNode *kind = nullptr; // the leading keyword, or the IF body's
    enum class IfState { None, Condition, Body } ifState = IfState::None;
    bool insertHasSource = false;

    auto close = [&](std::size_t end) {
        statements.push_back(nodes.subspan(start, end - start));
        start = end;
        kind = nullptr;
        ifState = IfState::None;
        insertHasSource = false;
    };
    auto begin = [&](const SqlNode &node) {
        kind = &node;
        ifState = node.isWord(u"if") ? IfState::Condition : IfState::None;
    };

    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const SqlNode &node = nodes[i];
        if (node.isPunct(u';')) {
            close(i);
            start = i + 1;
            continue;
        }
        if (node.isTrivia())
            continue;
        if (!kind) {
            begin(node);
            continue;
        }
        if (ifState == IfState::Condition) {
            if (node.isGroup())
                ifState = IfState::Body;
            continue;
        }
        if (ifState == IfState::Body) {
            kind = &node;
            ifState = IfState::None;
            continue;
        }
        bool splits = startsStatement(node);
        // ALTER TABLE t DROP/ALTER ... and CREATE TRIGGER/PROCEDURE ... AS body are one
        // statement each, which the translation refuses whole.
        if (kind->isWord(u"alter") || (kind->isWord(u"create") && hasBody(nodes, kind)))
            splits = false;
        if (node.isWord(u"select")) {
            const std::ptrdiff_t previous = previousSignificant(nodes, i);
            if (previous >= 0 && isCompoundOperator(nodes[previous]))
                splits = false;
            else if (kind->isWord(u"create") && previous >= 0 && nodes[previous].isWord(u"as"))
                splits = false; // CREATE VIEW v AS SELECT
            else if (kind->isWord(u"insert") && !insertHasSource)
                splits = false;
            else
                splits = true;
        }
        if (node.isWord(u"select") || node.isWord(u"values"))
            insertHasSource = true;
        if (splits) {
            close(i);
            begin(node);
        }
    }
    if (start < nodes.size())
        statements.push_back(nodes.subspan(start));
    return statements;
}

class StatementTranslator
{
public:
    StatementTranslator(const SqlTargetProfile &profile,
                        const QHash<QString, QString> &databaseSchemas)
        : m_rewriter(profile, databaseSchemas)
        , m_ddl(profile, databaseSchemas)
    {}

    std::vector<TranslatedStatement> translate(SqlRange statement) const
    {
        // Blanks around a statement mean nothing; comments stay with it.
        while (!statement.empty() && statement.front().token.kind == SqlToken::Kind::Whitespace
               && !statement.front().isGroup())
            statement = statement.subspan(1);
        while (!statement.empty() && statement.back().token.kind == SqlToken::Kind::Whitespace
               && !statement.back().isGroup())
            statement = statement.first(statement.size() - 1);
        const SqlRange body = trimmed(statement);
        if (body.empty())
            return {};
        const SqlNode &first = body[0];
        if (first.isWord(u"if"))
            return {ifExists(body)};
        if (first.isWord(u"use"))
            return {useDatabase(body)};
        if (first.isWord(u"exec") || first.isWord(u"execute"))
            return {procedure(body)};
        if (first.isWord(u"create") || first.isWord(u"alter")) {
            std::vector<TranslatedStatement> steps;
            for (const QString &sql : ddl(body))
                steps.push_back(makeStep(TranslatedStatement::Kind::Sql, sql));
            return steps;
        }
        return {makeStep(TranslatedStatement::Kind::Sql, dml(statement, first))};
    }

private:
    // CREATE TABLE / INDEX / VIEW and ALTER TABLE ... ADD: one or more target statements.
    QStringList ddl(SqlRange body) const
    {
        std::size_t i = nextSignificant(body, 1);
        auto word = [&](QStringView w) {
            return i < body.size() && body[i].isWord(w);
        };
        auto after = [&] {
            return body.subspan(i + 1);
        };
        if (body[0].isWord(u"alter")) {
            if (!word(u"table"))
                throw SqlUnsupported{u"statement ALTER "_s
                                     + (i < body.size() ? body[i].text() : QString())};
            return m_ddl.alterTable(after());
        }
        if (word(u"table"))
            return m_ddl.createTable(after());
        if (word(u"view"))
            return {m_ddl.createView(after())};
        const bool unique = word(u"unique");
        if (unique)
            i = nextSignificant(body, i + 1);
        if (word(u"clustered") || word(u"nonclustered"))
            i = nextSignificant(body, i + 1);
        if (word(u"index"))
            return {m_ddl.createIndex(after(), unique)};
        throw SqlUnsupported{u"statement CREATE "_s
                             + (i < body.size() ? body[i].text() : QString())};
    }

    QString dml(SqlRange statement, const SqlNode &first) const
    {
        if (first.isWord(u"select"))
            return m_rewriter.query(statement);
        if (first.isWord(u"insert"))
            return insert(statement);
        if (first.isWord(u"update")) {
            refuseDepthZero(statement, u"from", u"UPDATE ... FROM"_s);
            return m_rewriter.expression(statement);
        }
        if (first.isWord(u"delete"))
            return deleteFrom(statement);
        if (first.isWord(u"drop") && startsWithWord(trimmed(statement).subspan(1), u"table"))
            return m_rewriter.expression(statement);
        throw SqlUnsupported{u"statement "_s + first.text().left(40)};
    }

    static void refuseDepthZero(SqlRange nodes, QStringView word, const QString &what)
    {
        for (const SqlNode &node : nodes) {
            if (node.isWord(word))
                throw SqlUnsupported{what};
        }
    }

    QString insert(SqlRange statement) const
    {
        std::size_t i = nextSignificant(statement, 0);
        QString text = originalText(statement.first(i + 1));
        std::size_t next = nextSignificant(statement, i + 1);
        if (next < statement.size() && statement[next].isWord(u"into")) {
            text += originalText(statement.subspan(i + 1, next - i));
            i = next;
        } else {
            text += u" INTO"_s; // INSERT t is INSERT INTO t
        }
        // the table name, then its column list
        std::size_t nameEnd = nextSignificant(statement, i + 1);
        while (nameEnd < statement.size() && !statement[nameEnd].isGroup()
               && !statement[nameEnd].isTrivia() && !statement[nameEnd].isWord(u"values")
               && !statement[nameEnd].isWord(u"select"))
            ++nameEnd;
        text += m_rewriter.expression(statement.subspan(i + 1, nameEnd - i - 1));
        std::size_t source = nextSignificant(statement, nameEnd);
        if (source < statement.size() && statement[source].isGroup()) {
            const SqlNode &columns = statement[source];
            text += originalText(statement.subspan(nameEnd, source - nameEnd)) + columns.token.text
                    + m_rewriter.expression(columns.children) + columns.close.text;
            nameEnd = source + 1;
            source = nextSignificant(statement, nameEnd);
        }
        const SqlRange rest = statement.subspan(nameEnd);
        if (source < statement.size() && statement[source].isWord(u"values"))
            return text + m_rewriter.expression(rest);
        if (source < statement.size() && statement[source].isWord(u"select"))
            return text + m_rewriter.query(rest);
        throw SqlUnsupported{u"INSERT without VALUES or SELECT"_s};
    }

    QString deleteFrom(SqlRange statement) const
    {
        const std::size_t del = nextSignificant(statement, 0);
        const std::size_t next = nextSignificant(statement, del + 1);
        if (next >= statement.size())
            throw SqlUnsupported{u"DELETE without a table"_s};
        if (statement[next].isWord(u"from")) {
            refuseDepthZero(statement.subspan(next + 1), u"from", u"DELETE ... FROM ... FROM"_s);
            return m_rewriter.expression(statement);
        }
        if (statement[next].isWord(u"top"))
            throw SqlUnsupported{u"DELETE TOP"_s};
        refuseDepthZero(statement.subspan(next), u"from", u"DELETE alias FROM"_s);
        // DELETE t WHERE ... is DELETE FROM t WHERE ...
        return originalText(statement.first(next)) + u"FROM "_s
               + m_rewriter.expression(statement.subspan(next));
    }

    TranslatedStatement ifExists(SqlRange statement) const
    {
        std::size_t i = nextSignificant(statement, 1);
        if (i < statement.size() && statement[i].isWord(u"not"))
            throw SqlUnsupported{u"IF NOT EXISTS"_s};
        if (i >= statement.size() || !statement[i].isWord(u"exists"))
            throw SqlUnsupported{u"IF without EXISTS"_s};
        i = nextSignificant(statement, i + 1);
        if (i >= statement.size() || !statement[i].isGroup()
            || !startsWithWord(statement[i].children, u"select"))
            throw SqlUnsupported{u"IF EXISTS without a subquery"_s};
        const SqlRange probe = trimmed(statement[i].children);
        const SqlRange body = trimmed(statement.subspan(i + 1));
        if (body.empty())
            throw SqlUnsupported{u"IF EXISTS without a statement"_s};
        int caseDepth = 0;
        for (const SqlNode &node : body) {
            if (node.isWord(u"case"))
                ++caseDepth;
            else if (node.isWord(u"end"))
                --caseDepth;
            else if (node.isWord(u"else") && caseDepth == 0)
                throw SqlUnsupported{u"IF ... ELSE"_s};
        }
        // IF EXISTS (...) DROP TABLE: how scratch tables are cleared away before a new run.
        if (!body[0].isWord(u"insert") && !body[0].isWord(u"update") && !body[0].isWord(u"delete")
            && !(body[0].isWord(u"drop") && startsWithWord(body.subspan(1), u"table")))
            throw SqlUnsupported{u"IF EXISTS followed by "_s + body[0].text().left(40)};
        TranslatedStatement step
            = makeStep(TranslatedStatement::Kind::IfExists, dml(body, body[0]));
        step.probe = m_rewriter.query(probe);
        return step;
    }

    TranslatedStatement useDatabase(SqlRange statement) const
    {
        const SqlRange name = trimmed(statement.subspan(1));
        if (name.size() != 1 || name[0].isGroup()
            || (name[0].token.kind != SqlToken::Kind::Word
                && name[0].token.kind != SqlToken::Kind::QuotedName))
            throw SqlUnsupported{u"USE needs one database name"_s};
        TranslatedStatement step = makeStep(TranslatedStatement::Kind::UseDatabase);
        step.database = name[0].token.name();
        return step;
    }

    TranslatedStatement procedure(SqlRange statement) const
    {
        TranslatedStatement step = makeStep(TranslatedStatement::Kind::Procedure);
        std::size_t i = nextSignificant(statement, 1);
        // db..proc and dbo.proc name the same suite procedure
        while (i < statement.size() && !statement[i].isGroup() && !statement[i].isTrivia()
               && (statement[i].token.kind == SqlToken::Kind::Word
                   || statement[i].token.kind == SqlToken::Kind::QuotedName
                   || statement[i].isPunct(u'.'))) {
            if (!statement[i].isPunct(u'.'))
                step.procedure = statement[i].token.name();
            ++i;
        }
        if (step.procedure.isEmpty() || step.procedure.startsWith(u'@')
            || isReservedWord(step.procedure))
            throw SqlUnsupported{u"EXECUTE needs a procedure name"_s};
        const SqlRange arguments = trimmed(statement.subspan(i));
        if (arguments.empty())
            return step;
        for (SqlRange argument : splitAtCommas(arguments)) {
            const SqlRange value = trimmed(argument);
            if (value.size() != 1 || value[0].isGroup())
                throw SqlUnsupported{u"procedure argument "_s + originalText(value)};
            const SqlToken &token = value[0].token;
            if (token.kind == SqlToken::Kind::String)
                step.arguments << token.stringValue();
            else if (token.kind == SqlToken::Kind::Number
                     || (token.kind == SqlToken::Kind::Word && !token.text.startsWith(u'@')
                         && !isReservedWord(token.text)))
                step.arguments << token.text;
            else
                throw SqlUnsupported{u"procedure argument "_s + token.text};
        }
        return step;
    }

    SqlRewriter m_rewriter;
    SqlDdlWriter m_ddl;
};

QString targetName(SqlTarget target)
{
    switch (target) {
    case SqlTarget::SqlServer:
        return u"SQL Server"_s;
    case SqlTarget::Sqlite:
        return u"SQLite"_s;
    case SqlTarget::Postgres:
        return u"PostgreSQL"_s;
    }
    return {};
}

DbError unsupported(SqlTarget target, const QString &reason, const QString &statement)
{
    return DbError(DbError::UnsupportedStatement, u"Cannot translate for %1: %2 : %3"_s.arg(
                                                      targetName(target), reason, statement));
}

} // namespace

std::vector<TranslatedStatement> SqlDialect::translate(const QString &sqlServerText) const
{
    if (m_target == SqlTarget::SqlServer)
        return {makeStep(TranslatedStatement::Kind::Sql, sqlServerText)};

    SqlNodes tree;
    const SqlTargetProfile *profile = nullptr;
    try {
        profile = &SqlTargetProfile::forTarget(m_target);
        tree = buildSyntaxTree(SqlTokenizer::tokenize(sqlServerText));
    } catch (const SqlUnsupported &e) {
        throw unsupported(m_target, e.reason, sqlServerText.trimmed());
    }

    const StatementTranslator translator(*profile, m_databaseSchemas);
    std::vector<TranslatedStatement> steps;
    for (SqlRange statement : splitStatements(tree)) {
        try {
            for (TranslatedStatement &step : translator.translate(statement))
                steps.push_back(std::move(step));
        } catch (const SqlUnsupported &e) {
            throw unsupported(m_target, e.reason, originalText(trimmed(statement)));
        }
    }
    return steps;
}

} // namespace perikon::db
