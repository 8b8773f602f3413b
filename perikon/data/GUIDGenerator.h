#pragma once

#include "perikon/PerikonExport.h"

#include <QObject>
#include <QString>

namespace perikon {

class PERIKON_EXPORT GUIDGenerator : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit GUIDGenerator(QObject *parent = nullptr)
        : QObject(parent)
    {}

    // A new GUID in registry format ("{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case), with
    // every occurrence of each character of strRemoveChars removed.
    Q_INVOKABLE QString CreateGUID(const QString &strRemoveChars = QString());
};

} // namespace perikon
