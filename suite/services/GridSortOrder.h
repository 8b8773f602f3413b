#pragma once

#include <QLocale>
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace perikon::suite {

// How a grid column compares its cells, decided from the cells themselves: numbers when every
// non-empty cell is one, dates when every non-empty cell is a date, text otherwise. A column of
// empty cells only is text.
enum class ColumnKind { Number, Date, Text };

enum class SortDirection { Ascending, Descending };

// "-1,234.5", "+7", ".5": an optional sign, digits with group commas and a decimal point.
std::optional<double> gridNumber(QStringView text);
// "yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss" as seconds on one scale; none for anything else.
std::optional<qint64> gridDateTime(QStringView text);
ColumnKind columnKind(std::span<const QString> cells);

// The positions of `cells` in sorted order: by kind (columnKind), text by the collation of
// `language` ("zh-CN" orders by pinyin); blank cells first ascending, last descending. Stable:
// equal cells keep their order in either direction.
std::vector<int> sortedPositions(std::span<const QString> cells, SortDirection direction,
                                 const QLocale &language);

} // namespace perikon::suite
