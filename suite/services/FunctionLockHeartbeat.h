#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>

namespace perikon::suite {

// How long a session's function locks outlive its last heartbeat, and how often a live session
// beats. Deployments and tests set them through PERIKON_LOCK_TIMEOUT_SECONDS and
// PERIKON_LOCK_HEARTBEAT_SECONDS (seconds, fractions allowed), read once per process.
struct FunctionLockTimes
{
    std::chrono::milliseconds timeout{120'000};
    std::chrono::milliseconds beat{30'000};

    static const FunctionLockTimes &current();
};

// Renews dBeat of one session's rows in qz_FunctionLock while the session lives. It is a child
// of the session's login object: when the login goes (or its process dies) the beats stop and
// the locks expire after the timeout.
class FunctionLockHeartbeat : public QObject
{
    Q_OBJECT
public:
    // The heartbeat of the session `sessionId` of `login`, made on first need.
    static FunctionLockHeartbeat *of(QObject *login, const QString &sessionId);

    // Beats through this data-access object's connection (the one the session takes its locks
    // with) and keeps beating while the session holds a lock.
    void keepBeating(QObject *dataAccess);
    bool isBeating() const { return m_timer.isActive(); }

private:
    FunctionLockHeartbeat(QObject *login, const QString &sessionId);
    void beat();

    QString m_sessionId;
    QPointer<QObject> m_dataAccess;
    QTimer m_timer;
};

} // namespace perikon::suite
