#pragma once

#include <QtGlobal>

#if defined(PERIKON_BUILDING_PRINTER)
#define PERIKON_PRINTER_EXPORT Q_DECL_EXPORT
#else
#define PERIKON_PRINTER_EXPORT Q_DECL_IMPORT
#endif
