#pragma once

#include <QtGlobal>

#if defined(PERIKON_BUILDING_COLSET)
#define PERIKON_COLSET_EXPORT Q_DECL_EXPORT
#else
#define PERIKON_COLSET_EXPORT Q_DECL_IMPORT
#endif
