// The SMS client library through its C entry point: what the gateway receives, how its answers
// become the result and the reply, the outbox, and configurations that cannot be used.

#include "support/TestSmsGateway.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibrary>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>

using perikon::testing::TestSmsGateway;

namespace {

using SmsCallFunction = int (*)(const char *, char *, const char *);

struct CallResult
{
    int result = -1;
    QString reply;
    qsizetype replyBytes = 0;
};

} // namespace

class tst_SmsClient : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void requestBody_data();
    void requestBody();
    void authorizationHeader_data();
    void authorizationHeader();
    void gatewayAnswers_data();
    void gatewayAnswers();
    void refusedConnectionFails();
    void slowGatewayTimesOut();
    void callerEventsWaitUntilTheCallReturns();
    void outboxWritesOneFilePerMessage();
    void outboxFailures_data();
    void outboxFailures();
    void unusableConfiguration_data();
    void unusableConfiguration();
    void replyIsCutAtCharacterBoundary_data();
    void replyIsCutAtCharacterBoundary();

private:
    CallResult call(const QString &config, const QString &payload);
    SmsCallFunction m_smsCall = nullptr;
};

void tst_SmsClient::initTestCase()
{
    QLibrary library(QStringLiteral(PERIKON_SMS_CLIENT_FILE));
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    m_smsCall = reinterpret_cast<SmsCallFunction>(library.resolve("SMSCall"));
    QVERIFY(m_smsCall);
}

CallResult tst_SmsClient::call(const QString &config, const QString &payload)
{
    char reply[255];
    std::memset(reply, ' ', sizeof reply);
    CallResult outcome;
    outcome.result = m_smsCall(config.toUtf8().constData(), reply, payload.toUtf8().constData());
    const void *end = std::memchr(reply, '\0', sizeof reply);
    outcome.replyBytes = end ? static_cast<const char *>(end) - reply : -1;
    if (end)
        outcome.reply = QString::fromUtf8(reply, outcome.replyBytes);
    return outcome;
}

void tst_SmsClient::requestBody_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("json") << "json"
                          << "13800000001;13900000002,Meeting at ten"
                          << QByteArray("application/json")
                          << QByteArray(
                                 R"({"to":["13800000001","13900000002"],"text":"Meeting at ten"})");
    QTest::newRow("json is the default") << ""
                                         << "13800000001,Hi" << QByteArray("application/json")
                                         << QByteArray(R"({"to":["13800000001"],"text":"Hi"})");
    QTest::newRow("recipients trimmed, blanks removed, empties dropped")
        << "json"
        << " 138 0000 0001 ; ;139 ;,Hi, there" << QByteArray("application/json")
        << QByteArray(R"({"to":["13800000001","139"],"text":"Hi, there"})");
    QTest::newRow("cjk text")
        << "json"
        << "13800000001,明天上午十点开会" << QByteArray("application/json")
        << QString::fromUtf8(R"({"to":["13800000001"],"text":"明天上午十点开会"})").toUtf8();
    QTest::newRow("form percent-encoded")
        << "form"
        << "138;139,a b&c=d%é你,x" << QByteArray("application/x-www-form-urlencoded")
        << QByteArray("to=138,139&text=a%20b%26c%3Dd%25%C3%A9%E4%BD%A0%2Cx");
}

void tst_SmsClient::requestBody()
{
    QFETCH(QString, format);
    QFETCH(QString, payload);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);

    TestSmsGateway gateway;
    QString config = QStringLiteral("gateway=http;url=") + gateway.url();
    if (!format.isEmpty())
        config += QStringLiteral(";format=") + format;
    const CallResult outcome = call(config, payload);
    QCOMPARE(outcome.result, 1);

    const auto requests = gateway.requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().method, QByteArray("POST"));
    QCOMPARE(requests.first().path, QByteArray("/sms/send"));
    QCOMPARE(requests.first().headers.value("content-type"), contentType);
    if (contentType == "application/json") // key order is no part of JSON
        QCOMPARE(QJsonDocument::fromJson(requests.first().body), QJsonDocument::fromJson(body));
    else
        QCOMPARE(requests.first().body, body);
}

