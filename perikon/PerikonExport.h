#pragma once

#include <QtGlobal>

// The component's library hides every symbol but its published classes and its entry point; the
// host reaches everything else through them.
#if defined(PERIKON_BUILDING_COMPONENT)
#define PERIKON_EXPORT Q_DECL_EXPORT
#else
#define PERIKON_EXPORT Q_DECL_IMPORT
#endif
