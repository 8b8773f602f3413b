#include "perikon/list/ListAuthorization.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Field.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/RowAuthService.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <memory>

namespace perikon::Common {
namespace {

struct Join
{
    const char *marker;
    const char *clause;
};

// In this order; a plain substring test, so a longer column name holding a marker joins too.
constexpr Join kJoins[] = {
    {"cCusName", " Left join Customer on Customer.cCusCode=Crm_Contact.cCusCode"},
    {"Contact1.cContactName",
     " Left join Crm_Contact Contact1 on Contact1.cContactCode=Crm_Contact.cSuperiorID"},
    {"cDepName", " Left join Department on cDepCode=Crm_Contact.cConDepart"},
    {"BaseCodeDuty.cName",
     " Left join Crm_BaseCode BaseCodeDuty on BaseCodeDuty.cName=Crm_Contact.bcDutyID"},
    {"BaseCodeSex.cName",
     " Left join Crm_BaseCode BaseCodeSex on BaseCodeSex.ID=Crm_Contact.bcSexID"},
    {"BaseCodeTaste.cName",
     " Left join Crm_BaseCode BaseCodeTaste on BaseCodeTaste.cName=Crm_Contact.bcTasteID"},
    {"BaseCodeMarriage.cName",
     " Left join Crm_BaseCode BaseCodeMarriage on BaseCodeMarriage.ID=Crm_Contact.bcMarriageID"},
    {"cprincipalname",
     " Left join hr_hi_person Person3 on Person3.cPsn_Num=Crm_Contact.cprincipal "},
    {"cLDefine",
     " LEFT JOIN Crm_Contact_extradefine on crm_contact.oid=Crm_Contact_extradefine.oid "},
};

// Every column of the customers' table, lower case: what an operator may not touch when the
// column rules cannot be read.
QString everyCustomerColumn()
{
    if (!gClsCommon)
        return {};
    const std::unique_ptr<db::Recordset> columns(
        gClsCommon->OpenX(QStringLiteral("SELECT * FROM Customer WHERE 1=2")));
    if (!columns)
        return {};
    QStringList names;
    for (int i = 0; i < columns->fieldCount(); ++i)
        names.append(columns->field(i).name().toLower());
    return names.join(u',');
}

// The withheld columns for a function, lower case. Rules that cannot be read withhold everything.
QString columnAuth(const QString &functionId)
{
    const ColumnAuthAnswer answer
        = gColAuth ? gColAuth->GetAuthString(
              QStringLiteral("<k2ColAuth cBusObId='customer' cFuncId='%1'/>").arg(functionId))
                   : ColumnAuthAnswer::failure(QStringLiteral("no column-authorization service"));
    if (answer.ok)
        return answer.columns.toLower();
    internal::logDataError(QStringLiteral("Common"), QStringLiteral("InitAuthStrings"),
                           {0, answer.error, QStringLiteral("ColumnAuthService")});
    return everyCustomerColumn();
}

QString archiveCustomerFilter()
{
    return gArchiveCusCode.isEmpty() ? QString()
                                     : QStringLiteral(" and Crm_Contact.cCusCode = N'")
                                           + db::sqlEscaped(gArchiveCusCode) + QStringLiteral("' ");
}

} // namespace

QString BuildListJoins(const QString &selectList)
{
    const QString lower = selectList.toLower();
    QString joins;
    for (const Join &join : kJoins) {
        if (lower.contains(QLatin1String(join.marker).toString().toLower()))
            joins += QLatin1String(join.clause);
    }
    return joins;
}

QString listJoinsBefore(const QString &selectList, const QString &next)
{
    const QString joins = BuildListJoins(selectList);
    return joins.isEmpty() || joins.endsWith(u' ') ? joins + next : joins + u' ' + next;
}

QString BuildContactAuthWhere(const QString &functionId)
{
    if (hostlogin::flag(gLogin.data(), "IsAdmin"))
        return {};
    if (!gRowAuth)
        return QStringLiteral("1=2");
    return rowauth::contactAuthString(*gRowAuth, functionId, QStringLiteral("Crm_Contact"));
}

void InitAuthStrings()
{
    gColAuthRead = columnAuth(QStringLiteral("R"));
    gColAuthWrite = columnAuth(QStringLiteral("W"));
    gColAuthN = columnAuth(QStringLiteral("N"));
    gRowAuthRead = BuildContactAuthWhere(QStringLiteral("R"));
    if (gRowAuthRead.trimmed().isEmpty())
        gRowAuthRead = QStringLiteral("1=1");
    gRowAuthWrite = gPubService ? gPubService->GetGetAuthString(
                        gRowAuth.get(), QStringLiteral("crm_contact"), QStringLiteral("W"),
                        QVariant(), QStringLiteral("crm_contact"))
                                : QStringLiteral("1=2");
}

QString contactRowAllowedSql(const QString &contactCode, const QString &authWhere)
{
    return QStringLiteral("SELECT 1 FROM Crm_Contact ")
           + listJoinsBefore(gListSelectCols, QStringLiteral("WHERE Crm_Contact.cContactCode=N'"))
           + db::sqlEscaped(contactCode) + QStringLiteral("' AND (") + authWhere
           + QStringLiteral(")  ") + archiveCustomerFilter();
}

bool ContactRowAllowed(const QString &contactCode, const QString &functionId)
{
    if (contactCode.isEmpty() || functionId.isEmpty() || !gClsCommon)
        return false;
    QString authWhere = BuildContactAuthWhere(functionId);
    if (authWhere.isEmpty())
        authWhere = QStringLiteral("1=1");
    const std::unique_ptr<db::Recordset> rows(
        gClsCommon->OpenX(contactRowAllowedSql(contactCode, authWhere)));
    return rows && !rows->eof();
}

namespace {
const bool registered = [] {
    const QString module = QStringLiteral("Common");
    ModuleRegistry::registerFunction(module, QStringLiteral("InitAuthStrings"), [](QVariantList &) {
        InitAuthStrings();
        return QVariant();
    });
    ModuleRegistry::registerFunction(
        module, QStringLiteral("BuildContactAuthWhere"), [](QVariantList &args) {
            return QVariant(BuildContactAuthWhere(args.value(0).toString()));
        });
    ModuleRegistry::registerFunction(
        module, QStringLiteral("BuildListJoins"),
        [](QVariantList &args) { return QVariant(BuildListJoins(args.value(0).toString())); });
    ModuleRegistry::registerFunction(
        module, QStringLiteral("ContactRowAllowed"), [](QVariantList &args) {
            return QVariant(ContactRowAllowed(args.value(0).toString(), args.value(1).toString()));
        });
    return true;
}();
} // namespace

} // namespace perikon::Common
