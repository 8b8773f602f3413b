#pragma once

#include "perikon/data/db/Connection.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace perikon::db::test {

// A fresh account database file in its own temporary folder.
class DbTestFixture
{
public:
    // Creates QZDATA_001_2026.db holding the tables of `schemaSql` (SQLite text).
    explicit DbTestFixture(const QString &schemaSql);

    bool isValid() const { return m_dir.isValid() && !m_path.isEmpty(); }
    QString folder() const { return m_dir.path(); }
    QString path() const { return m_path; }
    QString connectionString() const;

    // A connection to the account database, opened on first use and closed with the fixture.
    Connection &connection();

    // Creates another database file in the same folder.
    QString createDatabase(const QString &fileName, const QString &schemaSql) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Connection> m_connection; // declared last: closed before the folder goes
};

} // namespace perikon::db::test
