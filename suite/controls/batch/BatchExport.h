#pragma once

#include <QtGlobal>

#if defined(PERIKON_BUILDING_BATCH)
#define PERIKON_BATCH_EXPORT Q_DECL_EXPORT
#else
#define PERIKON_BATCH_EXPORT Q_DECL_IMPORT
#endif
