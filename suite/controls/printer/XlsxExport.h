#pragma once

#include "suite/controls/printer/ExportColumns.h"
#include "suite/controls/printer/PrintData.h"
#include "suite/controls/printer/PrinterExport.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

namespace perikon::suite::printer {

// Print data as an Excel workbook of one sheet: the captions in row 1, then one row per printed
// row. Text columns hold strings exactly as shown; integer and decimal columns numbers; date
// columns dates with a date format. A cell its column's kind cannot read stays the shown text.
// A date read from a shown text; a time of 00:00:00 when it showed none.
struct SheetDate
{
    QDate date;
    QTime time;
};

class PERIKON_PRINTER_EXPORT XlsxExport
{
public:
    // Writes the file atomically; the reason when nothing was written.
    static std::optional<QString> write(const PrintData &data, const QList<ExportColumn> &columns,
                                        const QString &path);

    // How a shown text reads as a number ("1,234.50" too); nothing when it is none.
    static std::optional<double> numberOf(const QString &text, CellKind kind);
    // How a shown text reads as a date, with or without a time; nothing when it is none.
    static std::optional<SheetDate> dateOf(const QString &text);
    // The width, in characters, a column gets.
    static double columnWidth(const ExportColumn &column);
};

} // namespace perikon::suite::printer
