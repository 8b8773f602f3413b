#include "suite/services/DimensionPrivilegeDialog.h"

#include "suite/services/FilterLineKeys.h"
#include "suite/services/TransferDialogParts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace perikon::suite {

using internal::dialogText;

namespace {

enum ValueColumn { CodeColumn, NameColumn };
enum ChosenColumn { TypeColumn, ValueCodeColumn, ValueNameColumn };
constexpr int kTypeIdRole = Qt::UserRole + 1;

QStandardItem *readOnlyItem(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QString grantKey(const QString &typeId, const QString &code)
{
    return typeId + u'\n' + code;
}

} // namespace

DimensionPrivilegeDialog::DimensionPrivilegeDialog(DimensionCatalogue catalogue,
                                                   const QList<DimensionGrant> &grants,
                                                   bool editable, QWidget *parent)
    : QDialog(parent)
    , m_catalogue(std::move(catalogue))
    , m_editable(editable)
    , m_values(new QStandardItemModel(0, 2, this))
    , m_valuesShown(new QSortFilterProxyModel(this))
    , m_chosen(new QStandardItemModel(0, 3, this))
    , m_type(new QComboBox(this))
    , m_filter(new QLineEdit(this))
{
    setObjectName(QStringLiteral("DimensionDialog"));
    setWindowTitle(dialogText("K2.Suite.Dimension.Title"));
    setModal(true);

    const QString codeCaption = dialogText("K2.Suite.Dimension.ValueCode");
    const QString nameCaption = dialogText("K2.Suite.Dimension.ValueName");
    m_values->setHorizontalHeaderLabels({codeCaption, nameCaption});
    m_chosen->setHorizontalHeaderLabels(
        {dialogText("K2.Suite.Dimension.TypeName"), codeCaption, nameCaption});
    m_valuesShown->setSourceModel(m_values);
    m_valuesShown->setFilterKeyColumn(-1);
    m_valuesShown->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_type->setObjectName(QStringLiteral("DimType"));
    for (const DimensionType &type : std::as_const(m_catalogue.types))
        m_type->addItem(type.name, type.id);
    auto *typeLabel = new QLabel(dialogText("K2.Suite.Dimension.Type"), this);
    typeLabel->setBuddy(m_type);

    m_filter->setObjectName(QStringLiteral("DimFilter"));
    m_filter->setPlaceholderText(dialogText("K2.Suite.Dimension.FilterHint"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    auto *filterLabel = new QLabel(dialogText("K2.Suite.Dimension.Filter"), this);
    filterLabel->setBuddy(m_filter);

    m_valueGrid = internal::pickGrid(QStringLiteral("DimValues"), m_valuesShown, this);
    m_chosenGrid = internal::pickGrid(QStringLiteral("DimChosen"), m_chosen, this);

    const internal::PickButtons buttons = internal::pickButtons(
        this, QStringLiteral("Dim"), QStringLiteral("Dimension"), m_editable);
    m_add = buttons.add;
    m_remove = buttons.remove;
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    auto *pickRows = new QGridLayout;
    pickRows->addWidget(typeLabel, 0, 0);
    pickRows->addWidget(m_type, 0, 1);
    pickRows->addWidget(filterLabel, 1, 0);
    pickRows->addWidget(m_filter, 1, 1);
    pickRows->setColumnStretch(1, 1);
    internal::layOutPickDialog(this, buttons, QStringLiteral("Dimension"), pickRows, m_valueGrid,
                               m_chosenGrid, m_editable);

    for (const DimensionGrant &grant : grants)
        appendGrant(grant);
    refillValues();
    internal::fitColumns(m_valueGrid);
    internal::fitColumns(m_chosenGrid);

    m_type->setEnabled(m_editable);
    m_filter->setEnabled(m_editable);
    m_valueGrid->setEnabled(m_editable);
    m_ok->setEnabled(m_editable);

    connect(m_type, &QComboBox::currentIndexChanged, this, [this] {
        refillValues();
        updateButtons();
    });
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_valuesShown->setFilterFixedString(text);
        updateButtons();
    });
    connect(m_add, &QPushButton::clicked, this, &DimensionPrivilegeDialog::addSelected);
    connect(m_remove, &QPushButton::clicked, this, &DimensionPrivilegeDialog::removeSelected);
    connect(m_valueGrid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!index.isValid())
            return;
        m_valueGrid->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect
                                                         | QItemSelectionModel::Rows);
        addSelected();
    });
    connect(m_valueGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DimensionPrivilegeDialog::updateButtons);
    connect(m_chosenGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &DimensionPrivilegeDialog::updateButtons);
    updateButtons();

    resize(820, 460);
    if (m_editable)
        m_filter->setFocus();
}

