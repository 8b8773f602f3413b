#pragma once

#include "perikon/host/contract/PubService.h"

#include <QPointer>
#include <QWidget>

namespace perikon::suite {

// The suite's public service ("PubService").
class SuitePubService : public PubService
{
    Q_OBJECT
public:
    using PubService::PubService;

    // Asks the caller's own connection, so the time is the database server's clock. Empty when
    // ICom has no open connection or the server does not answer: a guessed local time would be
    // stamped on rows as if the server had given it. ICom stays as it is.
    QString GetSrvTime(QObject *&ICom) override;
    // Contacts only: the combined person, dimension and customer rules; administrators (the
    // thread's current login) are not restricted. Any other table reaches no row.
    QString GetGetAuthString(QObject *rowAuth, const QString &table, const QString &funcId,
                             const QVariant &reserved, const QString &tableAlias) override;

    // Locks live in the host table qz_FunctionLock of the caller's account database, one row per
    // archive, lock number and session; which numbers exclude each other is locksConflict's
    // (FunctionLockRules.h). While a session holds a lock, a heartbeat owned by its login renews
    // the session's rows; rows not renewed within FunctionLockTimes' timeout (by the server's
    // clock) belong to a session that died and are dropped. Invokable, so scripts can lock
    // functions as another operator would.
    Q_INVOKABLE bool IsLockFun(QObject *&ICom, QObject *login, const QString &archive,
                               int number) override;
    // Stored per operator in the host table qz_UserSetting of the current login's account.
    QString GetRegEdit(const QString &key, const QString &name, bool web,
                       const QString &userId) override;
    bool SaveRegEdit(const QString &key, const QString &name, const QString &value, bool web,
                     const QString &userId) override;
    QString LastError() const override { return m_lastError; }
    QString FormatNum(const QString &text, int digits) override;
    // The decimals are the operator's settings "Decimals" of key "Crm_Contact.<column>".
    QString GetEleVal(const QString &name, QObject *&settings) override;
    QString GetResString(const QString &key) override;

    // Slices the kept result without copying it; the window fills its grid from the slice.
    void FlipPageFillGrid(QWidget *window, QWidget *grid, QObject *&result, int pageSize, int page,
                          int &pageCount) override;
    bool getColSet(const QString &colInfoXml, QString &selectList, int &fixedCols,
                   QString &orderText, int &reserved, QWidget *grid, QString &message) override;
    // The last command key and the topic family travel with the window (dynamic properties
    // "HelpCommand", "HelpFamily"); ShowHelp opens the suite's help viewer at the matching
    // section of the session language's help page.
    void HelpShow(const QString &key, QWidget *window) override;
    void HelpX(QWidget *window, const QString &topicFamily) override;
    void ShowHelp(QWidget *window) override;
    // "mStb" shows or hides the window's status bar "Stb" and keeps the choice in the operator's
    // settings (key "<archive>.frmopt"), which FrmLoadInit applies when the window opens again.
    void FrmOpt(QWidget *window, const QString &key, const QString &archive, QObject *login,
                QObject *ICom) override;
    void FrmLoadInit(QWidget *window, const QString &archive, QObject *login) override;
    // Keeps the window no smaller than its layout needs.
    void FrmResize(QWidget *window) override;
    void FrmUniteFont(QWidget *window) override;
    bool InitToolbar(QWidget *toolbar, const QString &definitionKey, const QString &module,
                     QObject *login) override;
    // Reads the tables the list's commands use with an empty condition, so the driver's column
    // and statement caches are warm before the first command.
    void FrmPreCompile(QObject *ICom) override;
    // The help section of a command key: the card's commands open the card's section.
    static QString helpTopic(const QString &commandKey);

    // Through the column-set service, on ICom's connection; grid columns getColSet did not lay
    // out for a field (the row marks, the hidden ID) are not part of the layout.
    bool SaveColSet(QObject *ICom, QWidget *grid, const QString &archive,
                    const QString &userId) override;
    QString GetUnSavedColSet(const QString &colInfoXml) override;
    void ColSetResize(QWidget *colSet, QWidget *window) override;

    // The caption is looked up in the column dictionary and the operator's stored captions.
    void SetGridRow(QWidget *grid, const QString &caption, const QString &code) override;
    void SetGridRow(QWidget *grid, const QString &caption, const QString &code, int row,
                    int topRow) override;
    // Texts in the collation of the session language; every cell of a row but the row number
    // moves with it, and the current row stays on its contact.
    void GridSort(QWidget *window, QWidget *grid, int order) override;
    // OK/Cancel through the suite's message box, listing at most 20 rows by code and name.
    int ShowTipMsg(QWidget *grid, int codeColumn, int nameColumn, QObject *reserved, QObject *login,
                   QObject *ICom, const QVariant &reserved2, const QVariant &reserved3,
                   const QString &table) override;
    // The list is a RunMessages; shown as a RunMessagesDialog, or recorded as shown text where
    // message boxes are scripted.
    QObject *ModifyInitMsg(const QString &fields, const QString &titles) override;
    void ModifyAddMsg(QObject *messages, const QStringList &values) override;
    void ModifyShowMsg(QObject *messages, const QString &title, QObject *login,
                       QObject *ICom) override;
    // The status bar "Stb" of the window shows the run; lines added meanwhile count on.
    void DeleteStart(QWidget *window) override;
    void DeleteEnded(QWidget *window) override;
    void DebugPrint(const QString &text) override;

