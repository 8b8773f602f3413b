// Compares reading a contact list with the raw sqlite3 API (what a minimal reader does: prepare,
// step, read every column as text or integer) against opening the same statement as a client-side,
// static, optimistic recordset through a connection, as the list window does, and against
// IClsCommon::OpenPage, which reads the whole statement and stores one page of it. With
// PERIKON_TEST_PG set it does the same against PostgreSQL, raw libpq against the component.
//
// bench-listread [contacts] [page size] [runs]: 10000 contacts, pages of 10000 (the list's largest
// page) and 9 runs unless told otherwise.

#include "ListReadRuns.h"
#include "PostgresListRead.h"

#include "perikon/data/db/SqliteStatementHandle.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

using namespace perikon::db;

namespace {

constexpr int kCustomers = 5000;

const char *const kSchema
    = "CREATE TABLE Customer (cCusCode nvarchar(20) PRIMARY KEY, cCusName nvarchar(98), "
      "  cCusAbbName nvarchar(60), cCusPhone nvarchar(100));"
      "CREATE TABLE Crm_Contact (OID nvarchar(40) PRIMARY KEY, cContactCode nvarchar(20) NOT NULL, "
      "  cCusCode nvarchar(20), cContactName nvarchar(50), cAppellation nvarchar(20), "
      "  cSuperiorID nvarchar(20), cNative nvarchar(60), bcDutyID nvarchar(20), bcTasteID "
      "nvarchar(20), "
      "  cPrincipal nvarchar(20), cConDepart nvarchar(60), cCreator nvarchar(20), "
      "  cOfficePhone nvarchar(100), cHomePhone nvarchar(100), cMobilePhone nvarchar(100), "
      "  cCall nvarchar(100), cZipcode nvarchar(20), cHomePage nvarchar(200), "
      "  cWorkAddress nvarchar(255), cHomeAddress nvarchar(255), cEmail nvarchar(200), "
      "  cHomeMember nvarchar(100), cMemo nvarchar(255), bcSexID nvarchar(20), "
      "  bcMarriageID nvarchar(20), bMajor bit NOT NULL DEFAULT 0, bDefaultCon bit DEFAULT 0, "
      "  dBirthday datetime, dConEDate datetime, dCreateDate datetime, dModifyDate datetime, "
      "  cConDefine1 nvarchar(120), cConDefine2 nvarchar(120), iConDefine13 int, cWechat "
      "nvarchar(60), "
      "  qzts timestamp);"
      "CREATE UNIQUE INDEX ix_contact_code ON Crm_Contact (cContactCode);";

const char *const kListSql
    = "SELECT c.OID, c.cContactCode, c.cContactName, c.cAppellation, c.cCusCode, k.cCusName, "
      "k.cCusAbbName, c.cSuperiorID, c.cNative, c.bcDutyID, c.bcTasteID, c.cPrincipal, "
      "c.cConDepart, "
      "c.cCreator, c.cOfficePhone, c.cHomePhone, c.cMobilePhone, c.cCall, c.cZipcode, c.cHomePage, "
      "c.cWorkAddress, c.cHomeAddress, c.cEmail, c.cHomeMember, c.cMemo, c.bcSexID, "
      "c.bcMarriageID, "
      "c.bMajor, c.bDefaultCon, c.dBirthday, c.dConEDate, c.dCreateDate, c.cConDefine1, "
      "c.iConDefine13, c.cWechat "
      "FROM Crm_Contact c LEFT JOIN Customer k ON k.cCusCode = c.cCusCode "
      "ORDER BY c.cContactCode";

bool exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s\n", error);
    sqlite3_free(error);
    return false;
}

