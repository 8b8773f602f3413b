#pragma once

#include "perikon/data/db/SqlDialect.h"

#include <QString>

#include <vector>

// One case of the dialect's golden files (see the head of golden/entry.txt for the format).
struct GoldenCase
{
    QString file;
    QString name;
    QString sqlServer;
    QString sqlite;   // expected steps, as describeSteps renders them
    QString postgres; // expected PostgreSQL steps
    QString setup;    // run before the case executes, on either backend
    QString check;    // query run after the case, then "=> " and its expected rows
    QString rows;     // the rows the last SQL step returns, as SuiteDatabase::run renders them
    // Where PostgreSQL needs its own text or renders values its own way (3 for a real 3.0).
    QString postgresSetup;
    QString postgresCheck;
    QString postgresRows;
    bool expectsRows = false;
    bool expectsPostgresRows = false;
};

std::vector<GoldenCase> loadGoldenCases(const QString &folder);

// "sql: ...", "probe: ..." + "then: ...", "use: ...", "exec: ..." + "arg: ..." lines.
QString describeSteps(const std::vector<perikon::db::TranslatedStatement> &steps);
