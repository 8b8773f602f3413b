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
//              ... </cusstuff>
// Each row binds one suite user: cuser_id is required; cuser_name is shown by the dialog only
// (the name belongs to the user); iright, the right the dialog shows, is optional but must be a
// whole number when given. Bound users are stored as operators (iUserType 0).
// The contact is the child's ccontactcode, or the row's when that is empty.
//
// With rows, the contact's bindings are replaced by them. Without rows nothing changes: the card
// hands over the dialog's text even when the dialog was only opened, and it never loads the
// stored bindings, so an empty list does not mean "remove them all". The caller removes the
// child afterwards.
class SuiteRelatedPersonTransfer : public ContactTransferService
{
    Q_OBJECT
public:
    using ContactTransferService::ContactTransferService;

    bool Trans(int &opt, pugi::xml_node &Ele, QObject *&ICom, QString &sMsg) override;
};

} // namespace perikon::suite
