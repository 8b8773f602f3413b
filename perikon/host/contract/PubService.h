#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
// Complete, so scripts can pass a grid to the invokable services.
#include <QWidget>

namespace perikon {

// The host's public service ("PubService"): server time and the other small services the
// component's windows and save steps call.
class PubService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The database server's current date and time, "yyyy-MM-dd HH:mm:ss". ICom is the caller's
    // data-access object (an IClsCommon); the service may hand back another one to use from then
    // on.
    virtual QString GetSrvTime(QObject *&ICom) = 0;
    // The row-authorization text of `table` for a function ("R", "W", "D") from the operator's
    // rules in `rowAuth` (a RowAuthService), over the columns of `tableAlias`: "1=1" when nothing
    // restricts, "1=2" when no row may be reached. `reserved` is not read.
    virtual QString GetGetAuthString(QObject *rowAuth, const QString &table, const QString &funcId,
                                     const QVariant &reserved, const QString &tableAlias)
        = 0;

    // Function locks on an archive (names compared without regard to case), held by the session
    // of `login`. A positive number takes lock n and answers true when it cannot be had because
    // another operator's session holds a lock that excludes it (the service has said who holds
    // it and what he is doing), false once it is held. A negative number releases lock -n and
    // answers true when the session held it, false when it held nothing (releasing is harmless
    // either way). A session never excludes itself; lock 1 (the archive is open in a list) is
    // shared by every session. ICom is the caller's data-access object; the service may hand
    // back another one.
    virtual bool IsLockFun(QObject *&ICom, QObject *login, const QString &archive, int number) = 0;

    // The operator's stored setting `name` of `key` (e.g. "Crm_Contact", "PageSize"); empty when
    // none is stored or it cannot be read (LastError then says why).
    virtual QString GetRegEdit(const QString &key, const QString &name, bool web,
                               const QString &userId)
        = 0;
    virtual bool SaveRegEdit(const QString &key, const QString &name, const QString &value,
                             bool web, const QString &userId)
        = 0;
    // Why the last GetRegEdit or SaveRegEdit failed; empty after a success.
    virtual QString LastError() const = 0;

    // A number text with `digits` decimals; any other text as it is.
    virtual QString FormatNum(const QString &text, int digits) = 0;
    // The decimals the operator set for a column of the list, or empty text. `settings` holds the
    // settings read so far (nullptr at first); the service hands back the object to pass next.
    virtual QString GetEleVal(const QString &name, QObject *&settings) = 0;
    // A resource text in the session language.
    virtual QString GetResString(const QString &key) = 0;

    // Shows page `page` (from 1, kept within the pages there are) of `pageSize` records of
    // `result` (a db::Recordset): the window's invokable FillGrid(QObject *) receives a recordset
    // of that page's records sharing the rows, the window's page spinner "UpDown2" gets the page
    // count as its maximum and its label "LblTotalPage" shows it. `pageCount` receives the number
    // of pages (at least 1); `result` stays the whole result.
    virtual void FlipPageFillGrid(QWidget *window, QWidget *grid, QObject *&result, int pageSize,
                                  int page, int &pageCount)
        = 0;
    // Lays out the list grid's columns (captions, widths) from column information and gives the
    // select list and the order text (empty: the list's default order). False with `message` set
    // when the column information cannot be read.
    virtual bool getColSet(const QString &colInfoXml, QString &selectList, int &fixedCols,
                           QString &orderText, int &reserved, QWidget *grid, QString &message)
        = 0;

    // Puts the grid's cursor on the first data row whose column captioned `caption` holds `code`.
    // The caption may be given in any language the column dictionary knows: the grid's own
    // caption of that column is found through it. The five-argument form goes back to `row` and
    // `topRow` (kept within the rows there are) when the code is empty or no longer listed.
    Q_INVOKABLE virtual void SetGridRow(QWidget *grid, const QString &caption, const QString &code)
        = 0;
    Q_INVOKABLE virtual void SetGridRow(QWidget *grid, const QString &caption, const QString &code,
                                        int row, int topRow)
        = 0;
    // Reorders the data rows of `grid` (a controls::HostGrid page) by its current column: 1
    // ascending, 2 descending. Numbers, dates and text each in their own order, blank cells
    // first ascending; rows with equal cells keep their order. Nothing happens while the
    // current column is 0 or fewer than two data rows are shown.
    Q_INVOKABLE virtual void GridSort(QWidget *window, QWidget *grid, int order) = 0;
    // Asks the operator to confirm an action on the grid's marked rows, listing each row's code
    // (column `codeColumn`) and name (column `nameColumn`); 1 when confirmed. `table` names what
    // the rows are; the other arguments are not read.
    Q_INVOKABLE virtual int ShowTipMsg(QWidget *grid, int codeColumn, int nameColumn,
                                       QObject *reserved, QObject *login, QObject *ICom,
                                       const QVariant &reserved2, const QVariant &reserved3,
                                       const QString &table)
        = 0;
    // The result list of a run over several records: created with its field names and column
    // titles (both comma-separated), one line added per record, then shown at the end. The list
    // belongs to the caller.
    Q_INVOKABLE virtual QObject *ModifyInitMsg(const QString &fields, const QString &titles) = 0;
    Q_INVOKABLE virtual void ModifyAddMsg(QObject *messages, const QStringList &values) = 0;
    Q_INVOKABLE virtual void ModifyShowMsg(QObject *messages, const QString &title, QObject *login,
                                           QObject *ICom)
        = 0;
    // Around a delete run in `window`: a busy cursor and the run's progress in its status bar.
    Q_INVOKABLE virtual void DeleteStart(QWidget *window) = 0;
    Q_INVOKABLE virtual void DeleteEnded(QWidget *window) = 0;
    // A line of the suite's trace.
    Q_INVOKABLE virtual void DebugPrint(const QString &text) = 0;

