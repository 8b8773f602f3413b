#pragma once

#include "suite/smsclient/SmsRequest.h"

#include <QString>

namespace perikon::smsclient {

struct SmsResult
{
    bool sent = false;
    // The gateway's answer, the outbox file's name, or why nothing was sent.
    QString reply;
};

// Posts the message and waits for the answer, at most the configured timeout. The caller's
// thread only waits: the request runs on a worker thread with an event loop of its own, so a
// GUI thread calling this neither deadlocks nor handles its own events meanwhile.
SmsResult sendHttp(const SmsConfig &config, const SmsMessage &message);

// Writes the message as one file into the outbox folder, complete or not at all.
SmsResult writeOutbox(const SmsConfig &config, const SmsMessage &message);

} // namespace perikon::smsclient
