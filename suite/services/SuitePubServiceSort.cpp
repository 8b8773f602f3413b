// The public service's page sort: the list grid's rows reordered by the current column.

#include "suite/SuiteLogin.h"
#include "suite/services/GridSortOrder.h"
#include "suite/services/SuitePubService.h"

#include "suite/controls/HostGrid.h"

namespace perikon::suite {

void SuitePubService::GridSort(QWidget *window, QWidget *grid, int order)
{
    Q_UNUSED(window)
    auto *hostGrid = qobject_cast<controls::HostGrid *>(grid);
    if (!hostGrid || (order != 1 && order != 2))
        return;
    const int col = hostGrid->Col();
    const int rows = hostGrid->Rows();
    if (col <= 0 || col >= hostGrid->Cols() || rows < 3)
        return;
    std::vector<QString> cells;
    cells.reserve(size_t(rows - 1));
    for (int row = 1; row < rows; ++row)
        cells.push_back(hostGrid->TextMatrix(row, col));
    const QLocale language(QString(sessionLanguage()).replace(u'-', u'_'));
    std::vector<int> newOrder = sortedPositions(
        cells, order == 1 ? SortDirection::Ascending : SortDirection::Descending, language);
    for (int &position : newOrder)
        ++position; // host rows count from the header
    hostGrid->permuteRows(newOrder);
}

} // namespace perikon::suite