    // Window services. HelpShow is told of every command before it runs, so help opened during
    // it shows that command's topic; HelpX attaches a window to a help topic family; ShowHelp
    // opens the help at the window's topic.
    virtual void HelpShow(const QString &key, QWidget *window) = 0;
    virtual void HelpX(QWidget *window, const QString &topicFamily) = 0;
    virtual void ShowHelp(QWidget *window) = 0;
    // A window option the operator switches (e.g. "mStb", the status bar), kept per operator.
    virtual void FrmOpt(QWidget *window, const QString &key, const QString &archive, QObject *login,
                        QObject *ICom)
        = 0;
    // Applies the operator's stored window options when a window loads.
    virtual void FrmLoadInit(QWidget *window, const QString &archive, QObject *login) = 0;
    virtual void FrmResize(QWidget *window) = 0;
    // Gives the window the suite's font, one that shows Chinese and Latin text alike.
    virtual void FrmUniteFont(QWidget *window) = 0;
    // Builds a toolbar (the suite's host toolbar) from the toolbar definition `definitionKey` of
    // `module`: captions in the session language, and a button whose function the login has no
    // right to stays off. False when there is no such definition.
    virtual bool InitToolbar(QWidget *toolbar, const QString &definitionKey, const QString &module,
                             QObject *login)
        = 0;
    // Prepares the statements the windows are about to send, so the first command does not wait.
    virtual void FrmPreCompile(QObject *ICom) = 0;

    // Column settings. Keeps the widths and the order the operator gave the columns of a list
    // grid laid out by getColSet, as the operator's layout of `archive` (compared without regard
    // to case), so the next getColSet lays the grid out so again. Captions and which columns show
    // stay as they were. ICom is the caller's data-access object; the layout is written on its
    // connection, all or nothing. False when nothing could be stored.
    Q_INVOKABLE virtual bool SaveColSet(QObject *ICom, QWidget *grid, const QString &archive,
                                        const QString &userId)
        = 0;
    // The column information a list lays its grid out from (only the shown columns, by iOrder,
    // each ColSet as given) out of full column information as the column-settings control gives
    // it, whether stored or not. Empty when the text is not column information.
    virtual QString GetUnSavedColSet(const QString &colInfoXml) = 0;
    // Lays the column-settings control out over the client area of its window, with a small
    // margin, now and whenever the window is resized.
    virtual void ColSetResize(QWidget *colSet, QWidget *window) = 0;

    // Locating in a list grid. FindSet: the operator chooses which column locating reads in the
    // lists of `archive` and how a cell must match, kept per operator and archive; the window
    // keeps the archive for FindPos. FindPos: the operator types a text, and each Find Next makes
    // the next matching data row of `grid` (a host grid) current, wrapping, and shows it; none,
    // a message and the current row stays. Neither changes a row or a mark.
    virtual void FindSet(QObject *login, const QString &archive, QWidget *window) = 0;
    virtual void FindPos(QWidget *window, QWidget *grid) = 0;

    // Lookups.
    // Sets up a reference editor (a controls::RefEdit) for `key` of the suite's reference
    // catalogue over the account of `login`; settingsXml as
    // "<Ref><RefSet bAuth='1' authFunID='W'/></Ref>". False for a widget that is not a RefEdit.
    virtual bool InitRefEdit(QWidget *edit, QObject *login, const QString &key, bool reserved,
                             const QString &settingsXml)
        = 0;
    // The operator changed the text of reference editor `edit` in `window`: the editor's
    // reference becomes unchecked until it is matched again.
    virtual void SetRefEdt(QWidget *edit, QWidget *window) = 0;
    // Chooses the row of `recordset` (a db::Recordset, already open, any number of rows) that
    // fits `text`: the first whose `codeColumn` equals it exactly, else whose `nameColumn` equals
    // it exactly, else the only row, else the operator chooses in RefDialog (modal over `parent`;
    // its filter line starts with `text`). Leaves the recordset's cursor on the chosen row and
    // answers true; false when nothing fits or the operator cancels (cursor then undefined).
    // Trailing blanks do not count in the comparisons.
    virtual bool FindMatch(QObject *recordset, const QString &codeColumn, const QString &text,
                           const QString &nameColumn, QWidget *parent)
        = 0;

