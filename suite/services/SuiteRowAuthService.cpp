#include "suite/services/SuiteRowAuthService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteSql.h"

#include <QMap>

namespace perikon::suite {
namespace {

const QString kDenyAll = QStringLiteral("1=2");

// "Crm_Contact" + "cPrincipal" -> "Crm_Contact.cPrincipal"; the alias only when one is given.
QString column(const QString &alias, const char *name, bool qualified = true)
{
    const QString plain = QString::fromLatin1(name);
    return qualified && !alias.trimmed().isEmpty() ? alias.trimmed() + u'.' + plain : plain;
}

QString inList(const QStringList &values)
{
    QStringList quoted;
    quoted.reserve(values.size());
    for (const QString &value : values)
        quoted.append(db::sqlNQuoted(value));
    return quoted.join(u',');
}

} // namespace

SuiteRowAuthService::SuiteRowAuthService(QObject *parent)
    : RowAuthService(parent)
{}

SuiteRowAuthService::~SuiteRowAuthService() = default;

bool SuiteRowAuthService::Init(const QString &connectionString, const QString &userId)
{
    m_userId = userId.trimmed();
    m_connection = openConnection(connectionString);
    return m_connection != nullptr;
}

SuiteRowAuthService::Rules SuiteRowAuthService::rules(const QString &kind, const QString &userId,
                                                      const QString &funcId)
{
    Rules result;
    if (!m_connection)
        return result;
    const QString user = userId.trimmed().isEmpty() ? m_userId : userId.trimmed();
    try {
        const QList<QStringList> rows = queryRows(
            *m_connection,
            QStringLiteral("select cValue from qz_RowAuth where cUser_Id=") + db::sqlNQuoted(user)
                + QStringLiteral(" and lower(cKind)=") + db::sqlNQuoted(kind)
                + QStringLiteral(" and (cFuncId=N'' or upper(cFuncId)=")
                + db::sqlNQuoted(funcId.trimmed().toUpper()) + QStringLiteral(") order by cValue"));
        for (const QStringList &row : rows) {
            const QString value = row.value(0).trimmed();
            if (value == QLatin1String("*"))
                result.lifted = true;
            else if (!value.isEmpty() && !result.values.contains(value))
                result.values.append(value);
        }
        result.ok = true;
    } catch (const db::DbError &) {
        result.ok = false;
    }
    return result;
}

bool SuiteRowAuthService::controlFlag(const QString &busObId, const char *flagColumn, bool &ok)
{
    ok = false;
    if (!m_connection)
        return false;
    try {
        const QList<QStringList> rows
            = queryRows(*m_connection, QStringLiteral("select max(%1) from aa_busobject_base where "
                                                      "lower(cBusObId)=")
                                               .arg(QString::fromLatin1(flagColumn))
                                           + db::sqlNQuoted(busObId.trimmed().toLower()));
        ok = true;
        return !rows.isEmpty() && rows.first().value(0).toInt() != 0;
    } catch (const db::DbError &) {
        return false;
    }
}

QString SuiteRowAuthService::GetPersonAuthString(const QString &busObId, const QString &userId,
                                                 const QString &funcId, const QString &tableAlias)
{
    bool ok = false;
    const bool controlled = controlFlag(busObId, "bPersonControl", ok);
    if (!ok)
        return kDenyAll;
    if (!controlled)
        return {};
    const Rules person = rules(QStringLiteral("person"), userId, funcId);
    if (!person.ok || (!person.lifted && person.values.isEmpty()))
        return kDenyAll;
    if (person.lifted)
        return {};
    return column(tableAlias, "cPrincipal") + QStringLiteral(" IN (") + inList(person.values)
           + u')';
}

QString SuiteRowAuthService::GetDimAuthString(const QString &busObId, const QString &userId,
                                              const QString &funcId, const QString &tableAlias)
{
    bool ok = false;
    const bool controlled = controlFlag(busObId, "bAuthDimControl", ok);
    if (!ok)
        return kDenyAll;
    if (!controlled)
        return {};
    const Rules dimension = rules(QStringLiteral("dimension"), userId, funcId);
    if (!dimension.ok || (!dimension.lifted && dimension.values.isEmpty()))
        return kDenyAll;
    if (dimension.lifted)
        return {};
    // Codes per dimension type; a value that is not "<type>:<code>" grants nothing.
    QMap<int, QStringList> codes;
    for (const QString &value : dimension.values) {
        const qsizetype colon = value.indexOf(u':');
        bool numeric = false;
        const int type = colon > 0 ? value.left(colon).trimmed().toInt(&numeric) : 0;
        if (numeric && colon + 1 < value.size())
            codes[type].append(value.mid(colon + 1).trimmed());
    }
    if (codes.isEmpty())
        return kDenyAll;
    QStringList alternatives;
    for (auto it = codes.cbegin(); it != codes.cend(); ++it)
        alternatives.append(QStringLiteral("(ContactAuth.Privilege_Type=%1 AND "
                                           "ContactAuth.Privilege_ID IN (")
                                .arg(it.key())
                            + inList(it.value()) + QStringLiteral("))"));
    return QStringLiteral("EXISTS(SELECT 1 FROM crm_contact_Auth ContactAuth WHERE "
                          "ContactAuth.Contact_Id=")
           + column(tableAlias, "cContactCode") + QStringLiteral(" AND (")
           + alternatives.join(QStringLiteral(" OR ")) + QStringLiteral("))");
}

QString SuiteRowAuthService::GetAuthString2(const QString &busObId, const QString &userId,
                                            const QString &funcId, const QString &tableAlias,
                                            bool qualified, bool denyWithoutRule)
{
    bool ok = false;
    const bool controlled = controlFlag(busObId, "bAuthControl", ok);
    if (!ok)
        return kDenyAll;
    if (!controlled)
        return {};
    const QString kind = busObId.trimmed().toLower();
    const Rules reference = rules(kind, userId, funcId);
    if (!reference.ok)
        return kDenyAll;
    if (reference.lifted)
        return {};
    if (reference.values.isEmpty())
        return denyWithoutRule ? kDenyAll : QString();
    return column(tableAlias, "cCusCode", qualified) + QStringLiteral(" IN (")
           + inList(reference.values) + u')';
}

bool SuiteRowAuthService::NeedControlAuth(const QString &busObId)
{
    bool ok = false;
    const bool controlled = controlFlag(busObId, "bAuthControl", ok);
    return !ok || controlled; // rules that cannot be read keep the archive under control
}

QString SuiteRowAuthService::GetAuthString(const QString &busObId, const QString &funcId)
{
    if (busObId.trimmed().compare(QLatin1String("customer"), Qt::CaseInsensitive) != 0)
        return {};
    if (const SuiteLogin *login = currentLogin();
        login && login->IsAdmin && login->cUserId.trimmed() == m_userId)
        return {};
    const QString rule = GetAuthString2(QStringLiteral("customer"), {}, funcId,
                                        QStringLiteral("Customer"), false, false);
    if (rule.isEmpty() || rule == kDenyAll)
        return rule;
    try {
        const QList<QStringList> rows
            = queryRows(*m_connection, QStringLiteral("select iId from Customer where ") + rule
                                           + QStringLiteral(" order by iId"));
        QStringList ids;
        ids.reserve(rows.size());
        for (const QStringList &row : rows)
            ids.append(row.value(0).trimmed());
        return ids.isEmpty() ? kDenyAll : ids.join(u',');
    } catch (const db::DbError &) {
        return kDenyAll;
    }
}

} // namespace perikon::suite
