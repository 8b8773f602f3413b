#pragma once

// The session a batch modification runs in, as the list leaves it after its load: an operator
// logged in, the data-access object bound, the suite's public service, UI helper and column
// settings, no write restriction, and the field catalogue built.

#include "perikon/batch/BatchCatalog.h"
#include "perikon/batch/BatchSession.h"
#include "perikon/card/CardSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuitePubService.h"
#include "support/SuiteFixture.h"

#include <QTest>

#include <memory>

namespace perikon::testing {

// Answers the operator's login (the session refers to it until endBatchSession). False when the
// column settings or the catalogue cannot be had.
inline bool startBatchSession(SuiteFixture &db, std::unique_ptr<suite::SuiteLogin> &login,
                              const QString &language = QStringLiteral("zh-CN"),
                              const QString &user = QStringLiteral("admin"))
{
    login = std::make_unique<suite::SuiteLogin>();
    login->cUserId = user;
    login->cUserName = user;
    login->IsAdmin = true;
    login->qzDBName = db.connectionString();
    login->setLanguageRegion(language);
    gLogin = login.get();
    gUserId = user;
    gUserName = user;
    gAccountDb = db.connectionString();
    gClsCommon = std::make_shared<IClsCommon>();
    QString cnn = db.connectionString();
    gClsCommon->Init(cnn);
    gClsCommon->SetLogin(login.get());
    gPubService = std::make_unique<suite::SuitePubService>();
    gUiHelper = HostRegistry::createAs<UiHelper>(QStringLiteral("UiHelper"));
    gColumnSet = HostRegistry::createAs<ColumnSetService>(QStringLiteral("ColumnSetService"));
    if (!gColumnSet || !gColumnSet->Init(db.connectionString(), user))
        return false;
    gRowAuthWrite = QStringLiteral("1=1");
    return !Const::BuildBatchCatalog();
}

inline void endBatchSession(std::unique_ptr<suite::SuiteLogin> &login)
{
    gClsCommon.reset();
    gPubService.reset();
    gColumnSet.reset();
    gUiHelper.reset();
    gLogin = nullptr;
    gBatchCatalogXml.clear();
    gCardColInfoXml.clear();
    gRowAuthWrite.clear();
    gColAuthN.clear();
    gColAuthRead.clear();
    gListDirty = false;
    login.reset();
}

} // namespace perikon::testing