void tst_SmsClient::authorizationHeader_data()
{
    QTest::addColumn<QString>("credentials");
    QTest::addColumn<QByteArray>("header");

    QTest::newRow("none") << "" << QByteArray();
    QTest::newRow("token") << "token=s3cr3t" << QByteArray("Bearer s3cr3t");
    QTest::newRow("user and password") << "user=clerk;password=p@ss"
                                       << "Basic " + QByteArray("clerk:p@ss").toBase64();
}

void tst_SmsClient::authorizationHeader()
{
    QFETCH(QString, credentials);
    QFETCH(QByteArray, header);

    TestSmsGateway gateway;
    QCOMPARE(call(QStringLiteral("gateway=http;url=%1;%2").arg(gateway.url(), credentials),
                  QStringLiteral("138,Hi"))
                 .result,
             1);
    QCOMPARE(gateway.requests().size(), 1);
    QCOMPARE(gateway.requests().first().headers.value("authorization"), header);
}

void tst_SmsClient::gatewayAnswers_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("reply");

    QTest::newRow("200") << 200 << QByteArray(R"({"ok":true,"id":"m1"})") << 1
                         << R"({"ok":true,"id":"m1"})";
    QTest::newRow("201 without body") << 201 << QByteArray() << 1 << "HTTP 201";
    QTest::newRow("200 plain text") << 200 << QByteArray("queued") << 1 << "queued";
    QTest::newRow("500") << 500 << QByteArray("gateway down") << 0 << "gateway down";
    QTest::newRow("403") << 403 << QByteArray(R"({"error":"no credit"})") << 0
                         << R"({"error":"no credit"})";
    QTest::newRow("200 refused in body") << 200 << QByteArray(R"({"ok":false,"error":"blocked"})")
                                         << 0 << R"({"ok":false,"error":"blocked"})";
}

void tst_SmsClient::gatewayAnswers()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, result);
    QFETCH(QString, reply);

    TestSmsGateway gateway;
    gateway.setAnswer({status, body, 0, false});
    const CallResult outcome = call(QStringLiteral("gateway=http;url=") + gateway.url(),
                                    QStringLiteral("13800000001,Hi"));
    QCOMPARE(outcome.result, result);
    QCOMPARE(outcome.reply, reply);
}

void tst_SmsClient::refusedConnectionFails()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close(); // nobody listens there now

    const CallResult outcome
        = call(QStringLiteral("gateway=http;url=http://127.0.0.1:%1/sms;timeout=2000").arg(port),
               QStringLiteral("138,Hi"));
    QCOMPARE(outcome.result, 0);
    QVERIFY2(outcome.reply.contains(QLatin1String("refused"), Qt::CaseInsensitive),
             qPrintable(outcome.reply));
}

void tst_SmsClient::slowGatewayTimesOut()
{
    TestSmsGateway gateway;
    gateway.setAnswer({200, R"({"ok":true})", 3000, false});
    QElapsedTimer clock;
    clock.start();
    const CallResult outcome
        = call(QStringLiteral("gateway=http;url=%1;timeout=300").arg(gateway.url()),
               QStringLiteral("138,Hi"));
    QCOMPARE(outcome.result, 0);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(outcome.reply.contains(QLatin1String("300 ms")), qPrintable(outcome.reply));
    QCOMPARE(gateway.requests().size(), 1);

    gateway.setAnswer({200, {}, 0, true});
    QCOMPARE(call(QStringLiteral("gateway=http;url=%1;timeout=300").arg(gateway.url()),
                  QStringLiteral("138,Hi"))
                 .result,
             0);
}

void tst_SmsClient::callerEventsWaitUntilTheCallReturns()
{
    TestSmsGateway gateway;
    gateway.setAnswer({200, R"({"ok":true})", 200, false});
    bool fired = false;
    QTimer::singleShot(0, this, [&fired] { fired = true; });
    QCOMPARE(
        call(QStringLiteral("gateway=http;url=") + gateway.url(), QStringLiteral("138,Hi")).result,
        1);
    QVERIFY(!fired);
    QTRY_VERIFY(fired);
}

