#include "perikon/list/ListCellFormat.h"

#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/DateTimeFormat.h"

#include <QDateTime>

namespace perikon::list {

namespace {
constexpr int kBooleanType = 11;
}

QString cellText(const QVariant &value, int fieldType)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        return fieldType == db::ColumnType::DBDate ? moment.date().toString(db::kDateFormat)
                                                   : moment.toString(db::kDateTimeFormat);
    }
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

CellFormat cellFormatOf(int fieldType, const QString &fieldName, bool hasDecimals)
{
    if (fieldType == kBooleanType)
        return CellFormat::Boolean;
    if (fieldName.compare(QLatin1String("pictureguid"), Qt::CaseInsensitive) == 0)
        return CellFormat::Picture;
    return hasDecimals ? CellFormat::Decimals : CellFormat::Plain;
}

int userDefinedDecimalsItem(const QString &fieldName)
{
    if (fieldName.compare(QLatin1String("ccondefine13"), Qt::CaseInsensitive) == 0)
        return 13;
    if (fieldName.compare(QLatin1String("ccondefine14"), Qt::CaseInsensitive) == 0)
        return 14;
    return 0;
}

QString formatCell(CellFormat format, const QString &cell, const CellTexts &texts,
                   const std::function<QString(const QString &)> &formatNumber)
{
    switch (format) {
    case CellFormat::Boolean:
        return cell.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? texts.boolTrue
                                                                             : texts.boolFalse;
    case CellFormat::Picture:
        return cell.isEmpty() ? cell : texts.yes;
    case CellFormat::Decimals:
        return formatNumber ? formatNumber(cell) : cell;
    case CellFormat::Plain:
        break;
    }
    return cell;
}

} // namespace perikon::list
