#include "perikon/entry/CreateObject.h"

#include "perikon/session/ClassRegistry.h"

QObject *perikon_create_object(const char *progId)
{
    return perikon::ClassRegistry::create(QString::fromUtf8(progId));
}
