#include "perikon/batch/BatchSession.h"

#include "perikon/session/PublishedValue.h"

namespace perikon {

thread_local QString gBatchCatalogXml;
thread_local QStringList gSexNames;
thread_local QStringList gMarriageNames;
thread_local int gDefine13Decimals = 0;
thread_local int gDefine14Decimals = 0;

namespace {
[[maybe_unused]] const bool published = [] {
    PERIKON_PUBLISH_VALUE(QString, gBatchCatalogXml);
    PERIKON_PUBLISH_VALUE(QStringList, gSexNames);
    PERIKON_PUBLISH_VALUE(QStringList, gMarriageNames);
    PERIKON_PUBLISH_VALUE(int, gDefine13Decimals);
    PERIKON_PUBLISH_VALUE(int, gDefine14Decimals);
    return true;
}();
} // namespace

} // namespace perikon
