// Common.sendSMS: the report a window shows for each message, the trace it leaves, and what an
// unusable client library does to the report and error.log. Runs on a QApplication's thread,
// where the window calls it.

#include "perikon/messaging/SendSms.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "support/TestSmsGateway.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace perikon;
using perikon::testing::TestSmsGateway;

namespace {

const QString kSent = QStringLiteral("短信发送成功。");
const QString kFailed = QStringLiteral("短信发送失败！");
const QString kNoText = QStringLiteral("短信内容为空，未发送。");
const QString kNoMobile = QStringLiteral("手机号码为空，未发送。");

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class tst_SendSms : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void report_data();
    void report();
    void gatewayReceivesRecipientsAndText();
    void traceMasksSecrets();
    void missingLibraryIsReportedAndLogged_data();
    void missingLibraryIsReportedAndLogged();
    void bridgeWritesReportBack();

private:
    QString traceText() const { return readFile(m_folder->filePath(QStringLiteral("trace.log"))); }
    QString errorLogText() const
    {
        return readFile(m_folder->filePath(QStringLiteral("error.log")));
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<suite::SuiteLogin> m_login;
};

void tst_SendSms::initTestCase()
{
    suite::registerServices();
}

void tst_SendSms::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    qputenv("PERIKON_SMS_CLIENT", PERIKON_SMS_CLIENT_FILE);
    qputenv("PERIKON_LOG_DIR", m_folder->path().toLocal8Bit());
    qputenv("PERIKON_TRACE_FILE", m_folder->filePath(QStringLiteral("trace.log")).toLocal8Bit());
    m_login = std::make_unique<suite::SuiteLogin>();
    m_login->setLanguageRegion(QStringLiteral("zh-CN"));
    gLogin = m_login.get();
}

void tst_SendSms::cleanup()
{
    gLogin = nullptr;
    m_login.reset();
    qunsetenv("PERIKON_SMS_CLIENT");
    qunsetenv("PERIKON_LOG_DIR");
    qunsetenv("PERIKON_TRACE_FILE");
    m_folder.reset();
}

void tst_SendSms::report_data()
{
    QTest::addColumn<TestSmsGateway::Answer>("answer");
    QTest::addColumn<QString>("extraConfig");
    QTest::addColumn<QStringList>("recipients");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("report");
    QTest::addColumn<int>("requests");

    const TestSmsGateway::Answer accepted;
    const QStringList one{QStringLiteral("13800000001")};
    const QStringList hello{QStringLiteral("你好")};
    QTest::newRow("sent") << accepted << "" << one << hello << kSent << 1;
    QTest::newRow("http 500") << TestSmsGateway::Answer{500, "down", 0, false} << "" << one << hello
                              << kFailed << 1;
    QTest::newRow("refused in body") << TestSmsGateway::Answer{200, R"({"ok":false})", 0, false}
                                     << "" << one << hello << kFailed << 1;
    QTest::newRow("timeout") << TestSmsGateway::Answer{200, "{}", 3000, false} << ";timeout=300"
                             << one << hello << kFailed << 1;
    QTest::newRow("blank text is not sent")
        << accepted << "" << one << QStringList{QStringLiteral("   ")} << kNoText << 0;
    QTest::newRow("blank recipients are not sent")
        << accepted << "" << QStringList{QStringLiteral("  ")} << hello << kNoMobile << 0;
    QTest::newRow("reports follow one another")
        << accepted << ""
        << QStringList{QStringLiteral("138"), QString(), QStringLiteral("139"),
                       QStringLiteral("137")}
        << QStringList{QString(), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}
        << kNoText + kNoMobile + kSent + kSent << 2;
}

void tst_SendSms::report()
{
    QFETCH(TestSmsGateway::Answer, answer);
    QFETCH(QString, extraConfig);
    QFETCH(QStringList, recipients);
    QFETCH(QStringList, texts);
    QFETCH(QString, report);
    QFETCH(int, requests);

    TestSmsGateway gateway;
    gateway.setAnswer(answer);
    QString written = QStringLiteral("");
    QElapsedTimer clock;
    clock.start();
    Common::sendSMS(QStringLiteral("gateway=http;url=") + gateway.url() + extraConfig,
                    {recipients, texts}, written);
    QCOMPARE(written, report);
    QCOMPARE(gateway.requests().size(), requests);
    QVERIFY(clock.elapsed() < 2000);
    QVERIFY(errorLogText().isEmpty());
}

