#include "suite/controls/HostGrid.h"

#include "suite/controls/HostGridModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

namespace perikon::controls {

using internal::HostGridModel;

HostGrid::HostGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new HostGridModel(this))
{
    setModel(m_model);
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setFrameShape(QFrame::NoFrame);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    // The corner is a button of the view; the host's cell (0, 0) text sits on top of it.
    auto *cornerButton = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    m_corner = new QLabel(cornerButton ? static_cast<QWidget *>(cornerButton) : this);
    m_corner->setObjectName(QStringLiteral("Corner"));
    m_corner->setAlignment(Qt::AlignCenter);
    m_corner->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (cornerButton) {
        cornerButton->installEventFilter(this);
        connect(cornerButton, &QAbstractButton::clicked, this, [this] { emit cellClicked(0, 0); });
    }
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);

    connect(m_model, &HostGridModel::published, this, &HostGrid::afterPublish);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { onViewCurrentChanged(current); });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        emit cellClicked(index.row() + 1, index.column() + 1);
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        emit cellDoubleClicked(index.row() + 1, index.column() + 1);
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit cellClicked(0, section + 1); });
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int section) { emit cellDoubleClicked(0, section + 1); });
    // A width the operator drags is the column's width from then on, so reshaping the grid (a
    // refill) does not take it back.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int newSize) {
                const size_t col = size_t(section) + 1;
                if (!m_reshaping && col < m_colWidths.size())
                    m_colWidths[col] = newSize;
            });
    connect(verticalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit cellClicked(section + 1, 0); });
    connect(verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int section) { emit cellDoubleClicked(section + 1, 0); });

    applyRowHeight();
    applyLook();
    // The host grid starts with one header row, one data row, the number column and one column.
    resizeCells(2, 2);
}

HostGrid::~HostGrid() = default;

int HostGrid::Rows() const
{
    return m_model->rows();
}

int HostGrid::Cols() const
{
    return m_model->cols();
}

void HostGrid::setRows(int rows)
{
    resizeCells(std::max(rows, m_fixedRows), Cols());
}

void HostGrid::setCols(int cols)
{
    resizeCells(Rows(), std::max(cols, m_fixedCols));
}

void HostGrid::resizeCells(int rows, int cols)
{
    const int oldRow = m_row;
    const int oldCol = m_col;
    m_colWidths.resize(size_t(std::max(cols, 0)), -1);
    m_colKeys.resize(size_t(std::max(cols, 0)));
    {
        QScopedValueRollback reshaping(m_reshaping, true);
        // A current cell that falls off moves to the last one left, as the host's does.
        m_row = std::min(m_row, std::max(rows - 1, 0));
        m_col = std::min(m_col, std::max(cols - 1, 0));
        m_model->resize(rows, cols);
    }
    if (m_row != oldRow || m_col != oldCol)
        emit rowColChanged(m_row, m_col);
}

void HostGrid::afterPublish(bool shapeChanged)
{
    updateCorner();
    if (!shapeChanged)
        return;
    QScopedValueRollback reshaping(m_reshaping, true);
    for (int col = 0; col < int(m_colWidths.size()); ++col) {
        if (m_colWidths[size_t(col)] >= 0 || col == 0)
            applyColWidth(col);
    }
    showCurrentInView();
}

QString HostGrid::TextMatrix(int row, int col) const
{
    return m_model->text(row, col);
}

void HostGrid::setTextMatrix(int row, int col, const QString &text)
{
    m_model->setText(row, col, text);
    if (row == 0 && col == 0 && Redraw())
        updateCorner();
}

void HostGrid::setRowTexts(int row, const QStringList &texts, int firstCol)
{
    m_model->setRowTexts(row, texts, firstCol);
}

