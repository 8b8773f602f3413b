#pragma once

#include "perikon/host/contract/TransferServices.h"

namespace perikon::suite {

// "SystemStartService": the subsystems an account has started, from the system database's
// UA_Account_Sub (a subsystem is started once it has a start date, dSubSysUsed). The year is
// the one the connection string's catalog names; without one every year of the account counts.
class SuiteSystemStartService : public SystemStartService
{
    Q_OBJECT
public:
    using SystemStartService::SystemStartService;

    // `started`: subsystem ids such as "AA,CS", in id order. False, with `started` empty, when
    // the databases cannot be read.
    bool GetAllStartedSys(const QString &connectionString, const QString &accountId,
                          QString &started) override;
};

} // namespace perikon::suite
