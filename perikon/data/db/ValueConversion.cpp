#include "ValueConversion.h"

#include "DateTimeFormat.h"
#include "DbError.h"

#include <QRegularExpression>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <limits>

namespace perikon::db::ValueConversion {

namespace {

const QString kSource = QStringLiteral("Perikon.Db.Field");

[[noreturn]] void refuse(const ColumnInfo &column, const QVariant &value, const QString &reason)
{
    throw DbError(DbError::ProviderError,
                  QStringLiteral("Column '%1' refuses the value '%2': %3")
                      .arg(column.name, value.toString(), reason),
                  kSource);
}

bool isNumberType(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

std::optional<bool> booleanText(const QString &text)
{
    if (text.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

// Whether a real is a whole number that 64 bits hold: from -2^63 up to, not including, 2^63.
bool isWholeInt64(double number)
{
    return number == std::trunc(number) && number >= -0x1p63 && number < 0x1p63;
}

bool isRealBeyondInt64(const QVariant &value)
{
    if (value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float)
        return false;
    const double number = value.toDouble();
    return std::isfinite(number) && !isWholeInt64(std::trunc(number));
}

std::optional<qint64> integerOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    if (isNumberType(value)) {
        const double number = value.toDouble();
        if (!std::isfinite(number) || isRealBeyondInt64(value))
            return std::nullopt;
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            return qint64(std::trunc(number));
        return value.toLongLong();
    }
    const QString text = value.toString().trimmed();
    if (const auto flag = booleanText(text))
        return *flag ? 1 : 0;
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

std::optional<double> realOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1.0 : 0.0;
    if (isNumberType(value))
        return value.toDouble();
    bool ok = false;
    // QString::toDouble reads the C locale: a point is the decimal separator whatever the user's.
    const double number = value.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
}

std::pair<qint64, qint64> integerRange(int type)
{
    switch (type) {
    case ColumnType::TinyInt:
        return {0, 255};
    case ColumnType::SmallInt:
        return {-32768, 32767};
    case ColumnType::Integer:
        return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    default:
        return {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
    }
}

QVariant integerCallerValue(int type, qint64 number)
{
    if (type != ColumnType::BigInt && number >= std::numeric_limits<int>::min()
        && number <= std::numeric_limits<int>::max())
        return int(number);
    return QVariant::fromValue<qlonglong>(number);
}

QString textOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDateTime:
        return storedDateTimeText(value.toDateTime(), ColumnType::DBTimeStamp);
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

QByteArray bytesOf(const ColumnInfo &column, const QVariant &value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    QString text = value.toString().trimmed();
    if (text.startsWith(u"0x", Qt::CaseInsensitive))
        text = text.mid(2);
    static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    if (!hex.match(text).hasMatch())
        refuse(column, value, QStringLiteral("not binary data"));
    return QByteArray::fromHex(text.toLatin1());
}

bool isBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isBlank(char16_t c)
{
    return QChar::isSpace(c);
}

// Reads the forms parseDateTime accepts from ASCII code units (UTF-8 bytes or UTF-16), with digit
// arithmetic only. The database's dates carry no zone, so the value is the calendar date and clock
// time as written, with no time-zone lookup: a time that the local zone skips or repeats stays
// what it is.
template<typename Char> std::optional<QDateTime> parseDateTimeUnits(const Char *p, const Char *end)
{
    while (p != end && isBlank(*p))
        ++p;
    while (end != p && isBlank(end[-1]))
        --end;
    auto digits = [&](int least, int most, int &value) {
        int count = 0;
        value = 0;
        for (; count < most && p != end && *p >= '0' && *p <= '9'; ++count, ++p)
            value = value * 10 + int(*p - '0');
        return count >= least;
    };
    auto skip = [&](std::initializer_list<char> accepted) {
        if (p == end || std::find(accepted.begin(), accepted.end(), *p) == accepted.end())
            return false;
        ++p;
        return true;
    };

    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
    if (!digits(4, 4, year))
        return std::nullopt;
    if (skip({'-', '/', '.'})) {
        if (!digits(1, 2, month) || !skip({'-', '/', '.'}) || !digits(1, 2, day))
            return std::nullopt;
        if (p != end) {
            if (!skip({' ', 'T'}) || !digits(1, 2, hour) || !skip({':'}) || !digits(1, 2, minute))
                return std::nullopt;
            if (skip({':'})) {
                if (!digits(1, 2, second))
                    return std::nullopt;
                if (skip({'.'})) {
                    const Char *fraction = p;
                    int ignored = 0;
                    if (!digits(1, 7, ignored))
                        return std::nullopt;
                    // Milliseconds: the first three digits of the fraction, cut, not rounded.
                    for (int i = 0; i < 3; ++i)
                        millis = millis * 10 + (fraction + i < p ? int(fraction[i] - '0') : 0);
                }
            }
        }
    } else if (!digits(2, 2, month) || !digits(2, 2, day)) {
        return std::nullopt;
    }
    if (p != end)
        return std::nullopt;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, millis);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

// A stored date as the driver hands it over, read without making a QString of it first.
std::optional<QDateTime> parseStoredDateTime(const char *data, qsizetype size)
{
    const char *end = data + size;
    if (std::any_of(data, end, [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        // Only blanks beyond ASCII could surround a date; QChar knows them all.
        const QString text = QString::fromUtf8(data, size);
        const QStringView units(text);
        return parseDateTimeUnits(units.utf16(), units.utf16() + units.size());
    }
    return parseDateTimeUnits(data, end);
}

} // namespace

std::optional<QDateTime> parseDateTime(QStringView text)
{
    return parseDateTimeUnits(text.utf16(), text.utf16() + text.size());
}

QString storedDateTimeText(const QDateTime &value, int columnType)
{
    if (columnType == ColumnType::Date)
        return value.date().toString(db::kDateFormat);
    return value.toString(db::kDateTimeFormat);
}

QVariant toCallerValue(const ColumnInfo &column, const CellRef &cell)
{
    const int type = column.type;
    switch (cell.kind) {
    case CellKind::Null:
        return {};
    case CellKind::Integer:
        if (type == ColumnType::Boolean)
            return cell.integer != 0;
        if (ColumnType::isApproximateOrExact(type))
            return double(cell.integer);
        if (ColumnType::isText(type))
            return QString::number(cell.integer);
        if (ColumnType::isBinary(type)) {
            // A row version kept as a counter reads as the 8 big-endian bytes of a rowversion.
            QByteArray bytes(8, '\0');
            for (int i = 0; i < 8; ++i)
                bytes[7 - i] = char((quint64(cell.integer) >> (8 * i)) & 0xff);
            return bytes;
        }
        return integerCallerValue(type, cell.integer);
    case CellKind::Real:
        // A whole real beyond 64 bits (SQLite keeps such a value as a real) stays a real.
        if (ColumnType::isInteger(type) && isWholeInt64(cell.real))
            return integerCallerValue(type, qint64(cell.real));
        if (type == ColumnType::Boolean)
            return cell.real != 0;
        if (ColumnType::isText(type))
            return QString::number(cell.real, 'g', 15);
        return cell.real;
    case CellKind::Text: {
        if (ColumnType::isDateTime(type)) {
            if (const auto parsed = parseStoredDateTime(cell.data, cell.size))
                return *parsed;
            return QString::fromUtf8(cell.data, cell.size);
        }
        const QString text = QString::fromUtf8(cell.data, cell.size);
        if (type == ColumnType::Boolean) {
            if (const auto flag = booleanText(text))
                return *flag;
            bool ok = false;
            const qint64 number = text.toLongLong(&ok);
            if (ok)
                return number != 0;
        } else if (ColumnType::isInteger(type)) {
            bool ok = false;
            const qint64 number = text.toLongLong(&ok);
            if (ok)
                return integerCallerValue(type, number);
        } else if (ColumnType::isApproximateOrExact(type)) {
            bool ok = false;
            const double number = text.toDouble(&ok);
            if (ok)
                return number;
        } else if (ColumnType::isBinary(type)) {
            return QByteArray(cell.data, cell.size);
        }
        return text;
    }
    case CellKind::Blob:
        return QByteArray(cell.data, cell.size);
    }
    return {};
}

QVariant toStorage(const ColumnInfo &column, const QVariant &value)
{
    if (value.isNull())
        return {};
    const int type = column.type;

    if (ColumnType::isInteger(type) || type == ColumnType::Boolean) {
        const auto number = integerOf(value);
        if (!number)
            refuse(column, value,
                   isRealBeyondInt64(value) ? QStringLiteral("arithmetic overflow")
                                            : QStringLiteral("not a whole number"));
        if (type == ColumnType::Boolean)
            return QVariant::fromValue<qlonglong>(*number != 0 ? 1 : 0);
        const auto [low, high] = integerRange(type);
        if (*number < low || *number > high)
            refuse(column, value, QStringLiteral("arithmetic overflow"));
        return QVariant::fromValue<qlonglong>(*number);
    }

    if (ColumnType::isApproximateOrExact(type)) {
        const auto number = realOf(value);
        if (!number)
            refuse(column, value, QStringLiteral("not a number"));
        if (type == ColumnType::Currency)
            return std::round(*number * 10000.0) / 10000.0;
        if (type == ColumnType::Numeric) {
            const double factor = std::pow(10.0, column.scale);
            return std::round(*number * factor) / factor;
        }
        if (type == ColumnType::Single)
            return double(float(*number));
        return *number;
    }

    if (ColumnType::isDateTime(type)) {
        QDateTime moment;
        if (value.typeId() == QMetaType::QDateTime)
            moment = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate)
            moment = QDateTime(value.toDate(), QTime(0, 0), Qt::UTC); // no zone: always 00:00
        else if (const auto parsed = parseDateTime(value.toString()))
            moment = *parsed;
        if (!moment.isValid())
            refuse(column, value, QStringLiteral("not a date"));
        if (moment.date() < QDate(1753, 1, 1) || moment.date() > QDate(9999, 12, 31))
            refuse(column, value, QStringLiteral("date out of range"));
        return storedDateTimeText(moment, type);
    }

    if (type == ColumnType::Guid) {
        const QUuid uuid(value.toString().trimmed());
        if (uuid.isNull())
            refuse(column, value, QStringLiteral("not a GUID"));
        return uuid.toString(QUuid::WithBraces).toUpper();
    }

    if (ColumnType::isBinary(type)) {
        const QByteArray bytes = bytesOf(column, value);
        if (ColumnType::hasSizeLimit(type) && bytes.size() > column.definedSize)
            throw DbError(DbError::ProviderError,
                          QStringLiteral("String or binary data would be truncated (column '%1').")
                              .arg(column.name),
                          kSource);
        return bytes;
    }

    const QString text = textOf(value);
    if (ColumnType::hasSizeLimit(type) && column.definedSize > 0
        && text.size() > column.definedSize)
        throw DbError(DbError::ProviderError,
                      QStringLiteral("String or binary data would be truncated (column '%1').")
                          .arg(column.name),
                      kSource);
    return text;
}

} // namespace perikon::db::ValueConversion
