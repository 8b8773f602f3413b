#include "suite/services/locate/LocateSearch.h"

#include <QStringList>

namespace perikon::suite::locate {
namespace {

const QString kSeparator = QStringLiteral("\n");

QString matchName(LocateMatch match)
{
    switch (match) {
    case LocateMatch::StartsWith:
        return QStringLiteral("startswith");
    case LocateMatch::Equals:
        return QStringLiteral("equals");
    case LocateMatch::Contains:
        break;
    }
    return QStringLiteral("contains");
}

} // namespace

QString settingsText(const LocateSettings &settings)
{
    return matchName(settings.match) + kSeparator + settings.columnCaption;
}

std::optional<LocateSettings> settingsFromText(const QString &text)
{
    const qsizetype split = text.indexOf(kSeparator);
    if (split < 0)
        return std::nullopt;
    const QString match = text.left(split);
    LocateSettings settings;
    settings.columnCaption = text.mid(split + 1);
    if (match == matchName(LocateMatch::Contains))
        settings.match = LocateMatch::Contains;
    else if (match == matchName(LocateMatch::StartsWith))
        settings.match = LocateMatch::StartsWith;
    else if (match == matchName(LocateMatch::Equals))
        settings.match = LocateMatch::Equals;
    else
        return std::nullopt;
    return settings;
}

bool cellMatches(const QString &cell, const QString &text, LocateMatch match)
{
    // Cells of fixed-width columns are padded: the blanks around a value do not count.
    const QString value = cell.trimmed();
    const QString wanted = text.trimmed();
    switch (match) {
    case LocateMatch::StartsWith:
        return value.startsWith(wanted, Qt::CaseInsensitive);
    case LocateMatch::Equals:
        return value.compare(wanted, Qt::CaseInsensitive) == 0;
    case LocateMatch::Contains:
        break;
    }
    return value.contains(wanted, Qt::CaseInsensitive);
}

std::optional<int> nextMatchingRow(const std::function<QString(int row)> &cell, int rows, int from,
                                   const QString &text, LocateMatch match)
{
    const int dataRows = rows - 1;
    if (dataRows < 1 || text.trimmed().isEmpty())
        return std::nullopt;
    // From the row after the current one round to the current one itself.
    const int start = from >= 1 && from <= dataRows ? from : 0;
    for (int step = 1; step <= dataRows; ++step) {
        const int row = (start + step - 1) % dataRows + 1;
        if (cellMatches(cell(row), text, match))
            return row;
    }
    return std::nullopt;
}

} // namespace perikon::suite::locate
