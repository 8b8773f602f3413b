#pragma once

#include "perikon/host/contract/PubService.h"

namespace perikon::suite {

// The suite's public service ("PubService").
class SuitePubService : public PubService
{
    Q_OBJECT
public:
    using PubService::PubService;

    // Asks the caller's own connection, so the time is the database server's clock. Empty when
    // ICom has no open connection or the server does not answer: a guessed local time would be
    // stamped on rows as if the server had given it. ICom stays as it is.
    QString GetSrvTime(QObject *&ICom) override;
};

} // namespace perikon::suite
