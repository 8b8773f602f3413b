#pragma once

#include <QtGlobal>

#include <cstdint>

namespace perikon::db {

// How a database value is stored: the storage classes every backend's values fall into.
enum class CellKind : std::uint8_t { Null, Integer, Real, Text, Blob };

// A value as a driver hands it over, valid until the cursor moves: text as UTF-8 bytes that the
// driver owns, so a reader copies only what it keeps.
struct CellRef
{
    CellKind kind = CellKind::Null;
    qint64 integer = 0;
    double real = 0;
    const char *data = nullptr;
    qsizetype size = 0;
};

} // namespace perikon::db
