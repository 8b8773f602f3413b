// The list's print, preview, page setup and export through the host's print control "Prn".

#include "perikon/list/frmContactList.h"

#include "perikon/data/Common.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PrintControl.h"
#include "perikon/list/ListAuthorization.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/ListWindows.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostGrid.h"

#include <QGuiApplication>

namespace perikon {

namespace {

const QString kPrintKey = QStringLiteral("Crm_Contact");

// The wait cursor while the print data is gathered; the dialogs that follow get the normal one.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    void restore()
    {
        if (std::exchange(m_set, false))
            QGuiApplication::restoreOverrideCursor();
    }

private:
    bool m_set = true;
};

} // namespace

void frmContactList::buildPrintControl()
{
    std::unique_ptr<PrintControl> control
        = HostRegistry::createAs<PrintControl>(QStringLiteral("PrintControl"));
    if (!control)
        return;
    m_prn = control.release();
    m_prn->setParent(this);
    m_prn->setObjectName(QStringLiteral("Prn"));
    m_prn->hide();
    connect(m_prn, &PrintControl::styleChanged, this,
            [](const QString &first, const QString &second) {
                if (gPubService)
                    gPubService->SavePrnStyle(gClsCommon.get(), kPrintKey, first + second);
            });
}

bool frmContactList::WriteData(QString &data)
{
    data.clear();
    if (!gPubService || !m_prn)
        return false;
    const QString account = Common::GetAccIdFromConn();
    const QString year = gPubService->InitParameter(gClsCommon.get(), QStringLiteral("iYear"));
    const QString title = GetResText(QStringLiteral("K2.CRM.BizObjDic.WordContactRec"))
                          + GetResText(QStringLiteral("String.K2.AA.Admin.6076"));
    data = gPubService->GetData(gClsCommon.get(), m_prn, title, gUserName, gUserId, account, year);
    return !data.isEmpty();
}

void frmContactList::PrintAll(const QString &key)
{
    if (!m_prn)
        return;
    m_prn->hide();
    if (m_grid->Rows() < 2) {
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactlist.00055")));
        return;
    }
    if (gPubService)
        gPubService->HelpHide(this, key, list::listWebMode());
    WaitCursor wait;
    const QString style = gPubService ? gPubService->GetPrnStyle(kPrintKey, gUserId) : QString();
    QString data;
    if (!WriteData(data)
        || !m_prn->SetDataStyleXML(data, false, style, false, QStringLiteral("Default")))
        return;
    wait.restore();

    const QString command = key.trimmed().toLower();
    if (command == QLatin1String("setup")) {
        if (m_prn->PageSetup() != 0)
            m_prn->TriggerEvent(0);
    } else if (command == QLatin1String("print")) {
        m_prn->DoPrint();
    } else if (command == QLatin1String("preview")) {
        m_prn->SetOwner(m_prn->parentWidget());
        m_prn->PrintPreview();
    } else if (command == QLatin1String("savefile")) {
        // The export learns each column's type and size from the list's own select list.
        const std::unique_ptr<db::Recordset> probe = openRequired(
            QStringLiteral("SELECT ") + gListSelectCols
            + QStringLiteral(" FROM v_Crm_Contact Crm_Contact ")
            + Common::listJoinsBefore(gListSelectCols, QStringLiteral(" WHERE 1=2")));
        QString types;
        QString sizes;
        if (gPubService)
            gPubService->GetTypeSize(probe.get(), m_grid, types, sizes);
        types.replace(QStringLiteral(",1,"), QStringLiteral(",10,"));
        QString result;
        const bool written = m_prn->ExportToFile(QString(), QString(), sizes, types, result);
        if (gPubService)
            gPubService->PrintMsg(kPrintKey, written, result);
    }
}

} // namespace perikon
