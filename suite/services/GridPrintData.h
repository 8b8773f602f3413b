#pragma once

#include <QList>
#include <QString>

namespace perikon::controls {
class HostGrid;
}

namespace perikon::suite {

// What a printed page names besides the rows.
struct PrintHeading
{
    QString title;
    QString operatorName;
    QString account;
    QString year;
    QString date; // yyyy-MM-dd
};

// The host columns of a list grid that print, in screen order: from column 2 on (the row numbers
// and the row marks do not print), without hidden or zero-width columns.
QList<int> printedColumns(const controls::HostGrid &grid);

// The print data XML of the grid as shown (PrintControl.h): printed columns' captions, widths
// and alignment (numbers right), every data row's display texts in the current row order.
QString printDataXml(const controls::HostGrid &grid, const PrintHeading &heading);

// The export type code of a database column type (db::ColumnType): 3 for integers, the type
// itself for decimals (5, 6, 131 ...), 135 for dates and times, 1 (text as it stands) for the
// rest.
int exportTypeCode(int columnType);

} // namespace perikon::suite
