#include "PostgresListRead.h"

#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/PgResultHandle.h"
#include "perikon/data/db/PostgresCompat.h"
#include "perikon/data/db/PostgresCursor.h"
#include "perikon/data/db/PostgresDriver.h"

#include <QCoreApplication>

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>

using namespace perikon::db;

namespace {

QString serverString(const QString &database, const QString &catalog)
{
    const ConnectionString server(qEnvironmentVariable("PERIKON_TEST_PG"));
    return QStringLiteral("Provider=PostgreSQL;Host=%1;Port=%2;Database=%3;User "
                          "ID=%4;Password=%5;Initial Catalog=%6")
        .arg(server.host())
        .arg(server.port())
        .arg(database, server.user(), server.password(), catalog);
}

void maintenance(const QString &sql)
{
    PostgresDriver driver;
    driver.open(ConnectionString(
        serverString(ConnectionString(qEnvironmentVariable("PERIKON_TEST_PG")).database(),
                     QStringLiteral("public"))));
    driver.execute(sql);
}

void fill(const QString &database, const char *schemaSql, int customers, int rows)
{
    PostgresDriver driver;
    driver.open(ConnectionString(serverString(database, QStringLiteral("public"))));
    installPostgresCompat(driver);
    driver.execute(QStringLiteral(
        "CREATE SCHEMA qzdata_001_2026; SET search_path TO qzdata_001_2026, public"));
    // The row version is a plain number here, as the SQLite side stores it.
    driver.execute(QString::fromUtf8(schemaSql).replace(QStringLiteral("qzts timestamp"),
                                                        QStringLiteral("qzts bigint")));
    driver.execute(
        QStringLiteral(
            "INSERT INTO Customer SELECT 'C' || lpad(i::text, 6, '0'), '上海某某贸易有限公司第' || "
            "i || '分公司', "
            "'某某贸易' || i, '021-6' || lpad(i::text, 7, '0') FROM generate_series(0, %1) i")
            .arg(customers - 1));
    driver.execute(QStringLiteral("INSERT INTO Crm_Contact SELECT lpad(to_hex(i::bigint * "
                                  "2654435761), 32, '0'), lpad(i::text, 8, '0'), "
                                  "'C' || lpad((i % %2)::text, 6, '0'), '联系人' || i, '先生', "
                                  "NULL, '江苏南京', '01', '02', 'demo', "
                                  "'采购部', 'demo', '021-5' || i, '025-8' || i, '139' || "
                                  "lpad(i::text, 8, '0'), NULL, '210000', "
                                  "'http://www.example.com', '上海市浦东新区某某路' || i || '号', "
                                  "NULL, 'contact' || i || '@example.com', "
                                  "NULL, CASE WHEN i % 7 = 0 THEN '重要客户的联系人，每月回访' "
                                  "END, '1', '2', i % 2, (i % 5 = 0)::int, "
                                  "'1980-05-17 00:00:00', NULL, '2026-01-05 09:12:44', NULL, "
                                  "'自定义项1', NULL, i % 100, 'wx_' || i, "
                                  "1000 + i FROM generate_series(0, %1) i; ANALYZE")
                       .arg(rows - 1)
                       .arg(customers));
}

// What a minimal reader does: every column of every row, as an integer or as text.
qint64 readRaw(PGconn *conn, const char *listSql)
{
    PgResultHandle handle(PQexec(conn, listSql));
    const PGresult *result = handle.get();
    const int columns = PQnfields(result);
    qint64 sum = 0;
    for (int row = 0; row < PQntuples(result); ++row) {
        for (int i = 0; i < columns; ++i) {
            const Oid type = PQftype(result, i);
            if (type == PostgresType::Int8 || type == PostgresType::Int2
                || type == PostgresType::Int4)
                sum += std::strtoll(PQgetvalue(result, row, i), nullptr, 10);
            else
                sum += PQgetisnull(result, row, i) ? 0 : PQgetlength(result, row, i);
        }
    }
    handle.reset(); // clearing is part of the read
    return sum;
}

} // namespace

int runPostgresListRead(const ListReadSetup &sqlite, const char *listSql, const char *schemaSql,
                        int customers)
{
    const QString database
        = QStringLiteral("bench_listread_%1").arg(QCoreApplication::applicationPid());
    int code = 0;
    try {
        maintenance(QStringLiteral("CREATE DATABASE ") + database);
        std::printf("PostgreSQL: creating %d contacts ...\n", sqlite.contacts);
        fill(database, schemaSql, customers, sqlite.contacts);

        ListReadSetup setup = sqlite;
        setup.backend = "PostgreSQL";
        setup.connectionString = serverString(database, QStringLiteral("QZDATA_001_2026"));
        PostgresDriver raw;
        raw.open(ConnectionString(setup.connectionString));
        setup.readRaw = [&raw, listSql] {
            return readRaw(raw.handle(), listSql);
        };
        code = runListRead(setup, listSql);
    } catch (const DbError &e) {
        std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(e.description()));
        code = 1;
    }
    try {
        maintenance(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(database));
    } catch (const DbError &) {
        // The numbers are printed; a database left behind goes with the throwaway server.
    }
    return code;
}
