#pragma once

#include "perikon/host/contract/RowAuthService.h"

#include <QStringList>

#include <memory>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// "RowAuthService" over the host table qz_RowAuth(cUser_Id, cKind, cFuncId, cValue). Kinds:
// "person" (a person code, matched against the archive's cPrincipal), "customer" (a customer
// code) and "dimension" ("<type>:<code>" in crm_contact_Auth; type 0 is the department). A rule
// with an empty cFuncId holds for every function; the value "*" lifts its kind. Which kinds apply
// to an archive is aa_busobject_base's: bPersonControl and bAuthDimControl of the archive itself,
// bAuthControl of the archive a restriction by reference names. A controlled kind without a rule
// reaches no row. Any failure to read the rules also reaches no row.
class SuiteRowAuthService : public RowAuthService
{
    Q_OBJECT
public:
    explicit SuiteRowAuthService(QObject *parent = nullptr);
    ~SuiteRowAuthService() override;

    Q_INVOKABLE bool Init(const QString &connectionString, const QString &userId) override;
    QString GetPersonAuthString(const QString &busObId, const QString &userId,
                                const QString &funcId, const QString &tableAlias) override;
    QString GetDimAuthString(const QString &busObId, const QString &userId, const QString &funcId,
                             const QString &tableAlias) override;
    QString GetAuthString2(const QString &busObId, const QString &userId, const QString &funcId,
                           const QString &tableAlias, bool qualified,
                           bool denyWithoutRule) override;
    bool NeedControlAuth(const QString &busObId) override;
    // The customer rules of GetAuthString2 turned into the ids of the customers they name;
    // an administrator (the thread's current login, when the service
    // was initialized for him) is not restricted.
    QString GetAuthString(const QString &busObId, const QString &funcId) override;

private:
    struct Rules
    {
        bool ok = false;
        bool lifted = false;
        QStringList values;
    };
    // The operator's values of one kind for the function; not ok when they cannot be read.
    Rules rules(const QString &kind, const QString &userId, const QString &funcId);
    // An aa_busobject_base flag of an archive; `ok` false when it cannot be read.
    bool controlFlag(const QString &busObId, const char *column, bool &ok);

    std::unique_ptr<db::Connection> m_connection;
    QString m_userId;
};

} // namespace perikon::suite