void HostGrid::permuteRows(std::span<const int> newOrder)
{
    const int oldRow = m_row;
    {
        QScopedValueRollback reshaping(m_reshaping, true);
        if (!m_model->permuteRows(newOrder))
            return;
    }
    if (oldRow > 0) {
        const auto at = std::find(newOrder.begin(), newOrder.end(), oldRow);
        m_row = int(at - newOrder.begin()) + 1;
    }
    // With redraw off the views kept their indexes where they were: put them on the row again.
    showCurrentInView();
    if (m_row != oldRow)
        emit rowColChanged(m_row, m_col);
}

void HostGrid::showCurrentInView()
{
    QScopedValueRollback reshaping(m_reshaping, true);
    const int modelRow = m_row - 1;
    const int modelCols = m_model->columnCount();
    if (modelRow >= 0 && modelRow < m_model->rowCount() && modelCols > 0) {
        const QModelIndex index = m_model->index(modelRow, std::clamp(m_col - 1, 0, modelCols - 1));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                     | QItemSelectionModel::Rows);
    } else {
        selectionModel()->clear();
    }
}

void HostGrid::onViewCurrentChanged(const QModelIndex &current)
{
    if (m_reshaping)
        return;
    const int row = current.isValid() ? current.row() + 1 : 0;
    const int col = current.isValid() ? current.column() + 1 : m_col;
    if (row == m_row && col == m_col)
        return;
    m_row = row;
    m_col = col;
    emit rowColChanged(m_row, m_col);
}

void HostGrid::setCurrentCell(int row, int col)
{
    const bool changed = row != m_row || col != m_col;
    m_row = row;
    m_col = col;
    showCurrentInView();
    if (changed)
        emit rowColChanged(m_row, m_col);
}

void HostGrid::setRow(int row)
{
    if (row >= 0 && row < Rows())
        setCurrentCell(row, m_col);
}

void HostGrid::setCol(int col)
{
    if (col >= 0 && col < Cols())
        setCurrentCell(m_row, col);
}

int HostGrid::TopRow() const
{
    if (m_model->rowCount() == 0)
        return 0;
    const int modelRow = rowAt(0);
    return modelRow < 0 ? 0 : modelRow + 1;
}

void HostGrid::setTopRow(int row)
{
    if (row < 1 || row > m_model->rowCount())
        return;
    // The scroll range follows the rows only at the next layout; bring it up to date first.
    updateGeometries();
    const int modelRow = row - 1;
    if (verticalScrollMode() == ScrollPerItem)
        verticalScrollBar()->setValue(verticalHeader()->visualIndex(modelRow));
    else
        verticalScrollBar()->setValue(verticalHeader()->sectionPosition(modelRow));
}

void HostGrid::setFixedRows(int fixedRows)
{
    m_fixedRows = std::clamp(fixedRows, 0, 1);
    if (Rows() < m_fixedRows)
        setRows(m_fixedRows);
}

void HostGrid::setFixedCols(int fixedCols)
{
    m_fixedCols = std::clamp(fixedCols, 0, 1);
    verticalHeader()->setVisible(m_fixedCols == 1);
    if (Cols() < m_fixedCols)
        setCols(m_fixedCols);
}

bool HostGrid::Redraw() const
{
    return m_model->redraw();
}

void HostGrid::setRedraw(bool on)
{
    if (on == Redraw())
        return;
    // Off, the views hear of no write, so nothing repaints for it. On again, only what changed
    // in view repaints (see dataChanged): a long fill that shows every 200 rows paints once.
    QScopedValueRollback reshaping(m_reshaping, true);
    m_model->setRedraw(on);
}

void HostGrid::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                           const QList<int> &roles)
{
    const int firstInView = rowAt(0);
    int lastInView = rowAt(viewport()->height() - 1);
    if (lastInView < 0)
        lastInView = m_model->rowCount() - 1;
    if (firstInView >= 0 && (bottomRight.row() < firstInView || topLeft.row() > lastInView))
        return; // rows out of view paint when they scroll in
    QTableView::dataChanged(topLeft, bottomRight, roles);
}

