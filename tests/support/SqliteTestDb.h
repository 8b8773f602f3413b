#pragma once

#include "perikon/data/db/SqliteStatementHandle.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

// A raw SQLite connection for checking what the schema scripts and the demo loader wrote,
// independent of the data layer.
class SqliteTestDb
{
public:
    explicit SqliteTestDb(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE,
                            nullptr)
            != SQLITE_OK)
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    ~SqliteTestDb() { sqlite3_close(m_db); }
    SqliteTestDb(const SqliteTestDb &) = delete;
    SqliteTestDb &operator=(const SqliteTestDb &) = delete;

    sqlite3 *handle() const { return m_db; }
    bool isOpen() const { return m_error.isEmpty(); }

    // Runs statements; false with lastError() set when SQLite refuses them.
    bool exec(const QString &sql)
    {
        char *message = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK) {
            m_error.clear();
            return true;
        }
        m_error = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        return false;
    }

    // All rows of a query, each row's values joined by "|" (NULL as "<null>").
    QStringList rows(const QString &sql)
    {
        QStringList result;
        perikon::db::SqliteStatementHandle statement;
        if (perikon::db::prepareSqliteStatement(m_db, sql.toUtf8().constData(), -1, statement)
            != SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
            return {QStringLiteral("<error: %1>").arg(m_error)};
        }
        sqlite3_stmt *const stmt = statement.get();
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList values;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                const auto *text = sqlite3_column_text(stmt, i);
                values << (text ? QString::fromUtf8(reinterpret_cast<const char *>(text))
                                : QStringLiteral("<null>"));
            }
            result << values.join(u'|');
        }
        return result;
    }

    // The first column of the first row, or "<none>".
    QString value(const QString &sql)
    {
        const QStringList all = rows(sql);
        return all.isEmpty() ? QStringLiteral("<none>") : all.first().section(u'|', 0, 0);
    }

    qint64 number(const QString &sql) { return value(sql).toLongLong(); }

    // The declared type of the single column a query returns, as the data layer reads it.
    QString declaredType(const QString &sql)
    {
        perikon::db::SqliteStatementHandle statement;
        if (perikon::db::prepareSqliteStatement(m_db, sql.toUtf8().constData(), -1, statement)
            != SQLITE_OK)
            return QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(m_db)));
        const char *type = sqlite3_column_decltype(statement.get(), 0);
        return type ? QString::fromUtf8(type) : QStringLiteral("<none>");
    }

    const QString &lastError() const { return m_error; }

private:
    sqlite3 *m_db = nullptr;
    QString m_error;
};
