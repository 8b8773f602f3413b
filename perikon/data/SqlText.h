#pragma once

#include <QString>

namespace perikon {

// The one way a value enters the text of a statement between quotes: single quotes doubled, so
// the value is stored and compared exactly as given and can never end the literal early.
// Usage: "... WHERE cContactCode=N'" + sqlEscape(code) + "'".
inline QString sqlEscape(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return escaped;
}

} // namespace perikon
