#include "suite/services/RelatedPersonDialog.h"

#include "suite/services/FilterLineKeys.h"
#include "suite/services/TransferDialogParts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
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

enum ChosenColumn { IdColumn, NameColumn, RightColumn };

QStandardItem *readOnlyItem(const QString &text)
{
    auto *item = new QStandardItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

RelatedPersonDialog::RelatedPersonDialog(QList<SuiteUser> users,
                                         const QList<RelatedPerson> &persons, bool editable,
                                         QWidget *parent)
    : QDialog(parent)
    , m_users(std::move(users))
    , m_editable(editable)
    , m_available(new QStandardItemModel(0, 2, this))
    , m_availableShown(new QSortFilterProxyModel(this))
    , m_chosen(new QStandardItemModel(0, 3, this))
    , m_filter(new QLineEdit(this))
{
    setObjectName(QStringLiteral("RelatedPersonDialog"));
    setWindowTitle(dialogText("K2.Suite.RelPerson.Title"));
    setModal(true);

    const QString idCaption = dialogText("K2.Suite.RelPerson.UserId");
    const QString nameCaption = dialogText("K2.Suite.RelPerson.UserName");
    m_available->setHorizontalHeaderLabels({idCaption, nameCaption});
    m_chosen->setHorizontalHeaderLabels(
        {idCaption, nameCaption, dialogText("K2.Suite.RelPerson.ReadWrite")});
    m_availableShown->setSourceModel(m_available);
    m_availableShown->setFilterKeyColumn(-1);
    m_availableShown->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_filter->setObjectName(QStringLiteral("RelFilter"));
    m_filter->setPlaceholderText(dialogText("K2.Suite.RelPerson.FilterHint"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    auto *filterLabel = new QLabel(dialogText("K2.Suite.RelPerson.Filter"), this);
    filterLabel->setBuddy(m_filter);

    m_availableGrid = internal::pickGrid(QStringLiteral("RelAvailable"), m_availableShown, this);
    m_chosenGrid = internal::pickGrid(QStringLiteral("RelChosen"), m_chosen, this);

    const internal::PickButtons buttons = internal::pickButtons(
        this, QStringLiteral("Rel"), QStringLiteral("RelPerson"), m_editable);
    m_add = buttons.add;
    m_remove = buttons.remove;
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;

    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    internal::layOutPickDialog(this, buttons, QStringLiteral("RelPerson"), filterRow,
                               m_availableGrid, m_chosenGrid, m_editable);

    for (const RelatedPerson &person : persons)
        appendPerson(person);
    refillAvailable();
    internal::fitColumns(m_availableGrid);
    internal::fitColumns(m_chosenGrid);

    m_filter->setEnabled(m_editable);
    m_availableGrid->setEnabled(m_editable);
    m_ok->setEnabled(m_editable);

    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_availableShown->setFilterFixedString(text);
        updateButtons();
    });
    connect(m_add, &QPushButton::clicked, this, &RelatedPersonDialog::addSelected);
    connect(m_remove, &QPushButton::clicked, this, &RelatedPersonDialog::removeSelected);
    connect(m_availableGrid, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) {
                if (!index.isValid())
                    return;
                m_availableGrid->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect
                                                                     | QItemSelectionModel::Rows);
                addSelected();
            });
    connect(m_availableGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RelatedPersonDialog::updateButtons);
    connect(m_chosenGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RelatedPersonDialog::updateButtons);
    updateButtons();

    resize(760, 440);
    if (m_editable)
        m_filter->setFocus();
}

RelatedPersonDialog::~RelatedPersonDialog() = default;

QList<RelatedPerson> RelatedPersonDialog::persons() const
{
    QList<RelatedPerson> persons;
    for (int row = 0; row < m_chosen->rowCount(); ++row) {
        persons.append({m_chosen->item(row, IdColumn)->text(),
                        m_chosen->item(row, NameColumn)->text(),
                        m_chosen->item(row, RightColumn)->checkState() == Qt::Checked});
    }
    return persons;
}

bool RelatedPersonDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The operator keeps typing in the filter line: the arrows move through the users, Enter
    // binds the selected ones instead of closing the dialog.
    if (watched == m_filter && passArrowsToGrid(event, m_availableGrid))
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

void RelatedPersonDialog::addSelected()
{
    if (!m_editable)
        return;
    QModelIndexList selected = m_availableGrid->selectionModel()->selectedRows();
    if (selected.isEmpty() && m_availableShown->rowCount() == 1)
        selected.append(m_availableShown->index(0, 0)); // the one user the filter leaves
    QList<int> rows;
    for (const QModelIndex &index : std::as_const(selected))
        rows.append(m_availableShown->mapToSource(index).row());
    std::sort(rows.begin(), rows.end());
    for (const int row : std::as_const(rows)) {
        appendPerson({m_available->item(row, IdColumn)->text(),
                      m_available->item(row, NameColumn)->text(), true});
    }
    refillAvailable();
    updateButtons();
}

void RelatedPersonDialog::removeSelected()
{
    if (!m_editable)
        return;
    QList<int> rows;
    for (const QModelIndex &index : m_chosenGrid->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (const int row : std::as_const(rows))
        m_chosen->removeRow(row);
    refillAvailable();
    updateButtons();
}

void RelatedPersonDialog::appendPerson(const RelatedPerson &person)
{
    QString name = person.userName;
    if (name.isEmpty()) {
        const auto user
            = std::find_if(m_users.cbegin(), m_users.cend(), [&person](const SuiteUser &candidate) {
                  return candidate.id == person.userId;
              });
        if (user != m_users.cend())
            name = user->name;
    }
    auto *right = new QStandardItem;
    right->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable
                    | (m_editable ? Qt::ItemIsUserCheckable : Qt::NoItemFlags));
    right->setCheckState(person.readWrite ? Qt::Checked : Qt::Unchecked);
    m_chosen->appendRow({readOnlyItem(person.userId), readOnlyItem(name), right});
}

void RelatedPersonDialog::refillAvailable()
{
    QSet<QString> bound;
    for (int row = 0; row < m_chosen->rowCount(); ++row)
        bound.insert(m_chosen->item(row, IdColumn)->text().toLower());
    m_available->removeRows(0, m_available->rowCount());
    for (const SuiteUser &user : std::as_const(m_users)) {
        if (!user.disabled && !bound.contains(user.id.toLower()))
            m_available->appendRow({readOnlyItem(user.id), readOnlyItem(user.name)});
    }
}

void RelatedPersonDialog::updateButtons()
{
    m_add->setEnabled(m_editable
                      && (m_availableGrid->selectionModel()->hasSelection()
                          || m_availableShown->rowCount() == 1));
    m_remove->setEnabled(m_editable && m_chosenGrid->selectionModel()->hasSelection());
}

} // namespace perikon::suite
