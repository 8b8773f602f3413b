#include "perikon/card/CardAuthDimensions.h"
#include "perikon/card/CardFields.h"
#include "perikon/card/frmContactEdit.h"
#include "perikon/data/DataSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/PictureControl.h"
#include "perikon/list/ListAuthorization.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/DatePicker.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QTabWidget>

namespace perikon {

using namespace controls;
using namespace card;

namespace {

// A stored date as the pickers take it.
QString isoDate(const QVariant &value)
{
    const QVariant v = frmContactEdit::TxtValue(value, QString());
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd"));
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    return v.toString().left(10);
}

void selectItemData(QComboBox *combo, const QVariant &id)
{
    combo->setCurrentIndex(-1);
    if (id.isNull() || valueText(id).isEmpty())
        return;
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemData(i).toString() == valueText(id)) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

} // namespace

void frmContactEdit::InitData(int mode, int codeColumn, int row)
{
    m_mode = mode;
    m_codeColumn = codeColumn;
    m_row = row;
    m_added = false;
    if (mode == 1) {
        setWindowCaption(QStringLiteral("K2.CRM.COMMON.CaptionAdd"));
        m_state.bExist = false;
        gDefaultContactChanged = m_chkDefaultCon->isChecked();
        setNavigationState();
    } else if (mode == 2) {
        setWindowCaption(QStringLiteral("K2.CRM.COMMON.CaptionMod"));
        m_state.bExist = true;
        Fillallfields();
    }
}

void frmContactEdit::setNavigationState()
{
    // Moves never leave the list's data rows (1 .. Rows()-1).
    HostGrid *grid = m_list.listGrid();
    const int rows = grid ? grid->Rows() : 0;
    const bool any = rows >= 2;
    const bool back = any && m_row > 1;
    const bool forward = any && m_row < rows - 1;
    m_tlb->setButtonEnabled(QStringLiteral("First"), back);
    m_tlb->setButtonEnabled(QStringLiteral("Previous"), back);
    m_tlb->setButtonEnabled(QStringLiteral("Next"), forward);
    m_tlb->setButtonEnabled(QStringLiteral("Last"), forward);
}

bool frmContactEdit::LoadCurrentContact(std::unique_ptr<db::Recordset> &rs, QString &code)
{
    HostGrid *grid = m_list.listGrid();
    code = grid ? grid->TextMatrix(m_row, m_codeColumn) : QString();
    if (!m_extendedColumns)
        m_extendedColumns = SetCrmCusExtradefineFld();
    const QString sql = QStringLiteral("SELECT top 1 ") + *m_extendedColumns
                        + QStringLiteral("convert(char, convert(money,Crm_Contact.qzts), 2) as "
                                         "contactqzts,Crm_Contact.*")
                        + QStringLiteral(" From Crm_Contact")
                        + QStringLiteral(" left join crm_contact_extradefine as conEx on "
                                         "crm_contact.OID=conEx.oid ")
                        + QStringLiteral(" WHERE Crm_Contact.cContactCode=N'")
                        + db::sqlEscaped(code) + u'\'';
    if (gClsCommon)
        rs.reset(gClsCommon->OpenX(sql));
    setNavigationState();
    return rs != nullptr;
}

void frmContactEdit::Fillallfields()
{
    m_lastLoadOk = false;
    std::unique_ptr<db::Recordset> rs;
    QString code;
    if (!LoadCurrentContact(rs, code))
        return;
    if (!Common::ContactRowAllowed(code, QStringLiteral("W"))) {
        ShowMessage(GetResFormat(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00094"), {code})
                    + QStringLiteral("也可能没有权限。"));
        return;
    }
    if (rs->recordCount() == 0) {
        HostGrid *grid = m_list.listGrid();
        if (grid && grid->Rows() >= 2)
            ShowMessage(
                GetResFormat(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00094"), {code}));
        m_list.refreshList(QString());
        return;
    }
    m_loading = true;
    setWindowCaption(QStringLiteral("K2.CRM.COMMON.CaptionMod"), code);
    m_mode = 2;
    m_edt[kCodeEdit]->setEnabled(false);
    m_edt[kCreatorEdit]->setEnabled(false);
    m_dt[kCreateDatePicker]->setEnabled(false);
    fillFromRecord(*rs);
    m_loading = false;
    m_lastLoadOk = true;
}

void frmContactEdit::fillFromRecord(db::Recordset &rs)
{
    for (const CardField &field : cardFields()) {
        HostEdit *edit = m_edt[std::size_t(field.index)];
        const QString value = valueText(rs.value(field.column.toString()));
        edit->setText(value);
        edit->setTag(field.index == kCustomerEdit || field.index == kDepartmentEdit
                             || field.index == kPrincipalEdit || field.index == kSuperiorEdit
                         ? value
                         : QString());
        edit->setToolTip(QString());
        edit->setModified(false);
    }
    gContactTs = valueText(rs.value(QStringLiteral("contactqzts")));
    m_loadedEndDate = isoDate(rs.value(QStringLiteral("dConEDate")));
    m_dt[kEndDatePicker]->setIsoText(m_loadedEndDate);
    m_dt[kBirthdayPicker]->setIsoText(isoDate(rs.value(QStringLiteral("dBirthday"))));
    m_dt[kCreateDatePicker]->setIsoText(isoDate(rs.value(QStringLiteral("dCreateDate"))));
    const QVariant major = rs.value(QStringLiteral("bMajor"));
    m_chkMajor->setChecked(!major.isNull() && major.toInt() != 0);
    selectItemData(m_cboSex, rs.value(QStringLiteral("bcSexID")));
    selectItemData(m_cboMarriage, rs.value(QStringLiteral("bcMarriageID")));
    fillUserFields(rs);
    m_loadedOid = valueText(rs.value(QStringLiteral("OID")));

    // The stored codes, confirmed against their archives. The customer shows its name: the
    // clerk knows customers by name, and its code stays in the Tag that is saved.
    HostEdit *customer = m_edt[kCustomerEdit];
    const QString cusCode = customer->tag();
    if (LookupCodeToEditor(QStringLiteral("cCusCode"), cusCode, QStringLiteral("cCusName"),
                           QStringLiteral("SELECT top 1  cCusCode,cCusName FROM Customer")
                               + QStringLiteral(" WHERE cCusCode=N'") + db::sqlEscaped(cusCode)
                               + u'\'',
                           customer, true)
        && !cusCode.isEmpty())
        setMatchedTooltip(customer, cusCode);
    struct Lookup
    {
        int index;
        const char *codeColumn;
        const char *nameColumn;
        const char *head;
    };
    const Lookup lookups[] = {
        {kSuperiorEdit, "cContactCode", "cContactName",
         "SELECT top 1 cContactCode,cContactName FROM Crm_Contact WHERE cContactCode=N'"},
        {kDepartmentEdit, "cDepCode", "cDepName",
         "SELECT top 1 cDepCode,cDepName FROM Department WHERE cDepCode=N'"},
        {kPrincipalEdit, "cPersonCode", "cPersonName",
         "SELECT top 1 cPersonCode,cPersonName FROM Person WHERE cPersonCode=N'"},
    };
    for (const Lookup &lookup : lookups) {
        HostEdit *edit = m_edt[std::size_t(lookup.index)];
        LookupCodeToEditor(QString::fromLatin1(lookup.codeColumn), edit->tag(),
                           QString::fromLatin1(lookup.nameColumn),
                           QString::fromUtf8(lookup.head) + db::sqlEscaped(edit->tag()) + u'\'',
                           edit);
    }

    std::unique_ptr<db::Recordset> flag;
    if (gClsCommon)
        flag.reset(gClsCommon->OpenX(
            QStringLiteral("SELECT top 1  cCusContactCode  FROM Customer where cCusContactCode =N'")
            + db::sqlEscaped(m_loadedOid) + u'\''));
    m_chkDefaultCon->setChecked(flag && flag->recordCount() > 0);
    gDefaultContactChanged = m_chkDefaultCon->isChecked();
    m_loadedDefault = gDefaultContactChanged;

    loadPicture(valueText(rs.value(QStringLiteral("PictureGUID"))));
    m_relatedPersonXml.clear();
    m_privilegeXml.clear();
    fillAuthGrid();
    m_state.bExist = true;
    m_state.bEdit = false;
    setSaveEnabled(false);
}

bool frmContactEdit::LookupCodeToEditor(const QString &codeColumn, const QString &code,
                                        const QString &nameColumn, const QString &sql,
                                        HostEdit *editor, bool showName)
{
    if (code.isEmpty()) {
        editor->setTag(QString());
        editor->setToolTip(QString());
        return true;
    }
    std::unique_ptr<db::Recordset> rs;
    if (gClsCommon)
        rs.reset(gClsCommon->OpenX(sql));
    if (rs && rs->recordCount() > 0) {
        const QString value = valueText(rs->value(codeColumn));
        editor->setText(showName ? valueText(rs->value(nameColumn)) : value);
        editor->setTag(value);
        return true;
    }
    // A code its archive no longer has stays visible, but nothing stands behind it.
    editor->setTag(QString());
    editor->setToolTip(QString());
    return false;
}

void frmContactEdit::fillAuthGrid()
{
    m_authGrid->setRows(1);
    const QString code = m_edt[kCodeEdit]->text();
    if (!gClsCommon || code.isEmpty())
        return;
    const QString deptId = GetResText(QStringLiteral("K2.AA.CUSTOMER.CusAddBank.DeptDimen_TypeID"));
    const QString deptName
        = GetResText(QStringLiteral("K2.AA.CUSTOMER.CusAddBank.DeptDimen_TypeName"));
    std::unique_ptr<db::Recordset> rs(
        gClsCommon->OpenX(card::contactGrantsSql(code, deptId, deptName)));
    if (!rs)
        return;
    m_authGrid->setRows(1 + int(rs->recordCount()));
    int row = 1;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext(), ++row) {
        QStringList cells;
        for (int column = 0; column < 4; ++column)
            cells << valueText(rs->value(column));
        m_authGrid->setRowTexts(row, cells);
    }
}

void frmContactEdit::loadPicture(const QString &guid)
{
    if (!m_pic)
        return;
    m_pic->Clear();
    if (guid.trimmed().isEmpty())
        return;
    if (std::unique_ptr<db::Recordset> rs
        = openOnSession(QStringLiteral("select top 1 Picture from AA_Picture where cGUID=N'")
                        + db::sqlEscaped(guid) + u'\''))
        m_pic->LoadFromRecordset(rs.get());
}

void frmContactEdit::ClearAndApplyDefaults()
{
    if (m_pic)
        m_pic->Clear();
    const bool keepCustomer = !gArchiveCusCode.isEmpty();
    for (HostEdit *edit : m_edt) {
        if (keepCustomer && edit == m_edt[kCustomerEdit])
            continue;
        edit->clear();
        edit->setTag(QString());
        edit->setToolTip(QString());
        edit->setModified(false);
    }
    for (QCheckBox *box : findChildren<QCheckBox *>())
        box->setChecked(false);
    m_cboSex->setCurrentIndex(-1);
    m_cboMarriage->setCurrentIndex(-1);
    for (int i : {kBirthdayPicker, kCreateDatePicker, kEndDatePicker})
        m_dt[std::size_t(i)]->clear();
    applyUserDefaults();
    m_edt[kCreatorEdit]->setText(gUserName);
    m_loadedOid.clear();
    m_loadedEndDate.clear();
    m_authGrid->setRows(1);
}

} // namespace perikon
