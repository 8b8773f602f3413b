// The host grid as the list window and scripts use it: host numbering (row 0 the header, column 0
// the row numbers), shape changes, the redraw switch, the current cell, alignment codes, colours in
// blue-green-red order and mouse signals in host numbering.

#include "suite/controls/HostGrid.h"
#include "support/FailOnWarnings.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using perikon::controls::HostGrid;

namespace {

enum class Shown { Header, Cell, Number, Corner, Nowhere };

// What the views show at a host cell: the header for row 0, the vertical header for column 0,
// the model's cell otherwise.
QString shownText(const HostGrid &grid, Shown where, int row, int col)
{
    const QAbstractItemModel *model = grid.model();
    switch (where) {
    case Shown::Header:
        return model->headerData(col - 1, Qt::Horizontal).toString();
    case Shown::Cell:
        return model->index(row - 1, col - 1).data().toString();
    case Shown::Number:
        return model->headerData(row - 1, Qt::Vertical).toString();
    case Shown::Corner:
        return grid.findChild<QLabel *>(QStringLiteral("Corner"))->text();
    case Shown::Nowhere:
        break;
    }
    return {};
}

void fillWithCoordinates(HostGrid &grid)
{
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c)
            grid.setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    }
}

QPoint centreOfSection(const QHeaderView *header, int section)
{
    const int along = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    return header->orientation() == Qt::Horizontal ? QPoint(along, header->height() / 2)
                                                   : QPoint(header->width() / 2, along);
}

} // namespace

Q_DECLARE_METATYPE(Shown)

