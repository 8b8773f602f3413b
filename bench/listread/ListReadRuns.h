#pragma once

#include <QString>

#include <functional>

// One backend's side of the list-read benchmark: the raw reader and where the component connects.
struct ListReadSetup
{
    const char *backend = "";
    QString connectionString;
    // Reads every value of the list statement with the database's own C API; gives a checksum.
    std::function<qint64()> readRaw;
    int contacts = 0;
    int pageSize = 0;
    int repeats = 0;
};

// Runs the raw read, a client-side recordset, IClsCommon::OpenPage (each once as opened and once
// reading every value back), alternating them so that all see the same warm caches, and prints
// wall-clock min, median and max and the median CPU time of this process, with the ratios to the
// raw read. Each run includes releasing what it read. On a shared machine the CPU time is the
// steadier figure (on PostgreSQL it leaves out the server's share). Gives the process exit code.
int runListRead(const ListReadSetup &setup, const char *listSql);
