#include "suite/services/RefDialog.h"

#include "perikon/data/db/Recordset.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/services/FilterLineKeys.h"
#include "suite/services/RefQueryModel.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace perikon::suite {
namespace internal {

// The shown columns of the given rows, read-only.
class RefRowsModel : public QAbstractTableModel
{
public:
    RefRowsModel(QStringList captions, QList<QStringList> rows, QObject *parent)
        : QAbstractTableModel(parent)
        , m_captions(std::move(captions))
        , m_rows(std::move(rows))
    {}

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_captions.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        return m_rows.at(index.row()).value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_captions.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    QStringList m_captions;
    QList<QStringList> m_rows;
};

} // namespace internal

namespace {

QString text(const char *key)
{
    return ResourceTexts::text(sessionLanguage(), QString::fromLatin1(key));
}

// The rows reduced to the shown columns, in the columns' order.
QList<QStringList> shownValues(const QStringList &fields, const QList<QStringList> &rows,
                               const QList<RefColumn> &columns)
{
    QList<int> sources;
    for (const RefColumn &column : columns) {
        const auto found
            = std::find_if(fields.cbegin(), fields.cend(), [&column](const QString &f) {
                  return f.compare(column.field, Qt::CaseInsensitive) == 0;
              });
        sources.append(found == fields.cend() ? -1 : int(found - fields.cbegin()));
    }
    QList<QStringList> shown;
    shown.reserve(rows.size());
    for (const QStringList &row : rows) {
        QStringList values;
        values.reserve(sources.size());
        for (const int source : sources)
            values.append(source < 0 ? QString() : row.value(source));
        shown.append(values);
    }
    return shown;
}

QStringList captionsOf(const QList<RefColumn> &columns)
{
    QStringList captions;
    for (const RefColumn &column : columns)
        captions.append(column.caption.isEmpty() ? column.field : column.caption);
    return captions;
}

} // namespace

QStringList RefDialog::fieldNames(const db::Recordset &recordset)
{
    QStringList names;
    for (int i = 0; i < recordset.fieldCount(); ++i)
        names.append(const_cast<db::Recordset &>(recordset).field(i).name());
    return names;
}

QList<QStringList> RefDialog::readRows(db::Recordset &recordset, const QStringList &fields)
{
    QList<int> sources;
    for (const QString &field : fields)
        sources.append(recordset.hasField(field) ? recordset.fieldIndex(field) : -1);
    QList<QStringList> rows;
    if (recordset.recordCount() == 0)
        return rows;
    for (recordset.moveFirst(); !recordset.eof(); recordset.moveNext()) {
        QStringList row;
        row.reserve(sources.size());
        for (const int source : sources)
            row.append(source < 0 ? QString() : recordset.value(source).toString());
        rows.append(row);
    }
    return rows;
}

RefDialog::RefDialog(db::Recordset &recordset, const QList<RefColumn> &columns, QWidget *parent)
    : RefDialog(fieldNames(recordset), readRows(recordset, fieldNames(recordset)), columns, parent)
{}

RefDialog::RefDialog(const QStringList &fields, const QList<QStringList> &rows,
                     const QList<RefColumn> &columns, QWidget *parent)
    : QDialog(parent)
    , m_model(
          new internal::RefRowsModel(captionsOf(columns), shownValues(fields, rows, columns), this))
    , m_proxy(new QSortFilterProxyModel(this))
    , m_filter(new QLineEdit(this))
    , m_grid(new QTableView(this))
{
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setSortLocaleAware(true);
    m_grid->setModel(m_proxy);
    // Rows stay in the order given until the operator sorts by a column.
    m_grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_grid->setSortingEnabled(true);
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &filter) {
        m_proxy->setFilterFixedString(filter);
        selectFirstRowIfNone();
        updateOk();
    });
    setUp();
}

RefDialog::RefDialog(db::Connection &connection, const RefQuery &query,
                     const QList<RefColumn> &columns, QWidget *parent)
    : QDialog(parent)
    , m_filter(new QLineEdit(this))
    , m_grid(new QTableView(this))
{
    QStringList fields;
    for (const RefColumn &column : columns)
        fields.append(column.field);
    m_queryModel = new RefQueryModel(connection, query, fields, captionsOf(columns), this);
    m_grid->setModel(m_queryModel);
    // Typing narrows in the database: wait for a pause rather than query per keystroke.
    m_filterDelay = new QTimer(this);
    m_filterDelay->setSingleShot(true);
    m_filterDelay->setInterval(250);
    connect(m_filter, &QLineEdit::textChanged, m_filterDelay, qOverload<>(&QTimer::start));
    connect(m_filterDelay, &QTimer::timeout, this, [this] {
        m_queryModel->setFilterText(m_filter->text());
        selectExactOrFirstRow();
        updateOk();
    });
    setUp();
}

