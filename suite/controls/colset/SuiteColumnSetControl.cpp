#include "suite/controls/colset/SuiteColumnSetControl.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace perikon::suite {
namespace {

const QString kShownMark = QStringLiteral("√");

// The in-place editors carry names scripts find them by; widths are typed as whole pixels, so
// nothing else reaches the row.
class CellEditorDelegate : public QStyledItemDelegate
{
public:
    CellEditorDelegate(const QString &editorName, bool numeric, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_editorName(editorName)
        , m_numeric(numeric)
    {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setObjectName(m_editorName);
        if (auto *line = qobject_cast<QLineEdit *>(editor); line && m_numeric)
            line->setValidator(new QIntValidator(0, 9999, line));
        return editor;
    }

private:
    QString m_editorName;
    bool m_numeric;
};

QPushButton *button(QWidget *parent, const char *name)
{
    auto *made = new QPushButton(parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    return made;
}

} // namespace

SuiteColumnSetControl::SuiteColumnSetControl(QWidget *parent)
    : ColumnSetControl(parent)
{
    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("GridCols"));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                            | QAbstractItemView::SelectedClicked);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    m_grid->horizontalHeader()->setSectionResizeMode(ShowColumn, QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(CaptionColumn, QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionResizeMode(OriginalColumn, QHeaderView::Stretch);
    m_grid->horizontalHeader()->setSectionResizeMode(WidthColumn, QHeaderView::ResizeToContents);
    m_grid->setItemDelegateForColumn(
        CaptionColumn, new CellEditorDelegate(QStringLiteral("EdtCaption"), false, m_grid));
    m_grid->setItemDelegateForColumn(
        WidthColumn, new CellEditorDelegate(QStringLiteral("EdtWidth"), true, m_grid));
    m_grid->installEventFilter(this);

    m_up = button(this, "cmdUp");
    m_down = button(this, "cmdDown");
    m_mine = button(this, "cmdMine");
    m_all = button(this, "cmdAll");
    m_default = button(this, "cmdDefault");
    m_save = new QCheckBox(this);
    m_save->setObjectName(QStringLiteral("chkSave"));
    m_save->setChecked(true);
    m_ok = button(this, "cmdOK");
    m_cancel = button(this, "cmdCancel");

    auto *side = new QVBoxLayout;
    side->addWidget(m_up);
    side->addWidget(m_down);
    side->addSpacing(16);
    side->addWidget(m_mine);
    side->addWidget(m_all);
    side->addWidget(m_default);
    side->addStretch();
    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->addWidget(m_grid, 1);
    body->addLayout(side);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_save);
    bottom->addStretch();
    bottom->addWidget(m_ok);
    bottom->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    connect(m_up, &QPushButton::clicked, this, [this] { moveCurrent(true); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveCurrent(false); });
    connect(m_mine, &QPushButton::clicked, this, [this] { emit variantRequested(0); });
    connect(m_all, &QPushButton::clicked, this, [this] { emit variantRequested(15); });
    connect(m_default, &QPushButton::clicked, this, [this] { emit variantRequested(2); });
    connect(m_ok, &QPushButton::clicked, this,
            [this] { emit confirmed(m_save->isChecked(), colInfo()); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { emit closeRequested(); });
    // A double click presses twice and then double-clicks: it toggles once more than it
    // presses, so it changes the mark once, as a single click does.
    const auto toggleAt = [this](int row, int column) {
        if (column == ShowColumn && m_rows.toggleShown(row))
            fillRow(row);
    };
    connect(m_grid, &QTableWidget::cellPressed, this, toggleAt);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, toggleAt);
    connect(m_grid, &QTableWidget::cellChanged, this, &SuiteColumnSetControl::onItemChanged);
    setTexts(m_texts);
}

SuiteColumnSetControl::~SuiteColumnSetControl()
{
    // An editor still open commits as the widgets go; the rows are gone by then.
    m_grid->disconnect(this);
}

void SuiteColumnSetControl::setTexts(const colset::ColumnSetTexts &texts)
{
    m_texts = texts;
    m_grid->setHorizontalHeaderLabels(
        {texts.show, texts.caption, texts.originalCaption, texts.width});
    m_up->setText(texts.up);
    m_down->setText(texts.down);
    m_mine->setText(texts.mine);
    m_all->setText(texts.all);
    m_default->setText(texts.defaults);
    m_save->setText(texts.save);
    m_ok->setText(texts.ok);
    m_cancel->setText(texts.cancel);
}

bool SuiteColumnSetControl::Load(const QString &colInfoXml, QString &error)
{
    QString reason;
    std::optional<colset::ColumnSetRows> rows = colset::ColumnSetRows::fromXml(colInfoXml, &reason);
    if (!rows) {
        error = m_texts.unreadable.arg(reason);
        return false;
    }
    m_rows = std::move(*rows);
    fillGrid();
    return true;
}

QString SuiteColumnSetControl::colInfo() const
{
    return m_rows.toXml();
}

void SuiteColumnSetControl::fillGrid()
{
    m_grid->setRowCount(int(m_rows.size()));
    for (int row = 0; row < m_rows.size(); ++row)
        fillRow(row);
    if (m_rows.size() > 0)
        m_grid->setCurrentCell(0, CaptionColumn);
}

void SuiteColumnSetControl::fillRow(int row)
{
    const colset::ColumnRow &column = m_rows.at(row);
    m_filling = true;
    const auto cell = [this, row](int col, const QString &text, bool editable) {
        QTableWidgetItem *item = m_grid->item(row, col);
        if (!item) {
            item = new QTableWidgetItem;
            m_grid->setItem(row, col, item);
        }
        item->setText(text);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (editable)
            flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
        return item;
    };
    cell(ShowColumn, column.show ? kShownMark : QString(), false)
        ->setTextAlignment(Qt::AlignCenter);
    cell(CaptionColumn, column.caption, true);
    cell(OriginalColumn, column.originalCaption, false);
    cell(WidthColumn, QString::number(column.width), true)
        ->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_filling = false;
}

void SuiteColumnSetControl::onItemChanged(int row, int column)
{
    if (m_filling || row < 0 || row >= m_rows.size())
        return;
    const QString text = m_grid->item(row, column)->text();
    if (column == CaptionColumn)
        m_rows.setCaption(row, text);
    else if (column == WidthColumn)
        m_rows.setWidth(row, text); // refused: the row keeps its width, shown again below
    fillRow(row);
}

void SuiteColumnSetControl::toggleCurrent()
{
    const int row = m_grid->currentRow();
    if (row < 0 || !m_rows.toggleShown(row))
        return;
    fillRow(row);
}

void SuiteColumnSetControl::moveCurrent(bool up)
{
    const int row = m_grid->currentRow();
    if (row < 0 || !(up ? m_rows.moveUp(row) : m_rows.moveDown(row)))
        return;
    const int target = up ? row - 1 : row + 1;
    fillRow(row);
    fillRow(target);
    m_grid->setCurrentCell(target, std::max(m_grid->currentColumn(), 0));
}

bool SuiteColumnSetControl::eventFilter(QObject *watched, QEvent *event)
{
    // While a cell is edited its editor has the keys, so Space here always means the mark.
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            toggleCurrent();
            return true;
        }
    }
    return ColumnSetControl::eventFilter(watched, event);
}

} // namespace perikon::suite
