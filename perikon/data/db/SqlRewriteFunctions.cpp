// Function calls: names the target shares, renames, and the T-SQL functions that need another
// shape on the target (LEFT, RIGHT, CONVERT, CAST).
#include "SqlRewriter.h"

#include <QLatin1StringView>

#include <array>

namespace perikon::db::internal {

using namespace Qt::StringLiterals;

namespace {

struct TypeRule
{
    QLatin1StringView tsqlType;
    ValueClass valueClass;
};

constexpr std::array typeRules = {
    TypeRule{"char"_L1, ValueClass::Text},        TypeRule{"varchar"_L1, ValueClass::Text},
    TypeRule{"nchar"_L1, ValueClass::Text},       TypeRule{"nvarchar"_L1, ValueClass::Text},
    TypeRule{"text"_L1, ValueClass::Text},        TypeRule{"ntext"_L1, ValueClass::Text},
    TypeRule{"int"_L1, ValueClass::Integer},      TypeRule{"bigint"_L1, ValueClass::Integer},
    TypeRule{"smallint"_L1, ValueClass::Integer}, TypeRule{"tinyint"_L1, ValueClass::Integer},
    TypeRule{"bit"_L1, ValueClass::Integer},      TypeRule{"decimal"_L1, ValueClass::Real},
    TypeRule{"numeric"_L1, ValueClass::Real},     TypeRule{"float"_L1, ValueClass::Real},
    TypeRule{"real"_L1, ValueClass::Real},        TypeRule{"money"_L1, ValueClass::Real},
};

// Date styles whose text is the ISO form the targets store dates in.
constexpr std::array isoDateStyles = {"20"_L1, "120"_L1, "21"_L1, "121"_L1, "23"_L1, "126"_L1};

// The type name of a CONVERT/CAST type such as nvarchar(20): "nvarchar"; empty if not a type.
QString typeName(SqlRange type)
{
    const SqlRange t = trimmed(type);
    if (t.empty() || t[0].isGroup() || t[0].token.kind != SqlToken::Kind::Word)
        return {};
    return t[0].token.text.toLower();
}

bool isMoneyConversion(SqlRange argument, SqlRange &value)
{
    const SqlRange call = trimmed(argument);
    if (call.size() < 2 || !call[0].isWord(u"convert") || !call.back().isGroup()
        || trimmed(call.subspan(1, call.size() - 2)).size() != 0)
        return false;
    const std::vector<SqlRange> inner = splitAtCommas(call.back().children);
    if (inner.size() != 2 || typeName(inner[0]) != u"money"_s)
        return false;
    value = trimmed(inner[1]);
    return true;
}

} // namespace

QString SqlRewriter::functionCall(const SqlNode &nameNode, SqlRange between,
                                  const SqlNode &arguments) const
{
    const FunctionRule &rule = *m_profile.function(nameNode.token.text);
    const std::vector<SqlRange> args = splitAtCommas(arguments.children);
    auto argument = [&](std::size_t i) {
        return expression(trimmed(args[i]));
    };
    switch (rule.rewrite) {
    case FunctionRewrite::Same:
        return nameNode.token.text + originalText(between) + group(arguments);
    case FunctionRewrite::Rename:
        return QLatin1StringView(rule.targetName) + originalText(between) + group(arguments);
    case FunctionRewrite::Left:
    case FunctionRewrite::Right:
        if (args.size() != 2)
            throw SqlUnsupported{nameNode.token.text.toUpper() + u" needs two arguments"_s};
        return rule.rewrite == FunctionRewrite::Left ? m_profile.left(argument(0), argument(1))
                                                     : m_profile.right(argument(0), argument(1));
    case FunctionRewrite::Convert:
        return convert(arguments);
    case FunctionRewrite::Cast:
        return cast(arguments);
    }
    return {};
}

QString SqlRewriter::convert(const SqlNode &arguments) const
{
    const std::vector<SqlRange> args = splitAtCommas(arguments.children);
    if (args.size() < 2 || args.size() > 3)
        throw SqlUnsupported{u"CONVERT needs a type, a value and an optional style"_s};
    const QString type = typeName(args[0]);
    SqlRange moneyValue;
    if (args.size() == 3) {
        const QString style = originalText(trimmed(args[2]));
        const bool textType = type.contains(u"char"_s);
        if (textType && style == u"2"_s && isMoneyConversion(args[1], moneyValue))
            return m_profile.moneyText(expression(moneyValue));
        const bool isoStyle = std::any_of(isoDateStyles.begin(), isoDateStyles.end(),
                                          [&](QLatin1StringView s) { return style == s; });
        if (!textType || !isoStyle)
            throw SqlUnsupported{u"CONVERT style "_s + style};
    }
    return castTo(args[0], expression(trimmed(args[1])));
}

QString SqlRewriter::cast(const SqlNode &arguments) const
{
    const SqlRange args(arguments.children);
    for (std::size_t i = args.size(); i-- > 0;) {
        if (args[i].isWord(u"as"))
            return castTo(args.subspan(i + 1), expression(trimmed(args.first(i))));
    }
    throw SqlUnsupported{u"CAST without AS"_s};
}

QString SqlRewriter::castTo(SqlRange type, const QString &expression) const
{
    const QString typeText = typeName(type);
    const SqlRange t = trimmed(type);
    QString length;
    if (t.size() > 1) {
        const std::size_t lengthAt = nextSignificant(t, 1);
        const bool onlyLength = lengthAt == t.size() - 1 && t[lengthAt].isGroup();
        if (!onlyLength)
            throw SqlUnsupported{u"type "_s + originalText(t)};
        // (n) and (max) of text types, (precision, scale) of numbers
        const std::vector<SqlRange> sizes = splitAtCommas(t[lengthAt].children);
        for (SqlRange size : sizes) {
            const SqlRange value = trimmed(size);
            if (value.size() != 1 || value[0].isGroup()
                || (value[0].token.kind != SqlToken::Kind::Number && !value[0].isWord(u"max")))
                throw SqlUnsupported{u"type "_s + originalText(t)};
        }
        const SqlRange first = trimmed(sizes[0]);
        if (sizes.size() == 1 && first[0].token.kind == SqlToken::Kind::Number)
            length = first[0].token.text;
    }
    for (const TypeRule &rule : typeRules) {
        if (typeText == rule.tsqlType) {
            const bool truncates
                = rule.valueClass == ValueClass::Text && !typeText.contains(u"text"_s);
            return m_profile.cast(expression, rule.valueClass, truncates ? length : QString());
        }
    }
    throw SqlUnsupported{u"conversion to type "_s + originalText(t)};
}

} // namespace perikon::db::internal
