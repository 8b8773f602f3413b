#pragma once

#include "suite/controls/printer/PrintData.h"
#include "suite/controls/printer/PrinterExport.h"

#include <QList>
#include <QString>

namespace perikon::suite::printer {

// How an exported cell is written: as text kept verbatim, or as a number or a date a spreadsheet
// can compute with.
enum class CellKind { Text, Integer, Decimal, Date };

// The kind of a column type code (2 smallint, 3 int, 5 double, 6 currency, 131 numeric, 135
// timestamp ...). Text, and every code it does not know, stays text: codes and phone numbers
// keep their leading zeros.
PERIKON_PRINTER_EXPORT CellKind cellKindOfType(int typeCode);

struct ExportColumn
{
    QString caption;
    CellKind kind = CellKind::Text;
    int size = 0; // the defined size handed in; 0 when none was
    int pixelWidth = 100;
};

// The printed columns with the kinds and sizes of the comma-separated lists, one entry per
// column. Missing or unreadable entries leave a column text without a size.
PERIKON_PRINTER_EXPORT QList<ExportColumn>
exportColumns(const PrintData &data, const QString &sizes, const QString &types);

} // namespace perikon::suite::printer