void HostGrid::setCellAlignment(int row, int col, int code)
{
    if (const auto alignment = internal::alignmentOfCode(code))
        m_model->setCellAlignment(row, col, *alignment);
}

void HostGrid::setColAlignment(int col, int code)
{
    if (const auto alignment = internal::alignmentOfCode(code))
        m_model->setColAlignment(col, *alignment);
}

int HostGrid::ColWidth(int col) const
{
    if (col < 0 || col >= Cols())
        return 0;
    const int stored = m_colWidths[size_t(col)];
    if (col == 0) {
        if (m_fixedCols == 0)
            return 0;
        if (stored >= 0)
            return stored;
        const QHeaderView *numbers = verticalHeader();
        return std::max(numbers->minimumWidth(), numbers->sizeHint().width());
    }
    if (col - 1 < m_model->columnCount())
        return columnWidth(col - 1);
    return stored >= 0 ? stored : horizontalHeader()->defaultSectionSize();
}

void HostGrid::setColWidth(int col, int pixels)
{
    if (col < 0 || col >= Cols())
        return;
    m_colWidths[size_t(col)] = std::max(pixels, -1);
    applyColWidth(col);
}

int HostGrid::ColPosition(int col) const
{
    if (col <= 0 || col - 1 >= m_model->columnCount())
        return col == 0 ? 0 : col;
    return horizontalHeader()->visualIndex(col - 1) + 1;
}

void HostGrid::setColPosition(int col, int position)
{
    const int columns = m_model->columnCount();
    if (col <= 0 || col - 1 >= columns || position <= 0 || position - 1 >= columns)
        return;
    horizontalHeader()->moveSection(horizontalHeader()->visualIndex(col - 1), position - 1);
}

QString HostGrid::ColKey(int col) const
{
    return col >= 0 && col < Cols() ? m_colKeys[size_t(col)] : QString();
}

void HostGrid::setColKey(int col, const QString &key)
{
    if (col >= 0 && col < Cols())
        m_colKeys[size_t(col)] = key;
}

void HostGrid::applyColWidth(int col)
{
    const int width = m_colWidths[size_t(col)];
    if (col == 0) {
        QHeaderView *numbers = verticalHeader();
        if (width >= 0) {
            numbers->setFixedWidth(width);
        } else {
            // Wide enough for the corner text; the row numbers widen it further on their own.
            numbers->setMinimumWidth(m_corner->sizeHint().width() + 2);
            numbers->setMaximumWidth(QWIDGETSIZE_MAX);
        }
        updateGeometries();
        return;
    }
    if (col - 1 >= m_model->columnCount())
        return; // applied when redraw shows the column
    horizontalHeader()->resizeSection(
        col - 1, width >= 0 ? width : horizontalHeader()->defaultSectionSize());
}

QColor HostGrid::fromBgr(int bgr)
{
    // The host's system colours: the high bit set and a colour index in the low byte.
    if (quint32(bgr) & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (bgr & 0xff) {
        case 0x05:
            return palette.color(QPalette::Base);
        case 0x08:
            return palette.color(QPalette::Text);
        case 0x0d:
            return palette.color(QPalette::Highlight);
        case 0x0e:
            return palette.color(QPalette::HighlightedText);
        case 0x10:
            return palette.color(QPalette::Dark);
        case 0x11:
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 0x12:
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::Button);
        }
    }
    return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

void HostGrid::setBackColor(int bgr)
{
    m_model->setBackColor(fromBgr(bgr));
}

void HostGrid::setBackColorBkg(int bgr)
{
    m_backColorBkg = fromBgr(bgr);
    applyLook();
}

void HostGrid::setBackColorFixed(int bgr)
{
    m_backColorFixed = fromBgr(bgr);
    applyLook();
}

void HostGrid::setBackColorSel(int bgr)
{
    m_backColorSel = fromBgr(bgr);
    applyLook();
}

