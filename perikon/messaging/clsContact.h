#pragma once

#include "perikon/PerikonExport.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

namespace perikon {

class clsConn;

// E-mail to contacts for other modules and the contact list: gathers the addresses of a list of
// contact codes, falling back to a contact's customer, and opens the host's mail tool addressed
// to them. It works on a connection of its own, opened from the login it is given, and is
// released after every call.
//
// Code lists are SQL value lists ready for an IN clause (N'0001',N'0002'), each code quoted by
// the caller.
class PERIKON_EXPORT clsContact : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit clsContact(QObject *parent = nullptr);
    ~clsContact() override;

    // Opens the connection on the login's account database unless it is open already. Database
    // errors reach the caller.
    Q_INVOKABLE void SetCnn(QObject *objLogin);
    // The customers' addresses, trimmed, each once, joined by ";". Empty for an empty list or on
    // an error, which goes to the data-access log.
    Q_INVOKABLE QString GetCustomerEmail(QString &sCustomerCode, QObject *objLogin = nullptr);
    // Opens the mail tool addressed to `sAddress`; when no mail program starts, tells the
    // operator so and answers false.
    Q_INVOKABLE bool InvokeMailTool(QString &sAddress);
    // Opens the mail tool addressed to the contacts, their customers where a contact has no
    // address, the customers in `sComplCustCode` and the addresses in `sComplEmail`. Errors go to
    // the data-access log and nothing opens. Always answers an empty value.
    Q_INVOKABLE QVariant GetContact(QString &sContactCode, QObject *objLogin,
                                    QString &sComplCustCode, QString &sComplEmail);
    Q_INVOKABLE QVariant GetContact(QString &sContactCode, QObject *objLogin);

private:
    std::unique_ptr<clsConn> m_conn;
};

} // namespace perikon
