#pragma once

// The contact list window: one page of the contacts the operator may read, with paging, the
// toolbar and menu whose commands all end in Operating(key). Its widgets and life are in
// frmContactList.cpp, the statement, fill and paging in frmContactListData.cpp, the commands
// and keys in frmContactListCommands.cpp.

#include "perikon/list/ListWindows.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;

namespace perikon {

class IContact;
class PrintControl;

namespace db {
class Recordset;
} // namespace db

namespace controls {
class HostGrid;
class HostToolbar;
class KeyHook;
class LinkLabel;
class NumericEdit;
class PanelStatusBar;
class SpinButtons;
} // namespace controls

class frmContactList : public QWidget, public list::ListAccess
{
    Q_OBJECT
public:
    // `entry` is the IContact that opened the window: the list reads its rows through it.
    explicit frmContactList(IContact *entry, QWidget *parent = nullptr);
    ~frmContactList() override;

    // Yes/no texts, header title, column information, select list and order; lays out the grid.
    Q_INVOKABLE void LoadHead();
    // Builds and runs the list statement (with an extra WHERE fragment), keeps the result and
    // shows the current page.
    Q_INVOKABLE void DataRefresh(const QString &extra = QString());
    // Writes every record of `rs` (a db::Recordset) into the grid and formats it.
    Q_INVOKABLE void FillGrid(QObject *rs);
    // Formats the cells FillGrid wrote: booleans, the picture column, decimals.
    Q_INVOKABLE void RepairGrid(QObject *rs, int rowCount, int fieldCount);
    // Enables the first/previous links with `backward`, the next/last links with `forward`.
    Q_INVOKABLE void LblPageEnabled(bool backward, bool forward);
    // Row marks in the selection column: all rows, none, the current row on or off.
    Q_INVOKABLE void MarkAllRows();
    Q_INVOKABLE void ClearAllMarks();
    Q_INVOKABLE void MarkCurrentRow();
    Q_INVOKABLE void UnmarkCurrentRow();
    // Runs a command by its key (toolbar, menu, hot key), compared without regard to case.
    Q_INVOKABLE void Operating(const QString &key);
    // Before a delete run: some row is marked and the code column is found (else the message).
    Q_INVOKABLE void CheckDelete(int &codeColumn, bool &ok);
    // Deletes one contact unless a rule keeps it, and adds [code, outcome] to `messages` (the
    // public service's result list). `text` receives the outcome.
    Q_INVOKABLE void Delete(QString &text, QString &code, QString &keyName, QObject *messages);
    // Closes the window; gives the cancel flag and close mode the close saw.
    Q_INVOKABLE void ExitForm(int &cancel, int &mode);
    // Page setup ("SetUp"), print ("Print"), preview ("Preview") or export ("SaveFile") of the
    // rows shown, through the host's print control "Prn".
    Q_INVOKABLE void PrintAll(const QString &key);
    // The print data of the rows shown (the host's print data XML); false when there is none.
    Q_INVOKABLE bool WriteData(QString &data);

    // No query or page fill runs: paging and refresh may start.
    bool isReady() const { return m_ready; }
    // Shown and not closed (it may sit in a tab of the shell that is not in front).
    bool isOpen() const { return m_loaded && !m_closed; }
    QString filterCondition() const { return m_filterCondition; }
    QString orderText() const { return m_orderText; }
    // The rows of the last refresh (all pages); nullptr before the first.
    db::Recordset *resultCopy() const { return m_result.get(); }
    controls::HostGrid *grid() const { return m_grid; }
    int helpContextId() const { return m_helpContextId; }
    // Whether the command of `key` can run here: a command whose window is not part of the
    // component yet is not offered in the menu or the toolbar.
    bool isCommandOffered(const QString &key) const;

