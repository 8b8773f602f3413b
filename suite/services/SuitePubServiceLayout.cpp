// The public service's column settings: the list grid's widths and order kept per operator.

#include "suite/services/SuitePubService.h"

#include "suite/controls/HostGrid.h"
#include "suite/services/SuiteColumnSetService.h"
#include "suite/services/SuiteSql.h"

#include <algorithm>

namespace perikon::suite {
namespace {

struct PlacedColumn
{
    SuiteColumnSetService::GridColumn column;
    int position = 0;
};

// The grid's field columns left to right as the operator sees them.
QList<SuiteColumnSetService::GridColumn> fieldColumns(const controls::HostGrid &grid)
{
    QList<PlacedColumn> placed;
    for (int col = 1; col < grid.Cols(); ++col) {
        const QString field = grid.ColKey(col);
        // The row marks and the hidden ID only serve the list's commands.
        if (field.isEmpty() || field.compare(QLatin1String("cMark"), Qt::CaseInsensitive) == 0
            || field.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0)
            continue;
        placed.append({{field, grid.ColWidth(col)}, grid.ColPosition(col)});
    }
    std::stable_sort(
        placed.begin(), placed.end(),
        [](const PlacedColumn &a, const PlacedColumn &b) { return a.position < b.position; });
    QList<SuiteColumnSetService::GridColumn> columns;
    for (const PlacedColumn &entry : std::as_const(placed))
        columns.append(entry.column);
    return columns;
}

} // namespace

bool SuitePubService::SaveColSet(QObject *ICom, QWidget *grid, const QString &archive,
                                 const QString &userId)
{
    auto *hostGrid = qobject_cast<controls::HostGrid *>(grid);
    db::Connection *connection = connectionOf(ICom);
    if (!hostGrid || !connection || archive.trimmed().isEmpty() || userId.trimmed().isEmpty())
        return false;
    const QList<SuiteColumnSetService::GridColumn> columns = fieldColumns(*hostGrid);
    if (columns.isEmpty())
        return false; // a grid getColSet did not lay out names no column
    SuiteColumnSetService service;
    return service.Init(*connection, userId)
           && service.SaveWidthsAndOrder(archive.trimmed(), columns);
}

} // namespace perikon::suite
