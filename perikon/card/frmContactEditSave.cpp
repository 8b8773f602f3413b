#include "perikon/card/CardAuthDimensions.h"
#include "perikon/card/CardFields.h"
#include "perikon/card/CardMustInput.h"
#include "perikon/card/CardRecordXml.h"
#include "perikon/card/CardSession.h"
#include "perikon/card/ContactCodeProposal.h"
#include "perikon/card/SuperiorChain.h"
#include "perikon/card/frmContactEdit.h"
#include "perikon/data/DataSession.h"
#include "perikon/data/GUIDGenerator.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/PictureControl.h"

#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/DatePicker.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"
#include "suite/controls/RefEdit.h"
#include <QToolButton>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include <pugixml.hpp>

namespace perikon {

using namespace controls;
using namespace card;

namespace {

// What an editor that stands for a code saves: the code behind the shown text, or the text
// itself when nothing was matched (a code typed as it is stored).
QString savedCode(const HostEdit *edit)
{
    return edit->tag().isEmpty() ? edit->text() : edit->tag();
}

QString comboId(const QComboBox *combo)
{
    return combo->currentIndex() < 0 ? QString() : combo->currentData().toString();
}

} // namespace

bool frmContactEdit::Operating(const QString &command)
{
    const QString key = command.trimmed();
    auto is = [&key](const char *name) {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("SaveRs")) {
        m_saveResult = save();
        return m_saveResult;
    }
    if (is("First") || is("Previous") || is("Next") || is("Last"))
        return navigate(key);
    if (is("cPerson") || is("Privilege"))
        return openTransferDialog(is("cPerson"));
    if (is("Exit")) {
        close();
        return true;
    }
    if (is("Help")) {
        if (gPubService)
            gPubService->ShowHelp(this);
        return true;
    }
    return true;
}

void frmContactEdit::setSaveEnabled(bool enabled)
{
    // TLB2 mirrors Tlb and follows its states itself.
    m_tlb->setButtonEnabled(QStringLiteral("SaveRs"), enabled);
}

void frmContactEdit::ProposeContactCode()
{
    if (m_mode == 2 || !gClsCommon)
        return;
    if (const std::optional<QString> code = proposeContactCode(*gClsCommon))
        m_edt[kCodeEdit]->setText(*code);
}

bool frmContactEdit::FlushPendingValidation()
{
    // A toolbar click leaves the focus where it was, so the field's own check has not run.
    QWidget *focus = QApplication::focusWidget();
    for (int index : {kCustomerEdit, kSuperiorEdit, kDutyEdit, kTasteEdit, kPrincipalEdit}) {
        HostEdit *edit = m_edt[std::size_t(index)];
        if (focus != edit || !edit->isModified())
            continue;
        edit->setModified(false);
        if (index != kCustomerEdit)
            return validateEdit(index);
        return edit->text().isEmpty() || MatchCustomer();
    }
    for (int index : {kBirthdayPicker, kEndDatePicker, kUserDate15Picker, kUserDate16Picker}) {
        // A date refused here has been cleared with its message; the save stops so the
        // operator sees what became of it.
        if (m_dt[std::size_t(index)]->isAncestorOf(focus) && !m_dt[std::size_t(index)]->validate())
            return false;
    }
    return true;
}

bool frmContactEdit::save()
{
    if (!FlushPendingValidation())
        return false;
    // A date typed but never left (the focus went nowhere) is checked like one left.
    for (int index : {kBirthdayPicker, kEndDatePicker, kUserDate15Picker, kUserDate16Picker}) {
        if (!m_dt[std::size_t(index)]->isEmpty() && !m_dt[std::size_t(index)]->date().isValid()) {
            validateDate(index);
            return false;
        }
    }

    HostEdit *customer = m_edt[kCustomerEdit];
    if (!customer->text().isEmpty()) {
        auto *ref = qobject_cast<RefEdit *>(customer);
        const bool valid = !ref || ref->isValidReference() || ref->recheck();
        if (!valid) {
            ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00064")));
            return false;
        }
    }
    // A superior, person or department typed but matched to nothing would be saved as a
    // dangling code. Editors the operator changed since their last match are checked again;
    // an emptied one holds no code any more.
    for (int index : {kSuperiorEdit, kPrincipalEdit, kDepartmentEdit}) {
        HostEdit *edit = m_edt[std::size_t(index)];
        if (edit->text().isEmpty())
            edit->setTag(QString());
        else if (auto *ref = qobject_cast<RefEdit *>(edit); ref && !ref->isValidReference())
            ref->recheck();
        if (!edit->text().isEmpty() && edit->tag().isEmpty()) {
            ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00066")));
            m_tab->setCurrentIndex(0);
            edit->setFocus();
            return false;
        }
    }

    if (!CheckRequired())
        return false;
    if (m_mode != 2 && !CheckCodeUnique())
        return false;
    if (!CheckSuperior())
        return false;
    if (!CheckAuthDimensions()) {
        gListDirty = false;
        return false;
    }
    if (!customer->text().isEmpty() && customer->tag().isEmpty())
        customer->setTag(customer->text());
    const bool adding = m_mode != 2;
    if (!SaveContact()) {
        ProposeContactCode();
        return false;
    }
    if (adding)
        m_added = true;
    if (m_pic)
        m_pic->MarkSaved();
    m_state.bEdit = false;
    gListDirty = true;
    m_relatedPersonXml.clear();
    m_privilegeXml.clear();
    return true;
}

bool frmContactEdit::CheckRequired()
{
    ProposeContactCode();
    FillFromCustomer();
    const QStringView key = perikon::internal::requiredFieldMissingKey(m_edt[kCodeEdit]->text(),
                                                                       m_edt[kNameEdit]->text());
    if (key.isEmpty())
        return true;
    ShowMessage(GetResText(key.toString()));
    if (key == perikon::internal::kContactNameEmptyKey) {
        m_tab->setCurrentIndex(0);
        m_edt[kNameEdit]->setFocus();
    }
    return false;
}

bool frmContactEdit::CheckCodeUnique()
{
    if (!gClsCommon)
        return false;
    const std::optional<bool> used
        = contactCodeUsed(*gClsCommon, m_edt[kCodeEdit]->text().trimmed());
    if (!used.value_or(false))
        return true;
    ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00087")));
    ProposeContactCode();
    return false;
}

bool frmContactEdit::CheckSuperior()
{
    HostEdit *superior = m_edt[kSuperiorEdit];
    const QString sup = superior->tag();
    if (sup.isEmpty() || !gClsCommon
        || !superiorLeadsBack(*gClsCommon, m_edt[kCodeEdit]->text(), sup))
        return true;
    // At save the typed text stays for the operator to correct; only the code goes.
    refuseSuperior(false);
    return false;
}

bool frmContactEdit::CheckAuthDimensions()
{
    if (!gClsCommon)
        return false;
    HostEdit *department = m_edt[kDepartmentEdit];
    QString depName;
    const QString depCode = savedCode(department);
    if (!depCode.isEmpty()) {
        std::unique_ptr<db::Recordset> rs = openOnSession(
            QStringLiteral("SELECT top 1 cDepName FROM Department WHERE cDepCode=N'")
            + db::sqlEscaped(depCode) + u'\'');
        if (rs && rs->recordCount() > 0)
            depName = rs->value(0).toString();
    }
    AuthDimensionTexts texts;
    texts.text00026 = GetResText(QStringLiteral("K2.CRM.CONTACT.iclscommon.00026"));
    texts.text00027 = GetResText(QStringLiteral("K2.CRM.CONTACT.iclscommon.00027"));
    texts.deptTypeName = GetResText(QStringLiteral("K2.AA.K2AuthDef.frmAuthDef.Department"));
    texts.custTypeName = GetResText(QStringLiteral("K2.CRM.LblCap.BelCus"));
    const std::optional<QString> failure
        = authDimensionsFailure(*gClsCommon, m_mode == 2 ? m_edt[kCodeEdit]->text() : QString(),
                                m_privilegeXml, depCode, depName, texts);
    if (!failure)
        return true;
    ShowMessage(*failure);
    return false;
}

bool frmContactEdit::SaveContact()
{
    const bool boxChecked = m_chkDefaultCon->isChecked();
    const bool endDateChanged
        = !m_dt[kEndDatePicker]->isEmpty() && m_dt[kEndDatePicker]->isoText() != m_loadedEndDate;
    if (m_loadedDefault && (!boxChecked || endDateChanged)) {
        const QString question
            = GetResText(QStringLiteral("K2.AA.ARCHIVE.COMMON.IsDefaultContact")) + u','
              + GetResText(QStringLiteral("K2.MR.QZO.00134"))
              + GetResText(endDateChanged ? QStringLiteral("K2.AA.ARCHIVE.FIELD.bstopuse")
                                          : QStringLiteral("K2.AA.ARCHIVE.COMMON.modify"))
              + u'?';
        if (MsgBox(question, MsgBoxStyle::YesNo | MsgBoxStyle::Question) != MsgBoxButton::Yes)
            return false;
        gDefaultContactChanged = false;
    } else {
        if (!m_loadedOid.isEmpty()) {
            std::unique_ptr<db::Recordset> rs = openOnSession(
                QStringLiteral("select count(*) as lCount from customer WHERE ccuscode =N'")
                + db::sqlEscaped(m_edt[kCustomerEdit]->tag())
                + QStringLiteral("' and ccuscontactcode<>N'") + db::sqlEscaped(m_loadedOid)
                + u'\'');
            if (rs && rs->recordCount() > 0 && rs->value(0).toInt() > 0 && boxChecked
                && MsgBox(GetResText(QStringLiteral("K2.AA.ARCHIVE.IsSetDefaultContact")),
                          MsgBoxStyle::YesNo | MsgBoxStyle::Question)
                       != MsgBoxButton::Yes)
                return false;
        }
        // The save steps set or clear the customer's default contact from this flag, in either
        // mode.
        gDefaultContactChanged = boxChecked;
    }

    QString xml;
    WriteXML(xml, m_mode);
    if (gCardColInfoXml.isEmpty() && gColumnSet)
        gCardColInfoXml = gColumnSet->getColInfo(QStringLiteral("Crm_Contact"), 0);
    if (!CheckMustInput())
        return false;

    QString message;
    QString table = QStringLiteral("Crm_Contact");
    const bool saved = m_mode == 2 ? gClsCommon->Modify(xml, table, message)
                                   : gClsCommon->Add(xml, table, message);
    if (!saved) {
        ShowMessage(message);
        return false;
    }

    m_list.setLastSavedCode(m_edt[kCodeEdit]->text());
    // After any save the card is a blank new contact.
    m_mode = 1;
    m_loadedDefault = false;
    gContactTs.clear();
    ClearAndApplyDefaults();
    for (QWidget *field :
         {static_cast<QWidget *>(m_edt[kCodeEdit]), static_cast<QWidget *>(m_edt[kCreatorEdit]),
          static_cast<QWidget *>(m_dt[kCreateDatePicker])}) {
        field->setEnabled(true);
        field->setPalette(QPalette());
    }
    m_edt[kCodeEdit]->setReadOnly(false);
    // The modify look the list gave the card goes with the stored contact: a new one picks its
    // customer again.
    m_lbl[kCustomerEdit]->setPalette(QPalette());
    m_cmd[0]->setEnabled(true);
    m_cmd[0]->setVisible(true);
    if (!gArchiveCusCode.trimmed().isEmpty())
        MatchCustomer();
    fillCombos();
    m_tab->setCurrentIndex(0);
    m_state.bExist = false;
    m_state.bEdit = false;
    setWindowCaption(QStringLiteral("K2.CRM.COMMON.CaptionAdd"));
    setSaveEnabled(false);
    setNavigationState();
    gDefaultContactChanged = m_chkDefaultCon->isChecked();
    return true;
}

QList<QPair<QString, QString>> frmContactEdit::recordValues() const
{
    QList<QPair<QString, QString>> values;
    for (const CardField &field : cardFields()) {
        const HostEdit *edit = m_edt[std::size_t(field.index)];
        QString value = edit->text();
        if (field.index == kCustomerEdit)
            value = edit->tag();
        else if (field.index == kSuperiorEdit || field.index == kPrincipalEdit
                 || field.index == kDepartmentEdit)
            value = savedCode(edit);
        else if (field.index == kWorkAddressEdit) {
            if (auto *ref = qobject_cast<const RefEdit *>(edit);
                ref && !ref->selectedValue().isEmpty())
                value = ref->selectedValue();
        }
        values.append({field.column.toString(), value});
    }
    values.append({QStringLiteral("bcSexID"), comboId(m_cboSex)});
    values.append({QStringLiteral("bcMarriageID"), comboId(m_cboMarriage)});
    values.append({QStringLiteral("bMajor"),
                   m_chkMajor->isChecked() ? QStringLiteral("1") : QStringLiteral("0")});
    values.append({QStringLiteral("dBirthday"), m_dt[kBirthdayPicker]->isoText()});
    values.append({QStringLiteral("dConEDate"), m_dt[kEndDatePicker]->isoText()});
    for (int i = 0; i < kUserEditCount; ++i)
        values.append({QStringLiteral("cConDefine%1").arg(i + 1), m_edtU[std::size_t(i)]->text()});
    values.append({QStringLiteral("cConDefine15"), m_dt[kUserDate15Picker]->isoText()});
    values.append({QStringLiteral("cConDefine16"), m_dt[kUserDate16Picker]->isoText()});
    for (const ExtendedEditor &extended : m_edtE)
        values.append({QStringLiteral("cLDefine%1").arg(extended.item), extended.edit->text()});
    return values;
}

void frmContactEdit::WriteXML(QString &xml, int mode)
{
    CardRecord record;
    record.mode = mode;
    record.loadedOid = m_loadedOid;
    const QList<QPair<QString, QString>> values = recordValues();
    auto value = [&values](const char *column) {
        for (const auto &[name, v] : values) {
            if (name.compare(QLatin1String(column), Qt::CaseInsensitive) == 0)
                return v;
        }
        return QString();
    };
    record.cusCode = value("cCusCode");
    record.contactCode = value("cContactCode");
    record.contactName = value("cContactName");
    record.appellation = value("cAppellation");
    record.superiorId = value("cSuperiorID");
    record.native = value("cNative");
    record.dutyId = value("bcDutyID");
    record.tasteId = value("bcTasteID");
    record.principal = value("cPrincipal");
    record.conDepart = value("cConDepart");
    record.creator = value("cCreator");
    record.officePhone = value("cOfficePhone");
    record.homePhone = value("cHomePhone");
    record.mobilePhone = value("cMobilePhone");
    record.call = value("cCall");
    record.zipcode = value("cZipcode");
    record.homePage = value("cHomePage");
    record.workAddress = value("cWorkAddress");
    record.homeAddress = value("cHomeAddress");
    record.email = value("cEmail");
    record.homeMember = value("cHomeMember");
    record.memo = value("cMemo");
    record.wechat = value("cWechat");
    record.sexId = value("bcSexID");
    record.marriageId = value("bcMarriageID");
    record.major = m_chkMajor->isChecked();
    record.birthday = value("dBirthday");
    record.conEndDate = value("dConEDate");
    if (mode == 1)
        record.createDate = gServerDate;
    m_relatedPersonXml = withContactCode(m_relatedPersonXml, record.contactCode);
    m_privilegeXml = withContactCode(m_privilegeXml, record.contactCode);
    record.relatedPersonXml = m_relatedPersonXml;
    record.privilegeXml = m_privilegeXml;
    for (int i = 1; i <= kUserItemCount; ++i)
        record.userDefined << value(QStringLiteral("cConDefine%1").arg(i).toLatin1().constData());
    record.extendedXml = GetSaveXmlEx();
    if (mode == 1)
        record.newOid = GUIDGenerator().CreateGUID();
    record.pictureXml = pictureXml();
    xml = cardRecordXml(record);
}

QString frmContactEdit::pictureXml() const
{
    QString content;
    bool isContent = true;
    if (!m_pic || !m_pic->GetPicture(content, isContent))
        return {};
    // Base64 needs no escaping; a file path may.
    if (!isContent)
        content = content.toHtmlEscaped();
    return QStringLiteral("<PictureGUID bXML='")
           + (isContent ? QStringLiteral("True") : QStringLiteral("False")) + QStringLiteral("'>")
           + content + QStringLiteral("</PictureGUID>") + QStringLiteral("<cPictureType >")
           + m_pic->PictureType() + QStringLiteral("</cPictureType>");
}

bool frmContactEdit::CheckMustInput()
{
    pugi::xml_document doc;
    const QByteArray colInfo = gCardColInfoXml.toUtf8();
    if (!doc.load_buffer(colInfo.constData(), std::size_t(colInfo.size()))) {
        ShowMessage(gPubService ? gPubService->GetResString(
                        QStringLiteral("K2.AA.ARCHIVE.COMMON.xmlloaderror"))
                                : GetResText(QStringLiteral("K2.AA.ARCHIVE.COMMON.xmlloaderror")));
        return false;
    }
    std::unique_ptr<db::Recordset> types
        = openOnSession(QStringLiteral("select * from crm_contact  where 1=2"));
    // The values as the record carries them; read from the editors because the record holds
    // them raw and is not well-formed XML until the data layer has normalized it.
    const QList<QPair<QString, QString>> values = recordValues();
    QList<perikon::internal::MustInputField> fields;
    for (const pugi::xpath_node &node : doc.select_nodes("//ColSet")) {
        const QString flag = QString::fromUtf8(node.node().attribute("bMustInput").value());
        if (flag.compare(u"true", Qt::CaseInsensitive) != 0 && flag != u"1")
            continue;
        perikon::internal::MustInputField field;
        field.mustInput = true;
        field.column = perikon::internal::mustInputColumn(
            QString::fromUtf8(node.node().attribute("cFld").value()));
        field.caption = QString::fromUtf8(node.node().attribute("cOriginalCaption").value());
        bool carried = false;
        for (const auto &[name, v] : values) {
            if (name.compare(field.column, Qt::CaseInsensitive) == 0) {
                field.value = v;
                carried = true;
            }
        }
        // Columns the card does not carry are not the clerk's to fill here.
        if (!carried)
            continue;
        if (types) {
            const int index = types->fieldIndex(field.column);
            if (index >= 0)
                field.columnType = types->columnInfo(index).type;
        }
        fields.append(field);
    }
    const QList<perikon::internal::MustInputField> missing
        = perikon::internal::missingMustInput(fields);
    if (missing.isEmpty())
        return true;
    ShowMessage(perikon::internal::mustInputMessage(
        missing.first(), GetResText(perikon::internal::kMustInputMessageKey.toString())));
    return false;
}

void frmContactEdit::MarkMustInputLabels()
{
    if (gCardColInfoXml.isEmpty())
        return;
    pugi::xml_document doc;
    const QByteArray colInfo = gCardColInfoXml.toUtf8();
    if (!doc.load_buffer(colInfo.constData(), std::size_t(colInfo.size()))) {
        ShowMessage(GetResText(QStringLiteral("K2.AA.ARCHIVE.COMMON.xmlloaderror")));
        return;
    }
    for (const pugi::xpath_node &node : doc.select_nodes("//ColSet")) {
        const QString flag = QString::fromUtf8(node.node().attribute("bMustInput").value());
        if (flag.compare(u"true", Qt::CaseInsensitive) != 0 && flag != u"1")
            continue;
        QLabel *label = GetControlByName(
            mustInputLabelName(QString::fromUtf8(node.node().attribute("cFld").value())));
        if (label && label->isEnabled() && gPubService)
            gPubService->MustInputColor(label);
    }
}

bool frmContactEdit::navigate(const QString &command)
{
    if (m_state.bEdit) {
        int cancel = 0;
        if (!ConfirmExitSave(cancel, 0))
            return false;
    }
    HostGrid *grid = m_list.listGrid();
    const int rows = grid ? grid->Rows() : 0;
    int row = m_row;
    if (command.compare(u"First", Qt::CaseInsensitive) == 0)
        row = 1;
    else if (command.compare(u"Previous", Qt::CaseInsensitive) == 0)
        row = m_row - 1;
    else if (command.compare(u"Next", Qt::CaseInsensitive) == 0)
        row = m_row + 1;
    else
        row = rows - 1;
    // Moves that would leave the list's data rows are ignored.
    if (row < 1 || row >= rows)
        return true;
    const int shown = m_row;
    m_row = row;
    Fillallfields();
    // A contact that could not be read leaves the card on the one it shows.
    if (!m_lastLoadOk) {
        m_row = shown;
        setNavigationState();
    }
    return true;
}

bool frmContactEdit::ConfirmExitSave(int &cancel, int unloadMode)
{
    Q_UNUSED(unloadMode);
    if (!m_state.bEdit)
        return true;
    const int answer
        = MsgBox(GetResFormat(QStringLiteral("K2.CRM.COMMON.MsgExitSave"),
                              {GetResText(QStringLiteral("K2.CRM.BizObjDic.WordContact"))}),
                 MsgBoxStyle::YesNoCancel | MsgBoxStyle::Question);
    if (answer == MsgBoxButton::Yes) {
        const bool saved = Operating(QStringLiteral("SaveRs"));
        cancel = saved ? 0 : 1;
        return saved;
    }
    if (answer == MsgBoxButton::No) {
        cancel = 0;
        m_state.bEdit = false;
        setSaveEnabled(false);
        return true;
    }
    if (answer == MsgBoxButton::Cancel) {
        cancel = 1;
        return false;
    }
    return true;
}

void frmContactEdit::finishClosing()
{
    m_closing = true;
    gContactTs.clear();
    // Contacts added here are shown when the list is read again after the card, even when a
    // later refused save cleared the list's refresh flag.
    if (m_added)
        gListDirty = true;
}

void frmContactEdit::closeEvent(QCloseEvent *event)
{
    if (!m_closing && !ConfirmExitSave(m_cancel, m_unloadMode)) {
        event->ignore();
        return;
    }
    finishClosing();
    QDialog::closeEvent(event);
}

void frmContactEdit::reject()
{
    // Escape and the window's close both end here: the unsaved-changes question comes first.
    if (!m_closing && !ConfirmExitSave(m_cancel, m_unloadMode))
        return;
    finishClosing();
    QDialog::reject();
}

} // namespace perikon
