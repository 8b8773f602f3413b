#pragma once

#include "suite/controls/printer/PrintData.h"
#include "suite/controls/printer/PrintRenderer.h"
#include "suite/controls/printer/PrintStyle.h"
#include "suite/controls/printer/PrinterExport.h"

#include <QString>

#include <optional>

namespace perikon::suite::printer {

// Print data as a PDF file: the printed pages, on the style's paper and orientation.
class PERIKON_PRINTER_EXPORT PdfExport
{
public:
    // Writes the file atomically; the reason when nothing was written.
    static std::optional<QString> write(const PrintData &data, const PrintStyle &style,
                                        const PrintLabels &labels, const QString &path);
};

} // namespace perikon::suite::printer
