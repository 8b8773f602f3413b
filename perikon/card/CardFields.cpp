#include "perikon/card/CardFields.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/session/SessionGlobals.h"

#include <array>

namespace perikon::card {

namespace {

const std::array<CardField, kFieldCount> kFields = {{
    {0, u"cCusCode", u"lblcCusCode", u"K2.CRM.LblCap.BelCus", u"Customer_AA", u"cCusName", 0},
    {1, u"cContactCode", u"lblcContactCode", u"K2.CRM.LblCap.ContactCode", u"", u"cContactCode", 0},
    {2, u"cContactName", u"lblcContactName", u"K2.CRM.LblCap.ContactName", u"", u"cContactName", 0},
    {3, u"cAppellation", u"LblcAppellation", u"K2.CRM.LblCap.Appellation", u"", u"cAppellation", 0},
    {4, u"cSuperiorID", u"lblcSuperior", u"K2.CRM.LblCap.Superior", u"ContactUnEdit_CS",
     u"cContactName", 0},
    {5, u"cNative", u"lblcNative", u"K2.CRM.LblCap.Native", u"", u"cNative", 0},
    {6, u"bcDutyID", u"lblcDuty", u"K2.CRM.LblCap.Duty", u"", u"cName", 0},
    {7, u"bcTasteID", u"lblcTaste", u"K2.CRM.LblCap.Taste", u"", u"cName", 0},
    {8, u"cPrincipal", u"lblcPrincipal", u"K2.CRM.LblCap.Principal", u"Person_AA", u"cPersonName",
     0},
    {9, u"cCreator", u"lblcCreator", u"K2.CRM.LblCap.Creator", u"", u"", 0},
    {10, u"cOfficePhone", u"lblcOfficePhone", u"K2.CRM.LblCap.OfficePhone", u"", u"cOfficePhone",
     0},
    {11, u"cHomePhone", u"lblcHomePhone", u"K2.CRM.LblCap.HomePhone", u"", u"cHomePhone", 0},
    {12, u"cMobilePhone", u"lblcMobilePhone", u"K2.CRM.LblCap.Mobile", u"", u"cMobilePhone", 0},
    {13, u"cCall", u"lblcCall", u"K2.CRM.LblCap.Call", u"", u"cCall", 0},
    {14, u"cZipcode", u"lblcZipcode", u"K2.CRM.LblCap.Zip", u"", u"", 20},
    {15, u"cHomePage", u"lblcHomePage", u"K2.CRM.LblCap.HomePage", u"", u"cHomePage", 0},
    {16, u"cWorkAddress", u"lblcWorkAddress", u"K2.CRM.LblCap.WorkAddress", u"CusDeliverAdd_AA",
     u"cWorkAddress", 0},
    {17, u"cHomeAddress", u"lblcHomeAddress", u"K2.CRM.LblCap.HomeAddress", u"", u"cHomeAddress",
     0},
    {18, u"cEmail", u"lblcEmail", u"K2.CRM.LblCap.Email", u"", u"", 100},
    {19, u"cHomeMember", u"lblcHomeMember", u"K2.CRM.LblCap.HomeMember", u"", u"cHomeMember", 0},
    {20, u"cMemo", u"lblcMemo", u"K2.CRM.LblCap.Memo", u"", u"cMemo", 0},
    {21, u"cWechat", u"lblcWechat", u"", u"", u"cWechat", 0},
    // The department label's caption is set again at load from the archive's own key.
    {22, u"cConDepart", u"lblcConDepart", u"String.K2.AA.Admin.10905", u"Department_AA",
     u"cDepName", 0},
}};

} // namespace

std::unique_ptr<db::Recordset> openOnSession(const QString &sql)
{
    if (!gClsCommon)
        return {};
    return std::unique_ptr<db::Recordset>(gClsCommon->OpenX(sql));
}

QString valueText(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

std::span<const CardField> cardFields()
{
    return kFields;
}

const CardField *cardField(int index)
{
    if (index < 0 || index >= kFieldCount)
        return nullptr;
    return &kFields[std::size_t(index)];
}

int cardFieldIndexOf(QStringView column)
{
    for (const CardField &field : kFields) {
        if (field.column.compare(column, Qt::CaseInsensitive) == 0)
            return field.index;
    }
    return -1;
}

QString fieldSizeSql()
{
    return QStringLiteral(
        "SELECT Crm_Contact.*, Customer.cCusName,Crm_BaseCode.cName,Person.cPersonName,"
        "Department.cDepName FROM Crm_Contact,Customer,Crm_BaseCode,Person,Department WHERE 1=2");
}

ChatCaptions chatCaptions(QStringView languageId)
{
    if (languageId.compare(u"zh-CN", Qt::CaseInsensitive) == 0)
        return {QStringLiteral("QQ号"), QStringLiteral("微信号")};
    if (languageId.compare(u"zh-TW", Qt::CaseInsensitive) == 0)
        return {QStringLiteral("QQ號"), QStringLiteral("微信號")};
    return {QStringLiteral("QQ NO."), QStringLiteral("Wechat NO.")};
}

QString mustInputLabelName(QStringView cFld)
{
    static constexpr std::pair<QStringView, QStringView> kLabels[] = {
        {u"cCusName", u"lblcCusCode"},         {u"cDepName", u"lblcConDepart"},
        {u"cprincipalname", u"lblcPrincipal"}, {u"cMarriageName", u"lblcMarriage"},
        {u"csuperiorname", u"lblcSuperior"},   {u"cSexName", u"lblcSex"},
    };
    for (const auto &[display, label] : kLabels) {
        if (cFld.compare(display, Qt::CaseInsensitive) == 0)
            return label.toString();
    }
    return QStringLiteral("lbl") + cFld.toString();
}

bool zipKeyAllowed(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    if (modifiers.testFlag(Qt::ControlModifier) && (key == Qt::Key_C || key == Qt::Key_V))
        return true;
    // Keys that type nothing (Shift alone, function keys) are not characters to refuse.
    if (text.isEmpty())
        return true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'0' && u <= u'9') || u == u'-' || (u >= u'a' && u <= u'z')
                        || (u >= u'A' && u <= u'Z') || u == u'\n' || u == u'\r';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace perikon::card
