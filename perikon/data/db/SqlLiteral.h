#pragma once

#include <QString>
#include <QStringView>

namespace perikon::db {

// The one way a value enters the text of a statement between single quotes: quotes doubled, so
// the value is stored and compared exactly as given and can never end the literal early.
// Usage: "... WHERE cContactCode=N'" + sqlEscaped(code) + "'".
inline QString sqlEscaped(QStringView value)
{
    QString escaped;
    escaped.reserve(value.size() + 2);
    for (const QChar c : value) {
        escaped += c;
        if (c == u'\'')
            escaped += c;
    }
    return escaped;
}

// A complete literal: 'value', quotes inside doubled.
inline QString sqlQuoted(QStringView value)
{
    return u'\'' + sqlEscaped(value) + u'\'';
}

// A complete Unicode literal as the component writes them: N'value'.
inline QString sqlNQuoted(QStringView value)
{
    return QStringLiteral("N'") + sqlEscaped(value) + u'\'';
}

} // namespace perikon::db
