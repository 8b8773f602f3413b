#pragma once

#include "perikon/PerikonExport.h"

#include <QObject>

// Creates a public class of the component by name ("Perikon.IClsCommon"); the caller owns the
// object. nullptr for a name the component does not publish.
extern "C" PERIKON_EXPORT QObject *perikon_create_object(const char *progId);
