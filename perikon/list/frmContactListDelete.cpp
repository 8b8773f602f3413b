// The contact list window: deleting the marked contacts, one outcome line per contact.

#include "perikon/list/frmContactList.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/list/ListAuthorization.h"
#include "perikon/list/ListCommands.h"
#include "perikon/list/ListMarks.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostGrid.h"

namespace perikon {

namespace {

QString listText(const char *number)
{
    return GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactlist.") + QLatin1String(number));
}

QString serviceText(const char *key)
{
    return gPubService ? gPubService->GetResString(QString::fromLatin1(key)) : QString();
}

// Ends the busy state of a delete run and gives its lock back, also when a database fault ends
// the run early: the operator keeps a usable list and nobody else waits on a dead run.
class DeleteRunGuard
{
public:
    explicit DeleteRunGuard(QWidget *window)
        : m_window(window)
    {}
    ~DeleteRunGuard()
    {
        if (!m_active || !gPubService)
            return;
        gPubService->DeleteEnded(m_window);
        QObject *com = gClsCommon.get();
        gPubService->IsLockFun(com, gLogin, QStringLiteral("Crm_Contact"), -8);
    }
    void started() { m_active = true; }
    void ended() { m_active = false; }

private:
    QWidget *m_window;
    bool m_active = false;
};

} // namespace

bool frmContactList::deleteMarkedContacts()
{
    if (!beginTask(QStringLiteral("CS020205")) || lockRefused(8))
        return true;
    int codeCol = 0;
    bool ok = false;
    CheckDelete(codeCol, ok);
    if (!ok)
        return true;
    m_grid->setCol(codeCol);
    m_codeColumn = codeCol;
    m_nextColumn = codeCol + 1;
    if (!gPubService
        || gPubService->ShowTipMsg(m_grid, m_codeColumn, m_nextColumn, nullptr, gLogin,
                                   gClsCommon.get(), QVariant(), QVariant(),
                                   QStringLiteral("crm_contact"))
               != 1) {
        unlock(8);
        return true;
    }

    DeleteRunGuard guard(this);
    gPubService->DebugPrint(QStringLiteral("开始删除权限"));
    gPubService->DeleteStart(this);
    guard.started();
    std::unique_ptr<QObject> messages(gPubService->ModifyInitMsg(
        QStringLiteral("cContactCode,cErrMsg"),
        listText("00027") + QLatin1Char(',')
            + gPubService->GetResString(QStringLiteral("K2.AA.ARCHIVE.COMMON.description"))));
    m_deletedAny = false;
    QString keyName = QStringLiteral("cContactCode");
    for (int row = 1; row < m_grid->Rows(); ++row) {
        if (!list::isMarked(m_grid->TextMatrix(row, list::kMarkColumn)))
            continue;
        QString text;
        QString code = m_grid->TextMatrix(row, codeCol);
        Delete(text, code, keyName, messages.get());
    }
    guard.ended();
    gPubService->DeleteEnded(this);
    unlock(8);
    gPubService->DebugPrint(QStringLiteral("结束删除"));
    gPubService->ModifyShowMsg(
        messages.get(),
        gPubService->GetResString(QStringLiteral("K2.AA.ARCHIVE.COMMON.information")), gLogin,
        gClsCommon.get());
    if (!m_deletedAny)
        return false;
    const int row = m_grid->Row();
    const int topRow = m_grid->TopRow();
    DataRefresh(QString());
    gPubService->SetGridRow(m_grid, QStringLiteral("联系人编码"), QString(), row, topRow);
    unlock(8);
    return true;
}

void frmContactList::CheckDelete(int &codeColumn, bool &ok)
{
    ok = false;
    if (list::markedRows(*m_grid, true).isEmpty()) {
        ShowMessage(listText("00029"));
        unlock(8);
        return;
    }
    codeColumn = this->codeColumn("00031");
    if (codeColumn < 0) {
        unlock(8);
        return;
    }
    ok = true;
}

void frmContactList::Delete(QString &text, QString &code, QString &keyName, QObject *messages)
{
    const QString quoted = db::sqlEscaped(code.trimmed());
    text.clear();
    // A customer's default contact goes only when the operator says so.
    std::unique_ptr<db::Recordset> contact = openRequired(
        QStringLiteral("Select top 1 cCusCode,OID from crm_contact where cContactCode= N'") + quoted
        + QLatin1Char('\''));
    const QString oid
        = contact->eof() ? QString() : contact->value(QStringLiteral("OID")).toString();
    contact.reset();
    std::unique_ptr<db::Recordset> customer = openRequired(
        QStringLiteral("SELECT top 1  cCusContactCode  FROM Customer where cCusContactCode =N'")
        + db::sqlEscaped(oid) + QLatin1Char('\''));
    const bool defaultContact = !customer->eof();
    customer.reset();
    if (defaultContact) {
        const QString question
            = GetResText(QStringLiteral("K2.AA.ARCHIVE.COMMON.delete"))
              + GetResText(QStringLiteral("K2.MR.QZO.00134")) + QLatin1Char(',')
              + GetResText(QStringLiteral("K2.AA.ARCHIVE.COMMON.IsDefaultContact"))
              + QLatin1Char('?');
        if (MsgBox(question, MsgBoxStyle::YesNo | MsgBoxStyle::Question) == MsgBoxButton::No)
            text = GetResText(QStringLiteral("K2.AA.ARCHIVE.COMMON.IsDefaultContact"));
    }
    if (text.isEmpty()) {
        std::unique_ptr<db::Recordset> subordinate = openRequired(
            QStringLiteral("SELECT  Top 1 cContactCode FROM v_Crm_Contact Crm_Contact WHERE "
                           "cSuperiorID = N'")
            + db::sqlEscaped(code) + QLatin1Char('\''));
        if (!subordinate->eof())
            text = listText("00034");
    }
    if (text.isEmpty() && !Common::ContactRowAllowed(code, QStringLiteral("D")))
        text = GetResText(QStringLiteral("K2.CRM.CONTACT.iclscommon.00028"))
               + GetResText(QStringLiteral("K2.AA.SRVTRANS.COMMONFUN.1410_1"));
    if (text.isEmpty()) {
        QString message;
        if (gClsCommon
            && gClsCommon->Delete(code, keyName, QStringLiteral("crm_contact"), message, gUserId)) {
            text = serviceText("K2.AA.ARCHIVE.COMMON.del_success");
            m_deletedAny = true;
        } else {
            text = message;
        }
    }
    if (gPubService)
        gPubService->ModifyAddMsg(messages, {code, text});
}

} // namespace perikon