void bindText(sqlite3_stmt *statement, int index, const QByteArray &text)
{
    sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

bool createDatabase(const QString &path, int rows)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    bool ok = exec(db, kSchema) && exec(db, "BEGIN");
    SqliteStatementHandle customer;
    prepareSqliteStatement(db, "INSERT INTO Customer VALUES (?,?,?,?)", -1, customer);
    for (int i = 0; ok && i < kCustomers; ++i) {
        bindText(customer.get(), 1, QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0')).toUtf8());
        bindText(customer.get(), 2,
                 QStringLiteral("上海某某贸易有限公司第%1分公司").arg(i).toUtf8());
        bindText(customer.get(), 3, QStringLiteral("某某贸易%1").arg(i).toUtf8());
        bindText(customer.get(), 4,
                 QStringLiteral("021-6%1").arg(i, 7, 10, QLatin1Char('0')).toUtf8());
        ok = sqlite3_step(customer.get()) == SQLITE_DONE;
        sqlite3_reset(customer.get());
    }
    customer.reset();

    SqliteStatementHandle contact;
    prepareSqliteStatement(
        db,
        "INSERT INTO Crm_Contact VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
        "?,?,?,?,?,?,?,?,?,?,?,?)",
        -1, contact);
    for (int i = 0; ok && i < rows; ++i) {
        const QString n = QString::number(i);
        int p = 1;
        bindText(
            contact.get(), p++,
            QStringLiteral("%1").arg(quint64(i) * 2654435761u, 32, 16, QLatin1Char('0')).toUtf8());
        bindText(contact.get(), p++, QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')).toUtf8());
        bindText(contact.get(), p++,
                 QStringLiteral("C%1").arg(i % kCustomers, 6, 10, QLatin1Char('0')).toUtf8());
        bindText(contact.get(), p++, (QStringLiteral("联系人") + n).toUtf8());
        bindText(contact.get(), p++, QByteArrayLiteral("先生"));
        sqlite3_bind_null(contact.get(), p++);
        bindText(contact.get(), p++, QByteArrayLiteral("江苏南京"));
        bindText(contact.get(), p++, QByteArrayLiteral("01"));
        bindText(contact.get(), p++, QByteArrayLiteral("02"));
        bindText(contact.get(), p++, QByteArrayLiteral("demo"));
        bindText(contact.get(), p++, QByteArrayLiteral("采购部"));
        bindText(contact.get(), p++, QByteArrayLiteral("demo"));
        bindText(contact.get(), p++, ("021-5" + n).toUtf8());
        bindText(contact.get(), p++, ("025-8" + n).toUtf8());
        bindText(contact.get(), p++,
                 ("139" + QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'))).toUtf8());
        sqlite3_bind_null(contact.get(), p++);
        bindText(contact.get(), p++, QByteArrayLiteral("210000"));
        bindText(contact.get(), p++, QByteArrayLiteral("http://www.example.com"));
        bindText(contact.get(), p++,
                 (QStringLiteral("上海市浦东新区某某路") + n + QStringLiteral("号")).toUtf8());
        sqlite3_bind_null(contact.get(), p++);
        bindText(contact.get(), p++, ("contact" + n + "@example.com").toUtf8());
        sqlite3_bind_null(contact.get(), p++);
        bindText(contact.get(), p++,
                 (i % 7 == 0) ? QByteArrayLiteral("重要客户的联系人，每月回访") : QByteArray());
        bindText(contact.get(), p++, QByteArrayLiteral("1"));
        bindText(contact.get(), p++, QByteArrayLiteral("2"));
        sqlite3_bind_int(contact.get(), p++, i % 2);
        sqlite3_bind_int(contact.get(), p++, i % 5 == 0);
        bindText(contact.get(), p++, QByteArrayLiteral("1980-05-17 00:00:00"));
        sqlite3_bind_null(contact.get(), p++);
        bindText(contact.get(), p++, QByteArrayLiteral("2026-01-05 09:12:44"));
        sqlite3_bind_null(contact.get(), p++);
        bindText(contact.get(), p++, QByteArrayLiteral("自定义项1"));
        sqlite3_bind_null(contact.get(), p++);
        sqlite3_bind_int(contact.get(), p++, i % 100);
        bindText(contact.get(), p++, ("wx_" + n).toUtf8());
        sqlite3_bind_int64(contact.get(), p++, 1000 + i);
        ok = sqlite3_step(contact.get()) == SQLITE_DONE;
        sqlite3_reset(contact.get());
    }
    contact.reset(); // finalized before the commit
    ok = ok && exec(db, "COMMIT");
    sqlite3_close(db);
    return ok;
}

// What a minimal reader does: every column of every row, as an integer or as text.
qint64 readRaw(sqlite3 *db)
{
    SqliteStatementHandle statement;
    prepareSqliteStatement(db, kListSql, -1, statement);
    const int columns = sqlite3_column_count(statement.get());
    qint64 sum = 0;
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            if (sqlite3_column_type(statement.get(), i) == SQLITE_INTEGER) {
                sum += sqlite3_column_int64(statement.get(), i);
            } else {
                const unsigned char *text = sqlite3_column_text(statement.get(), i);
                sum += text ? sqlite3_column_bytes(statement.get(), i) : 0;
            }
        }
    }
    statement.reset(); // finalizing is part of the read
    return sum;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ListReadSetup setup;
    setup.contacts = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    setup.pageSize = argc > 2 ? QByteArray(argv[2]).toInt() : 10000;
    setup.repeats = argc > 3 ? QByteArray(argv[3]).toInt() : 9;
    if (setup.contacts < 1 || setup.pageSize < 1 || setup.repeats < 1) {
        std::fprintf(stderr, "usage: bench-listread [contacts] [page size] [runs]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("QZDATA_001_2026.db"));
    std::printf("creating %d contacts ...\n", setup.contacts);
    if (!dir.isValid() || !createDatabase(path, setup.contacts)) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }

    // The raw reader keeps one open connection, as the component does.
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        std::fprintf(stderr, "cannot open the database\n");
        return 1;
    }
    setup.backend = "SQLite";
    setup.connectionString
        = QStringLiteral("Provider=SQLite;Data Source=%1;Initial Catalog=QZDATA_001_2026")
              .arg(path);
    setup.readRaw = [db] {
        return readRaw(db);
    };
    int code = runListRead(setup, kListSql);
    sqlite3_close(db);

    // The same read from the multi-user server, when one is configured.
    if (code == 0 && !qEnvironmentVariableIsEmpty("PERIKON_TEST_PG"))
        code = runPostgresListRead(setup, kListSql, kSchema, kCustomers);
    return code;
}
