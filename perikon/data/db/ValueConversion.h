#pragma once

#include "Cell.h"
#include "ColumnInfo.h"

#include <QDateTime>
#include <QVariant>

#include <optional>

namespace perikon::db {

// Conversions between the values callers see and the storage form kept in rows and bound to
// statements (qlonglong, double, QString, QByteArray or null).
namespace ValueConversion {

// The value a caller reads: integers as int (qlonglong for bigint or what does not fit), bit as
// bool, money and numeric as double, dates as QDateTime, text as QString, binary as QByteArray.
// Stored dates carry no zone: they read as a QDateTime in UTC holding the stored date and clock
// time, never shifted by the local zone's daylight saving time.
QVariant toCallerValue(const ColumnInfo &column, const CellRef &cell);

// The storage form of a value assigned to a column; throws DbError when the column refuses it
// (not a number, not a date, out of range, longer than the declared size).
QVariant toStorage(const ColumnInfo &column, const QVariant &value);

// A date or date and time as the suite writes them: ISO ("2024-03-01", "2024-03-01 08:30:00",
// "2024-03-01T08:30:00"), "2024/3/1", "20240301". Invalid dates give nothing. The result is in
// UTC: the date and time exactly as written, with no time-zone lookup.
std::optional<QDateTime> parseDateTime(QStringView text);

// The text form dates are stored in.
QString storedDateTimeText(const QDateTime &value, int columnType);

} // namespace ValueConversion

} // namespace perikon::db
