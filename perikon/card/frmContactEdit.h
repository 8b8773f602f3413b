#pragma once

// The contact card: one contact in editors over four tabs, added or changed and saved through the
// session's IClsCommon. Its widgets and load are in frmContactEdit.cpp, reading a contact and the
// defaults of a new one in frmContactEditLoad.cpp, what typed values trigger in
// frmContactEditLookups.cpp, commands, checks and the save in frmContactEditSave.cpp, the
// user-defined and extended editors in frmContactEditUserFields.cpp.

#include "perikon/entry/clsLogin.h"
#include "perikon/list/ListWindows.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QTabWidget;
class QToolButton;

namespace perikon {

namespace db {
class Connection;
class Recordset;
} // namespace db

namespace controls {
class DatePicker;
class HostEdit;
class HostGrid;
class HostToolbar;
class KeyHook;
} // namespace controls

class PictureControl;

class frmContactEdit : public QDialog, public list::ContactCard
{
    Q_OBJECT
public:
    frmContactEdit(list::ListAccess &list, QWidget *parent = nullptr);
    ~frmContactEdit() override;

    QDialog *dialog() override { return this; }
    void presetCustomer(const QString &name, const QString &code) override;
    // Mode 1 starts a blank card, mode 2 shows the contact of the list's row `row`.
    void InitData(int mode, int codeColumn, int row) override;
    // Reads the contact of the current row of the list into every editor.
    Q_INVOKABLE void Fillallfields();
    // Runs a toolbar or key command; for "SaveRs" whether the contact was saved.
    Q_INVOKABLE bool Operating(const QString &command);
    // The cancel flag and close mode of the last unsaved-changes question.
    Q_INVOKABLE void ExitForm(int &cancel, int &unloadMode);
    // The record of the card as IClsCommon takes it.
    void WriteXML(QString &xml, int mode);
    // The extended columns' part of the record.
    QString GetSaveXmlEx();
    // The extended columns read with a contact, each followed by a comma.
    QString SetCrmCusExtradefineFld();
    // The caption label called `name` (case-blind), nullptr when none.
    QLabel *GetControlByName(const QString &name) const;
    static QVariant TxtValue(const QVariant &value, const QVariant &defaultValue);

