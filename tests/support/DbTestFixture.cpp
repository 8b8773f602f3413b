#include "support/DbTestFixture.h"

#include <QDir>

#include <sqlite3.h>

namespace perikon::db::test {

DbTestFixture::DbTestFixture(const QString &schemaSql)
{
    if (m_dir.isValid())
        m_path = createDatabase(QStringLiteral("QZDATA_001_2026.db"), schemaSql);
}

QString DbTestFixture::connectionString() const
{
    return QStringLiteral("Provider=SQLite;Data Source=%1;Initial Catalog=QZDATA_001_2026")
        .arg(m_path);
}

Connection &DbTestFixture::connection()
{
    if (!m_connection) {
        m_connection = std::make_unique<Connection>();
        m_connection->open(connectionString());
    }
    return *m_connection;
}

QString DbTestFixture::createDatabase(const QString &fileName, const QString &schemaSql) const
{
    const QString path = QDir(m_dir.path()).filePath(fileName);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK) {
        sqlite3_close(db);
        return {};
    }
    char *error = nullptr;
    const int rc = sqlite3_exec(db, schemaSql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        qWarning("schema failed: %s", error);
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return rc == SQLITE_OK ? path : QString();
}

} // namespace perikon::db::test
