#pragma once

#include "perikon/data/db/Connection.h"
#include "support/TestDatabase.h"

#include <QObject>
#include <QStringList>

#include <memory>

// Stands in for the component's data-access object: services reach its connection through the
// "m_cnn" property, exactly as they do with the real one.
class DataAccessStub : public QObject
{
    Q_OBJECT
    Q_PROPERTY(perikon::db::Connection *m_cnn MEMBER m_cnn)
public:
    explicit DataAccessStub(perikon::db::Connection *connection, QObject *parent = nullptr)
        : QObject(parent)
        , m_cnn(connection)
    {}
    perikon::db::Connection *m_cnn = nullptr;
};

// A fresh account (001, 2026) on the backend the test binary runs on, with an open connection to
// it.
class SuiteFixture
{
public:
    // Empty string on success, else why the databases could not be made.
    QString create(int demoContacts = 0);

    QString connectionString() const { return m_database->connectionString(); }
    perikon::db::Connection &connection() { return *m_connection; }

    // Runs SQL Server text through the data layer.
    void exec(const QString &sql);
    // The first column of every row, as text.
    QStringList column(const QString &sql);
    qint64 count(const QString &sql);

private:
    std::unique_ptr<perikon::testing::TestDatabase> m_database;
    std::unique_ptr<perikon::db::Connection> m_connection; // closed before its database goes
};