void RefDialog::setUp()
{
    setObjectName(QStringLiteral("RefDialog"));
    setWindowTitle(text("K2.CRM.Ref.Title"));
    setModal(true);

    m_filter->setObjectName(QStringLiteral("RefFilter"));
    m_filter->setPlaceholderText(text("K2.CRM.Ref.FilterHint"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    auto *filterLabel = new QLabel(text("K2.CRM.Ref.Filter"), this);
    filterLabel->setBuddy(m_filter);

    m_grid->setObjectName(QStringLiteral("RefGrid"));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->installEventFilter(this);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setMinimumSectionSize(80);
    m_grid->resizeColumnsToContents();
    // Room for the sort arrow, so a sorted caption is not cut.
    for (int column = 0; column + 1 < m_grid->model()->columnCount(); ++column)
        m_grid->setColumnWidth(column, m_grid->columnWidth(column) + 16);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(text("K2.CRM.Ref.OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("RefOK"));
    m_ok->setDefault(true);
    m_cancel = buttons->addButton(text("K2.CRM.Ref.Cancel"), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("RefCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &RefDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RefDialog::reject);

    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_grid, 1);
    layout->addWidget(buttons);

    connect(m_grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RefDialog::updateOk);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            accept();
    });
    if (m_queryModel) {
        connect(m_queryModel, &QAbstractItemModel::modelReset, this, [this] {
            selectFirstRowIfNone();
            updateOk();
        });
    }

    selectFirstRowIfNone();
    updateOk();
    resize(600, 420);
    m_filter->setFocus();
}

void RefDialog::setMultiSelect(const QStringList &preselected)
{
    if (!m_queryModel)
        return;
    m_queryModel->setCheckable(true);
    m_queryModel->setCheckedKeys(preselected);
    // The boxes' column is as narrow as a box.
    m_grid->horizontalHeader()->setMinimumSectionSize(24);
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    m_grid->setColumnWidth(0, 28);
    for (int column = 1; column + 1 < m_queryModel->columnCount(); ++column) {
        m_grid->resizeColumnToContents(column);
        m_grid->setColumnWidth(column, std::max(96, m_grid->columnWidth(column) + 16));
    }
    selectFirstRowIfNone();
    updateOk();
}

QString RefDialog::chosenKey() const
{
    return m_chosenKeys.value(0);
}

QVariant RefDialog::chosenValue(const QString &field) const
{
    for (auto it = m_chosenValues.cbegin(); it != m_chosenValues.cend(); ++it) {
        if (it.key().compare(field, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return {};
}

QString RefDialog::queryError() const
{
    return m_queryModel ? m_queryModel->lastError() : QString();
}

RefDialog::~RefDialog() = default;

QString RefDialog::filterText() const
{
    return m_filter->text();
}

void RefDialog::setFilterText(const QString &text)
{
    m_filter->setText(text);
}

int RefDialog::shownRowCount() const
{
    return m_grid->model()->rowCount();
}

void RefDialog::accept()
{
    const QModelIndexList selected = m_grid->selectionModel()->selectedRows();
    if (m_queryModel) {
        const int row = selected.isEmpty() ? -1 : selected.first().row();
        QStringList keys
            = m_queryModel->isCheckable() ? m_queryModel->checkedKeys() : QStringList();
        if (keys.isEmpty() && row >= 0)
            keys.append(m_queryModel->keyAt(row));
        if (keys.isEmpty())
            return;
        m_chosenKeys = keys;
        m_chosenRow = row;
        m_chosenValues.clear();
        // The values of the first chosen row when it is loaded (it is, unless only earlier
        // choices are checked).
        for (int r = 0; r < m_queryModel->rowCount(); ++r) {
            if (m_queryModel->keyAt(r) != keys.first())
                continue;
            for (const QString &field : m_queryModel->resultColumns())
                m_chosenValues.insert(field, m_queryModel->valueAt(r, field));
            break;
        }
        QDialog::accept();
        return;
    }
    if (selected.isEmpty())
        return;
    m_chosenRow = m_proxy->mapToSource(selected.first()).row();
    QDialog::accept();
}

bool RefDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The arrows move through the rows while the operator keeps typing in the filter line.
    if (watched == m_filter && passArrowsToGrid(event, m_grid))
        return true;
    // Space checks or unchecks the current row of a multiple choice.
    if (m_queryModel && m_queryModel->isCheckable() && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space
        && (watched == m_grid || (watched == m_filter && m_filter->text().isEmpty()))) {
        m_queryModel->toggleChecked(m_grid->currentIndex().row());
        updateOk();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void RefDialog::selectFirstRowIfNone()
{
    QAbstractItemModel *shown = m_grid->model();
    if (m_grid->selectionModel()->hasSelection() || shown->rowCount() == 0)
        return;
    m_grid->setCurrentIndex(shown->index(0, 0));
    m_grid->selectRow(0);
}

void RefDialog::selectExactOrFirstRow()
{
    // Rows come in key order, so "Manager" would stand behind "Assistant Manager": a row the
    // typed text names exactly is the one Enter takes.
    QAbstractItemModel *shown = m_grid->model();
    const QString typed = m_filter->text().trimmed();
    for (int row = 0; !typed.isEmpty() && row < shown->rowCount(); ++row) {
        for (int column = 0; column < shown->columnCount(); ++column) {
            if (shown->index(row, column)
                    .data()
                    .toString()
                    .trimmed()
                    .compare(typed, Qt::CaseInsensitive)
                == 0) {
                m_grid->setCurrentIndex(shown->index(row, column));
                m_grid->selectRow(row);
                return;
            }
        }
    }
    selectFirstRowIfNone();
}

void RefDialog::updateOk()
{
    const bool checked = m_queryModel && !m_queryModel->checkedKeys().isEmpty();
    m_ok->setEnabled(checked || m_grid->selectionModel()->hasSelection());
}

} // namespace perikon::suite
