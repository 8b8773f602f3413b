#include "suite/smsclient/SmsTransport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace perikon::smsclient {
namespace {

// Beyond the request's own timeout, how long the caller waits for the worker to wind down.
constexpr int kShutdownGraceMs = 1000;

SmsResult postAndWait(const SmsConfig &config, const SmsMessage &message)
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(config.url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType(config.format));
    const QByteArray auth = authorization(config);
    if (!auth.isEmpty())
        request.setRawHeader("Authorization", auth);

    QEventLoop loop;
    std::unique_ptr<QNetworkReply> reply(
        manager.post(request, requestBody(message, config.format)));
    bool timedOut = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(config.timeoutMs);
    loop.exec();

    if (timedOut)
        return {
            false,
            QStringLiteral("No answer from the SMS gateway within %1 ms.").arg(config.timeoutMs)};
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return {false, reply->errorString()};
    const QByteArray body = reply->readAll();
    const int code = status.toInt();
    const bool sent = code >= 200 && code < 300 && !bodyRefuses(body);
    QString answer = QString::fromUtf8(body);
    if (answer.isEmpty())
        answer = QStringLiteral("HTTP %1").arg(code);
    return {sent, answer};
}

// One call's outcome, shared by the waiting caller and the worker that may outlive its wait.
struct PendingCall
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    SmsResult result;

    void complete(SmsResult outcome)
    {
        std::lock_guard lock(mutex);
        result = std::move(outcome);
        done = true;
        finished.notify_all();
    }
};

// A process without a QCoreApplication gets one of the library's own, on a thread that lives as
// long as the process: Qt allows one application object, created once, and network requests need
// it. The thread is left running at exit on purpose, so it is never destroyed.
class PrivateApplicationThread
{
public:
    static PrivateApplicationThread &instance()
    {
        static auto *thread = new PrivateApplicationThread;
        return *thread;
    }

    void run(std::function<void()> job)
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        m_wake.notify_one();
    }

private:
    PrivateApplicationThread()
    {
        std::thread([this] { serve(); }).detach();
    }

    void serve()
    {
        int argc = 1;
        char name[] = "perikon-smsclient";
        char *argv[] = {name, nullptr};
        QCoreApplication application(argc, argv);
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return !m_jobs.empty(); });
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
};

} // namespace

SmsResult sendHttp(const SmsConfig &config, const SmsMessage &message)
{
    auto call = std::make_shared<PendingCall>();
    auto job = [call, config, message] {
        call->complete(postAndWait(config, message));
    };
    if (QCoreApplication::instance())
        std::thread(job).detach();
    else
        PrivateApplicationThread::instance().run(job);

    std::unique_lock lock(call->mutex);
    const auto limit = std::chrono::milliseconds(config.timeoutMs + kShutdownGraceMs);
    if (!call->finished.wait_for(lock, limit, [&] { return call->done; }))
        return {
            false,
            QStringLiteral("No answer from the SMS gateway within %1 ms.").arg(config.timeoutMs)};
    return call->result;
}

SmsResult writeOutbox(const SmsConfig &config, const SmsMessage &message)
{
    static std::atomic<int> counter = 0;
    const QDir folder(config.folder);
    if (!folder.exists())
        return {false,
                QStringLiteral("The SMS outbox folder %1 does not exist.").arg(config.folder)};
    const QString name
        = QStringLiteral("sms-%1-%2-%3.txt")
              .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmsszzz")),
                   QString::number(QCoreApplication::applicationPid()), QString::number(++counter));
    QSaveFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return {false,
                QStringLiteral("The SMS outbox cannot be written: %1").arg(file.errorString())};
    file.write((message.recipients.join(QLatin1Char(';')) + QLatin1Char('\n') + message.text
                + QLatin1Char('\n'))
                   .toUtf8());
    if (!file.commit())
        return {false,
                QStringLiteral("The SMS outbox cannot be written: %1").arg(file.errorString())};
    return {true, name};
}

} // namespace perikon::smsclient