void tst_SmsClient::outboxWritesOneFilePerMessage()
{
    QTemporaryDir outbox;
    QVERIFY(outbox.isValid());
    const QString config = QStringLiteral("gateway=outbox;folder=") + outbox.path();
    const CallResult first = call(config, QStringLiteral(" 138 ;139,明天见, 李"));
    const CallResult second = call(config, QStringLiteral("138,Second"));
    QCOMPARE(first.result, 1);
    QCOMPARE(second.result, 1);
    QVERIFY(first.reply != second.reply);

    const QStringList files = QDir(outbox.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files.size(), 2);
    QVERIFY(files.contains(first.reply));
    QFile file(QDir(outbox.path()).filePath(first.reply));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("138;139\n明天见, 李\n"));
}

void tst_SmsClient::outboxFailures_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing folder") << "/nonexistent/perikon-outbox"
                                    << "does not exist";
    // Nobody, root included, creates files in /proc.
    QTest::newRow("unwritable folder") << "/proc"
                                       << "cannot be written";
}

void tst_SmsClient::outboxFailures()
{
    QFETCH(QString, folder);
    QFETCH(QString, reason);

    const CallResult outcome
        = call(QStringLiteral("gateway=outbox;folder=") + folder, QStringLiteral("138,Hi"));
    QCOMPARE(outcome.result, 0);
    QVERIFY2(outcome.reply.contains(reason), qPrintable(outcome.reply));
}

void tst_SmsClient::unusableConfiguration_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("reason");

    QTest::newRow("empty") << ""
                           << "138,Hi"
                           << "No SMS gateway is configured";
    QTest::newRow("none") << "gateway=none;url=http://127.0.0.1:1/"
                          << "138,Hi"
                          << "No SMS gateway is configured";
    QTest::newRow("unknown gateway") << "gateway=carrier-pigeon"
                                     << "138,Hi"
                                     << "Unknown SMS gateway";
    QTest::newRow("http without url") << "gateway=http"
                                      << "138,Hi"
                                      << "no url";
    QTest::newRow("unknown format") << "gateway=http;url=http://127.0.0.1:1/;format=xml"
                                    << "138,Hi"
                                    << "Unknown SMS body format";
    QTest::newRow("bad timeout") << "gateway=http;url=http://127.0.0.1:1/;timeout=soon"
                                 << "138,Hi"
                                 << "Invalid SMS timeout";
    QTest::newRow("outbox without folder") << "gateway=outbox"
                                           << "138,Hi"
                                           << "no folder";
    QTest::newRow("no recipients") << "gateway=outbox;folder=/tmp"
                                   << " ; ,Hi"
                                   << "no recipients";
}

void tst_SmsClient::unusableConfiguration()
{
    QFETCH(QString, config);
    QFETCH(QString, payload);
    QFETCH(QString, reason);

    const CallResult outcome = call(config, payload);
    QCOMPARE(outcome.result, 0);
    QVERIFY2(outcome.reply.contains(reason), qPrintable(outcome.reply));
}

void tst_SmsClient::replyIsCutAtCharacterBoundary_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("bytes");

    QTest::newRow("ascii") << QByteArray(300, 'a') << 254;
    // 1 + 84 * 3 = 253 bytes; the 85th character would end at byte 256.
    QTest::newRow("three-byte characters") << ("x" + QString(100, QChar(0x4F60)).toUtf8()) << 253;
    QTest::newRow("fits") << QByteArray(254, 'b') << 254;
}

void tst_SmsClient::replyIsCutAtCharacterBoundary()
{
    QFETCH(QByteArray, body);
    QFETCH(int, bytes);

    TestSmsGateway gateway;
    gateway.setAnswer({500, body, 0, false});
    const CallResult outcome
        = call(QStringLiteral("gateway=http;url=") + gateway.url(), QStringLiteral("138,Hi"));
    QCOMPARE(outcome.replyBytes, bytes);
    QVERIFY(QString::fromUtf8(body).startsWith(outcome.reply));
    QCOMPARE(outcome.reply.toUtf8().size(), bytes); // no broken character was decoded
}

QTEST_GUILESS_MAIN(tst_SmsClient)
#include "tst_smsclient.moc"