class tst_HostGrid : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void textMatrixRoundTripsAndShowsWhereTheHostPutsIt_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<Shown>("shown");
        QTest::addColumn<QString>("readBack");
        const QString code = QStringLiteral("联系人编码");
        QTest::newRow("header cell") << 0 << 2 << Shown::Header << code;
        QTest::newRow("data cell") << 3 << 4 << Shown::Cell << code;
        QTest::newRow("first data cell") << 1 << 1 << Shown::Cell << code;
        QTest::newRow("last data cell") << 4 << 5 << Shown::Cell << code;
        QTest::newRow("row-number cell") << 2 << 0 << Shown::Number << code;
        QTest::newRow("corner") << 0 << 0 << Shown::Corner << code;
        QTest::newRow("row past the end") << 5 << 1 << Shown::Nowhere << QString();
        QTest::newRow("column past the end") << 1 << 6 << Shown::Nowhere << QString();
        QTest::newRow("negative row") << -1 << 1 << Shown::Nowhere << QString();
    }

    void textMatrixRoundTripsAndShowsWhereTheHostPutsIt()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(Shown, shown);
        QFETCH(QString, readBack);
        HostGrid grid;
        QAbstractItemModelTester tester(grid.model());
        grid.setRows(5);
        grid.setCols(6);
        QCOMPARE(grid.model()->rowCount(), 4);
        QCOMPARE(grid.model()->columnCount(), 5);

        grid.setTextMatrix(row, col, QStringLiteral("联系人编码"));
        QCOMPARE(grid.TextMatrix(row, col), readBack);
        if (shown != Shown::Nowhere)
            QCOMPARE(shownText(grid, shown, row, col), readBack);
        // Nothing else changed.
        int written = 0;
        for (int r = 0; r < grid.Rows(); ++r) {
            for (int c = 0; c < grid.Cols(); ++c)
                written += grid.TextMatrix(r, c).isEmpty() ? 0 : 1;
        }
        QCOMPARE(written, readBack.isEmpty() ? 0 : 1);
    }

    void dataRowsShowTheirNumbersUnlessWritten()
    {
        HostGrid grid;
        grid.setRows(4);
        grid.setCols(3);
        grid.setTextMatrix(0, 0, QStringLiteral("序号"));
        grid.setTextMatrix(0, 1, QStringLiteral("联系人编码"));
        grid.setTextMatrix(0, 2, QStringLiteral("Name"));
        grid.setTextMatrix(2, 0, QStringLiteral("√"));
        grid.setRowTexts(3, {QStringLiteral("C003"), QStringLiteral("王五")});

        QCOMPARE(grid.model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
        QCOMPARE(grid.model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("√"));
        QCOMPARE(grid.model()->headerData(2, Qt::Vertical).toString(), QStringLiteral("3"));
        QCOMPARE(grid.TextMatrix(1, 0), QString());
        QCOMPARE(grid.headerTexts(),
                 QStringList({QStringLiteral("序号"), QStringLiteral("联系人编码"), "Name"}));
        QCOMPARE(grid.rowTexts(3), QStringList({"3", "C003", QStringLiteral("王五")}));
        QCOMPARE(grid.rowTexts(2), QStringList({QStringLiteral("√"), "", ""}));
        QCOMPARE(grid.rowTexts(4), QStringList());
        QCOMPARE(grid.dataRowCount(), 3);
    }

    void rowTextsWriteFromTheirFirstColumnAndStopAtTheLast_data()
    {
        QTest::addColumn<int>("firstCol");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("from column 1") << 1 << QStringList{"1", "a", "b", "c"};
        QTest::newRow("from the number column") << 0 << QStringList{"a", "b", "c", "d"};
        QTest::newRow("cut at the last column") << 2 << QStringList{"1", "", "a", "b"};
        QTest::newRow("past the last column") << 4 << QStringList{"1", "", "", ""};
    }

    void rowTextsWriteFromTheirFirstColumnAndStopAtTheLast()
    {
        QFETCH(int, firstCol);
        QFETCH(QStringList, expected);
        HostGrid grid;
        QAbstractItemModelTester tester(grid.model());
        grid.setRows(3);
        grid.setCols(4);
        grid.setRowTexts(1, {"a", "b", "c", "d", "e"}, firstCol);
        QCOMPARE(grid.rowTexts(1), expected);
        QCOMPARE(grid.rowTexts(2), QStringList({"2", "", "", ""}));
    }

    void resizingKeepsTheCellsThatRemain_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::newRow("more rows") << 7 << 4;
        QTest::newRow("fewer rows") << 2 << 4;
        QTest::newRow("header only") << 1 << 4;
        QTest::newRow("more columns") << 4 << 6;
        QTest::newRow("fewer columns") << 4 << 2;
        QTest::newRow("both shrink") << 2 << 2;
        QTest::newRow("both grow") << 9 << 8;
    }

    void resizingKeepsTheCellsThatRemain()
    {
        QFETCH(int, rows);
        QFETCH(int, cols);
        for (const bool redraw : {true, false}) {
            HostGrid grid;
            QAbstractItemModelTester tester(grid.model());
            grid.setRows(4);
            grid.setCols(4);
            fillWithCoordinates(grid);
            grid.setRedraw(redraw);
            grid.setRows(rows);
            grid.setCols(cols);
            // Cells dropped by a shrink stay gone when the grid grows again.
            grid.setRows(rows + 2);
            grid.setCols(cols + 2);
            grid.setRedraw(true);
            QCOMPARE(grid.model()->rowCount(), rows + 1);
            QCOMPARE(grid.model()->columnCount(), cols + 1);
            for (int r = 0; r < grid.Rows(); ++r) {
                for (int c = 0; c < grid.Cols(); ++c) {
                    const bool kept = r < std::min(rows, 4) && c < std::min(cols, 4);
                    QCOMPARE(grid.TextMatrix(r, c),
                             kept ? QStringLiteral("%1,%2").arg(r).arg(c) : QString());
                }
            }
        }
    }

    void fixedLinesBoundTheShape()
    {
        HostGrid grid;
        QCOMPARE(grid.FixedRows(), 1);
        QCOMPARE(grid.FixedCols(), 1);
        grid.setRows(0);
        QCOMPARE(grid.Rows(), 1);
        grid.setFixedRows(0);
        grid.setRows(0);
        QCOMPARE(grid.Rows(), 0);
        QCOMPARE(grid.dataRowCount(), 0);
        grid.setFixedRows(1);
        QCOMPARE(grid.Rows(), 1);

        grid.setRows(3);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QVERIFY(grid.verticalHeader()->isVisible());
        QVERIFY(grid.ColWidth(0) > 0);
        grid.setFixedCols(0);
        QVERIFY(!grid.verticalHeader()->isVisible());
        QCOMPARE(grid.ColWidth(0), 0);
        grid.setCols(0);
        QCOMPARE(grid.Cols(), 0);
    }

    void redrawOffTellsTheViewsNothingUntilSwitchedOn()
    {
        HostGrid grid;
        QAbstractItemModelTester tester(grid.model());
        grid.setRows(11);
        grid.setCols(3);
        fillWithCoordinates(grid);
        const QAbstractItemModel *model = grid.model();
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy headerChanged(model, &QAbstractItemModel::headerDataChanged);
        QSignalSpy rowsInserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy rowsRemoved(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy columnsInserted(model, &QAbstractItemModel::columnsInserted);
        QSignalSpy columnsRemoved(model, &QAbstractItemModel::columnsRemoved);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        QSignalSpy layoutChanged(model, &QAbstractItemModel::layoutChanged);
        const auto heard = [&] {
            return changed.count() + headerChanged.count() + rowsInserted.count()
                   + rowsRemoved.count() + columnsInserted.count() + columnsRemoved.count()
                   + reset.count() + layoutChanged.count();
        };

        grid.setRedraw(false);
        QVERIFY(!grid.Redraw());
        // A page flip: shrink to the header, grow to the new page, rewrite every cell.
        grid.setRows(1);
        grid.setRows(201);
        grid.setCols(4);
        for (int r = 1; r < 201; ++r)
            grid.setRowTexts(r, {QString::number(r), QStringLiteral("名%1").arg(r), "x"});
        grid.setTextMatrix(0, 3, QStringLiteral("电话"));
        grid.setCellAlignment(5, 2, 7);
        QCOMPARE(heard(), 0);
        QCOMPARE(model->rowCount(), 10);
        QCOMPARE(model->columnCount(), 2);
        QCOMPARE(grid.TextMatrix(200, 2), QStringLiteral("名200"));

        grid.setRedraw(true);
        QVERIFY(heard() > 0);
        QCOMPARE(model->rowCount(), 200);
        QCOMPARE(model->columnCount(), 3);
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("电话"));
        // Every row the views already had is announced as changed: its cells were rewritten.
        QVERIFY(!changed.isEmpty());
        int first = model->rowCount();
        int last = -1;
        for (const QList<QVariant> &arguments : std::as_const(changed)) {
            first = std::min(first, arguments.at(0).toModelIndex().row());
            last = std::max(last, arguments.at(1).toModelIndex().row());
        }
        QCOMPARE(first, 0);
        QVERIFY(last >= 9);
        QCOMPARE(model->index(4, 1).data().toString(), QStringLiteral("名5"));
    }

    void redrawOnAnnouncesOnlyTheRowsWrittenMeanwhile_data()
    {
        QTest::addColumn<QList<int>>("writtenRows");
        QTest::addColumn<QList<int>>("changedRows"); // first and last model row, or none
        QTest::addColumn<int>("headerChanges");
        QTest::newRow("nothing written") << QList<int>{} << QList<int>{} << 0;
        QTest::newRow("one row") << QList<int>{150} << QList<int>{149, 149} << 0;
        QTest::newRow("two rows apart") << QList<int>{80, 5} << QList<int>{4, 79} << 0;
        QTest::newRow("header only") << QList<int>{0} << QList<int>{} << 1;
        QTest::newRow("header and last row") << QList<int>{0, 200} << QList<int>{199, 199} << 1;
    }

    void redrawOnAnnouncesOnlyTheRowsWrittenMeanwhile()
    {
        QFETCH(QList<int>, writtenRows);
        QFETCH(QList<int>, changedRows);
        QFETCH(int, headerChanges);
        HostGrid grid;
        QAbstractItemModelTester tester(grid.model());
        grid.setRows(201);
        grid.setCols(3);
        grid.setRedraw(false);
        grid.setRedraw(true);
        QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy headerChanged(grid.model(), &QAbstractItemModel::headerDataChanged);
        grid.setRedraw(false);
        for (const int row : writtenRows)
            grid.setTextMatrix(row, 2, QStringLiteral("新"));
        grid.setRedraw(true);
        QList<int> announced;
        for (const QList<QVariant> &arguments : std::as_const(changed))
            announced << arguments.at(0).toModelIndex().row()
                      << arguments.at(1).toModelIndex().row();
        QCOMPARE(announced, changedRows);
        QCOMPARE(headerChanged.count(), headerChanges);
    }

    void currentCellFollowsProgramAndOperator()
    {
        HostGrid grid;
        grid.resize(400, 300);
        grid.setRows(6);
        grid.setCols(4);
        QCOMPARE(grid.Row(), 0);
        QCOMPARE(grid.Col(), 0);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy moved(&grid, &HostGrid::rowColChanged);

        grid.setRow(3);
        grid.setCol(2);
        QCOMPARE(grid.Row(), 3);
        QCOMPARE(grid.Col(), 2);
        QCOMPARE(grid.currentIndex(), grid.model()->index(2, 1));
        QCOMPARE(moved.last(), QList<QVariant>({3, 2}));
        const qsizetype moves = moved.count();

        grid.setRow(6); // past the last row: ignored
        grid.setCol(-1);
        QCOMPARE(grid.Row(), 3);
        QCOMPARE(grid.Col(), 2);
        QCOMPARE(moved.count(), moves);

        const QModelIndex target = grid.model()->index(4, 2);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(target).center());
        QCOMPARE(grid.Row(), 5);
        QCOMPARE(grid.Col(), 3);
        QCOMPARE(moved.last(), QList<QVariant>({5, 3}));

        grid.setRows(3); // the current row falls off: the last row left becomes current
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.currentIndex().row(), 1);
        QCOMPARE(moved.last(), QList<QVariant>({2, 3}));

        grid.setRow(0);
        QCOMPARE(grid.Row(), 0);
        QVERIFY(!grid.currentIndex().isValid());
        QVERIFY(grid.selectionModel()->selectedIndexes().isEmpty());
    }

    void topRowScrollsTheDataRows()
    {
        HostGrid grid;
        grid.resize(300, 200);
        grid.setRows(201);
        grid.setCols(3);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.TopRow(), 1);

        grid.setTopRow(50);
        QCOMPARE(grid.TopRow(), 50);
        QCOMPARE(grid.rowAt(0), 49);
        grid.setTopRow(0);
        grid.setTopRow(202);
        QCOMPARE(grid.TopRow(), 50);
        grid.verticalScrollBar()->setValue(0);
        QCOMPARE(grid.TopRow(), 1);
    }

    void alignmentCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        const auto add = [](const char *name, int code, const QString &text, Qt::Alignment a) {
            QTest::newRow(name) << code << text << int(a);
        };
        add("0 left top", 0, "a", Qt::AlignLeft | Qt::AlignTop);
        add("1 left centre", 1, "a", Qt::AlignLeft | Qt::AlignVCenter);
        add("2 left bottom", 2, "a", Qt::AlignLeft | Qt::AlignBottom);
        add("3 centre top", 3, "a", Qt::AlignHCenter | Qt::AlignTop);
        add("4 centre centre", 4, "a", Qt::AlignHCenter | Qt::AlignVCenter);
        add("5 centre bottom", 5, "a", Qt::AlignHCenter | Qt::AlignBottom);
        add("6 right top", 6, "a", Qt::AlignRight | Qt::AlignTop);
        add("7 right centre", 7, "1", Qt::AlignRight | Qt::AlignVCenter);
        add("8 right bottom", 8, "a", Qt::AlignRight | Qt::AlignBottom);
        add("9 general text", 9, QStringLiteral("联系人"), Qt::AlignLeft | Qt::AlignVCenter);
        add("9 general number", 9, "1,234.50", Qt::AlignRight | Qt::AlignVCenter);
        add("9 general negative", 9, "-12", Qt::AlignRight | Qt::AlignVCenter);
        add("9 general code with digits", 9, "C001", Qt::AlignLeft | Qt::AlignVCenter);
        add("unknown code keeps general", 12, "42", Qt::AlignRight | Qt::AlignVCenter);
    }

    void alignmentCodes()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(int, expected);
        HostGrid grid;
        QAbstractItemModelTester tester(grid.model());
        grid.setRows(4);
        grid.setCols(4);
        for (int r = 0; r < 4; ++r) {
            for (int c = 1; c < 4; ++c)
                grid.setTextMatrix(r, c, text);
        }
        const QAbstractItemModel *model = grid.model();
        const auto cellAlignment = [model](int row, int col) {
            return model->index(row - 1, col - 1).data(Qt::TextAlignmentRole).toInt();
        };
        const QVariant headerBefore = model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole);
        const int neighbourBefore = cellAlignment(2, 3);

        grid.setCellAlignment(1, 1, code);
        QCOMPARE(cellAlignment(1, 1), expected);
        grid.setCellAlignment(0, 3, code);
        if (code <= 9)
            QCOMPARE(model->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), expected);

        grid.setColAlignment(2, code);
        QCOMPARE(cellAlignment(1, 2), expected);
        QCOMPARE(cellAlignment(3, 2), expected);
        // The column's header and its neighbours keep their own alignment.
        QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole), headerBefore);
        QCOMPARE(cellAlignment(2, 3), neighbourBefore);
    }

    void coloursComeInBlueGreenRedOrder_data()
    {
        QTest::addColumn<int>("bgr");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("fixed cells") << 0xFFE3C6 << QColor(0xC6, 0xE3, 0xFF);
        QTest::newRow("selection") << 0x9F6646 << QColor(0x46, 0x66, 0x9F);
        QTest::newRow("pure red") << 0x0000FF << QColor(Qt::red);
        QTest::newRow("pure blue") << 0xFF0000 << QColor(Qt::blue);
        QTest::newRow("grid lines") << 0xAEAEAE << QColor(0xAE, 0xAE, 0xAE);
        QTest::newRow("system button face")
            << int(0x8000000F) << QGuiApplication::palette().color(QPalette::Button);
    }

    void coloursComeInBlueGreenRedOrder()
    {
        QFETCH(int, bgr);
        QFETCH(QColor, expected);
        QCOMPARE(HostGrid::fromBgr(bgr), expected);
    }

    void coloursPaintWhereTheHostPutsThem_data()
    {
        QTest::addColumn<QString>("part");
        QTest::newRow("cells") << "cells";
        QTest::newRow("empty area") << "empty area";
        QTest::newRow("fixed cells") << "fixed cells";
        QTest::newRow("selection") << "selection";
        QTest::newRow("grid lines") << "grid lines";
    }

    void coloursPaintWhereTheHostPutsThem()
    {
        QFETCH(QString, part);
        HostGrid grid;
        grid.resize(360, 240);
        grid.setRows(3);
        grid.setCols(3);
        grid.setBackColor(0xFFFFFF);
        grid.setBackColorBkg(0x00FF00);
        grid.setBackColorFixed(0xFFE3C6);
        grid.setBackColorSel(0x9F6646);
        grid.setForeColorSel(0xFFFFFF);
        grid.setGridColor(0x0000FF);
        grid.setGridColorFixed(0x888888);
        grid.setRow(2);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QImage image = grid.grab().toImage();
        // Within a step of rounding: the style may blend the selection by a hair.
        const auto near = [](const QColor &actual, const QColor &expected) {
            return qAbs(actual.red() - expected.red()) <= 2
                   && qAbs(actual.green() - expected.green()) <= 2
                   && qAbs(actual.blue() - expected.blue()) <= 2;
        };
        const auto atViewport = [&](QPoint p) {
            return image.pixelColor(grid.viewport()->mapTo(&grid, p));
        };
        const QRect first = grid.visualRect(grid.model()->index(0, 0));
        const QRect selected = grid.visualRect(grid.model()->index(1, 0));
        const QRect last = grid.visualRect(grid.model()->index(1, 1));

        if (part == "cells")
            QCOMPARE(atViewport(first.center()), QColor(Qt::white));
        else if (part == "empty area")
            QCOMPARE(atViewport(QPoint(first.center().x(), last.bottom() + 20)), QColor(Qt::green));
        else if (part == "selection")
            QVERIFY(near(atViewport(selected.center()), QColor(0x46, 0x66, 0x9F)));
        else if (part == "grid lines") // the line right of a cell, outside its rectangle
            QCOMPARE(atViewport(QPoint(first.right() + 1, first.center().y())), QColor(Qt::red));
        else if (part == "fixed cells")
            QCOMPARE(image.pixelColor(grid.horizontalHeader()->mapTo(&grid, QPoint(4, 4))),
                     QColor(0xC6, 0xE3, 0xFF));
    }

    void mouseSignalsUseHostNumbering_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("section");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("data cell") << "cell" << 5 << QList<int>{2, 3};
        QTest::newRow("first data cell") << "cell" << 0 << QList<int>{1, 1};
        QTest::newRow("header") << "header" << 1 << QList<int>{0, 2};
        QTest::newRow("row number") << "number" << 2 << QList<int>{3, 0};
    }

    void mouseSignalsUseHostNumbering()
    {
        QFETCH(QString, target);
        QFETCH(int, section);
        QFETCH(QList<int>, expected);
        HostGrid grid;
        grid.resize(400, 300);
        grid.setRows(5);
        grid.setCols(4);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QWidget *surface = grid.viewport();
        QPoint pos;
        if (target == "cell") {
            pos = grid.visualRect(grid.model()->index(section / 3, section % 3)).center();
        } else {
            QHeaderView *header
                = target == "header" ? grid.horizontalHeader() : grid.verticalHeader();
            surface = header->viewport();
            pos = centreOfSection(header, section);
        }
        QSignalSpy clicked(&grid, &HostGrid::cellClicked);
        QSignalSpy doubleClicked(&grid, &HostGrid::cellDoubleClicked);
        QSignalSpy rightClicked(&grid, &HostGrid::rightClicked);
        const QList<QVariant> cell{expected.at(0), expected.at(1)};

        QTest::mouseClick(surface, Qt::LeftButton, {}, pos);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.takeFirst(), cell);
        QTest::mouseDClick(surface, Qt::LeftButton, {}, pos);
        QCOMPARE(doubleClicked.count(), 1);
        QCOMPARE(doubleClicked.takeFirst(), cell);

        const int row = grid.Row();
        QTest::mouseClick(surface, Qt::RightButton, {}, pos);
        QCOMPARE(rightClicked.count(), 1);
        QCOMPARE(rightClicked.first().mid(0, 2), cell);
        QCOMPARE(rightClicked.first().at(2).toPoint(), surface->mapToGlobal(pos));
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(grid.Row(), row);
    }

    void keysAreReportedBeforeTheGridMoves()
    {
        HostGrid grid;
        grid.setRows(4);
        grid.setRow(1);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy keys(&grid, &HostGrid::keyPressed);
        int rowWhenHeard = -1;
        connect(&grid, &HostGrid::keyPressed, this, [&] { rowWhenHeard = grid.Row(); });
        QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(keys.count(), 2); // the shift key itself first
        QCOMPARE(keys.last().at(0).toInt(), int(Qt::Key_Down));
        QCOMPARE(keys.last().at(1).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
        QCOMPARE(rowWhenHeard, 1);
        QCOMPARE(grid.Row(), 2);
    }

    void columnWidthsSurviveRedraw()
    {
        HostGrid grid;
        grid.setCols(3);
        grid.setColWidth(2, 140);
        QCOMPARE(grid.ColWidth(2), 140);
        grid.setRedraw(false);
        grid.setCols(6);
        grid.setColWidth(5, 33); // a column the views have not been shown yet
        grid.setColWidth(7, 10); // past the end: ignored
        grid.setRedraw(true);
        QCOMPARE(grid.columnWidth(1), 140);
        QCOMPARE(grid.columnWidth(4), 33);
        QCOMPARE(grid.ColWidth(5), 33);
        grid.setColWidth(0, 48);
        QCOMPARE(grid.ColWidth(0), 48);
        QCOMPARE(grid.verticalHeader()->width(), 48);
    }

    void operatorsWidthsAndPlacesOutliveARefill()
    {
        HostGrid grid;
        grid.setCols(5);
        grid.setColWidth(2, 60);
        grid.setColKey(3, QStringLiteral("cEmail"));
        QCOMPARE(grid.ColPosition(3), 3);
        // What dragging the header does.
        grid.horizontalHeader()->resizeSection(1, 170);
        grid.horizontalHeader()->moveSection(2, 0);
        grid.setRows(8);
        grid.setRedraw(false);
        grid.setCols(6);
        grid.setRedraw(true);
        QCOMPARE(grid.ColWidth(2), 170);
        QCOMPARE(grid.ColPosition(3), 1);
        QCOMPARE(grid.ColPosition(1), 2);
        QCOMPARE(grid.ColKey(3), QStringLiteral("cEmail"));
        grid.setColPosition(3, 4);
        QCOMPARE(grid.ColPosition(3), 4);
        QCOMPARE(grid.ColPosition(0), 0);
        grid.setCols(3);
        grid.setCols(5);
        QCOMPARE(grid.ColKey(3), QString()); // went with its column
    }

    void permutingRowsMovesWholeRowsAndKeepsTheCurrentContents_data()
    {
        QTest::addColumn<QList<int>>("newOrder");
        QTest::addColumn<bool>("redraw");
        QTest::addColumn<bool>("applied");
        QTest::newRow("reversed") << QList<int>{4, 3, 2, 1} << true << true;
        QTest::newRow("rotated") << QList<int>{2, 3, 4, 1} << true << true;
        QTest::newRow("unchanged") << QList<int>{1, 2, 3, 4} << true << true;
        QTest::newRow("redraw off") << QList<int>{3, 1, 4, 2} << false << true;
        QTest::newRow("a row twice") << QList<int>{1, 1, 3, 4} << true << false;
        QTest::newRow("the header") << QList<int>{0, 2, 3, 4} << true << false;
        QTest::newRow("too short") << QList<int>{2, 1, 3} << true << false;
        QTest::newRow("past the last row") << QList<int>{5, 2, 3, 4} << true << false;
    }

    void permutingRowsMovesWholeRowsAndKeepsTheCurrentContents()
    {
        QFETCH(QList<int>, newOrder);
        QFETCH(bool, redraw);
        QFETCH(bool, applied);
        HostGrid grid;
        grid.resize(400, 300);
        grid.show();
        QAbstractItemModelTester tester(grid.model());
        grid.setRows(5);
        grid.setCols(4);
        fillWithCoordinates(grid);
        grid.setTextMatrix(2, 0, QStringLiteral("fixed")); // written row numbers stay put
        grid.setCellForeColor(3, 2, 0x0000FF);
        grid.setCellForeColor(3, 0, 0x00FF00);
        grid.setRow(3);
        grid.setCol(2);
        const QStringList header = grid.headerTexts();
        QSignalSpy rowCol(&grid, &HostGrid::rowColChanged);

        grid.setRedraw(redraw);
        grid.permuteRows(newOrder);
        grid.setRedraw(true);

        const QList<int> identity{1, 2, 3, 4};
        const QList<int> order = applied ? newOrder : identity;
        QCOMPARE(grid.headerTexts(), header);
        for (int row = 1; row <= 4; ++row) {
            const int from = order.at(row - 1);
            QCOMPARE(grid.TextMatrix(row, 0),
                     row == 2 ? QStringLiteral("fixed") : QStringLiteral("%1,0").arg(row));
            for (int col = 1; col < 4; ++col) {
                const QString expected = QStringLiteral("%1,%2").arg(from).arg(col);
                QCOMPARE(grid.TextMatrix(row, col), expected);
                QCOMPARE(shownText(grid, Shown::Cell, row, col), expected);
            }
            const QVariant colour = grid.model()->index(row - 1, 1).data(Qt::ForegroundRole);
            QCOMPARE(colour.value<QColor>(), from == 3 ? QColor(Qt::red) : QColor());
            QCOMPARE(
                grid.model()->headerData(row - 1, Qt::Vertical, Qt::ForegroundRole).value<QColor>(),
                row == 3 ? QColor(Qt::green) : QColor());
        }
        const int currentRow = int(order.indexOf(3)) + 1;
        QCOMPARE(grid.Row(), currentRow);
        QCOMPARE(grid.Col(), 2);
        QCOMPARE(grid.currentIndex(), grid.model()->index(currentRow - 1, 1));
        QCOMPARE(grid.selectionModel()->selectedRows(),
                 QModelIndexList{grid.model()->index(currentRow - 1, 0)});
        QCOMPARE(rowCol.size(), currentRow == 3 ? 0 : 1);
    }

    // After sorts, whatever the host writes or reads next lands on the row it names, and a
    // change of shape keeps every row's cells in the order shown.
    void sortedRowsStayAddressedByTheirShownNumber_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::newRow("same shape") << 5 << 4;
        QTest::newRow("more rows") << 7 << 4;
        QTest::newRow("fewer rows") << 3 << 4;
        QTest::newRow("more columns") << 5 << 6;
        QTest::newRow("fewer columns") << 5 << 3;
    }

    void sortedRowsStayAddressedByTheirShownNumber()
    {
        QFETCH(int, rows);
        QFETCH(int, cols);
        HostGrid grid;
        grid.setRows(5);
        grid.setCols(4);
        fillWithCoordinates(grid);
        // Two sorts in a row: the second reorders rows the first already moved.
        grid.permuteRows(std::vector<int>{4, 3, 2, 1});
        grid.permuteRows(std::vector<int>{2, 1, 4, 3});
        const QList<int> shownFrom{3, 4, 1, 2};
        grid.setTextMatrix(1, 2, QStringLiteral("written"));
        grid.setRowTexts(2, {QStringLiteral("r0"), QStringLiteral("r1")}, 0);
        QCOMPARE(grid.TextMatrix(1, 2), QStringLiteral("written"));
        QCOMPARE(grid.TextMatrix(1, 1), QStringLiteral("3,1"));
        QCOMPARE(grid.TextMatrix(2, 0), QStringLiteral("r0"));
        QCOMPARE(grid.TextMatrix(2, 1), QStringLiteral("r1"));
        QCOMPARE(grid.TextMatrix(3, 0), QStringLiteral("3,0")); // row numbers stay in place

        grid.setRows(rows);
        grid.setCols(cols);
        for (int row = 1; row < rows; ++row) {
            for (int col = 1; col < cols; ++col) {
                QString expected;
                if (row <= 4 && col < 4)
                    expected = QStringLiteral("%1,%2").arg(shownFrom.at(row - 1)).arg(col);
                if (row == 1 && col == 2)
                    expected = QStringLiteral("written");
                if (row == 2 && col == 1)
                    expected = QStringLiteral("r1");
                QCOMPARE(grid.TextMatrix(row, col), expected);
            }
        }
        // A write after the reshape goes where it is addressed.
        grid.setTextMatrix(rows - 1, cols - 1, QStringLiteral("last"));
        QCOMPARE(grid.TextMatrix(rows - 1, cols - 1), QStringLiteral("last"));
    }
};

QTEST_MAIN(tst_HostGrid)
#include "tst_hostgrid.moc"
