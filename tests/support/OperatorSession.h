#pragma once

// One operator working on the shared server: a login and a bound IClsCommon on the thread that
// creates it. The component's session values are per thread, so two of these on two threads are
// two operators.

#include "perikon/data/DataSession.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/SuiteLogin.h"

#include <memory>

namespace perikon::testing {

class OperatorSession
{
public:
    OperatorSession(const QString &connectionString, const QString &userName)
    {
        m_login.cUserId = QStringLiteral("demo");
        m_login.cUserName = userName;
        m_login.qzDBName = connectionString;
        m_login.setLanguageRegion(QStringLiteral("zh-CN"));
        gLogin = &m_login;
        gLastError.clear();
        gContactTs.clear();
        gDefaultContactChanged = false;
        QString cnn = connectionString;
        com.Init(cnn);
        com.SetLogin(&m_login);
    }

    ~OperatorSession()
    {
        com.Terminate();
        gLogin = nullptr;
    }

    OperatorSession(const OperatorSession &) = delete;
    OperatorSession &operator=(const OperatorSession &) = delete;

    bool isOpen()
    {
        return com.connection() && com.connection()->state() == db::Connection::StateOpen;
    }

    // The first value of a query; an invalid QVariant when it yields no row or fails.
    QVariant scalar(const QString &sql)
    {
        std::unique_ptr<db::Recordset> rs(com.OpenX(sql));
        if (!rs || rs->recordCount() == 0)
            return {};
        return rs->value(0);
    }

    // The row version of a contact as the card keeps it for the save's check.
    QString version(const QString &code)
    {
        return scalar(
                   QStringLiteral("select convert(char, convert(money,qzts), 2) from Crm_Contact "
                                  "where cContactCode=N'%1'")
                       .arg(code))
            .toString();
    }

    IClsCommon com;

private:
    suite::SuiteLogin m_login;
};

} // namespace perikon::testing
