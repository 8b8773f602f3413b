#pragma once

// A logged-in session over a fresh demo database, as the save and delete operations see it:
// the suite's services registered, a login in gLogin, the data-access object bound, logs in a
// temporary folder.

#include "support/TestDatabase.h"

#include "perikon/data/DataSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/host/ResText.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace perikon::testing {

class SessionFixture
{
public:
    explicit SessionFixture(int demoContacts = 20)
        : m_db(std::make_unique<TestDatabase>(demoContacts, 7, TestDatabase::requestedBackend()))
    {
        suite::registerServices();
        qputenv("PERIKON_LOG_DIR", m_logs.path().toLocal8Bit());
        m_login.cUserId = QStringLiteral("demo");
        m_login.cUserName = QStringLiteral("王经理");
        m_login.qzDBName = m_db->connectionString();
        m_login.setLanguageRegion(QStringLiteral("zh-CN"));
        gLogin = &m_login;
        gLastError.clear();
        gContactTs.clear();
        gDefaultContactChanged = false;
        if (!m_db->ok())
            return;
        QString cnn = m_db->connectionString();
        com.Init(cnn);
        com.SetLogin(&m_login);
    }

    ~SessionFixture()
    {
        com.Terminate(); // before the database folder goes
        gLogin = nullptr;
        gPubService.reset();
        gColumnSet.reset();
        qunsetenv("PERIKON_LOG_DIR");
    }

    // A PostgreSQL run without a server: the test skips rather than fails.
    static bool unavailable()
    {
        return TestDatabase::requestedBackend() == Backend::Postgres
               && qEnvironmentVariableIsEmpty("PERIKON_TEST_PG");
    }

    bool ok() { return m_db->ok() && com.connection()->state() == db::Connection::StateOpen; }
    QString error() const { return m_db->error(); }
    const TestDatabase &database() const { return *m_db; }
    suite::SuiteLogin &login() { return m_login; }

    // The first value of a query, or an invalid QVariant when it yields no row.
    QVariant scalar(const QString &sql)
    {
        std::unique_ptr<db::Recordset> rs(com.OpenX(sql));
        if (!rs || rs->recordCount() == 0)
            return {};
        return rs->value(0);
    }
    int count(const QString &sql) { return scalar(sql).toInt(); }

    QString logText() const
    {
        QFile file(m_logs.filePath(QStringLiteral("SrvTransLog.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    static QString text(const char *key, const QStringList &args = {})
    {
        return suite::ResourceTexts::format(QStringLiteral("zh-CN"), QString::fromLatin1(key),
                                            args);
    }

    IClsCommon com;

private:
    std::unique_ptr<TestDatabase> m_db;
    QTemporaryDir m_logs;
    suite::SuiteLogin m_login;
};

} // namespace perikon::testing
