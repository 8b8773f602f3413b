#pragma once

#include "suite/services/ContactOpportunities.h"

#include <QWidget>

class QLabel;

namespace perikon::controls {
class HostGrid;
}

namespace perikon::suite {

// The general work of one contact ("frmCrmGenerals"): the opportunities that name it, read-only.
// Deletes itself when closed, so a page of the shell goes with it.
class CrmGeneralsWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CrmGeneralsWindow(QWidget *parent = nullptr);

    // Shows `opportunities` of the contact `code` / `name`, in English when `english` is set,
    // in Chinese otherwise; what was shown before goes.
    void showContact(const QString &code, const QString &name,
                     const QList<Opportunity> &opportunities, bool english);

    QString contactCode() const { return m_code; }

private:
    controls::HostGrid *m_grid = nullptr;
    QLabel *m_empty = nullptr;
    QLabel *m_count = nullptr;
    QString m_code;
};

} // namespace perikon::suite
