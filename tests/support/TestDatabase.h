#pragma once

// A fresh account database for one test: the suite's schema in a temporary folder, optionally with
// demo contacts, and the connection string the component would get from the login.

#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/SchemaInstaller.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace perikon::testing {

class TestDatabase
{
public:
    // Check ok() before use; error() says why creation failed.
    explicit TestDatabase(int demoContacts = 0, std::uint64_t seed = 7)
    {
        if (!m_dir.isValid()) {
            m_error = QStringLiteral("no temporary folder");
            return;
        }
        auto files = suite::SchemaInstaller::createSqliteDatabases(m_dir.path());
        if (!files) {
            m_error = files.error();
            return;
        }
        m_accountPath = files.value().account;
        if (demoContacts > 0) {
            auto demo = suite::generateDemoData(m_accountPath, demoContacts, seed);
            if (!demo) {
                m_error = demo.error();
                return;
            }
        }
        m_ok = true;
    }

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString folder() const { return m_dir.path(); }
    QString accountPath() const { return m_accountPath; }
    QString connectionString() const
    {
        return QStringLiteral("Provider=SQLite;Data Source=%1;Initial Catalog=QZDATA_001_2026").arg(m_accountPath);
    }

private:
    QTemporaryDir m_dir;
    QString m_accountPath;
    QString m_error;
    bool m_ok = false;
};

} // namespace perikon::testing
