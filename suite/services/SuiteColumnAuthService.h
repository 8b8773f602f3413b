#pragma once

#include "perikon/host/contract/ColumnAuthService.h"

#include <memory>

namespace perikon::db {
class Connection;
}

namespace perikon::suite {

// "ColumnAuthService": the columns an operator may not see or change, from the host table
// qz_ColumnAuth. For one business object and function a column is denied when the rule for that
// function denies it, or, lacking such a rule, the rule for every function (empty cFuncId) does.
// Business object and function ids are compared without regard to case.
class SuiteColumnAuthService : public ColumnAuthService
{
    Q_OBJECT
public:
    explicit SuiteColumnAuthService(QObject *parent = nullptr);
    ~SuiteColumnAuthService() override;

    bool Init(const QString &connectionString, const QString &userId) override;
    // Denied columns, comma separated, in column-name order; empty when no rule denies one. A
    // failure before a successful Init, for a request that is not a k2ColAuth element, or when the
    // rules cannot be read.
    ColumnAuthAnswer GetAuthString(const QString &request) override;

private:
    std::unique_ptr<db::Connection> m_connection;
    QString m_userId;
};

} // namespace perikon::suite
