#pragma once

// What window tests need of the shell: an operator's login on the fixture's account, and the
// workspace with the portal objects a component opens its pages in.

#include "perikon/entry/IContact.h"
#include "perikon/list/frmContactList.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/SuiteLogin.h"
#include "suite/portal/SuitePortal.h"
#include "support/SuiteFixture.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace perikon::testing {

inline std::unique_ptr<suite::SuiteLogin>
operatorLogin(const SuiteFixture &db, const QString &user, bool admin,
              const QString &language = QStringLiteral("en-US"))
{
    auto made = std::make_unique<suite::SuiteLogin>();
    made->cUserId = user;
    made->cUserName = user;
    made->IsAdmin = admin;
    made->qzDBName = db.connectionString();
    made->setLanguageRegion(language);
    return made;
}

// The shell's side of a Show: a workspace and the portal objects.
struct ShellPortal
{
    ShellPortal()
    {
        formManager.setWorkspace(&workspace);
        workspace.resize(1000, 600);
        workspace.show();
        QApplication::setActiveWindow(&workspace);
    }
    ~ShellPortal()
    {
        while (workspace.count() > 0)
            delete workspace.widget(0);
    }
    QTabWidget workspace;
    suite::SuiteProduct product;
    suite::SuiteFormManager formManager;
    suite::SuiteViewManager viewManager;
};

// Opens the contact list as the shell does (a page of the workspace) and waits for its first
// fill; nullptr when it does not open or never becomes ready.
inline frmContactList *showContactList(IContact &contact, QObject *operatorLogin,
                                       ShellPortal &portal)
{
    auto *business = new suite::SuiteBusiness(&portal.workspace);
    business->setLogin(operatorLogin);
    business->setFormManager(&portal.formManager);
    contact.Show(operatorLogin, true, &portal.product, &portal.formManager, &portal.viewManager,
                 business);
    auto *window = qobject_cast<frmContactList *>(gListForm);
    // The first activation fills the list after the window is shown.
    if (window && !QTest::qWaitFor([window] { return window->isReady(); }, 10000))
        return nullptr;
    return window;
}

} // namespace perikon::testing