void tst_SendSms::gatewayReceivesRecipientsAndText()
{
    TestSmsGateway gateway;
    QString written;
    Common::sendSMS(
        QStringLiteral("gateway=http;url=") + gateway.url(),
        {{QStringLiteral("13800000001;13900000002")}, {QStringLiteral("周五开会, 请准时。——Li")}},
        written);
    QCOMPARE(written, kSent);
    QCOMPARE(gateway.requests().size(), 1);
    const QJsonObject body = QJsonDocument::fromJson(gateway.requests().first().body).object();
    QCOMPARE(body.value(QStringLiteral("to")).toVariant().toStringList(),
             QStringList({QStringLiteral("13800000001"), QStringLiteral("13900000002")}));
    QCOMPARE(body.value(QStringLiteral("text")).toString(),
             QStringLiteral("周五开会, 请准时。——Li"));
}

void tst_SendSms::traceMasksSecrets()
{
    TestSmsGateway gateway;
    const QString config = QStringLiteral("gateway=http;url=%1;token=tk-SECRET;user=clerk;"
                                          " password = pw-SECRET ;timeout=2000")
                               .arg(gateway.url());
    QString written;
    Common::sendSMS(config, {{QStringLiteral("13800000001")}, {QStringLiteral("Hi")}}, written);
    QCOMPARE(written, kSent);

    const QString trace = traceText();
    QVERIFY(trace.contains(
        QStringLiteral("\tContact-Common\t显示发送短信后的返回信息===============1\n")));
    QVERIFY(trace.contains(
        QStringLiteral("\tContact-Common\t发送的手机号===============13800000001\n")));
    QVERIFY(trace.contains(QStringLiteral("\tContact-Common\t配置中心信息===============gateway="
                                          "http;url=%1;token=***;user=clerk; password =***;"
                                          "timeout=2000\n")
                               .arg(gateway.url())));
    QVERIFY(!trace.contains(QLatin1String("SECRET")));
}

void tst_SendSms::missingLibraryIsReportedAndLogged_data()
{
    QTest::addColumn<QByteArray>("library");
    QTest::addColumn<QString>("description");

    QTest::newRow("no such file") << QByteArray("/nonexistent/libperikon-smsclient.so")
                                  << "The SMS client library cannot be loaded";
    // A real library that lacks the entry point.
    QTest::newRow("no entry point")
        << QByteArray(PERIKON_QT_CORE_FILE) << "has no function SMSCall";
}

void tst_SendSms::missingLibraryIsReportedAndLogged()
{
    QFETCH(QByteArray, library);
    QFETCH(QString, description);

    qputenv("PERIKON_SMS_CLIENT", library);
    TestSmsGateway gateway;
    QString written = QStringLiteral("before:");
    Common::sendSMS(QStringLiteral("gateway=http;url=") + gateway.url(),
                    {{QStringLiteral("138"), QStringLiteral("139"), QStringLiteral("137")},
                     {QString(), QStringLiteral("a"), QStringLiteral("b")}},
                    written);
    // The first message needs no library; the error stops the rest.
    QVERIFY2(written.startsWith(QStringLiteral("before:") + kNoText + QStringLiteral("The SMS"))
                 && written.contains(description),
             qPrintable(written));
    QVERIFY(!written.contains(kSent) && !written.contains(kFailed));
    QVERIFY(gateway.requests().isEmpty());
    const QString log = errorLogText();
    QVERIFY(log.contains(QStringLiteral("Function       : Perikon.Common.sendSMS")));
    QVERIFY(log.contains(description));
}

void tst_SendSms::bridgeWritesReportBack()
{
    TestSmsGateway gateway;
    QVariantList args{QStringLiteral("gateway=http;url=") + gateway.url(),
                      QStringList{QStringLiteral("138"), QStringLiteral("139")},
                      QStringList{QStringLiteral("a"), QString()}, QStringLiteral(">")};
    QVERIFY(ModuleRegistry::call(QStringLiteral("Common"), QStringLiteral("sendSMS"), args));
    QCOMPARE(args.value(3).toString(), QStringLiteral(">") + kSent + kNoText);
    QCOMPARE(gateway.requests().size(), 1);
}

QTEST_MAIN(tst_SendSms)
#include "tst_sendsms.moc"