void HostGrid::setForeColorSel(int bgr)
{
    m_foreColorSel = fromBgr(bgr);
    applyLook();
}

void HostGrid::setGridColor(int bgr)
{
    m_gridColor = fromBgr(bgr);
    applyLook();
}

void HostGrid::setGridColorFixed(int bgr)
{
    m_gridColorFixed = fromBgr(bgr);
    applyLook();
}

void HostGrid::setCellForeColor(int row, int col, int bgr)
{
    m_model->setCellForeColor(row, col, fromBgr(bgr));
}

void HostGrid::applyLook()
{
    // Flat: plain one-pixel lines in the fixed grid colour around the fixed cells and the grid.
    const QString fixedCell
        = QStringLiteral("background-color: %1; border: none; border-right: 1px solid %2;"
                         " border-bottom: 1px solid %2;")
              .arg(m_backColorFixed.name(), m_gridColorFixed.name());
    setStyleSheet(QStringLiteral("QTableView { background-color: %1; gridline-color: %2;"
                                 " selection-background-color: %3; selection-color: %4;"
                                 " border: 1px solid %5; }"
                                 // Beside the last header section lies empty area too.
                                 "QHeaderView { background-color: %1; }"
                                 "QHeaderView::section { %6 padding: 0px 4px; }"
                                 "QTableCornerButton::section { %6 }")
                      .arg(m_backColorBkg.name(), m_gridColor.name(), m_backColorSel.name(),
                           m_foreColorSel.name(), m_gridColorFixed.name(), fixedCell));
}

void HostGrid::applyRowHeight()
{
    const int height = fontMetrics().height() + 6;
    verticalHeader()->setMinimumSectionSize(std::min(height, fontMetrics().height()));
    verticalHeader()->setDefaultSectionSize(height);
}

void HostGrid::updateCorner()
{
    const QString text = m_model->text(0, 0);
    if (text == m_corner->text())
        return;
    m_corner->setText(text);
    if (!m_colWidths.empty() && m_colWidths[0] < 0)
        applyColWidth(0);
}

QStringList HostGrid::headerTexts() const
{
    return rowTexts(0);
}

QStringList HostGrid::rowTexts(int row) const
{
    QStringList texts;
    if (row < 0 || row >= Rows())
        return texts;
    texts.reserve(Cols());
    for (int col = 0; col < Cols(); ++col)
        texts << m_model->displayText(row, col);
    return texts;
}

bool HostGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_corner->parent()) {
        m_corner->setGeometry(static_cast<QWidget *>(watched)->rect().adjusted(1, 0, -2, -1));
    } else if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            const QPoint pos = mouse->position().toPoint();
            if (watched == horizontalHeader()->viewport()) {
                const int section = horizontalHeader()->logicalIndexAt(pos);
                emit rightClicked(0, section < 0 ? -1 : section + 1,
                                  mouse->globalPosition().toPoint());
            } else if (watched == verticalHeader()->viewport()) {
                const int section = verticalHeader()->logicalIndexAt(pos);
                emit rightClicked(section < 0 ? -1 : section + 1, 0,
                                  mouse->globalPosition().toPoint());
            }
        }
    }
    return QTableView::eventFilter(watched, event);
}

void HostGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton) {
        QTableView::mousePressEvent(event);
        return;
    }
    // The right button leaves the current cell where it is, as the host's grid does.
    const QModelIndex index = indexAt(event->position().toPoint());
    emit rightClicked(index.isValid() ? index.row() + 1 : -1,
                      index.isValid() ? index.column() + 1 : -1, event->globalPosition().toPoint());
}

void HostGrid::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(event->key(), event->modifiers());
    QTableView::keyPressEvent(event);
}

void HostGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyRowHeight();
        if (!m_colWidths.empty())
            applyColWidth(0);
    }
}

} // namespace perikon::controls