    // What the windows the list opens see of it.
    controls::HostGrid *listGrid() const override;
    IContact *listEntry() const override;
    void refreshList(const QString &extra) override;
    void reloadHeadAndRows() override;
    QString listFilter() const override { return m_filterCondition; }
    QString lastSavedCode() const override { return m_lastSavedCode; }
    void setLastSavedCode(const QString &code) override { m_lastSavedCode = code; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // frmContactList.cpp: widgets and life.
    void buildWidgets();
    void buildMenu();
    // The grid's right-button menu: the shown page ascending or descending by the current column.
    void buildSortMenu();
    void onGridRightClicked(const QPoint &globalPos);
    void sortPage(int order);
    void applyTitleLook();
    void applyGridLook();
    void load();
    void firstActivation();
    void tryFirstActivation();

    // frmContactListPrint.cpp: the hidden print control, whose style changes are kept per
    // operator.
    void buildPrintControl();

    // frmContactListData.cpp: paging and filling.
    void initPaging();
    void connectPaging();
    void flipPage();
    void onRequest();
    void onPageLink(int index);
    void onPageFieldEdited();
    int pageSizeField() const;
    int pageField() const;
    QString decimalsOfUserDefined(int item);

    // frmContactListCommands.cpp: commands and keys.
    bool runCommand(const QString &key);
    // The guards: the function task (false when refused), the function lock (true when refused,
    // the service has said why), its release (true when something was released), the current
    // row (else the message) and the contact-code column (-1 and the message `missingText` of
    // the list's texts, none when nullptr).
    bool beginTask(const QString &functionId);
    bool lockRefused(int number);
    bool unlock(int number);
    bool rowCheck();
    int codeColumn(const char *missingText);
    // Each command answers false when it ends at once, without the common finish.
    bool addContact();
    // Shows the card modal; after a save in it, refreshes and finds the saved contact.
    void showCard(std::unique_ptr<list::ContactCard> card);
    bool modifyContact();
    bool batchModify();
    bool columnSettings();
    bool relationshipChart();
    // Filter and Find: the host's filter narrows the list until the next confirmed filter.
    bool filterList();
    bool modalOverList() const;
    bool generalWork();
    bool sendMail();
    bool sendMessage();
    // Opens a statement on gClsCommon; a recordset that did not open throws, ending the command.
    std::unique_ptr<db::Recordset> openRequired(const QString &statement);
    // frmContactListDelete.cpp.
    bool deleteMarkedContacts();
    void onKeyDown(int key, Qt::KeyboardModifiers modifiers, bool &swallow);
    void onKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void endAllTasks();

    QPointer<IContact> m_entry;
    QMenuBar *m_menu = nullptr;
    QMenu *m_order = nullptr;
    controls::HostToolbar *m_tlb = nullptr;
    controls::HostToolbar *m_tlb2 = nullptr;
    QFrame *m_strip = nullptr;
    QLabel *m_pic = nullptr;
    QLabel *m_caption = nullptr;
    controls::HostGrid *m_grid = nullptr;
    QFrame *m_frameWeb = nullptr;
    controls::LinkLabel *m_pageLinks[4] = {};
    controls::NumericEdit *m_pageSize = nullptr;
    controls::NumericEdit *m_page = nullptr;
    controls::SpinButtons *m_pageSizeSpin = nullptr;
    controls::SpinButtons *m_pageSpin = nullptr;
    QPushButton *m_request = nullptr;
    QLabel *m_totalPage = nullptr;
    QCheckBox *m_selectAll = nullptr;
    controls::PanelStatusBar *m_status = nullptr;
    controls::KeyHook *m_keyHook = nullptr;
    PrintControl *m_prn = nullptr;

    std::unique_ptr<db::Recordset> m_result;
    QObject *m_numberSettings = nullptr; // the public service's per-column decimals
    QString m_filterCondition;
    QString m_orderText;
    int m_helpContextId = 0;
    bool m_ready = false;
    bool m_filling = false;
    bool m_loaded = false;
    bool m_firstActivation = true;
    bool m_closed = false;
    bool m_closingByCode = false;
    bool m_deletedAny = false;
    int m_codeColumn = 0;
    int m_nextColumn = 0;
    QString m_lastSavedCode;
    // The general-work object of the last "General" command, under its fixed key.
    QHash<QString, std::shared_ptr<QObject>> m_generals;
    int m_unloadCancel = 0;
    int m_unloadMode = 0;
};

} // namespace perikon
