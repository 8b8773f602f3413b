#pragma once

#include "suite/services/FunctionLockRules.h"

#include <array>

// Which function locks keep each other out between two operators' sessions on one archive: row
// = the lock asked for, column = the lock another session holds; 99 is the archive-wide
// exclusive lock, 5 and 42 stand for any number without a meaning of its own.
namespace functionlockmatrix {

inline constexpr std::array<int, 9> kLocks{1, 2, 3, 7, 8, 11, perikon::suite::kArchiveExclusiveLock,
                                           5, 42};
static_assert(perikon::suite::kArchiveExclusiveLock == 99);

// clang-format off
inline constexpr std::array<std::array<bool, 9>, 9> kConflicts{{
    //  held: 1  2  3  7  8  11 99 5  42
    /* 1  */ {0, 0, 0, 0, 0, 0, 1, 0, 0},
    /* 2  */ {0, 0, 0, 1, 1, 0, 1, 0, 0},
    /* 3  */ {0, 0, 0, 1, 1, 0, 1, 0, 0},
    /* 7  */ {0, 1, 1, 1, 1, 1, 1, 0, 0},
    /* 8  */ {0, 1, 1, 1, 1, 1, 1, 0, 0},
    /* 11 */ {0, 0, 0, 1, 1, 0, 1, 0, 0},
    /* 99 */ {1, 1, 1, 1, 1, 1, 1, 1, 1},
    /* 5  */ {0, 0, 0, 0, 0, 0, 1, 1, 0},
    /* 42 */ {0, 0, 0, 0, 0, 0, 1, 0, 1},
}};
// clang-format on

} // namespace functionlockmatrix
