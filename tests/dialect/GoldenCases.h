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
    QString postgres; // empty until the PostgreSQL target exists
    QString setup;    // SQLite run before the case executes
    QString check;    // SQLite query run after the case, then "=> " and its expected rows
    QString rows;     // the rows the last SQL step returns, as SuiteDatabase::run renders them
    bool expectsRows = false;
};

std::vector<GoldenCase> loadGoldenCases(const QString &folder);

// "sql: ...", "probe: ..." + "then: ...", "use: ...", "exec: ..." + "arg: ..." lines.
QString describeSteps(const std::vector<perikon::db::TranslatedStatement> &steps);
