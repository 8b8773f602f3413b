#pragma once

#include <QDialog>

namespace perikon {

class ColumnSetControl;

namespace list {
class ListAccess;
}

// The list's column settings ("frmItemSet"): the host's column-settings control "ColSet1" over
// every column of the contact archive. A confirmed layout is stored when the operator asks, and
// the open list takes it at once, stored or not.
class frmItemSet : public QDialog
{
    Q_OBJECT
public:
    frmItemSet(list::ListAccess &list, QWidget *parent = nullptr);
    ~frmItemSet() override;

    Q_INVOKABLE void ExitForm();

private:
    void load();
    void loadColumns(const QString &colInfoXml);
    void onConfirmed(bool save, const QString &xml);
    void onVariantRequested(int mode);

    list::ListAccess &m_list;
    ColumnSetControl *m_colSet = nullptr;
};

} // namespace perikon
