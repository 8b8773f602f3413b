#include "suite/controls/printer/ExportColumns.h"

namespace perikon::suite::printer {

CellKind cellKindOfType(int typeCode)
{
    switch (typeCode) {
    case 2:  // smallint
    case 3:  // int
    case 16: // tinyint
    case 17: // unsigned tinyint
    case 18: // unsigned smallint
    case 19: // unsigned int
    case 20: // bigint
    case 21: // unsigned bigint
        return CellKind::Integer;
    case 4:   // single
    case 5:   // double
    case 6:   // currency
    case 14:  // decimal
    case 131: // numeric
    case 139: // varnumeric
        return CellKind::Decimal;
    case 7:   // date
    case 133: // dbdate
    case 135: // timestamp
        return CellKind::Date;
    default:
        return CellKind::Text;
    }
}

QList<ExportColumn> exportColumns(const PrintData &data, const QString &sizes, const QString &types)
{
    const QStringList sizeList = sizes.split(QLatin1Char(','));
    const QStringList typeList = types.split(QLatin1Char(','));
    QList<ExportColumn> columns;
    columns.reserve(data.columns.size());
    for (qsizetype i = 0; i < data.columns.size(); ++i) {
        ExportColumn column;
        column.caption = data.columns[i].caption;
        column.pixelWidth = data.columns[i].width;
        bool ok = false;
        const int type = typeList.value(i).trimmed().toInt(&ok);
        column.kind = ok ? cellKindOfType(type) : CellKind::Text;
        const int size = sizeList.value(i).trimmed().toInt(&ok);
        column.size = ok && size > 0 ? size : 0;
        columns.append(column);
    }
    return columns;
}

} // namespace perikon::suite::printer
