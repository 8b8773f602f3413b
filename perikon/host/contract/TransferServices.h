#pragma once

#include <QObject>
#include <QString>

#include <pugixml.hpp>

namespace perikon {

// A host service that stores what a saved contact row carries for it ("RelatedPersonTransfer":
// the related persons in the row's cusstuff child; "ContactDimensionTransfer": the data
// authorization dimensions of the contact). Both are called by the save steps with the row
// element, which they may change, and the caller's data-access object.
class ContactTransferService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // opt: 1 insert, 2 modify. On false, sMsg says why.
    virtual bool Trans(int &opt, pugi::xml_node &Ele, QObject *&ICom, QString &sMsg) = 0;
};

// The host's subsystem register ("SystemStartService").
class SystemStartService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The ids of the subsystems the account has started, comma separated, in `started`.
    virtual bool GetAllStartedSys(const QString &connectionString, const QString &accountId,
                                  QString &started)
        = 0;
};

} // namespace perikon
