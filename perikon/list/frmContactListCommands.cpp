// The contact list window: Operating, the common frame and guards every command runs in, the
// commands that open other windows, and the keys.

#include "perikon/list/frmContactList.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/entry/IContact.h"
#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/CrmGenerals.h"
#include "perikon/host/contract/FilterService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/list/ListAuthorization.h"
#include "perikon/list/ListCommands.h"
#include "perikon/list/ListMarks.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/ListWindows.h"
#include "perikon/session/ErrorLog.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/HostGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>

#include <exception>
#include <stdexcept>

namespace perikon {

namespace {

const QString kOperatingProcedure = QStringLiteral("frmContactList.Operating()");
const QString kArchive = QStringLiteral("Crm_Contact");
// The caption SetGridRow is given; the service finds the column in any session language.
const QString kCodeCaption = QStringLiteral("联系人编码");

QString listText(const char *number)
{
    return GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactlist.") + QLatin1String(number));
}

// The card's modify look: the customer cannot be changed, so its label is grey, its field
// button-faced and read-only, and its lookup button gone.
void applyModifyLook(QWidget *card)
{
    if (auto *label = card->findChild<QLabel *>(QStringLiteral("lblcCusCode"))) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
        label->setPalette(palette);
    }
    if (auto *field = card->findChild<QLineEdit *>(QStringLiteral("Edt_1"))) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        field->setPalette(palette);
        field->setReadOnly(true);
    }
    if (auto *button = card->findChild<QWidget *>(QStringLiteral("Cmd_0"))) {
        button->setVisible(false);
        button->setEnabled(false);
    }
}

} // namespace

void frmContactList::Operating(const QString &key)
{
    // No command starts inside a fill; the fill's own progress lets painting run, not input.
    if (m_filling)
        return;
    if (gPubService)
        gPubService->HelpShow(key, this);
    bool finish = true;
    try {
        finish = runCommand(key.trimmed().toLower());
    } catch (const std::exception &error) {
        WriteErrorLog(kOperatingProcedure, true,
                      ErrorInfo{0, QString::fromUtf8(error.what()), QStringLiteral("Perikon")});
        return;
    }
    if (finish)
        endAllTasks();
}

// Runs one command; false when it ends at once, without the common finish.
bool frmContactList::runCommand(const QString &key)
{
    if (key == QLatin1String("add"))
        return addContact();
    if (key == QLatin1String("modify"))
        return modifyContact();
    if (key == QLatin1String("del"))
        return deleteMarkedContacts();
    if (key == QLatin1String("mulmodify"))
        return batchModify();
    if (key == QLatin1String("itemset"))
        return columnSettings();
    if (key == QLatin1String("report"))
        return relationshipChart();
    if (key == QLatin1String("general"))
        return generalWork();
    if (key == QLatin1String("sendmail"))
        return sendMail();
    if (key == QLatin1String("sendmsg"))
        return sendMessage();
    if (key == QLatin1String("filter") || key == QLatin1String("find"))
        return filterList();
    if (key == QLatin1String("setup") || key == QLatin1String("print")
        || key == QLatin1String("preview") || key == QLatin1String("savefile")) {
        PrintAll(key);
    } else if (key == QLatin1String("refresh")) {
        DataRefresh(QString());
    } else if (key == QLatin1String("findset")) {
        // Locating reads the page as shown: neither the rows nor the marks change.
        if (gPubService)
            gPubService->FindSet(gLogin, QStringLiteral("联系人档案"), this);
    } else if (key == QLatin1String("pos")) {
        if (gPubService)
            gPubService->FindPos(this, m_grid);
    } else if (key == QLatin1String("help")) {
        // The host's help, opened straight away: sending F1 to the window would come back here.
        if (gPubService)
            gPubService->ShowHelp(this);
    } else if (key == QLatin1String("mstb")) {
        if (gPubService) {
            gPubService->FrmOpt(this, QStringLiteral("mStb"), QStringLiteral("联系人档案"), gLogin,
                                gClsCommon.get());
            gPubService->FrmResize(this);
        }
        if (layout())
            layout()->activate();
    } else if (key == QLatin1String("exit")) {
        m_closingByCode = true;
        close();
        return false; // the close has ended every task
    }
    return true;
}