    int mode() const { return m_mode; }
    int currentRow() const { return m_row; }
    bool isEdited() const { return m_state.bEdit; }
    bool exists() const { return m_state.bExist; }
    bool addedContacts() const { return m_added; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // frmContactEdit.cpp
    void buildWidgets();
    QWidget *buildGeneralTab();
    QWidget *buildDetailsTab();
    QWidget *buildOtherTab();
    QWidget *buildAuthTab();
    void load();
    void setCaptions();
    void setLengths();
    void connectEdits();
    void onKeyDown(int key, Qt::KeyboardModifiers mods, bool &swallow);
    QString languageId() const;
    void setWindowCaption(const QString &captionKey, const QString &code = {});

    // frmContactEditLoad.cpp
    bool LoadCurrentContact(std::unique_ptr<db::Recordset> &rs, QString &code);
    void fillFromRecord(db::Recordset &rs);
    bool LookupCodeToEditor(const QString &codeColumn, const QString &code,
                            const QString &nameColumn, const QString &sql,
                            controls::HostEdit *editor, bool showName = false);
    void fillAuthGrid();
    // Shows the stored picture `guid` (none for an empty one or a row that is gone).
    void loadPicture(const QString &guid);
    // The picture part of the record: only when the operator chose or cleared a picture.
    QString pictureXml() const;
    void ClearAndApplyDefaults();
    void setNavigationState();

    // frmContactEditLookups.cpp
    bool MatchCustomer();
    bool validateEdit(int index);
    // The row of `sql` the typed text of `edit` stands for (the recordset on it); nullptr when
    // none fits, after the message, with the editor holding no code.
    std::unique_ptr<db::Recordset> matchTyped(controls::HostEdit *edit, const QString &sql,
                                              const QString &codeColumn, const QString &nameColumn);
    bool matchSuperior();
    // A superior that leads back to the contact: the message, tab 0, the superior holding no
    // code (and, when matched while typing, no text) and the focus on it.
    void refuseSuperior(bool clearText);
    bool matchPrincipal();
    bool matchBaseCode(int index, const QString &type);
    void FillFromCustomer();
    void checkCustomerDefaultContact(const QString &text);
    QString GetPersonDepartment(const QString &personCode);
    void onEditChanged(int index);
    bool validateDate(int index);
    void fillCombos();
    void fillCombo(QComboBox *combo, const QString &type);
    void MarkEdited();
    void setMatchedTooltip(controls::HostEdit *editor, const QString &code);

    // frmContactEditSave.cpp
    bool save();
    // Runs the check of the focused field; false when it refused the value.
    bool FlushPendingValidation();
    bool CheckRequired();
    bool CheckCodeUnique();
    bool CheckSuperior();
    bool CheckAuthDimensions();
    bool SaveContact();
    // The card's values against the must-input columns of gCardColInfoXml.
    bool CheckMustInput();
    void MarkMustInputLabels();
    void ProposeContactCode();
    bool navigate(const QString &command);
    bool ConfirmExitSave(int &cancel, int unloadMode);
    void finishClosing();
    void setSaveEnabled(bool enabled);

    // frmContactEditReferences.cpp
    // `editor` with a reference button at its right.
    QWidget *withButton(QWidget *editor, QToolButton *button);
    QToolButton *newReferenceButton(const QString &name);
    void connectReferences();
    // Cmd_0..Cmd_4: customer, superior, duty, taste, person in charge.
    void onReferenceButton(int index);
    // CmdU_i: user-defined item i+1; CmdE_i: extended editor i.
    void onUserReferenceButton(int index);
    void onExtendedReferenceButton(int index);
    // Conditions a reference editor's own drop-down opens with.
    void beforeReference(int index);
    void afterReference(int index);
    // F2: the reference of the focused editor; false when it has none.
    bool openFocusedReference();

    // frmContactEditDialogs.cpp
    // The related persons (cPerson) or the data-authorization dimensions (Privilege) of the
    // contact in the host's dialog; true when the dialog ran.
    bool openTransferDialog(bool relatedPersons);
    // The member XML a dialog starts from when the card has none yet.
    QString transferXml(bool relatedPersons) const;
    // flxGrid: the grants of the privilege XML.
    void showGrants(const QString &privilegeXml);

    // frmContactEditUserFields.cpp
    void buildUserFields();
    // The editor of user-defined item n (1..16).
    QWidget *userItemEditor(int n) const;
    void buildExtendedFields();
    void fillUserFields(db::Recordset &rs);
    void applyUserDefaults();
    QString userDecimalText(const QVariant &value, int item) const;
    // The columns the record carries with their values, in the record's order.
    QList<QPair<QString, QString>> recordValues() const;

    list::ListAccess &m_list;
    std::unique_ptr<db::Connection> m_connection;

    // Per-window state.
    int m_mode = 0;
    int m_codeColumn = 0;
    int m_row = 0;
    bool m_added = false;
    bool m_saveResult = false;
    QString m_loadedOid;
    QString m_loadedEndDate;
    QString m_relatedPersonXml;
    QString m_privilegeXml;
    // bExist: the contact is stored; bEdit: the card has unsaved changes.
    clsContactDO m_state;
    int m_cancel = 0;
    int m_unloadMode = 0;
    bool m_closing = false;
    bool m_loading = false;
    bool m_lastLoadOk = false; // the last Fillallfields showed its contact
    std::optional<QString> m_extendedColumns;
    // The contact was its customer's default contact when it was read.
    bool m_loadedDefault = false;
    // The contact class's user-defined and extended item definitions.
    struct UserDefinition
    {
        QString id, item, caption, type, dbName;
        int length = 0;
        int decimals = -1;
        bool mustInput = false;
        int dataSource = 0; // 0 own value list, 1 another archive
        QString relArchive, relField;
        bool multiSelect = false;
        QString parentId;       // the item whose value narrows this one's values
        bool hasValues = false; // the item's own value list has entries
    };
    // Opens the value reference of one item definition for `editor`; the choice in `value`.
    // True when the reference was shown and the operator chose.
    bool RefDefine(const UserDefinition &definition, controls::HostEdit *editor, QString &value);
    const UserDefinition *userDefinition(const QString &id) const;
    const UserDefinition *userItemDefinition(int n) const;
    // The value of the editor of item `id` (user-defined or extended); empty when none.
    QString userItemValue(const QString &id) const;
    // Empties the editors of the items whose values depend on item `id`.
    void clearDependentItems(const QString &id);
    QList<UserDefinition> m_userDefs;

    // Widgets.
    std::array<controls::HostEdit *, 23> m_edt{};
    std::array<QLabel *, 23> m_lbl{};
    std::array<controls::DatePicker *, 5> m_dt{};
    std::array<QLabel *, 5> m_dtLabel{};
    std::array<controls::HostEdit *, 14> m_edtU{};
    std::array<QLabel *, 16> m_lblD1{};
    std::array<QToolButton *, 5> m_cmd{};
    std::array<QToolButton *, 14> m_cmdU{};
    struct ExtendedEditor
    {
        controls::HostEdit *edit = nullptr;
        QLabel *label = nullptr;
        QToolButton *button = nullptr; // CmdE_i, for items with a reference
        int item = 0;                  // the n of cLDefine<n>
        int decimals = -1;             // numeric items: their decimals
        QString id;                    // the item's cID
    };
    QList<ExtendedEditor> m_edtE;
    QWidget *m_otherPage = nullptr;
    QGridLayout *m_extendedGrid = nullptr;
    int m_extendedRow = 0; // the extended editors' first row in m_extendedGrid
    // Decimals of user-defined items 13 and 14 (-1 when the item has none set).
    std::array<int, 2> m_userDecimals{-1, -1};
    QComboBox *m_cboSex = nullptr;
    QComboBox *m_cboMarriage = nullptr;
    QLabel *m_lblSex = nullptr;
    QLabel *m_lblMarriage = nullptr;
    QCheckBox *m_chkMajor = nullptr;
    QCheckBox *m_chkDefaultCon = nullptr;
    QTabWidget *m_tab = nullptr;
    controls::HostGrid *m_authGrid = nullptr;
    // The host's picture control; none when the host has no such control.
    PictureControl *m_pic = nullptr;
    controls::HostToolbar *m_tlb = nullptr;
    controls::HostToolbar *m_tlb2 = nullptr;
    controls::KeyHook *m_keyHook = nullptr;
};

namespace card {
// Makes the card the window the list's Add and Modify open.
void registerContactCardWindow();
} // namespace card

} // namespace perikon
