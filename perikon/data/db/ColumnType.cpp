#include "ColumnType.h"

#include <QString>
#include <QStringList>

#include <array>

namespace perikon::db {

namespace ColumnType {

bool isInteger(int type)
{
    return type == SmallInt || type == Integer || type == TinyInt || type == BigInt;
}

bool isApproximateOrExact(int type)
{
    return type == Single || type == Double || type == Currency || type == Numeric;
}

bool isDateTime(int type)
{
    return type == Date || type == DBTimeStamp;
}

bool isText(int type)
{
    return type == Char || type == WChar || type == VarChar || type == LongVarChar
           || type == VarWChar || type == LongVarWChar || type == Guid;
}

bool isBinary(int type)
{
    return type == Binary || type == VarBinary || type == LongVarBinary;
}

bool hasSizeLimit(int type)
{
    return type == Char || type == WChar || type == VarChar || type == VarWChar || type == Binary
           || type == VarBinary;
}

} // namespace ColumnType

namespace {

struct TypeEntry
{
    const char *name;
    int type;
    qint64 size; // fixed size; -1: the declared length in parentheses
    qint64 sizeWithoutLength;
};

// The SQL Server types the suite schema declares, with their codes and defined sizes.
constexpr std::array kTypes = {
    TypeEntry{"bit", ColumnType::Boolean, 2, 2},
    TypeEntry{"tinyint", ColumnType::TinyInt, 1, 1},
    TypeEntry{"smallint", ColumnType::SmallInt, 2, 2},
    TypeEntry{"int", ColumnType::Integer, 4, 4},
    TypeEntry{"integer", ColumnType::Integer, 4, 4},
    TypeEntry{"bigint", ColumnType::BigInt, 8, 8},
    TypeEntry{"real", ColumnType::Single, 4, 4},
    TypeEntry{"float", ColumnType::Double, 8, 8},
    TypeEntry{"double", ColumnType::Double, 8, 8},
    TypeEntry{"money", ColumnType::Currency, 8, 8},
    TypeEntry{"smallmoney", ColumnType::Currency, 4, 4},
    TypeEntry{"numeric", ColumnType::Numeric, 19, 19},
    TypeEntry{"decimal", ColumnType::Numeric, 19, 19},
    TypeEntry{"date", ColumnType::Date, 8, 8},
    TypeEntry{"datetime", ColumnType::DBTimeStamp, 16, 16},
    TypeEntry{"smalldatetime", ColumnType::DBTimeStamp, 16, 16},
    TypeEntry{"datetime2", ColumnType::DBTimeStamp, 16, 16},
    TypeEntry{"uniqueidentifier", ColumnType::Guid, 16, 16},
    TypeEntry{"timestamp", ColumnType::Binary, 8, 8},
    TypeEntry{"rowversion", ColumnType::Binary, 8, 8},
    TypeEntry{"binary", ColumnType::Binary, -1, 1},
    TypeEntry{"varbinary", ColumnType::VarBinary, -1, 1},
    TypeEntry{"image", ColumnType::LongVarBinary, ColumnType::LongTextSize,
              ColumnType::LongTextSize},
    TypeEntry{"blob", ColumnType::LongVarBinary, ColumnType::LongTextSize,
              ColumnType::LongTextSize},
    TypeEntry{"char", ColumnType::Char, -1, 1},
    TypeEntry{"nchar", ColumnType::WChar, -1, 1},
    TypeEntry{"varchar", ColumnType::VarChar, -1, 1},
    TypeEntry{"nvarchar", ColumnType::VarWChar, -1, 1},
    TypeEntry{"sysname", ColumnType::VarWChar, 128, 128},
    TypeEntry{"text", ColumnType::LongVarChar, ColumnType::LongTextSize, ColumnType::LongTextSize},
    TypeEntry{"ntext", ColumnType::LongVarWChar, ColumnType::LongWideTextSize,
              ColumnType::LongWideTextSize},
    TypeEntry{"xml", ColumnType::LongVarWChar, ColumnType::LongWideTextSize,
              ColumnType::LongWideTextSize},
};

int longTypeOf(int type)
{
    switch (type) {
    case ColumnType::VarChar:
        return ColumnType::LongVarChar;
    case ColumnType::VarWChar:
        return ColumnType::LongVarWChar;
    case ColumnType::VarBinary:
        return ColumnType::LongVarBinary;
    default:
        return type;
    }
}

} // namespace

DeclaredType declaredTypeOf(QStringView declaration)
{
    const QString decl = declaration.trimmed().toString().toLower();
    if (decl.isEmpty())
        return {};

    // "nvarchar(50)", "numeric(18, 2)", "int identity(1,1)": the first word names the type and
    // the parentheses directly after it carry its length or precision.
    qsizetype nameEnd = 0;
    while (nameEnd < decl.size()
           && (decl.at(nameEnd).isLetterOrNumber() || decl.at(nameEnd) == u'_'))
        ++nameEnd;
    const QString name = decl.left(nameEnd);
    QStringList arguments;
    qsizetype pos = nameEnd;
    while (pos < decl.size() && decl.at(pos).isSpace())
        ++pos;
    if (pos < decl.size() && decl.at(pos) == u'(') {
        const qsizetype close = decl.indexOf(u')', pos);
        if (close > pos)
            arguments = decl.mid(pos + 1, close - pos - 1).split(u',');
    }
    for (QString &argument : arguments)
        argument = argument.trimmed();

    for (const TypeEntry &entry : kTypes) {
        if (name != QLatin1StringView(entry.name))
            continue;
        DeclaredType result;
        result.type = entry.type;
        if (entry.type == ColumnType::Numeric) {
            result.definedSize = entry.size;
            result.precision = arguments.value(0, QStringLiteral("18")).toInt();
            result.scale = arguments.value(1, QStringLiteral("0")).toInt();
        } else if (entry.size >= 0) {
            result.definedSize = entry.size;
        } else if (arguments.isEmpty()) {
            result.definedSize = entry.sizeWithoutLength;
        } else if (arguments.first() == u"max") {
            result.type = longTypeOf(entry.type);
            result.definedSize = result.type == ColumnType::LongVarWChar
                                     ? ColumnType::LongWideTextSize
                                     : ColumnType::LongTextSize;
        } else {
            result.definedSize = arguments.first().toLongLong();
        }
        result.rowVersion = name == u"timestamp" || name == u"rowversion";
        if (entry.type == ColumnType::Currency) {
            result.precision = entry.size == 8 ? 19 : 10;
            result.scale = 4;
        }
        return result;
    }

    // A declaration outside the SQL Server vocabulary (a schema written for SQLite directly): fall
    // back on SQLite's own affinity rules.
    if (decl.contains(u"int"))
        return {ColumnType::Integer, 4};
    if (decl.contains(u"char") || decl.contains(u"clob") || decl.contains(u"text"))
        return {ColumnType::VarWChar, 255};
    if (decl.contains(u"real") || decl.contains(u"floa") || decl.contains(u"doub"))
        return {ColumnType::Double, 8};
    return {ColumnType::VarWChar, 255};
}

DeclaredType declaredTypeOfPostgres(QStringView formatType)
{
    QString type = formatType.trimmed().toString().toLower();
    // A domain outside the search path comes back schema-qualified: "public.flag".
    if (const qsizetype dot = type.indexOf(u'.'); dot >= 0 && !type.startsWith(u"numeric"))
        type = type.mid(dot + 1);
    if (type.isEmpty())
        return {};

    struct PostgresName
    {
        const char *postgres;
        const char *sqlServer;
    };
    // Longest names first: "character varying" before "character".
    static constexpr std::array names = {
        PostgresName{"character varying", "nvarchar"},
        PostgresName{"character", "nchar"},
        PostgresName{"timestamp", "datetime"},
        PostgresName{"double precision", "float"},
        PostgresName{"bytea", "image"},
        PostgresName{"text", "ntext"},
        PostgresName{"boolean", "bit"},
        PostgresName{"flag", "bit"},
        PostgresName{"uuid", "uniqueidentifier"},
    };
    for (const PostgresName &name : names) {
        const QLatin1StringView postgres(name.postgres);
        if (!type.startsWith(postgres))
            continue;
        QString rest = type.mid(postgres.size());
        if (!rest.isEmpty() && !rest.startsWith(u'(') && !rest.startsWith(u' '))
            continue;
        if (postgres == QLatin1StringView("timestamp"))
            rest.clear(); // the precision of the seconds is no length
        if (postgres == QLatin1StringView("character varying") && rest.isEmpty())
            rest = QStringLiteral("(max)");
        return declaredTypeOf(QString(QLatin1StringView(name.sqlServer)) + rest);
    }
    // money is stored as numeric(19,4); other exact numbers keep their precision and scale.
    if (type == u"numeric(19,4)")
        return declaredTypeOf(u"money");
    if (type == u"numeric")
        return declaredTypeOf(u"numeric(38,10)");
    return declaredTypeOf(type);
}

} // namespace perikon::db
