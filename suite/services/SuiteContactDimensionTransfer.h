#pragma once

#include "perikon/host/contract/TransferServices.h"

namespace perikon::suite {

// "ContactDimensionTransfer": stores the data-authorization dimensions granted on a saved
// contact (table crm_contact_Auth).
//
// The row's cusprivilege child, as the card builds it from the stored grants and the dialog
// changes it:
//   <cusprivilege> <ccuscode>code</ccuscode><rw>right</rw><url>address</url>
//     <row> <privilege_type>n</privilege_type> <cadtname>type name</cadtname>
//           <privilege_id>value code</privilege_id> <cadname>value name</cadname> </row> ...
//     <btextdata>1</btextdata></cusprivilege>
// privilege_type (a whole number; 0 is the department) and privilege_id are required; the names
// are for the dialog. The contact is the child's ccuscode (or ccontactcode), else the row's.
//
// The child holds the full set of grants, so the contact's grants are replaced by its rows (none
// when it has none). The child is then removed from the row: it is no column of Crm_Contact.
//
// Show opens the dialog over the child's XML; with no rows and no <btextdata>1</btextdata> it
// shows what is stored for the contact.
class SuiteContactDimensionTransfer : public ContactTransferService
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
