#include "perikon/data/GUIDGenerator.h"

#include "perikon/session/ClassRegistry.h"

#include <QUuid>

namespace perikon {

PERIKON_REGISTER_CLASS("Perikon.GUIDGenerator", GUIDGenerator)

QString GUIDGenerator::CreateGUID(const QString &strRemoveChars)
{
    QString guid = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    for (const QChar c : strRemoveChars)
        guid.remove(c);
    return guid;
}

} // namespace perikon
