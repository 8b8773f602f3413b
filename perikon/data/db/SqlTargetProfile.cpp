#include "SqlTargetProfile.h"

#include "SqlKeywords.h"
#include "SqlSyntaxTree.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <array>

namespace perikon::db::internal {

using namespace Qt::StringLiterals;

namespace {

// Functions every target knows under the T-SQL name, or rewrites the same way; the functions the
// compatibility layers install (len, getdate, newid, object_id, udf_getlocaleid) are among them.
constexpr std::array sharedFunctions = {
    FunctionRule{"count", FunctionRewrite::Same},
    FunctionRule{"max", FunctionRewrite::Same},
    FunctionRule{"min", FunctionRewrite::Same},
    FunctionRule{"sum", FunctionRewrite::Same},
    FunctionRule{"avg", FunctionRewrite::Same},
    FunctionRule{"upper", FunctionRewrite::Same},
    FunctionRule{"lower", FunctionRewrite::Same},
    FunctionRule{"ltrim", FunctionRewrite::Same},
    FunctionRule{"rtrim", FunctionRewrite::Same},
    FunctionRule{"replace", FunctionRewrite::Same},
    FunctionRule{"coalesce", FunctionRewrite::Same},
    FunctionRule{"nullif", FunctionRewrite::Same},
    FunctionRule{"abs", FunctionRewrite::Same},
    FunctionRule{"round", FunctionRewrite::Same},
    FunctionRule{"len", FunctionRewrite::Same},
    FunctionRule{"getdate", FunctionRewrite::Same},
    FunctionRule{"newid", FunctionRewrite::Same},
    FunctionRule{"object_id", FunctionRewrite::Same},
    FunctionRule{"udf_getlocaleid", FunctionRewrite::Same},
    FunctionRule{"left", FunctionRewrite::Left},
    FunctionRule{"right", FunctionRewrite::Right},
    FunctionRule{"convert", FunctionRewrite::Convert},
    FunctionRule{"cast", FunctionRewrite::Cast},
};

// The shared functions followed by a target's own.
template<std::size_t Own> constexpr auto withShared(const std::array<FunctionRule, Own> &own)
{
    std::array<FunctionRule, sharedFunctions.size() + Own> all{};
    std::size_t i = 0;
    for (const FunctionRule &rule : sharedFunctions)
        all[i++] = rule;
    for (const FunctionRule &rule : own)
        all[i++] = rule;
    return all;
}

constexpr auto sqliteFunctions = withShared(std::array{
    FunctionRule{"isnull", FunctionRewrite::Rename, "ifnull"},
    FunctionRule{"substring", FunctionRewrite::Rename, "substr"},
});

QString sqliteQuoteName(const QString &name)
{
    static const QRegularExpression plain(u"^[A-Za-z_][A-Za-z0-9_]*$"_s);
    const QByteArray utf8 = name.toUtf8();
    if (plain.match(name).hasMatch() && !isReservedWord(name)
        && !sqlite3_keyword_check(utf8.constData(), int(utf8.size())))
        return name;
    return u'"' + QString(name).replace(u"\""_s, u"\"\""_s) + u'"';
}

QString sqliteCast(const QString &expression, ValueClass valueClass, const QString &length)
{
    switch (valueClass) {
    case ValueClass::Integer:
        return u"CAST("_s + expression + u" AS INTEGER)"_s;
    case ValueClass::Real:
        return u"CAST("_s + expression + u" AS REAL)"_s;
    case ValueClass::Text:
        break;
    }
    const QString text = u"CAST("_s + expression + u" AS TEXT)"_s;
    return length.isEmpty() ? text : u"substr("_s + text + u",1,"_s + length + u')';
}

QString sqliteLeft(const QString &text, const QString &count)
{
    return u"substr("_s + text + u",1,"_s + count + u')';
}

// A negative start counts from the end; with the count as length, a count beyond the text's
// length yields the whole text and 0 yields '' as RIGHT does.
QString sqliteRight(const QString &text, const QString &count)
{
    return u"substr("_s + text + u",-("_s + count + u"),"_s + count + u')';
}

QString moneyTextCall(const QString &expression)
{
    return u"money_text("_s + expression + u')';
}

const SqlTargetProfile sqliteProfile{
    SqlTarget::Sqlite, sqliteFunctions, sqliteQuoteName, sqliteCast,
    sqliteLeft,        sqliteRight,     moneyTextCall,   "||",
};

constexpr auto postgresFunctions = withShared(std::array{
    FunctionRule{"substring", FunctionRewrite::Same},
    FunctionRule{"isnull", FunctionRewrite::Rename, "coalesce"},
});

// Words PostgreSQL reserves that SQL Server lets a name be.
bool isPostgresReserved(const QString &name)
{
    static const QStringList reserved = {
        u"user"_s,      u"analyse"_s,      u"analyze"_s,  u"array"_s,   u"asymmetric"_s,
        u"both"_s,      u"current_role"_s, u"do"_s,       u"leading"_s, u"limit"_s,
        u"localtime"_s, u"offset"_s,       u"only"_s,     u"placing"_s, u"returning"_s,
        u"symmetric"_s, u"trailing"_s,     u"variadic"_s, u"window"_s,  u"verbose"_s,
        u"freeze"_s,    u"ilike"_s,        u"isnull"_s,   u"notnull"_s, u"similar"_s,
    };
    return reserved.contains(name.toLower());
}

// A plain name stays unquoted, so PostgreSQL folds it like every name the schema created; a name
// that needs quotes keeps its case (an alias such as [Contact Code]).
QString postgresQuoteName(const QString &name)
{
    static const QRegularExpression plain(u"^[\\p{L}_][\\p{L}\\p{N}_]*$"_s);
    if (plain.match(name).hasMatch() && !isReservedWord(name) && !isPostgresReserved(name))
        return name;
    return u'"' + QString(name).replace(u"\""_s, u"\"\""_s) + u'"';
}

QString postgresCast(const QString &expression, ValueClass valueClass, const QString &length)
{
    switch (valueClass) {
    case ValueClass::Integer:
        return u"CAST("_s + expression + u" AS bigint)"_s;
    case ValueClass::Real:
        return u"CAST("_s + expression + u" AS double precision)"_s;
    case ValueClass::Text:
        break;
    }
    // varchar(n) cuts longer text as the SQL Server conversion does.
    return u"CAST("_s + expression
           + (length.isEmpty() ? u" AS text)"_s : u" AS varchar("_s + length + u"))"_s);
}

QString postgresLeft(const QString &text, const QString &count)
{
    return u"left("_s + text + u","_s + count + u')';
}

QString postgresRight(const QString &text, const QString &count)
{
    return u"right("_s + text + u","_s + count + u')';
}

const SqlTargetProfile postgresProfile{
    SqlTarget::Postgres, postgresFunctions, postgresQuoteName, postgresCast,
    postgresLeft,        postgresRight,     moneyTextCall,     "||",
};

} // namespace

const FunctionRule *SqlTargetProfile::function(QStringView tsqlName) const
{
    for (const FunctionRule &rule : functions) {
        if (tsqlName.compare(QLatin1StringView(rule.tsqlName), Qt::CaseInsensitive) == 0)
            return &rule;
    }
    return nullptr;
}

const SqlTargetProfile &SqlTargetProfile::forTarget(SqlTarget target)
{
    if (target == SqlTarget::Sqlite)
        return sqliteProfile;
    if (target == SqlTarget::Postgres)
        return postgresProfile;
    throw SqlUnsupported{u"no translation for this database target yet"_s};
}

} // namespace perikon::db::internal
