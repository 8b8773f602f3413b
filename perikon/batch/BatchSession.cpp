#include "perikon/batch/BatchSession.h"

namespace perikon {

thread_local QString gBatchCatalogXml;
thread_local QStringList gSexNames;
thread_local QStringList gMarriageNames;
thread_local int gDefine13Decimals = 0;
thread_local int gDefine14Decimals = 0;

} // namespace perikon