DimensionPrivilegeDialog::~DimensionPrivilegeDialog() = default;

QList<DimensionGrant> DimensionPrivilegeDialog::grants() const
{
    QList<DimensionGrant> grants;
    for (int row = 0; row < m_chosen->rowCount(); ++row) {
        const QStandardItem *type = m_chosen->item(row, TypeColumn);
        grants.append({type->data(kTypeIdRole).toString(), type->text(),
                       m_chosen->item(row, ValueCodeColumn)->text(),
                       m_chosen->item(row, ValueNameColumn)->text()});
    }
    return grants;
}

bool DimensionPrivilegeDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The operator keeps typing in the filter line: the arrows move through the values, Enter
    // grants the selected ones instead of closing the dialog.
    if (watched == m_filter && passArrowsToGrid(event, m_valueGrid))
        return true;
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            addSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString DimensionPrivilegeDialog::currentType() const
{
    return m_type->currentData().toString();
}

void DimensionPrivilegeDialog::addSelected()
{
    if (!m_editable)
        return;
    QModelIndexList selected = m_valueGrid->selectionModel()->selectedRows();
    if (selected.isEmpty() && m_valuesShown->rowCount() == 1)
        selected.append(m_valuesShown->index(0, 0)); // the one value the filter leaves
    QList<int> rows;
    for (const QModelIndex &index : std::as_const(selected))
        rows.append(m_valuesShown->mapToSource(index).row());
    std::sort(rows.begin(), rows.end());
    const QString typeId = currentType();
    for (const int row : std::as_const(rows)) {
        appendGrant({typeId, m_catalogue.typeName(typeId), m_values->item(row, CodeColumn)->text(),
                     m_values->item(row, NameColumn)->text()});
    }
    refillValues();
    updateButtons();
}

void DimensionPrivilegeDialog::removeSelected()
{
    if (!m_editable)
        return;
    QList<int> rows;
    for (const QModelIndex &index : m_chosenGrid->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (const int row : std::as_const(rows))
        m_chosen->removeRow(row);
    refillValues();
    updateButtons();
}

void DimensionPrivilegeDialog::appendGrant(const DimensionGrant &grant)
{
    const QString typeName
        = grant.typeName.isEmpty() ? m_catalogue.typeName(grant.typeId) : grant.typeName;
    const QString valueName = grant.valueName.isEmpty()
                                  ? m_catalogue.valueName(grant.typeId, grant.valueCode)
                                  : grant.valueName;
    auto *type = readOnlyItem(typeName.isEmpty() ? grant.typeId : typeName);
    type->setData(grant.typeId, kTypeIdRole);
    m_chosen->appendRow({type, readOnlyItem(grant.valueCode), readOnlyItem(valueName)});
}

void DimensionPrivilegeDialog::refillValues()
{
    QSet<QString> granted;
    for (int row = 0; row < m_chosen->rowCount(); ++row) {
        granted.insert(grantKey(m_chosen->item(row, TypeColumn)->data(kTypeIdRole).toString(),
                                m_chosen->item(row, ValueCodeColumn)->text()));
    }
    const QString typeId = currentType();
    m_values->removeRows(0, m_values->rowCount());
    for (const DimensionValue &value : m_catalogue.valuesOf(typeId)) {
        if (!granted.contains(grantKey(typeId, value.code)))
            m_values->appendRow({readOnlyItem(value.code), readOnlyItem(value.name)});
    }
}

void DimensionPrivilegeDialog::updateButtons()
{
    m_add->setEnabled(
        m_editable
        && (m_valueGrid->selectionModel()->hasSelection() || m_valuesShown->rowCount() == 1));
    m_remove->setEnabled(m_editable && m_chosenGrid->selectionModel()->hasSelection());
}

} // namespace perikon::suite
