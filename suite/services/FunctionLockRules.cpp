#include "suite/services/FunctionLockRules.h"

#include "suite/services/LocalText.h"

#include <algorithm>
#include <array>

namespace perikon::suite {
namespace {

// Functions that change records one at a time: they must not run under a batch change or a
// deletion, but two operators may run them side by side.
constexpr std::array kRecordLocks{int(FunctionLock::Modify), int(FunctionLock::Send),
                                  int(FunctionLock::Add)};
constexpr std::array kBatchLocks{int(FunctionLock::BatchModify), int(FunctionLock::Delete)};

constexpr bool isOneOf(int lock, const auto &locks)
{
    return std::find(locks.begin(), locks.end(), lock) != locks.end();
}

} // namespace

bool locksConflict(int requested, int held)
{
    if (requested == kArchiveExclusiveLock || held == kArchiveExclusiveLock)
        return true;
    if (requested == int(FunctionLock::ArchiveList) || held == int(FunctionLock::ArchiveList))
        return false;
    if (isOneOf(requested, kBatchLocks))
        return isOneOf(held, kBatchLocks) || isOneOf(held, kRecordLocks);
    if (isOneOf(requested, kRecordLocks))
        return isOneOf(held, kBatchLocks);
    return requested == held;
}

QString lockActivity(int lock)
{
    switch (FunctionLock(lock)) {
    case FunctionLock::ArchiveList:
        return localText(QStringLiteral("查看档案列表"),
                         QStringLiteral("viewing the archive list"));
    case FunctionLock::Modify:
        return localText(QStringLiteral("修改联系人"), QStringLiteral("modifying a contact"));
    case FunctionLock::Send:
        return localText(QStringLiteral("发送邮件或短信"), QStringLiteral("sending mail or SMS"));
    case FunctionLock::BatchModify:
        return localText(QStringLiteral("批量修改"),
                         QStringLiteral("running a batch modification"));
    case FunctionLock::Delete:
        return localText(QStringLiteral("删除联系人"), QStringLiteral("deleting contacts"));
    case FunctionLock::Add:
        return localText(QStringLiteral("新增联系人"), QStringLiteral("adding a contact"));
    case FunctionLock::ArchiveExclusive:
        return localText(QStringLiteral("维护档案"), QStringLiteral("maintaining the archive"));
    }
    return localText(QStringLiteral("使用功能%1").arg(lock),
                     QStringLiteral("using function %1").arg(lock));
}

} // namespace perikon::suite
