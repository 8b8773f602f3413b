#include "suite/controls/batch/BatchValue.h"

#include <QDate>
#include <QRegularExpression>

namespace perikon::suite::batch {
namespace {

bool isDate(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return shape.match(text).hasMatch()
           && QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid();
}

bool isInteger(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^[-+]?\\d+$"));
    bool fits = false;
    text.toInt(&fits);
    return fits && shape.match(text).hasMatch();
}

bool isDecimal(const QString &text, int decimals)
{
    static const QRegularExpression shape(QStringLiteral("^[-+]?(\\d+)?(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return false;
    const QString whole = match.captured(1);
    const QString fraction = match.captured(2);
    if (whole.isEmpty() && fraction.isEmpty())
        return false;
    return fraction.size() <= decimals;
}

} // namespace

std::optional<QString> batchValue(const BatchField &field, const QString &entered)
{
    if (field.kind == BatchValueKind::Choice)
        return entered;
    const QString value = entered.trimmed();
    if (value.isEmpty())
        return value;
    switch (field.kind) {
    case BatchValueKind::Date:
        return isDate(value) ? std::optional(value) : std::nullopt;
    case BatchValueKind::Integer:
        return isInteger(value) ? std::optional(value) : std::nullopt;
    case BatchValueKind::Decimal:
        return isDecimal(value, field.decimals) ? std::optional(value) : std::nullopt;
    case BatchValueKind::Text:
    case BatchValueKind::Reference:
    case BatchValueKind::Choice:
        break;
    }
    return value;
}

} // namespace perikon::suite::batch
