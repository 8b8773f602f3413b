#pragma once

#include <QRegularExpression>
#include <QTest>

namespace perikon::testing {

// For widget tests, call from init(): every Qt warning of the coming test function fails it,
// except the offscreen platform's notes on what it cannot do (size hints and the like), which
// showing any window produces. Tests without widgets run with QT_FATAL_WARNINGS instead.
inline void failOnUnexpectedWarnings()
{
    static const QRegularExpression unexpected(QStringLiteral("^(?!This plugin does not support)"));
    QTest::failOnWarning(unexpected);
}

} // namespace perikon::testing
