#include "perikon/host/contract/RowAuthService.h"

namespace perikon::rowauth {
namespace {

const QString kDenyAll = QStringLiteral("1=2");
const QString kNoCustomer = QStringLiteral(" OR ISNULL(Crm_Contact.cCusCode,'')='' ");

} // namespace

QString combineContactAuth(const QString &person, const QString &dimension, const QString &customer,
                           bool customerControlled)
{
    QString combined;
    if (dimension == kDenyAll) {
        combined = kDenyAll;
    } else if (!dimension.isEmpty()) {
        if (customer == kDenyAll)
            combined = QStringLiteral("(1=2") + kNoCustomer + QStringLiteral(") AND ") + dimension;
        else if (!customer.isEmpty())
            combined = dimension + QStringLiteral(" AND ((") + customer + QStringLiteral(")")
                       + kNoCustomer + QStringLiteral(")");
        else
            combined = dimension;
    } else if (customer == kDenyAll) {
        combined = QStringLiteral("(1=2") + kNoCustomer + QStringLiteral(")");
    } else if (!customer.isEmpty()) {
        combined = QStringLiteral("((") + customer + QStringLiteral(")") + kNoCustomer
                   + QStringLiteral(")");
    } else if (customerControlled) {
        combined = QStringLiteral("EXISTS(SELECT 1 WHERE 1=1)");
    }

    const bool personRestricts = !person.isEmpty() && person != kDenyAll;
    if (combined == kDenyAll)
        return personRestricts ? person : kDenyAll;
    if (!combined.isEmpty())
        return personRestricts ? QStringLiteral("(") + person + QStringLiteral(" OR (") + combined
                                     + QStringLiteral("))")
                               : combined;
    return person;
}

QString contactAuthString(RowAuthService &rules, const QString &funcId, const QString &tableAlias)
{
    const QString contact = QStringLiteral("Crm_Contact");
    const QString person = rules.GetPersonAuthString(contact, {}, funcId, tableAlias);
    const QString dimension = rules.GetDimAuthString(contact, {}, funcId, tableAlias);
    const QString customer
        = rules.GetAuthString2(QStringLiteral("customer"), {}, funcId, tableAlias, true, true);
    return combineContactAuth(person, dimension, customer,
                              rules.NeedControlAuth(QStringLiteral("Customer")));
}

QString customerAuthCondition(const QString &answer)
{
    if (answer.isEmpty())
        return QStringLiteral("(1=1)");
    if (answer == kDenyAll)
        return QStringLiteral("(1=2)");
    return QStringLiteral("(Customer.iId in (") + answer + QStringLiteral(")) ");
}

} // namespace perikon::rowauth
