#pragma once

#include <QObject>
#include <QString>

namespace perikon {

// The host's row-authorization service ("RowAuthService"): which rows of an archive an operator's
// function (R read, W write, D delete) may reach, as WHERE fragments over a table named by
// `tableAlias`. Every fragment answers in the same terms: empty means no restriction, "1=2" no
// row at all, anything else a condition over the table's own columns. An empty `userId` means the
// operator the service was initialized for.
class RowAuthService : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool Init(const QString &connectionString, const QString &userId) = 0;

    // Restriction of `busObId` by the responsible person (its cPrincipal column).
    Q_INVOKABLE virtual QString GetPersonAuthString(const QString &busObId, const QString &userId,
                                                    const QString &funcId,
                                                    const QString &tableAlias)
        = 0;
    // Restriction of `busObId` by its authorization dimensions (department and the others).
    Q_INVOKABLE virtual QString GetDimAuthString(const QString &busObId, const QString &userId,
                                                 const QString &funcId, const QString &tableAlias)
        = 0;
    // Restriction by the archive `busObId` (e.g. "customer") over the rows of `tableAlias` that
    // refer to it. `qualified` prefixes the columns with the alias; `denyWithoutRule` makes a
    // controlled archive without any rule for the operator answer "1=2" instead of nothing.
    Q_INVOKABLE virtual QString GetAuthString2(const QString &busObId, const QString &userId,
                                               const QString &funcId, const QString &tableAlias,
                                               bool qualified, bool denyWithoutRule)
        = 0;
    // Whether rows of `busObId` are under authorization control at all.
    Q_INVOKABLE virtual bool NeedControlAuth(const QString &busObId) = 0;
    // The rows of `busObId` the operator may reach with a function ("R", "W") by their iId, as a
    // list of ids: "Customer" only, for the others empty. Empty also when the rows are not
    // restricted for him, "1=2" when he may reach none.
    Q_INVOKABLE virtual QString GetAuthString(const QString &busObId, const QString &funcId) = 0;
};

namespace rowauth {

// The contact fragment from its three restrictions: the customer and dimension rules narrow, a
// contact without a customer stays visible under a customer rule, and the responsible person
// widens again. `customerControlled` decides what "no rule at all" means when customers are under
// control. Empty means no restriction.
QString combineContactAuth(const QString &person, const QString &dimension, const QString &customer,
                           bool customerControlled);

// Asks `rules` for the person, dimension and customer restrictions of contacts (in that order)
// for a function and combines them. Empty means no restriction.
QString contactAuthString(RowAuthService &rules, const QString &funcId, const QString &tableAlias);

// A condition over Customer from GetAuthString's answer for customers: "(1=1)" for no
// restriction, "(1=2)" for none reachable, else the reachable ids.
QString customerAuthCondition(const QString &answer);

} // namespace rowauth

} // namespace perikon