bool frmContactList::isCommandOffered(const QString &key) const
{
    const QString command = key.toLower();
    if (command == QLatin1String("add") || command == QLatin1String("modify"))
        return list::isRegistered(list::kCardWindow);
    if (command == QLatin1String("mulmodify"))
        return list::isRegistered(list::kBatchWindow)
               && HostRegistry::contains(QStringLiteral("BatchModifyControl"));
    if (command == QLatin1String("itemset"))
        return list::isRegistered(list::kColumnSettingsWindow)
               && HostRegistry::contains(QStringLiteral("ColumnSetControl"));
    if (command == QLatin1String("report"))
        return list::isRegistered(list::kChartAction);
    if (command == QLatin1String("sendmail"))
        return list::isRegistered(list::kMailAction);
    if (command == QLatin1String("sendmsg"))
        return list::isRegistered(list::kSmsWindow);
    if (command == QLatin1String("general"))
        return HostRegistry::contains(QStringLiteral("CrmGenerals"));
    if (command == QLatin1String("setup") || command == QLatin1String("print")
        || command == QLatin1String("preview") || command == QLatin1String("savefile"))
        return HostRegistry::contains(QStringLiteral("PrintControl"));
    if (command == QLatin1String("filter") || command == QLatin1String("find"))
        return HostRegistry::contains(QStringLiteral("FilterService"));
    return true;
}

void frmContactList::endAllTasks()
{
    list::endFunctionTasks();
}

// --- guards ---------------------------------------------------------------------------------

bool frmContactList::beginTask(const QString &functionId)
{
    bool ok = false;
    if (gFunctionTask)
        gFunctionTask->Begin(gLogin, functionId, ok);
    return ok;
}

bool frmContactList::lockRefused(int number)
{
    if (!gPubService)
        return true;
    QObject *com = gClsCommon.get();
    return gPubService->IsLockFun(com, gLogin, kArchive, number);
}

bool frmContactList::unlock(int number)
{
    if (!gPubService)
        return false;
    QObject *com = gClsCommon.get();
    return gPubService->IsLockFun(com, gLogin, kArchive, -number);
}

bool frmContactList::rowCheck()
{
    if (list::isDataRow(m_grid->Row(), m_grid->Rows()))
        return true;
    ShowMessage(listText("00029"));
    return false;
}

int frmContactList::codeColumn(const char *missingText)
{
    const int column = list::columnCaptioned(m_grid->headerTexts(), listText("00027"));
    if (column < 0 && missingText)
        ShowMessage(listText(missingText));
    return column;
}

// --- commands that open a window ------------------------------------------------------------

bool frmContactList::addContact()
{
    if (!beginTask(QStringLiteral("CS020204")))
        return true;
    const int codeCol = codeColumn("00054");
    if (codeCol < 0)
        return false;
    if (lockRefused(11))
        return true;
    std::unique_ptr<list::ContactCard> card
        = list::createContactCard(list::kCardWindow, *this, this);
    if (!card) {
        unlock(11);
        return true;
    }
    if (!gArchiveCusName.isEmpty() || !gArchiveCusCode.isEmpty())
        card->presetCustomer(gArchiveCusName, gArchiveCusCode);
    ClearAllMarks();
    card->InitData(1, codeCol, m_grid->Row());
    showCard(std::move(card));
    if (!unlock(11))
        MarkCurrentRow();
    return true;
}

