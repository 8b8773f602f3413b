#pragma once

#include "SqlDialect.h"

#include <QString>

#include <span>

namespace perikon::db::internal {

// How a T-SQL function call is carried over to a target.
enum class FunctionRewrite {
    Same,    // same name and arguments (built in, or installed by the driver under that name)
    Rename,  // same arguments, the target's name
    Left,    // LEFT(x, n)
    Right,   // RIGHT(x, n)
    Convert, // CONVERT(type, x [, style])
    Cast,    // CAST(x AS type)
};

struct FunctionRule
{
    const char *tsqlName; // lower case
    FunctionRewrite rewrite;
    const char *targetName = nullptr;
};

// What a CONVERT/CAST target type becomes; the T-SQL type names map onto these on every target.
enum class ValueClass { Text, Integer, Real };

// Everything the rewrites need to know about one target. Adding a target means adding one of
// these, not another copy of the rewrites.
struct SqlTargetProfile
{
    SqlTarget target;
    std::span<const FunctionRule> functions;
    // [name] and names that need quoting on the target; plain names come back unchanged.
    QString (*quoteName)(const QString &name);
    // CAST of an expression to a value class, truncated to `length` characters when given.
    QString (*cast)(const QString &expression, ValueClass valueClass, const QString &length);
    QString (*left)(const QString &text, const QString &count);
    QString (*right)(const QString &text, const QString &count);
    // CONVERT(char, CONVERT(money, x), 2): the row version as text with four decimals.
    QString (*moneyText)(const QString &expression);
    // `+` between strings.
    const char *concatOperator;

    const FunctionRule *function(QStringView tsqlName) const;

    // Throws SqlUnsupported for a target without a translation.
    static const SqlTargetProfile &forTarget(SqlTarget target);
};

} // namespace perikon::db::internal
