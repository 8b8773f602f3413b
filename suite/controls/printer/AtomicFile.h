#pragma once

#include "suite/controls/printer/PrinterExport.h"

#include <QString>
#include <QTemporaryFile>

#include <optional>

namespace perikon::suite::printer {

// A file written beside its target under a temporary name and renamed over the target only when
// complete: a failed or cancelled export leaves neither a half-written file nor a changed one.
// The temporary file goes away with the object unless committed.
class PERIKON_PRINTER_EXPORT AtomicFile
{
public:
    explicit AtomicFile(QString targetPath);

    // Creates the temporary file; the reason when the folder takes no file.
    std::optional<QString> open();
    QFileDevice &device() { return m_temporary; }
    // For writers that open files by name: the temporary file, closed so they may replace it.
    QString closedTemporaryPath();
    // Renames the temporary file over the target; the reason when that fails.
    std::optional<QString> commit();

private:
    QString m_target;
    QTemporaryFile m_temporary;
};

} // namespace perikon::suite::printer
