// The host's dialogs behind the card's "cPerson" and "Privilege" commands: who else shares the
// contact, and the data-authorization dimensions it is granted.

#include "perikon/card/CardAuthDimensions.h"
#include "perikon/card/CardFields.h"
#include "perikon/card/frmContactEdit.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/TransferServices.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/HostGrid.h"

namespace perikon {

using namespace card;

namespace {

// The card only opens contacts the operator may change, so its dialogs may change them too.
const QString kDialogRight = QStringLiteral("1");

QString escapedText(QString text)
{
    return text.replace(u'&', QLatin1String("&amp;")).replace(u'<', QLatin1String("&lt;"));
}

} // namespace

QString frmContactEdit::transferXml(bool relatedPersons) const
{
    const QString root
        = relatedPersons ? QStringLiteral("cusstuff") : QStringLiteral("cusprivilege");
    // A new contact has no code yet: the save fills in the one it assigns.
    const QString code = m_mode == 2 ? escapedText(m_edt[kCodeEdit]->text()) : QString();
    // The service address is the host's; a desktop host has none.
    const QString url = escapedText(hostlogin::text(gLogin, "ServiceUrl"));
    return u'<' + root + QStringLiteral("> <cContactCode>") + code
           + QStringLiteral("</cContactCode><RW>") + kDialogRight + QStringLiteral("</RW>")
           + QStringLiteral("<RowAuthCusR></RowAuthCusR>")
           + QStringLiteral("<RowAuthCusW></RowAuthCusW>") + QStringLiteral("<url>") + url
           + QStringLiteral("</url></") + root + u'>';
}

bool frmContactEdit::openTransferDialog(bool relatedPersons)
{
    m_state.bEdit = true;
    std::unique_ptr<ContactTransferService> dialog = HostRegistry::createAs<ContactTransferService>(
        relatedPersons ? QStringLiteral("RelatedPersonTransfer")
                       : QStringLiteral("ContactDimensionTransfer"));
    if (!dialog)
        return false;
    QString &xml = relatedPersons ? m_relatedPersonXml : m_privilegeXml;
    if (xml.trimmed().isEmpty())
        xml = transferXml(relatedPersons);
    bool result = false;
    bool sessionFlag = false;
    dialog->Show(gLogin, gPubService.get(), gClsCommon.get(), gListForm.data(), gColumnSet.get(),
                 xml, result, sessionFlag, this);
    if (result) {
        MarkEdited();
        if (!relatedPersons)
            showGrants(xml);
    }
    return true;
}

void frmContactEdit::showGrants(const QString &privilegeXml)
{
    const std::optional<QList<DimensionGrant>> grants = grantsOfPrivilegeXml(privilegeXml);
    if (!grants)
        return;
    m_authGrid->setRows(1 + int(grants->size()));
    int row = 1;
    for (const DimensionGrant &grant : *grants)
        m_authGrid->setRowTexts(row++,
                                {grant.typeId, grant.typeName, grant.valueCode, grant.valueName});
}

} // namespace perikon
