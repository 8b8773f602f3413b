#include "apps/automate/GridVerbs.h"

#include "apps/automate/InputEvents.h"
#include "apps/automate/JsonValues.h"
#include "suite/controls/HostGrid.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QJsonArray>
#include <QTableView>
#include <QTreeView>

namespace perikon::automation {
namespace {

using controls::HostGrid;

QHeaderView *horizontalHeaderOf(QAbstractItemView *view)
{
    if (auto *table = qobject_cast<QTableView *>(view))
        return table->horizontalHeader();
    if (auto *tree = qobject_cast<QTreeView *>(view))
        return tree->header();
    return nullptr;
}

// Host column c as a model column.
int modelColumn(QAbstractItemView *view, int col)
{
    return qobject_cast<HostGrid *>(view) ? col - 1 : col;
}

QString cellOutOfRange(int row, int col)
{
    return QStringLiteral("no cell at row %1, column %2").arg(row).arg(col);
}

QJsonObject readHostGrid(HostGrid *grid, int from, int count)
{
    QJsonObject reply = success();
    reply.insert(QStringLiteral("columns"), QJsonArray::fromStringList(grid->headerTexts()));
    QJsonArray rows;
    const int last = count < 0 ? grid->dataRowCount() : qMin(grid->dataRowCount(), from + count);
    for (int r = qMax(from, 0); r < last; ++r)
        rows.append(QJsonArray::fromStringList(grid->rowTexts(r + 1)));
    reply.insert(QStringLiteral("rows"), rows);
    reply.insert(QStringLiteral("rowCount"), grid->dataRowCount());
    reply.insert(QStringLiteral("currentRow"), grid->Row());
    reply.insert(QStringLiteral("currentCol"), grid->Col());
    reply.insert(QStringLiteral("topRow"), grid->TopRow());
    return reply;
}

QJsonObject readItemView(QAbstractItemView *view, int from, int count)
{
    QAbstractItemModel *model = view->model();
    if (!model)
        return failure(QStringLiteral("the grid has no model"));
    const QModelIndex root = view->rootIndex();
    const int rowCount = model->rowCount(root);
    const int colCount = model->columnCount(root);
    QJsonObject reply = success();
    QJsonArray columns;
    for (int c = 0; c < colCount; ++c)
        columns.append(model->headerData(c, Qt::Horizontal).toString());
    reply.insert(QStringLiteral("columns"), columns);
    QJsonArray rows;
    const int last = count < 0 ? rowCount : qMin(rowCount, from + count);
    for (int r = qMax(from, 0); r < last; ++r) {
        QJsonArray cells;
        for (int c = 0; c < colCount; ++c)
            cells.append(model->index(r, c, root).data().toString());
        rows.append(cells);
    }
    reply.insert(QStringLiteral("rows"), rows);
    reply.insert(QStringLiteral("rowCount"), rowCount);
    const QModelIndex current = view->currentIndex();
    reply.insert(QStringLiteral("currentRow"), current.isValid() ? current.row() + 1 : 0);
    reply.insert(QStringLiteral("currentCol"), current.isValid() ? current.column() : 0);
    const QModelIndex top = view->indexAt(QPoint(1, 1));
    reply.insert(QStringLiteral("topRow"), top.isValid() ? top.row() + 1 : 0);
    return reply;
}

} // namespace

QJsonObject readGrid(QAbstractItemView *view, const QJsonObject &request)
{
    const int from = request.value(QLatin1String("from")).toInt(0);
    const int count = request.value(QLatin1String("count")).toInt(-1);
    if (auto *grid = qobject_cast<HostGrid *>(view))
        return readHostGrid(grid, from, count);
    return readItemView(view, from, count);
}

QJsonObject selectCell(QAbstractItemView *view, int row, int col)
{
    if (auto *grid = qobject_cast<HostGrid *>(view)) {
        if (row < 0 || row >= grid->Rows() || col < 0 || col >= grid->Cols())
            return failure(cellOutOfRange(row, col));
        grid->setRow(row);
        grid->setCol(col);
        return success();
    }
    const QModelIndex index
        = view->model() ? view->model()->index(row - 1, col, view->rootIndex()) : QModelIndex();
    if (!index.isValid())
        return failure(cellOutOfRange(row, col));
    view->setCurrentIndex(index);
    return success();
}

QJsonObject clickCell(QAbstractItemView *view, int row, int col, bool twice, Qt::MouseButton button)
{
    auto *grid = qobject_cast<HostGrid *>(view);
    const int modelCol = modelColumn(view, col);
    if (row == 0) {
        QHeaderView *header = horizontalHeaderOf(view);
        if (grid && col == 0) {
            // The corner cell is the view's corner button.
            auto *corner
                = grid->findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
            if (!corner)
                return failure(cellOutOfRange(row, col));
            clickControl(corner, twice);
            return success();
        }
        if (!header || !header->isVisible() || modelCol < 0 || modelCol >= header->count())
            return failure(cellOutOfRange(row, col));
        const int x = header->sectionViewportPosition(modelCol) + header->sectionSize(modelCol) / 2;
        clickAt(header->viewport(), QPoint(x, header->viewport()->height() / 2), twice, button);
        return success();
    }
    if (grid && col == 0) {
        QHeaderView *numbers = grid->verticalHeader();
        if (row > numbers->count() || !numbers->isVisible())
            return failure(cellOutOfRange(row, col));
        grid->scrollTo(grid->model()->index(row - 1, 0));
        const int y = numbers->sectionViewportPosition(row - 1) + numbers->sectionSize(row - 1) / 2;
        clickAt(numbers->viewport(), QPoint(numbers->viewport()->width() / 2, y), twice, button);
        return success();
    }
    const QModelIndex index = view->model()
                                  ? view->model()->index(row - 1, modelCol, view->rootIndex())
                                  : QModelIndex();
    if (!index.isValid())
        return failure(cellOutOfRange(row, col));
    view->scrollTo(index);
    clickAt(view->viewport(), view->visualRect(index).center(), twice, button);
    return success();
}

} // namespace perikon::automation
