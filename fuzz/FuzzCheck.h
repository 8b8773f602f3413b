#pragma once

// What a fuzz target asserts: a broken property stops the run with a message, and libFuzzer
// keeps the input that broke it.

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace perikon::fuzz {

[[noreturn]] inline void fail(const char *property, const QString &detail, const char *file,
                              int line)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n%s\n", file, line, property,
                 detail.toUtf8().constData());
    std::abort();
}

// Makes a text's invisible characters visible in a failure message.
inline QString visible(const QString &text)
{
    QString shown;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            shown += QStringLiteral("\\x%1").arg(uint(c.unicode()), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

} // namespace perikon::fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::perikon::fuzz::fail(#condition, (detail), __FILE__, __LINE__);                       \
    } while (false)
