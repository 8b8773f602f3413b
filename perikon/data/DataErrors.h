#pragma once

#include <QString>

#include <exception>

namespace perikon::internal {

// What a public operation's error handler learns about the error it caught.
struct CaughtError
{
    qint64 number = 0;
    QString description;
    QString source;
};

// Describes the exception being handled (call only inside a catch block).
CaughtError currentError();

// Appends the caught error to the data-access log under the module and procedure.
void logDataError(const QString &module, const QString &procedure, const CaughtError &error,
                  const QString &descriptionPrefix = {});

// A resource text for a data-access message, or empty text when the host cannot give one: error
// handlers must not fail themselves.
QString dataMessage(const QString &key);

} // namespace perikon::internal
