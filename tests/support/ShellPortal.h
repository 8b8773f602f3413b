#pragma once

// What window tests need of the shell: an operator's login on the fixture's account, and the
// workspace with the portal objects a component opens its pages in.

#include "suite/SuiteLogin.h"
#include "suite/portal/SuitePortal.h"
#include "support/SuiteFixture.h"

#include <QApplication>
#include <QTabWidget>

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

} // namespace perikon::testing
