// Times a page fill of the host grid: Rows and Cols set with redraw off, every cell written with
// setTextMatrix, redraw switched on every 200 rows (as the list's fill lets painting run) and at
// the end; then the same through setRowTexts. The grid is shown, so the views do their real work.

#include "suite/controls/HostGrid.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <limits>

using perikon::controls::HostGrid;

namespace {

constexpr int kRepeats = 5;

double fillByCells(HostGrid &grid, const QList<QStringList> &page)
{
    QElapsedTimer timer;
    timer.start();
    const int rows = int(page.size());
    const int cols = int(page.first().size());
    grid.setRedraw(false);
    grid.setRows(rows + 1);
    grid.setCols(cols + 1);
    grid.setRedraw(true);
    grid.setRedraw(false);
    for (int r = 1; r <= rows; ++r) {
        const QStringList &values = page.at(r - 1);
        for (int c = 0; c < cols; ++c)
            grid.setTextMatrix(r, c + 1, values.at(c));
        if (r % 200 == 0) {
            grid.setRedraw(true);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            grid.setRedraw(false);
        }
    }
    grid.setRedraw(true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return timer.nsecsElapsed() / 1e6;
}

double fillByRows(HostGrid &grid, const QList<QStringList> &page)
{
    QElapsedTimer timer;
    timer.start();
    grid.setRedraw(false);
    grid.setRows(int(page.size()) + 1);
    grid.setCols(int(page.first().size()) + 1);
    for (int r = 1; r <= page.size(); ++r)
        grid.setRowTexts(r, page.at(r - 1));
    grid.setRedraw(true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    const int cols = argc > 2 ? std::max(1, atoi(argv[2])) : 30;
    QList<QStringList> page;
    page.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList values;
        for (int c = 0; c < cols; ++c)
            values << QStringLiteral("C%1-%2").arg(r, 6, 10, QLatin1Char('0')).arg(c);
        page << values;
    }
    HostGrid grid;
    grid.resize(1000, 700);
    grid.show();
    double cells = std::numeric_limits<double>::max();
    double byRows = std::numeric_limits<double>::max();
    for (int i = 0; i < kRepeats; ++i) {
        grid.setRows(1);
        cells = std::min(cells, fillByCells(grid, page));
        grid.setRows(1);
        byRows = std::min(byRows, fillByRows(grid, page));
    }
    std::printf("%d rows x %d columns, best of %d\n", rows, cols, kRepeats);
    std::printf("  setTextMatrix per cell: %8.2f ms\n", cells);
    std::printf("  setRowTexts per row:    %8.2f ms\n", byRows);
    return 0;
}
