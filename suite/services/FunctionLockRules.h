#pragma once

#include <QString>

namespace perikon::suite {

// Function lock numbers the component and the suite take on an archive (PubService.IsLockFun).
enum class FunctionLock : int {
    ArchiveList = 1,      // the archive is open in a list
    Modify = 2,           // a card modifies a record
    Send = 3,             // mail or SMS goes out to records
    BatchModify = 7,      // many records change at once
    Delete = 8,           // records are deleted
    Add = 11,             // a card adds a record
    ArchiveExclusive = 99 // the suite maintains the archive: nobody else may work in it
};

inline constexpr int kArchiveExclusiveLock = int(FunctionLock::ArchiveExclusive);

// True when a session may not take lock `requested` while another live session holds `held` on
// the same archive. A session never conflicts with its own locks; the caller leaves those out.
// Batch modification and deletion keep single-record changes, sending and adding out (and the
// other way round); the open list only yields to the exclusive lock; any other number excludes
// only itself.
bool locksConflict(int requested, int held);

// What the holder of `lock` is doing, as a phrase for "user X is ...", in the session language.
QString lockActivity(int lock);

} // namespace perikon::suite
