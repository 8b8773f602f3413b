#include "apps/automate/RequestServer.h"

#include "apps/automate/Bridge.h"
#include "apps/automate/JsonValues.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSocketNotifier>
#include <QWidget>

#include <fcntl.h>
#include <unistd.h>

namespace perikon::automation {
namespace {

QString idKey(const QJsonValue &id)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{id}).toJson(QJsonDocument::Compact));
}

} // namespace

RequestServer::RequestServer(Bridge &bridge, QObject *parent)
    : QObject(parent)
    , m_bridge(bridge)
{
    if (::pipe2(m_wakeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        qFatal("RequestServer: no pipe to wake the server");
    m_wakeNotifier = new QSocketNotifier(m_wakeFds[0], QSocketNotifier::Read, this);
    connect(m_wakeNotifier, &QSocketNotifier::activated, this, &RequestServer::serve);
    qApp->installEventFilter(this);
}

RequestServer::~RequestServer()
{
    qApp->removeEventFilter(this);
    delete m_wakeNotifier;
    ::close(m_wakeFds[0]);
    ::close(m_wakeFds[1]);
}

void RequestServer::submit(const QString &line)
{
    if (line.trimmed().isEmpty())
        return;
    m_lines.enqueue(line);
    wake();
}

void RequestServer::closeInput()
{
    m_inputClosed = true;
    wake();
}

void RequestServer::wake()
{
    if (m_woken)
        return;
    m_woken = true;
    const char byte = 1;
    // A full pipe already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFds[1], &byte, 1);
}

bool RequestServer::mayServe() const
{
    if (m_running.empty())
        return true;
    const Running &innermost = m_running.back();
    return innermost.pending && innermost.modal && innermost.modal->isVisible();
}

void RequestServer::serve()
{
    char drained[64];
    while (::read(m_wakeFds[0], drained, sizeof drained) > 0) {
    }
    m_woken = false;
    while (!m_lines.isEmpty() && mayServe())
        run(m_lines.dequeue());
    if (m_lines.isEmpty() && m_inputClosed && mayServe())
        emit finished();
}

void RequestServer::run(const QString &line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        write(failure(QStringLiteral("request is not a JSON object: %1").arg(error.errorString())));
        return;
    }
    const QJsonObject request = document.object();
    if (request.contains(QLatin1String("result"))) {
        QJsonObject reply = resultOf(request.value(QLatin1String("result")));
        if (request.contains(QLatin1String("id")) && !reply.contains(QLatin1String("id")))
            reply.insert(QStringLiteral("id"), request.value(QLatin1String("id")));
        write(reply);
        return;
    }

    const std::size_t depth = m_running.size();
    m_running.push_back(Running{request.value(QLatin1String("id")), false, {}});
    QJsonObject reply = m_bridge.handle(request);
    const Running done = m_running[depth];
    m_running.pop_back();

    if (!done.pending) {
        write(reply);
    } else {
        reply.insert(QStringLiteral("id"), done.id);
        const QString key = idKey(done.id);
        m_pending.remove(key);
        m_finished.insert(key, reply);
    }
    // Lines that waited for this request may go now.
    if (!m_lines.isEmpty() || m_inputClosed)
        wake();
}

QJsonObject RequestServer::resultOf(const QJsonValue &id) const
{
    const QString key = idKey(id);
    if (m_pending.contains(key)) {
        QJsonObject reply = success();
        reply.insert(QStringLiteral("pending"), true);
        return reply;
    }
    const auto found = m_finished.constFind(key);
    if (found == m_finished.cend())
        return failure(
            QStringLiteral("no request with id %1 went pending").arg(key.mid(1, key.size() - 2)));
    return *found;
}

void RequestServer::write(const QJsonObject &reply)
{
    emit replied(QString::fromUtf8(QJsonDocument(reply).toJson(QJsonDocument::Compact)));
}

bool RequestServer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget->windowModality() != Qt::NonModal)
            modalWindowShown(widget);
    }
    return QObject::eventFilter(watched, event);
}

void RequestServer::modalWindowShown(QWidget *window)
{
    if (m_running.empty())
        return;
    Running &innermost = m_running.back();
    innermost.modal = window;
    if (!innermost.pending) {
        innermost.pending = true;
        // A request without an id still needs one to be asked for its result.
        if (innermost.id.isUndefined() || innermost.id.isNull())
            innermost.id = QStringLiteral("pending-%1").arg(m_nextGeneratedId++);
        const QString key = idKey(innermost.id);
        m_finished.remove(key);
        m_pending.insert(key);
        QJsonObject reply = success();
        reply.insert(QStringLiteral("pending"), true);
        reply.insert(QStringLiteral("id"), innermost.id);
        reply.insert(QStringLiteral("window"), window->objectName());
        write(reply);
    }
    // The window's own loop starts right after it shows; the waiting lines are served there.
    wake();
}

} // namespace perikon::automation
