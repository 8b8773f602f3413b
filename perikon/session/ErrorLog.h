#pragma once

#include <QString>

namespace perikon {

// An error caught by an operation, as the logs record it.
struct ErrorInfo
{
    qint64 number = 0;
    QString description;
    QString source;
};

// Appends a six-line entry to "SrvTransLog.log" (the data-access error log). A log past 102400
// bytes is deleted first. A log that cannot be written is passed over.
void WriteSrvTransLog(const QString &module, const QString &procedure, qint64 number,
                      const QString &description);

// Appends a report of `error` to "error.log" when `write` is true. A file past 2097152 bytes is
// deleted first. A log that cannot be written is passed over.
void WriteErrorLog(const QString &procedure, bool write, const ErrorInfo &error);

// The folder both logs live in: the folder of the component's library file, unless the
// PERIKON_LOG_DIR environment variable names another (for read-only installations).
QString componentLogFolder();

} // namespace perikon
