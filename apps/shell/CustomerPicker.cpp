#include "apps/shell/CustomerPicker.h"

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/SuiteSql.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace perikon::shell {

namespace {
constexpr int kMaxRows = 200;
}

CustomerPicker::CustomerPicker(db::Connection &connection, bool english, QWidget *parent)
    : QDialog(parent)
    , m_connection(connection)
{
    setObjectName(QStringLiteral("frmCustomerPicker"));
    setWindowTitle(english ? QStringLiteral("Contacts of a customer")
                           : QStringLiteral("客户的联系人"));
    auto *layout = new QVBoxLayout(this);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_find->setPlaceholderText(english ? QStringLiteral("Customer code or name")
                                       : QStringLiteral("客户编码或名称"));
    layout->addWidget(m_find);
    m_model = new QStandardItemModel(0, 2, this);
    m_model->setHorizontalHeaderLabels(
        english ? QStringList{QStringLiteral("Code"), QStringLiteral("Customer")}
                : QStringList{QStringLiteral("客户编码"), QStringLiteral("客户名称")});
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("Grid"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->verticalHeader()->hide();
    layout->addWidget(m_view, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomerPicker::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_find, &QLineEdit::textChanged, this, &CustomerPicker::search);
    connect(m_view, &QTableView::doubleClicked, this, &CustomerPicker::choose);
    resize(520, 420);
    search();
}

void CustomerPicker::search()
{
    const QString pattern
        = db::sqlNQuoted(QStringLiteral("%") + m_find->text().trimmed() + QStringLiteral("%"));
    m_model->removeRows(0, m_model->rowCount());
    try {
        const QList<QStringList> rows = suite::queryRows(
            m_connection, QStringLiteral("select top %1 cCusCode, cCusName from Customer where "
                                         "cCusCode like %2 or cCusName like %2 order by cCusCode")
                              .arg(kMaxRows)
                              .arg(pattern));
        for (const QStringList &row : rows)
            m_model->appendRow({new QStandardItem(row.value(0)), new QStandardItem(row.value(1))});
    } catch (const db::DbError &error) {
        m_model->appendRow({new QStandardItem(QString()), new QStandardItem(error.description())});
    }
    if (m_model->rowCount() > 0)
        m_view->selectRow(0);
}

void CustomerPicker::choose()
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return;
    m_code = m_model->item(current.row(), 0)->text();
    m_name = m_model->item(current.row(), 1)->text();
    if (!m_code.isEmpty())
        accept();
}

} // namespace perikon::shell
