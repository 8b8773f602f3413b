#pragma once

#include "suite/controls/printer/PrintData.h"
#include "suite/controls/printer/PrinterExport.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace perikon::suite::printer {

// Print data as CSV the way spreadsheets read it: UTF-8 with a byte-order mark (so Chinese texts
// open right), comma-separated, CRLF line ends, a field quoted when it holds a comma, a quote or
// a line break, its quotes doubled. The captions are the first line; cells are the display texts.
class PERIKON_PRINTER_EXPORT CsvExport
{
public:
    static QByteArray encode(const PrintData &data);
    // Writes the file atomically; the reason when nothing was written.
    static std::optional<QString> write(const PrintData &data, const QString &path);
};

} // namespace perikon::suite::printer
