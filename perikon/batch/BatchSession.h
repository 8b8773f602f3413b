#pragma once

// The batch-modify field catalogue and its choice lists, built at each list load. One copy per
// thread.

#include <QString>
#include <QStringList>

namespace perikon {

extern thread_local QString gBatchCatalogXml;
extern thread_local QStringList gSexNames;
extern thread_local QStringList gMarriageNames;
extern thread_local int gDefine13Decimals;
extern thread_local int gDefine14Decimals;

} // namespace perikon
