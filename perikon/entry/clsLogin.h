#pragma once

#include "perikon/PerikonExport.h"

#include <QObject>
#include <QString>

namespace perikon {

// The login record the component hands to the host's reference (lookup) clients.
class PERIKON_EXPORT clsLogin : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString cUserId MEMBER cUserId)
    Q_PROPERTY(QString cUserName MEMBER cUserName)
    Q_PROPERTY(QString qzDBName MEMBER qzDBName)
    Q_PROPERTY(QString dCurDate MEMBER dCurDate)
    Q_PROPERTY(QString AuthString MEMBER AuthString)
public:
    Q_INVOKABLE explicit clsLogin(QObject *parent = nullptr)
        : QObject(parent)
    {}

    QString cUserId;
    QString cUserName;
    QString qzDBName;
    QString dCurDate;
    QString AuthString;
};

// The card's edit state: whether the contact exists and whether it is being edited.
class PERIKON_EXPORT clsContactDO : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool bExist MEMBER bExist)
    Q_PROPERTY(bool bEdit MEMBER bEdit)
public:
    Q_INVOKABLE explicit clsContactDO(QObject *parent = nullptr)
        : QObject(parent)
    {}

    bool bExist = false;
    bool bEdit = false;
};

} // namespace perikon
