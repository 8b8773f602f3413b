#include "perikon/card/CardFields.h"
#include "perikon/card/ContactCodeProposal.h"
#include "perikon/card/SuperiorChain.h"
#include "perikon/card/frmContactEdit.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/PubService.h"
#include "perikon/host/contract/RowAuthService.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/controls/DatePicker.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/HostToolbar.h"
#include "suite/controls/RefEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

namespace perikon {

using namespace controls;
using namespace card;

namespace {

// The reference value a pick from the editor's own list left, empty when none.
QString selectedValue(HostEdit *edit)
{
    if (auto *ref = qobject_cast<RefEdit *>(edit))
        return ref->selectedValue();
    return {};
}

void setReference(HostEdit *edit, const QString &code, const QString &shown)
{
    if (auto *ref = qobject_cast<RefEdit *>(edit)) {
        ref->setReference(code, shown);
        return;
    }
    edit->setText(shown);
    edit->setTag(code);
}

} // namespace

void frmContactEdit::setMatchedTooltip(HostEdit *editor, const QString &code)
{
    editor->setToolTip(
        code.isEmpty()
            ? QString()
            : GetResFormat(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00095"), {code}));
}

void frmContactEdit::MarkEdited()
{
    if (m_loading)
        return;
    m_state.bEdit = true;
    setSaveEnabled(true);
}

void frmContactEdit::onEditChanged(int index)
{
    MarkEdited();
    if ((index == kCustomerEdit || index == kPrincipalEdit || index == kDepartmentEdit)
        && gPubService && isActiveWindow())
        gPubService->SetRefEdt(m_edt[std::size_t(index)], this);
}

// An empty editor takes what a pick from its own list left, else holds no code.
static void takeSelectedOrClear(HostEdit *edit)
{
    const QString picked = selectedValue(edit);
    if (!picked.isEmpty()) {
        setReference(edit, picked, picked);
        return;
    }
    edit->setTag(QString());
    edit->setToolTip(QString());
}

bool frmContactEdit::MatchCustomer()
{
    HostEdit *customer = m_edt[kCustomerEdit];
    const QString typed = customer->text();
    if (typed.isEmpty()) {
        takeSelectedOrClear(customer);
        return true;
    }
    const QString t = db::sqlEscaped(typed);
    QString sql = QStringLiteral("SELECT cCusCode,cCusName,cCusAbbName,cCusPPerson,cCusDepart "
                                 "FROM Customer WHERE ")
                  + QStringLiteral(" (cCusCode like N'%") + t + QStringLiteral("%'")
                  + QStringLiteral(" or cCusName like N'%") + t + QStringLiteral("%'")
                  + QStringLiteral(" or cCusAbbName like N'%") + t + QStringLiteral("%')");
    if (gRowAuth && gRowAuth->NeedControlAuth(QStringLiteral("customer")))
        sql += QStringLiteral(" and (")
               + rowauth::customerAuthCondition(
                   gRowAuth->GetAuthString(QStringLiteral("Customer"), QStringLiteral("W")))
               + u')';
    std::unique_ptr<db::Recordset> rs = openOnSession(sql);
    const bool matched = rs && rs->recordCount() > 0 && gPubService
                         && gPubService->FindMatch(rs.get(), QStringLiteral("cCusCode"), typed,
                                                   QStringLiteral("cCusName"), this);
    if (!matched) {
        ShowMessage(GetResFormat(QStringLiteral("K2.CRM.BF.complaintquerybf.00071"), {typed}));
        customer->clear();
        customer->setTag(QString());
        customer->setToolTip(QString());
        // A stored contact keeps its code: only a new one's proposal goes with the customer.
        if (m_mode != 2)
            m_edt[kCodeEdit]->clear();
        m_edt[kPrincipalEdit]->clear();
        m_edt[kPrincipalEdit]->setTag(QString());
        m_tab->setCurrentIndex(0);
        return false;
    }
    const QString code = valueText(rs->value(QStringLiteral("cCusCode")));
    setReference(customer, code, valueText(rs->value(QStringLiteral("cCusName"))));
    setMatchedTooltip(customer, code);
    ProposeContactCode();
    const QString person = valueText(rs->value(QStringLiteral("cCusPPerson")));
    if (m_edt[kPrincipalEdit]->text().isEmpty() && !person.isEmpty())
        setReference(m_edt[kPrincipalEdit], person, person);
    const QString department = valueText(rs->value(QStringLiteral("cCusDepart")));
    if (m_edt[kDepartmentEdit]->text().isEmpty() && !department.isEmpty())
        setReference(m_edt[kDepartmentEdit], department, department);
    checkCustomerDefaultContact(code);
    return true;
}

void frmContactEdit::checkCustomerDefaultContact(const QString &code)
{
    std::unique_ptr<db::Recordset> rs = openOnSession(
        QStringLiteral("select COUNT(ccuscode) as lCount from customer WHERE ccuscode =N'")
        + db::sqlEscaped(code) + QStringLiteral("' and ccuscontactcode is null"));
    if (rs && rs->recordCount() > 0 && rs->value(0).toInt() > 0)
        m_chkDefaultCon->setChecked(true);
}

bool frmContactEdit::validateEdit(int index)
{
    switch (index) {
    case kSuperiorEdit:
        return matchSuperior();
    case kDutyEdit:
        return matchBaseCode(index, QStringLiteral("Duty"));
    case kTasteEdit:
        return matchBaseCode(index, QStringLiteral("Taste"));
    case kPrincipalEdit:
        return matchPrincipal();
    default:
        return true;
    }
}

std::unique_ptr<db::Recordset> frmContactEdit::matchTyped(HostEdit *edit, const QString &sql,
                                                          const QString &codeColumn,
                                                          const QString &nameColumn)
{
    std::unique_ptr<db::Recordset> rs = openOnSession(sql);
    if (rs && rs->recordCount() > 0 && gPubService
        && gPubService->FindMatch(rs.get(), codeColumn, edit->text(), nameColumn, this))
        return rs;
    edit->setTag(QString());
    edit->setToolTip(QString());
    ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00066")));
    return nullptr;
}

bool frmContactEdit::matchSuperior()
{
    HostEdit *edit = m_edt[kSuperiorEdit];
    const QString typed = edit->text();
    if (typed.isEmpty()) {
        takeSelectedOrClear(edit);
        return true;
    }
    const QString t = db::sqlEscaped(typed);
    std::unique_ptr<db::Recordset> rs
        = matchTyped(edit,
                     QStringLiteral("SELECT cContactCode,cContactName FROM Crm_Contact WHERE ")
                         + QStringLiteral(" (cContactCode=N'") + t
                         + QStringLiteral("' or cContactName=N'") + t + QStringLiteral("')"),
                     QStringLiteral("cContactCode"), QStringLiteral("cContactName"));
    if (!rs)
        return false;
    const QString code = valueText(rs->value(QStringLiteral("cContactCode")));
    setReference(edit, code, valueText(rs->value(QStringLiteral("cContactName"))));
    setMatchedTooltip(edit, code);
    if (gClsCommon && superiorLeadsBack(*gClsCommon, m_edt[kCodeEdit]->text(), code)) {
        refuseSuperior(true);
        return false;
    }
    return true;
}

void frmContactEdit::refuseSuperior(bool clearText)
{
    HostEdit *edit = m_edt[kSuperiorEdit];
    ShowMessage(GetResText(QStringLiteral("K2.CRM.FrameCaption.Contact01")));
    m_tab->setCurrentIndex(0);
    if (clearText)
        edit->clear();
    edit->setTag(QString());
    edit->setToolTip(QString());
    edit->setFocus();
}

bool frmContactEdit::matchPrincipal()
{
    HostEdit *edit = m_edt[kPrincipalEdit];
    const QString typed = edit->text();
    if (typed.isEmpty()) {
        takeSelectedOrClear(edit);
        return true;
    }
    const QString t = db::sqlEscaped(typed);
    std::unique_ptr<db::Recordset> rs
        = matchTyped(edit,
                     QStringLiteral("SELECT cPersonCode,cPersonName FROM Person WHERE ")
                         + QStringLiteral(" (cPersonCode=N'") + t + QStringLiteral("' or ")
                         + QStringLiteral(" cPersonName=N'") + t + QStringLiteral("')"),
                     QStringLiteral("cPersonCode"), QStringLiteral("cPersonName"));
    if (!rs)
        return false;
    const QString code = valueText(rs->value(QStringLiteral("cPersonCode")));
    setReference(edit, code, code);
    setMatchedTooltip(edit, code);
    // The person's department fills an empty department, as a pick from the list does.
    if (m_edt[kDepartmentEdit]->text().isEmpty()) {
        const QString department = GetPersonDepartment(code);
        if (!department.isEmpty())
            setReference(m_edt[kDepartmentEdit], department, department);
    }
    return true;
}

bool frmContactEdit::matchBaseCode(int index, const QString &type)
{
    HostEdit *edit = m_edt[std::size_t(index)];
    const QString typed = edit->text();
    if (typed.isEmpty()) {
        takeSelectedOrClear(edit);
        return true;
    }
    const QString t = db::sqlEscaped(typed);
    std::unique_ptr<db::Recordset> rs = openOnSession(
        QStringLiteral("SELECT ID,cName FROM Crm_BaseCode WHERE ") + QStringLiteral(" (cName=N'")
        + t + QStringLiteral("' AND cType=N'") + type + QStringLiteral("')"));
    if (rs && rs->recordCount() > 0 && gPubService
        && gPubService->FindMatch(rs.get(), QStringLiteral("ID"), typed, QStringLiteral("cName"),
                                  this)) {
        edit->setText(valueText(rs->value(QStringLiteral("cName"))));
        edit->setTag(valueText(rs->value(QStringLiteral("ID"))));
        return true;
    }
    // A name the list does not have yet becomes a new entry of it.
    edit->setTag(QString());
    const QString check = QStringLiteral("Select cName FROM Crm_BaseCode WHERE cType = N'") + type
                          + QStringLiteral("' AND cName = N'") + t + u'\'';
    std::unique_ptr<db::Recordset> existing = openOnSession(check);
    if (!existing)
        return true;
    if (existing->recordCount() == 0 && gClsCommon) {
        // The name goes in raw: the data layer escapes "&" itself when it reads the record.
        QString xml = QStringLiteral("<Crm_BaseCode>") + QStringLiteral("<cCode>")
                      + QStringLiteral("</cCode>") + QStringLiteral("<cType>") + type
                      + QStringLiteral("</cType>") + QStringLiteral("<cName>") + typed
                      + QStringLiteral("</cName>") + QStringLiteral("<bEdit>")
                      + QStringLiteral("True") + QStringLiteral("</bEdit>")
                      + QStringLiteral("</Crm_BaseCode>");
        QString message;
        if (!gClsCommon->Add(xml, QStringLiteral("Crm_BaseCode"), message))
            return true;
        existing = openOnSession(check);
    }
    if (existing && existing->recordCount() > 0)
        edit->setTag(valueText(existing->value(QStringLiteral("cName"))));
    return true;
}

void frmContactEdit::FillFromCustomer()
{
    const QString code = m_edt[kCustomerEdit]->tag();
    if (code.isEmpty())
        return;
    std::unique_ptr<db::Recordset> rs = openOnSession(
        QStringLiteral("Select cCusPPerson,Person.cPersonName,cCusDepart,Department.cDepName "
                       "FROM customer left join person on Customer.cCusPPerson = "
                       "Person.cPersonCode left join Department  on Customer.cCusDepart = "
                       "Department.cDepCode ")
        + QStringLiteral(" WHERE cCusCode = N'") + db::sqlEscaped(code) + u'\'');
    if (!rs || rs->recordCount() == 0)
        return;
    const QVariant person = rs->value(QStringLiteral("cCusPPerson"));
    if (m_edt[kPrincipalEdit]->text().isEmpty() && !person.isNull())
        setReference(m_edt[kPrincipalEdit], valueText(person), valueText(person));
    const QVariant department = rs->value(QStringLiteral("cCusDepart"));
    if (m_edt[kDepartmentEdit]->text().isEmpty() && !department.isNull())
        setReference(m_edt[kDepartmentEdit], valueText(department), valueText(department));
}

QString frmContactEdit::GetPersonDepartment(const QString &personCode)
{
    std::unique_ptr<db::Recordset> rs
        = openOnSession(QStringLiteral("select cDepCode from Person where cPersonCode=N'")
                        + db::sqlEscaped(personCode) + u'\'');
    if (!rs || rs->recordCount() == 0)
        return {};
    return valueText(rs->value(0));
}

bool frmContactEdit::validateDate(int index)
{
    DatePicker *picker = m_dt[std::size_t(index)];
    if (picker->isEmpty() || picker->date().isValid())
        return true;
    ShowMessage(GetResFormat(QStringLiteral("K2.CRM.COMMON.CheckLegal02"),
                             {m_dtLabel[std::size_t(index)]->text()}));
    picker->clear();
    if (index == kBirthdayPicker || index == kEndDatePicker)
        m_tab->setCurrentIndex(0);
    picker->setFocus();
    return false;
}

void frmContactEdit::fillCombos()
{
    fillCombo(m_cboSex, QStringLiteral("Sex"));
    fillCombo(m_cboMarriage, QStringLiteral("Marriage"));
}

void frmContactEdit::fillCombo(QComboBox *combo, const QString &type)
{
    combo->clear();
    std::unique_ptr<db::Recordset> rs
        = openOnSession(QStringLiteral("SELECT ID,cName FROM Crm_BaseCode WHERE cType = N'") + type
                        + QStringLiteral("' order by ID "));
    if (!rs)
        return;
    if (rs->recordCount() == 0) {
        ShowMessage(GetResText(QStringLiteral("K2.CRM.QZContact.frmcontactedit.00092")));
        return;
    }
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        combo->addItem(valueText(rs->value(1)), valueText(rs->value(0)));
    combo->setCurrentIndex(-1);
}

} // namespace perikon