    // Card editors.
    // Integer input (controls::HostEdit InputRule::Integer) of at most `length` digits (0: 10).
    virtual void SetIntLen(QWidget *edit, int length) = 0;
    // Decimal input: `length` characters in all, `decimals` after the point.
    virtual void SetDblLen(QWidget *edit, int length, int decimals) = 0;
    // Puts a value a reference or the calculator gave into a host edit as the operator would have
    // typed it: a number edit shows it rounded to its decimals. False, the edit unchanged, for a
    // value the edit does not take (not a number, too many digits, longer than the edit allows).
    virtual bool EdtSetVal(QWidget *edit, const QString &value) = 0;
    // Lifts the forbidden-character filter of a host edit (its text is checked elsewhere).
    virtual void SetBadStrException(QWidget *edit) = 0;
    // Width in pixels a label needs to show `text` in its font, with a little margin.
    virtual int GetStrLen(const QString &text, QWidget *label) = 0;
    // Gives a label the must-input look.
    virtual void MustInputColor(QWidget *label) = 0;
    // Pairs the user-defined items' captions with their editors (same positions), once the
    // captions are set: each caption names its editor to assistive tools and its mnemonic takes
    // the operator to the editor.
    virtual void SetUserDefEle(const QList<QWidget *> &labels, const QList<QWidget *> &editors) = 0;
    // Printing and export (the host's print control, PrintControl.h).
    // Closes the help shown for `window` while a print command `key` runs.
    virtual void HelpHide(QWidget *window, const QString &key, bool web) = 0;
    // The operator's stored print style of `key` (e.g. "Crm_Contact"); empty when none is stored,
    // which prints in the control's default style.
    virtual QString GetPrnStyle(const QString &key, const QString &userId) = 0;
    // Stores the print style of `key` for the operator of ICom's login, else for the operator of
    // the last GetPrnStyle of that key. False when there is no operator or it cannot be stored.
    virtual bool SavePrnStyle(QObject *ICom, const QString &key, const QString &style) = 0;
    // A parameter of the account ICom is connected to: "iYear", the business year.
    virtual QString InitParameter(QObject *ICom, const QString &name) = 0;
    // The print data (PrintControl.h) of the grid "Grid" of the print control's window, as shown:
    // its columns from 2 on in screen order, without hidden ones, captions, display texts, rows
    // in their current order; the title, operator, account and year for the page header and
    // footer. Empty when the window has no such grid.
    virtual QString GetData(QObject *ICom, QWidget *printControl, const QString &title,
                            const QString &userName, const QString &userId, const QString &account,
                            const QString &year)
        = 0;
    // Export types and sizes (comma-separated, PrintControl.h) of the columns GetData prints,
    // from `probe` (a db::Recordset of the grid's select list, field i in grid column i + 1).
    virtual void GetTypeSize(QObject *probe, QWidget *grid, QString &types, QString &sizes) = 0;
    // Tells the operator what an export of `key` did: the file written, or why nothing was
    // written; nothing when `result` is empty (the operator cancelled).
    virtual void PrintMsg(const QString &key, bool written, const QString &result) = 0;

    // Batch modification and archive services.
    // The text of a resource key with %1, %2 ... replaced by `args`.
    virtual QString GetResFormatString(const QString &key, const QStringList &args) = 0;
    // The caption of column `key` in a column dictionary (a db::Recordset of aa_columndic rows:
    // cFieldName, cCaption, cCaptionEn), row found by name without regard to case, in the session
    // language; the key itself when no row names it.
    virtual QString GetFldCaption(QObject *dictionary, const QString &key) = 0;
    // A message box through UiHelper.ShowMsgBox (the same scripted answers); the button's code.
    virtual int MsgBox(const QString &text, int style, const QString &title) = 0;
    // True when `text` is a date yyyy-MM-dd (or empty); otherwise says so when `showMessage`.
    virtual bool CheckDateStyle(const QString &text, bool showMessage) = 0;
    // True when `value` suits user-defined item `item` ("cConDefine1".."cConDefine16" or
    // "自定义项1"..) of class `className` (e.g. "联系人"): its type, length, and its value list or
    // archive when the item checks values. Otherwise shows why and answers false. ICom is the
    // caller's data-access object (an IClsCommon) whose connection is read.
    virtual bool CheckUserDef(const QString &item, const QString &value, const QString &className,
                              QObject *ICom)
        = 0;
    // Writes one line of the archive log (host table qz_ArchiveLog) through ICom's connection:
    // archive, operation (4 batch modify), key, user, kind, description, statement and the time.
    // False when it cannot be written (the reason goes to the error log).
    virtual bool LogArch(QObject *ICom, const QString &archive, int operation, const QString &key,
                         const QString &userId, const QString &kind, const QString &description,
                         const QString &statement)
        = 0;
    // A window of the component is going: the service forgets what it keeps for it (its help,
    // its stored options are saved).
    virtual void FrmUnLoad(QWidget *window) = 0;

    // Applies the operator's stored size/position of `window` (kept per operator and window
    // objectName through GetRegEdit/SaveRegEdit) and stores it again when the window closes or
    // hides.
    virtual void FrmOptInit(QWidget *window, QObject *login) = 0;
};

} // namespace perikon
