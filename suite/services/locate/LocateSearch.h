#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace perikon::suite::locate {

// How a located cell must read the text looked for; letter case never counts.
enum class LocateMatch { Contains, StartsWith, Equals };

// What the operator set for locating in one archive: the column by its caption, and the match.
struct LocateSettings
{
    QString columnCaption;
    LocateMatch match = LocateMatch::Contains;
};

// The settings as they are stored per operator and archive, and read back; a text that is not
// stored settings gives nothing.
QString settingsText(const LocateSettings &settings);
std::optional<LocateSettings> settingsFromText(const QString &text);

bool cellMatches(const QString &cell, const QString &text, LocateMatch match);

// The next data row after `from` (rows 1 .. rows-1, wrapping past the last to the first, `from`
// itself last) whose cell, as `cell` reads it, matches `text`; nothing when none does or the text
// is empty.
std::optional<int> nextMatchingRow(const std::function<QString(int row)> &cell, int rows, int from,
                                   const QString &text, LocateMatch match);

} // namespace perikon::suite::locate