bool frmContactList::modifyContact()
{
    if (!beginTask(QStringLiteral("CS020201")))
        return true;
    if (m_grid->Rows() < 2)
        return false;
    if (lockRefused(2))
        return true;
    ClearAllMarks();
    MarkCurrentRow();
    if (!rowCheck()) {
        unlock(2);
        return true;
    }
    const int codeCol = codeColumn("00054");
    if (codeCol < 0) {
        unlock(2);
        return true;
    }
    const QString code = m_grid->TextMatrix(m_grid->Row(), codeCol);
    if (!Common::ContactRowAllowed(code, QStringLiteral("W"))) {
        ShowMessage(GetResFormat(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00094"), {code})
                    + QStringLiteral("也可能没有权限。"));
        unlock(2);
        return true;
    }
    std::unique_ptr<list::ContactCard> card
        = list::createContactCard(list::kCardWindow, *this, this);
    if (!card) {
        unlock(2);
        return true;
    }
    card->InitData(2, codeCol, m_grid->Row());
    applyModifyLook(card->dialog());
    showCard(std::move(card));
    if (!unlock(2))
        MarkCurrentRow();
    return true;
}

void frmContactList::showCard(std::unique_ptr<list::ContactCard> card)
{
    gListDirty = false;
    card->dialog()->exec();
    card.reset();
    if (!gListDirty)
        return;
    // A save in the card: the list is read again (the filter in force stays part of every
    // refresh) and the cursor goes to the saved contact.
    DataRefresh(QString());
    if (gPubService)
        gPubService->SetGridRow(m_grid, kCodeCaption, m_lastSavedCode);
}

bool frmContactList::batchModify()
{
    // Batch modification only tests the lock here; its window takes it while it writes.
    if (lockRefused(7))
        return false;
    unlock(7);
    if (std::unique_ptr<QDialog> window = list::createListDialog(list::kBatchWindow, *this, this))
        window->exec();
    return true;
}

bool frmContactList::filterList()
{
    if (!beginTask(QStringLiteral("CS020202")))
        return true;
    std::unique_ptr<FilterService> filter
        = HostRegistry::createAs<FilterService>(QStringLiteral("FilterService"));
    QString error;
    if (!filter
        || !filter->OpenFilter(gLogin, QStringLiteral("AA[__]联系人档案"), QString(), QString(),
                               error)) {
        // A cancelled or failed filter is reported and changes nothing.
        WriteErrorLog(kOperatingProcedure, true,
                      ErrorInfo{-1,
                                filter ? error : QStringLiteral("The host has no FilterService."),
                                QStringLiteral("Perikon")});
        return true;
    }
    QString condition = filter->GetSQLWhere();
    // A blank filter clears the condition: the whole list the operator may read. A condition is
    // kept in parentheses of its own, so an OR inside it can never reach past the operator's rows.
    if (condition.trimmed().isEmpty())
        condition = QStringLiteral(" 1=1 ");
    else
        condition = QLatin1Char('(') + condition + QLatin1Char(')');
    m_filterCondition = condition == QLatin1String(" 1=1 ") ? QString() : condition;
    DataRefresh(condition);
    return true;
}

bool frmContactList::columnSettings()
{
    if (!isCommandOffered(QStringLiteral("ItemSet")))
        return true;
    if (gPubService) {
        QObject *com = gClsCommon.get();
        gPubService->SaveColSet(com, m_grid, kArchive, gUserId);
    }
    if (std::unique_ptr<QDialog> window
        = list::createListDialog(list::kColumnSettingsWindow, *this, this))
        window->exec();
    return true;
}

bool frmContactList::relationshipChart()
{
    if (!beginTask(QStringLiteral("CS020202")) || !rowCheck())
        return true;
    // The chart is of the contact whose code grid column 2 holds, as the column information
    // lays the list out.
    if (const list::ListAction chart = list::listAction(list::kChartAction))
        chart(*this, m_grid->TextMatrix(m_grid->Row(), 2));
    return true;
}

bool frmContactList::generalWork()
{
    if (!beginTask(QStringLiteral("CS020202")) || !rowCheck())
        return true;
    const QStringList header = m_grid->headerTexts();
    const int codeCol = list::columnCaptioned(header, listText("00027"));
    const int nameCol = list::columnCaptioned(
        header, GetResText(QStringLiteral("K2.CRM.CONTACT.iclscommon.00022")));
    const int row = m_grid->Row();
    if (row == 0)
        return false;
    const QString code = codeCol < 0 ? QString() : m_grid->TextMatrix(row, codeCol);
    const QString name = nameCol < 0 ? QString() : m_grid->TextMatrix(row, nameCol);
    // One general-work object under its fixed key: the next contact takes over its window, so
    // the operator does not collect a page per contact.
    const QString key = QStringLiteral("CrmGenerals");
    if (!qobject_cast<CrmGenerals *>(m_generals.value(key).get())) {
        std::unique_ptr<QObject> created = HostRegistry::create(key);
        if (!qobject_cast<CrmGenerals *>(created.get()))
            return true;
        m_generals.insert(
            key, std::shared_ptr<QObject>(created.release(), [](QObject *o) { delete o; }));
    }
    auto *generals = qobject_cast<CrmGenerals *>(m_generals.value(key).get());
    generals->IiniGenerals(gLogin, gProduct, gActiveFrmMgr, 2, code, name, QVariant(), gViewManager,
                           gBusiness);
    return true;
}

bool frmContactList::sendMail()
{
    if (!beginTask(QStringLiteral("CS020203")) || lockRefused(3))
        return true;
    QStringList codes;
    if (!m_selectAll->isChecked()) {
        if (!rowCheck()) {
            unlock(3);
            return true;
        }
        const int codeCol = codeColumn("00054");
        if (codeCol < 0) {
            unlock(3);
            return true;
        }
        for (int row : list::markedRows(*m_grid))
            codes.append(db::sqlNQuoted(m_grid->TextMatrix(row, codeCol)));
        // Nothing marked is a failed command, never a message to nobody: it ends through the
        // error log, and the lock stays until the host or the list's close frees it.
        if (codes.isEmpty())
            throw std::invalid_argument("Invalid procedure call or argument: no contact marked");
    } else {
        // Every contact of the result, not only the page on screen.
        if (!m_result || m_result->recordCount() == 0) {
            ShowMessage(listText("00029"));
            unlock(3);
            return false;
        }
        for (m_result->moveFirst(); !m_result->eof(); m_result->moveNext())
            codes.append(db::sqlNQuoted(m_result->value(QStringLiteral("ID")).toString()));
    }
    if (const list::ListAction mail = list::listAction(list::kMailAction))
        mail(*this, codes.join(QLatin1Char(',')));
    unlock(3);
    return true;
}

bool frmContactList::sendMessage()
{
    if (!beginTask(QStringLiteral("CS020203")) || lockRefused(3))
        return true;
    if (!rowCheck()) {
        unlock(3);
        return true;
    }
    QString mobile;
    const int codeCol = codeColumn(nullptr);
    if (codeCol >= 0) {
        const QString code = m_grid->TextMatrix(m_grid->Row(), codeCol).trimmed();
        std::unique_ptr<db::Recordset> contact = openRequired(
            QStringLiteral("Select top 1 crm_contact.* from v_Crm_Contact crm_contact where "
                           "cContactCode = N'")
            + db::sqlEscaped(code) + QLatin1Char('\''));
        if (!contact->eof())
            mobile = contact->value(QStringLiteral("cMobilePhone")).toString();
    }
    if (std::unique_ptr<QDialog> window = list::createListDialog(list::kSmsWindow, *this, this)) {
        if (auto *field = window->findChild<QLineEdit *>(QStringLiteral("txtMobilePhone")))
            field->setText(mobile);
        window->exec();
    }
    unlock(3);
    return true;
}

std::unique_ptr<db::Recordset> frmContactList::openRequired(const QString &statement)
{
    bool flag = false;
    QString message;
    std::unique_ptr<db::Recordset> rows(gClsCommon ? gClsCommon->OpenX(statement, flag, message)
                                                   : nullptr);
    // Reading a recordset that did not open is the command's run-time error.
    if (!rows || rows->state() != 1)
        throw std::runtime_error(
            (message.isEmpty() ? QStringLiteral("The recordset is not open.") : message)
                .toStdString());
    return rows;
}

// --- the list as the windows it opens see it --------------------------------------------------

controls::HostGrid *frmContactList::listGrid() const
{
    return m_grid;
}

IContact *frmContactList::listEntry() const
{
    return m_entry;
}

void frmContactList::refreshList(const QString &extra)
{
    DataRefresh(extra);
}

void frmContactList::reloadHeadAndRows()
{
    LoadHead();
    DataRefresh(QString());
}

// --- keys -----------------------------------------------------------------------------------

// A modal window other than the list's own (a host may show the list itself modally).
bool frmContactList::modalOverList() const
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal && modal != window();
}

void frmContactList::onKeyDown(int key, Qt::KeyboardModifiers modifiers, bool &swallow)
{
    // A modal window over the list (the card, a message) has the keys: the hook only acts while
    // the list itself accepts input.
    if (!isEnabled() || m_filling || modalOverList())
        return;
    const bool gridHasFocus = m_grid->hasFocus() || m_grid->isAncestorOf(focusWidget());
    const std::optional<list::HookCommand> command
        = list::hookCommand(key, modifiers, gridHasFocus);
    if (!command)
        return;
    swallow = swallow || command->swallow;
    Operating(command->command);
}

void frmContactList::onKeyUp(int key, Qt::KeyboardModifiers)
{
    if (modalOverList())
        return;
    // Enter in a text field moves on to the next control, as Tab does.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter)
        && qobject_cast<QLineEdit *>(QApplication::focusWidget())
        && isAncestorOf(QApplication::focusWidget()))
        focusNextChild();
}

} // namespace perikon
