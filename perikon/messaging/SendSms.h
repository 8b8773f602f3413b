#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace perikon::Common {

// Hands each message of `table` to the host's SMS client library and appends one report text per
// message to `report`, without separators. `table[0]` holds the recipients of each message
// ("13800000000;13900000000"), `table[1]` its text. An error stops the remaining messages; its
// description is appended and written to error.log.
//
// The library is libperikon-smsclient.so beside the component's own library file, or the file
// named by the PERIKON_SMS_CLIENT environment variable.
void sendSMS(const QString &config, const QList<QStringList> &table, QString &report);

// The configuration as the trace shows it: token and password values replaced by "***".
QString maskSmsConfig(const QString &config);

} // namespace perikon::Common
