#pragma once

#include <QString>
#include <QTemporaryDir>

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

    // Creates another database file in the same folder.
    QString createDatabase(const QString &fileName, const QString &schemaSql) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace perikon::db::test
