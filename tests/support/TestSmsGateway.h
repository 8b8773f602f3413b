#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QThread>

#include <mutex>

class QObject;
class QTcpSocket;

namespace perikon::testing {

// An HTTP gateway on 127.0.0.1 for the SMS client: it records every request and answers as the
// test says. It serves from a thread of its own, since the client blocks the thread that calls it.
class TestSmsGateway
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    struct Answer
    {
        int status = 200;
        QByteArray body = R"({"ok":true})";
        int delayMs = 0;
        bool closeWithoutAnswer = false;
    };

    TestSmsGateway();
    ~TestSmsGateway();
    TestSmsGateway(const TestSmsGateway &) = delete;
    TestSmsGateway &operator=(const TestSmsGateway &) = delete;

    quint16 port() const { return m_port; }
    QString url() const;
    void setAnswer(const Answer &answer);
    QList<Request> requests() const;

private:
    void accept();
    void answer(QTcpSocket *socket, QByteArray &buffer);

    QThread m_thread;
    QObject *m_context = nullptr; // lives in m_thread, parent of the server and its sockets
    quint16 m_port = 0;
    mutable std::mutex m_mutex;
    Answer m_answer;
    QList<Request> m_requests;
};

} // namespace perikon::testing

Q_DECLARE_METATYPE(perikon::testing::TestSmsGateway::Answer)
