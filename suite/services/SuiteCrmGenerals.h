#pragma once

#include "perikon/host/contract/CrmGenerals.h"

#include <QPointer>

#include <memory>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

class CrmGeneralsWindow;

// The suite's general work ("CrmGenerals"): contacts only. The opportunities come from the
// login's account database; the window ("frmCrmGenerals") becomes a page of the shell when the
// form manager is the suite's, otherwise a window over the active one. The object keeps its
// window, so a second call shows the next contact in it.
class SuiteCrmGenerals : public CrmGenerals
{
    Q_OBJECT
public:
    static constexpr int kContact = 2;

    Q_INVOKABLE explicit SuiteCrmGenerals(QObject *parent = nullptr);
    ~SuiteCrmGenerals() override;

    // False for another kind, an empty code, or a login whose account database cannot be read.
    bool IiniGenerals(QObject *login, QObject *product, QObject *formManager, int kind,
                      const QString &code, const QString &name, const QVariant &reserved,
                      QObject *viewManager, QObject *business) override;

    // The window showing the general work, while it is open.
    QWidget *window() const;

private:
    db::Connection *accountConnection(QObject *login);
    void present(CrmGeneralsWindow *window, QObject *formManager, QObject *viewManager);

    QPointer<CrmGeneralsWindow> m_window;
    std::unique_ptr<db::Connection> m_ownConnection; // for a login that is not the suite's
};

} // namespace perikon::suite