    // The editor's resolver reads the reference's table on the account of the login's qzDBName;
    // with bAuth='1' customers are narrowed to those the operator's rules reach with authFunID
    // (administrators are not narrowed). Keys the catalogue does not know take any text.
    // The settings are kept under key "<archive>" and name "locate"; the window's property
    // "locateArchive" names the archive of its last FindSet.
    void FindSet(QObject *login, const QString &archive, QWidget *window) override;
    // Without settings for the window's archive locating reads the grid's current column (the
    // first data column when that is the marks') and a cell must contain the text.
    void FindPos(QWidget *window, QWidget *grid) override;
    bool InitRefEdit(QWidget *edit, QObject *login, const QString &key, bool reserved,
                     const QString &settingsXml) override;
    void SetRefEdt(QWidget *edit, QWidget *window) override;
    // The dialog shows the code and name columns first, then the recordset's other fields.
    bool FindMatch(QObject *recordset, const QString &codeColumn, const QString &text,
                   const QString &nameColumn, QWidget *parent) override;
    // Only a controls::HostEdit takes an input rule or a filter; other widgets are left alone.
    void SetIntLen(QWidget *edit, int length) override;
    // A length of 0 or less takes 10, as SetIntLen does; the point takes one of the characters.
    void SetDblLen(QWidget *edit, int length, int decimals) override;
    bool EdtSetVal(QWidget *edit, const QString &value) override;
    void SetBadStrException(QWidget *edit) override;
    int GetStrLen(const QString &text, QWidget *label) override;
    // The text colour of a link (controls::LinkLabel's link look), without its underline: the
    // label shows a caption, not a link.
    void MustInputColor(QWidget *label) override;
    void SetUserDefEle(const QList<QWidget *> &labels, const QList<QWidget *> &editors) override;
    // Closes the window's help viewer.
    void HelpHide(QWidget *window, const QString &key, bool web) override;
    // Print styles live in the host table qz_PrintStyle of the account, per operator and key.
    QString GetPrnStyle(const QString &key, const QString &userId) override;
    bool SavePrnStyle(QObject *ICom, const QString &key, const QString &style) override;
    // The year of the account database's name (QZDATA_<account>_<year>) of ICom's connection,
    // else of the current login's.
    QString InitParameter(QObject *ICom, const QString &name) override;
    QString GetData(QObject *ICom, QWidget *printControl, const QString &title,
                    const QString &userName, const QString &userId, const QString &account,
                    const QString &year) override;
    void GetTypeSize(QObject *probe, QWidget *grid, QString &types, QString &sizes) override;
    // Information naming the file, or the reason as a warning.
    void PrintMsg(const QString &key, bool written, const QString &result) override;
    // The batch modification's services. Texts in the session language, through the suite's
    // resource texts.
    QString GetResFormatString(const QString &key, const QStringList &args) override;
    // Reads on a clone of the dictionary, so the caller's cursor stays where it was. A row
    // without an English caption gives the Chinese one; one without any caption, the key.
    QString GetFldCaption(QObject *dictionary, const QString &key) override;
    // Through the UiHelper the host registered (the suite's own when none is).
    int MsgBox(const QString &text, int style, const QString &title) override;
    // Also takes a one-digit month or day ("2026-3-5"); years before 1753 are refused as typing
    // slips (userdef::isEnteredDate).
    bool CheckDateStyle(const QString &text, bool showMessage) override;
    // The checks are userdef::check's. An item userdef does not define answers true: nothing
    // restricts it. A definition or value list that cannot be read refuses the value, saying why.
    bool CheckUserDef(const QString &item, const QString &value, const QString &className,
                      QObject *ICom) override;
    // Creates qz_ArchiveLog from the account schema when the account lacks it. The error log is
    // the UiHelper's trace (heading "LogArch").
    bool LogArch(QObject *ICom, const QString &archive, int operation, const QString &key,
                 const QString &userId, const QString &kind, const QString &description,
                 const QString &statement) override;
    // Closes the window's help, ends a delete run it left open, and stores its geometry once more
    // (FrmOptInit) before letting go of it.
    void FrmUnLoad(QWidget *window) override;
    // Kept as the window's saved geometry under key "<objectName>.frmoptinit", name "geometry".
    // A window without an objectName or an operator without a user id is left as it is.
    void FrmOptInit(QWidget *window, QObject *login) override;

private:
    void forgetHelp(QWidget *window);
    void keepGeometryNow(QWidget *window);

    QString m_lastError;
    bool m_running = false;
    QPointer<QWidget> m_runWindow;
    QString m_runStatusText;
};

} // namespace perikon::suite
