#pragma once

#include <QStringView>

namespace perikon::db {

// How a date and time is written as text wherever the system stores, compares or shows one: the
// form both databases parse and sort correctly as text.
inline constexpr QStringView kDateTimeFormat = u"yyyy-MM-dd HH:mm:ss";
// The same to the millisecond, for values whose order within a second matters.
inline constexpr QStringView kDateTimeMillisFormat = u"yyyy-MM-dd HH:mm:ss.zzz";
// A date without its time.
inline constexpr QStringView kDateFormat = u"yyyy-MM-dd";

} // namespace perikon::db
