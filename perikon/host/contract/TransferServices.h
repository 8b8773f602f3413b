#pragma once

#include <QObject>
#include <QString>

#include <pugixml.hpp>

class QWidget;

namespace perikon {

// A host service that stores what a saved contact row carries for it ("RelatedPersonTransfer":
// the related persons in the row's cusstuff child; "ContactDimensionTransfer": the data
// authorization dimensions of the contact). Both are called by the save steps with the row
// element, which they may change, and the caller's data-access object; the card opens their
// editing dialog through Show.
class ContactTransferService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // opt: 1 insert, 2 modify. On false, sMsg says why.
    virtual bool Trans(int &opt, pugi::xml_node &Ele, QObject *&ICom, QString &sMsg) = 0;

    // Opens the service's editing dialog for one contact, modal over `parent`. `xml` is the
    // member XML the card keeps for the service (the cusstuff or cusprivilege element); on OK the
    // dialog rewrites its rows and sets `result` to true, on cancel neither changes. With a right
    // (RW) other than 1 the dialog only shows. `login` is the session's login, `ICom` the caller's
    // data-access object, read through its connection; `pubService`, `listObject` and `columnSet`
    // may be null and are handed on for hosts that need them. `sessionFlag` is a session flag
    // the dialog may set; a dialog without use for it leaves it as it is.
    virtual void Show(QObject *login, QObject *pubService, QObject *ICom, QObject *listObject,
                      QObject *columnSet, QString &xml, bool &result, bool &sessionFlag,
                      QWidget *parent)
        = 0;
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
