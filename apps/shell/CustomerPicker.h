#pragma once

#include <QDialog>

class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace perikon::db {
class Connection;
}

namespace perikon::shell {

// Picks one customer by code or name, for "contacts of a customer".
class CustomerPicker : public QDialog
{
    Q_OBJECT
public:
    CustomerPicker(db::Connection &connection, bool english, QWidget *parent = nullptr);

    QString code() const { return m_code; }
    QString name() const { return m_name; }

private:
    void search();
    void choose();

    db::Connection &m_connection;
    QLineEdit *m_find = nullptr;
    QTableView *m_view = nullptr;
    QStandardItemModel *m_model = nullptr;
    QString m_code;
    QString m_name;
};

} // namespace perikon::shell
