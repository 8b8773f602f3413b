#pragma once

// A fresh account database for one test: the suite's schema, optionally with demo contacts, and
// the connection string the component would get from the login. On SQLite the databases are
// files in a temporary folder; on PostgreSQL (PERIKON_TEST_PG names the server) a database of
// its own is created on the server for each TestDatabase and dropped with it, so tests that
// ctest runs in parallel never see each other's rows.

#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/PostgresDriver.h"
#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/SchemaInstaller.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <memory>

namespace perikon::testing {

enum class Backend { Sqlite, Postgres };

class TestDatabase
{
public:
    // Check ok() before use; error() says why creation failed.
    explicit TestDatabase(int demoContacts = 0, std::uint64_t seed = 7,
                          Backend backend = Backend::Sqlite)
        : m_backend(backend)
    {
        if (backend == Backend::Postgres)
            createOnServer(demoContacts, seed);
        else
            createFiles(demoContacts, seed);
    }

    ~TestDatabase()
    {
        if (!m_serverDatabase.isEmpty())
            maintenance(
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_serverDatabase));
    }

    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    // The backends a test runs on: SQLite always, PostgreSQL when PERIKON_TEST_PG is set.
    static QList<Backend> backends()
    {
        QList<Backend> list{Backend::Sqlite};
        if (!serverConnectionString().isEmpty())
            list << Backend::Postgres;
        return list;
    }
    // The backend a whole test binary runs on: PostgreSQL when PERIKON_TEST_BACKEND says
    // "postgres" (ctest runs the save tests a second time so), else SQLite.
    static Backend requestedBackend()
    {
        return qEnvironmentVariable("PERIKON_TEST_BACKEND") == QLatin1String("postgres")
                   ? Backend::Postgres
                   : Backend::Sqlite;
    }

    static const char *backendName(Backend backend)
    {
        return backend == Backend::Postgres ? "postgres" : "sqlite";
    }
    // The server's connection string from the environment; empty when none is configured.
    static QString serverConnectionString() { return qEnvironmentVariable("PERIKON_TEST_PG"); }

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    Backend backend() const { return m_backend; }
    QString folder() const { return m_dir.path(); }
    QString accountPath() const { return m_accountPath; }
    // The server database a PostgreSQL test database lives in; empty on SQLite.
    QString serverDatabase() const { return m_serverDatabase; }
    QString connectionString() const
    {
        if (m_backend == Backend::Postgres)
            return withDatabase(m_serverDatabase, QStringLiteral("QZDATA_001_2026"));
        return QStringLiteral("Provider=SQLite;Data Source=%1;Initial Catalog=QZDATA_001_2026")
            .arg(m_accountPath);
    }

    // The server's connection string pointed at another database and catalog.
    static QString withDatabase(const QString &database, const QString &catalog)
    {
        const db::ConnectionString server(serverConnectionString());
        QString text = QStringLiteral(
                           "Provider=PostgreSQL;Host=%1;Port=%2;Database=%3;User ID=%4;Password=%5")
                           .arg(server.host())
                           .arg(server.port())
                           .arg(database, server.user(), server.password());
        if (!catalog.isEmpty())
            text += QStringLiteral(";Initial Catalog=") + catalog;
        return text;
    }

private:
    void createFiles(int demoContacts, std::uint64_t seed)
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

    void createOnServer(int demoContacts, std::uint64_t seed)
    {
        if (serverConnectionString().isEmpty()) {
            m_error = QStringLiteral("PERIKON_TEST_PG names no PostgreSQL server");
            return;
        }
        static QAtomicInt counter;
        // Unique across the test processes ctest runs side by side.
        const QString name = QStringLiteral("perikon_t%1_%2_%3")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(counter.fetchAndAddRelaxed(1))
                                 .arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
        if (!maintenance(QStringLiteral("CREATE DATABASE %1").arg(name)))
            return;
        m_serverDatabase = name;
        const auto created = suite::SchemaInstaller::createPostgresDatabases(connectionString());
        if (!created) {
            m_error = created.error();
            return;
        }
        if (demoContacts > 0) {
            auto demo
                = suite::DemoDataGenerator(seed).generatePostgres(connectionString(), demoContacts);
            if (!demo) {
                m_error = demo.error();
                return;
            }
        }
        m_ok = true;
    }

    // Runs a statement on the database PERIKON_TEST_PG names (CREATE/DROP DATABASE cannot run
    // inside the database they affect).
    bool maintenance(const QString &sql)
    {
        const db::ConnectionString server(serverConnectionString());
        try {
            db::PostgresDriver driver;
            driver.open(db::ConnectionString(withDatabase(server.database(), {})));
            driver.execute(sql);
            return true;
        } catch (const db::DbError &e) {
            m_error = e.description();
            return false;
        }
    }

    Backend m_backend;
    QTemporaryDir m_dir;
    QString m_accountPath;
    QString m_serverDatabase;
    QString m_error;
    bool m_ok = false;
};

} // namespace perikon::testing
