#pragma once

#include <QString>

#include <functional>

// One backend's side of the list-read benchmark: the raw reader and where the component connects.
struct ListReadSetup
{
    const char *backend = "";
    QString connectionString;
    // Reads every value of the list statement with the database's own C API; gives nanoseconds.
    std::function<qint64()> readRaw;
    int contacts = 0;
    int pageSize = 0;
    int repeats = 0;
};

// Runs the raw read, a client-side recordset, IClsCommon::OpenPage (each once as opened and once
// reading every value back), alternating them so that all see the same warm caches, and prints
// min, median and max with the ratios to the raw read. Gives the process exit code.
int runListRead(const ListReadSetup &setup, const char *listSql);
