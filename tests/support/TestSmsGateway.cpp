#include "support/TestSmsGateway.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace perikon::testing {

TestSmsGateway::TestSmsGateway()
{
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            auto *server = new QTcpServer(m_context);
            QObject::connect(server, &QTcpServer::newConnection, server, [this] { accept(); });
            if (server->listen(QHostAddress::LocalHost, 0))
                m_port = server->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

TestSmsGateway::~TestSmsGateway()
{
    m_thread.quit();
    m_thread.wait();
}

QString TestSmsGateway::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/sms/send").arg(m_port);
}

void TestSmsGateway::setAnswer(const Answer &answer)
{
    std::lock_guard lock(m_mutex);
    m_answer = answer;
}

QList<TestSmsGateway::Request> TestSmsGateway::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void TestSmsGateway::accept()
{
    auto *server = m_context->findChild<QTcpServer *>();
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        socket->setParent(m_context);
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            answer(socket, *buffer);
        });
    }
}

// Waits for a whole request (headers and Content-Length bytes of body), records it, answers.
void TestSmsGateway::answer(QTcpSocket *socket, QByteArray &buffer)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    Request request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                                   lines.at(i).mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length").toLongLong();
    if (buffer.size() < headerEnd + 4 + length)
        return;
    request.body = buffer.mid(headerEnd + 4, length);
    buffer.clear();

    Answer answer;
    {
        std::lock_guard lock(m_mutex);
        m_requests.append(request);
        answer = m_answer;
    }
    if (answer.closeWithoutAnswer) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    QTimer::singleShot(answer.delayMs, socket, [socket, answer] {
        QByteArray response = "HTTP/1.1 " + QByteArray::number(answer.status)
                              + " Test\r\nContent-Type: application/json\r\nContent-Length: "
                              + QByteArray::number(answer.body.size())
                              + "\r\nConnection: close\r\n\r\n" + answer.body;
        socket->write(response);
        socket->disconnectFromHost();
    });
}

} // namespace perikon::testing
