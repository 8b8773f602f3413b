#pragma once

#include <QtGlobal>

#if defined(PERIKON_BUILDING_CONTROLS)
#define PERIKON_CONTROLS_EXPORT Q_DECL_EXPORT
#else
#define PERIKON_CONTROLS_EXPORT Q_DECL_IMPORT
#endif
