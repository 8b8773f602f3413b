#include "suite/services/SuiteCrmGenerals.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/host/contract/HostLogin.h"
#include "suite/SuiteLogin.h"
#include "suite/portal/SuitePortal.h"
#include "suite/services/CrmGeneralsWindow.h"
#include "suite/services/SuiteSql.h"

#include <QApplication>

namespace perikon::suite {

SuiteCrmGenerals::SuiteCrmGenerals(QObject *parent)
    : CrmGenerals(parent)
{}

SuiteCrmGenerals::~SuiteCrmGenerals()
{
    // A window nobody took in (no shell, no active window) would outlive every owner.
    if (m_window && !m_window->parent())
        delete m_window;
}

QWidget *SuiteCrmGenerals::window() const
{
    return m_window;
}

db::Connection *SuiteCrmGenerals::accountConnection(QObject *login)
{
    if (auto *suiteLogin = qobject_cast<SuiteLogin *>(login))
        return &suiteLogin->accountConnection(); // throws DbError when it will not open
    const QString connectionString = hostlogin::text(login, "qzDBName").trimmed();
    if (!m_ownConnection || m_ownConnection->connectionString() != connectionString
        || m_ownConnection->state() != db::Connection::StateOpen)
        m_ownConnection = openConnection(connectionString);
    return m_ownConnection.get();
}

bool SuiteCrmGenerals::IiniGenerals(QObject *login, QObject *product, QObject *formManager,
                                    int kind, const QString &code, const QString &name,
                                    const QVariant &reserved, QObject *viewManager,
                                    QObject *business)
{
    Q_UNUSED(product)
    Q_UNUSED(reserved)
    Q_UNUSED(business)
    if (kind != kContact || code.trimmed().isEmpty() || !login)
        return false;
    QList<Opportunity> opportunities;
    try {
        db::Connection *connection = accountConnection(login);
        if (!connection)
            return false;
        opportunities = contactOpportunities(*connection, code);
    } catch (const db::DbError &) {
        return false; // nothing shown: the caller hears of it by the answer
    }
    const bool english = hostlogin::text(login, "LanguageRegion") == QLatin1String("en-US");
    if (m_window) {
        m_window->showContact(code, name, opportunities, english);
        if (auto *manager = qobject_cast<SuiteFormManager *>(formManager))
            manager->ActivateForm(m_window);
        m_window->raise();
        m_window->activateWindow();
        return true;
    }
    auto *window = new CrmGeneralsWindow;
    window->showContact(code, name, opportunities, english);
    m_window = window;
    present(window, formManager, viewManager);
    return true;
}

void SuiteCrmGenerals::present(CrmGeneralsWindow *window, QObject *formManager,
                               QObject *viewManager)
{
    if (auto *views = qobject_cast<SuiteViewManager *>(viewManager))
        views->AddView(window);
    if (auto *manager = qobject_cast<SuiteFormManager *>(formManager);
        manager && manager->workspace()) {
        manager->AddForm(window);
        return;
    }
    // Over the window the operator works in, which then owns it.
    if (QWidget *active = QApplication::activeWindow())
        window->setParent(active, Qt::Window);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace perikon::suite
