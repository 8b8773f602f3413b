#pragma once

#include "perikon/session/ErrorLog.h"

#include <QString>

#include <exception>

namespace perikon::internal {

// Describes the exception being handled (call only inside a catch block).
ErrorInfo currentError();

// Appends the caught error to the data-access log under the module and procedure.
void logDataError(const QString &module, const QString &procedure, const ErrorInfo &error,
                  const QString &descriptionPrefix = {});

// A resource text for a data-access message, or empty text when the host cannot give one: error
// handlers must not fail themselves.
QString dataMessage(const QString &key);

// The system's message for a database it cannot reach.
QString connectionFailedMessage();

} // namespace perikon::internal
