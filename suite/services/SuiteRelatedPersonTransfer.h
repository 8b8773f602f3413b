#pragma once

#include "perikon/host/contract/TransferServices.h"

namespace perikon::suite {

// "RelatedPersonTransfer": stores the related persons of a saved contact, the suite users bound
// to it (table crm_contact_User).
//
// The row's cusstuff child, as the related-persons dialog leaves it:
//   <cusstuff> <ccontactcode>code</ccontactcode><rw>right</rw>
//              <rowauthcusr/><rowauthcusw/><url>address</url>
//              <row><cuser_id>id</cuser_id><cuser_name>name</cuser_name><iright>n</iright></row>
//              ... <bedited>1</bedited></cusstuff>
// Each row binds one suite user: cuser_id is required; cuser_name is shown by the dialog only
// (the name belongs to the user); iright, the right the dialog shows, is optional but must be a
// whole number when given; crm_contact_User has no column for it, so it is not stored. Bound
// users are stored as operators (iUserType 0).
// The contact is the child's ccontactcode, or the row's when that is empty.
//
// With rows, the contact's bindings are replaced by them. Without rows, the child's marker
// <bedited>1</bedited>, which the dialog writes on OK, says the operator removed every binding:
// they are all deleted. Without rows and marker nothing changes: the card hands over the child
// even when the dialog was never confirmed. The caller removes the child afterwards.
//
// Show opens the dialog over the child's XML; with no rows and no marker it shows what is stored
// for the contact.
class SuiteRelatedPersonTransfer : public ContactTransferService
{
    Q_OBJECT
public:
    using ContactTransferService::ContactTransferService;

    bool Trans(int &opt, pugi::xml_node &Ele, QObject *&ICom, QString &sMsg) override;

    void Show(QObject *login, QObject *pubService, QObject *ICom, QObject *listObject,
              QObject *columnSet, QString &xml, bool &result, bool &sessionFlag,
              QWidget *parent) override;
};

} // namespace perikon::suite
