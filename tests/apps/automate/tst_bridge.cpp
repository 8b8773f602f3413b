// The automation bridge: creation by name, calls with by-reference results, properties, module
// functions, session values, scripted answers, and errors that never stop the bridge.

#include "apps/automate/Bridge.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace perikon;

namespace {

// A host object with by-reference arguments, as the component's classes have.
class Echo : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE bool Split(const QString &text, QString &head, int &count, bool &flag)
    {
        head = text.section(QLatin1Char(','), 0, 0);
        count = int(text.count(QLatin1Char(','))) + 1;
        flag = !flag;
        return count > 1;
    }
    Q_INVOKABLE QString Describe(QObject *other)
    {
        return other ? other->metaObject()->className() : QString();
    }
    Q_INVOKABLE void Nothing() {}
};

} // namespace

class tst_Bridge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        HostRegistry::registerFactory(QStringLiteral("Test.Echo"),
                                      [] { return std::make_unique<Echo>(); });
        ModuleRegistry::registerFunction(QStringLiteral("Test"), QStringLiteral("Twice"),
                                         [](QVariantList &args) {
                                             const QString text = args.value(0).toString();
                                             args[0] = text + text;
                                             return QVariant(text.size());
                                         });
    }

    void init() { m_bridge = std::make_unique<automation::Bridge>(); }

    void byReferenceArgumentsComeBack()
    {
        QVERIFY(send(R"({"new":"Test.Echo","as":"e"})").value("ok").toBool());
        const QJsonObject reply
            = send(R"({"call":"e.Split","args":["张三,李四,王五","",0,false]})");
        QVERIFY(reply.value("ok").toBool());
        QCOMPARE(reply.value("result").toBool(), true);
        const QJsonArray args = reply.value("args").toArray();
        QCOMPARE(args.size(), 4);
        QCOMPARE(args[0].toString(), QStringLiteral("张三,李四,王五"));
        QCOMPARE(args[1].toString(), QStringLiteral("张三"));
        QCOMPARE(args[2].toInt(), 3);
        QCOMPARE(args[3].toBool(), true);
    }

    void voidMethodsAnswerNull()
    {
        send(R"({"new":"Test.Echo","as":"e"})");
        const QJsonObject reply = send(R"({"call":"e.Nothing","args":[]})");
        QVERIFY(reply.value("ok").toBool());
        QVERIFY(reply.value("result").isNull());
    }

    void objectsPassByReference()
    {
        send(R"({"new":"Test.Echo","as":"e"})");
        send(R"({"new":"Suite.Login","as":"login"})");
        QCOMPARE(
            send(R"({"call":"e.Describe","args":[{"ref":"login"}]})").value("result").toString(),
            QStringLiteral("perikon::suite::SuiteLogin"));
    }

    void hostServicesTakeWidgetArguments()
    {
        QVERIFY(send(R"({"new":"PubService","as":"pub"})").value("ok").toBool());
        // No data-access object and no grid: nothing to store, but the call is made.
        const QJsonObject reply
            = send(R"({"call":"pub.SaveColSet","args":[null,null,"Crm_Contact","admin"]})");
        QVERIFY2(reply.value("ok").toBool(), qPrintable(reply.value("error").toString()));
        QCOMPARE(reply.value("result").toBool(true), false);
    }

    void propertiesReadAndWrite()
    {
        send(R"({"new":"Suite.Login","as":"login"})");
        QVERIFY(send(R"({"set":"login.cUserName","value":"王小明"})").value("ok").toBool());
        QVERIFY(send(R"({"set":"login.IsAdmin","value":true})").value("ok").toBool());
        QCOMPARE(send(R"({"get":"login.cUserName"})").value("result").toString(),
                 QStringLiteral("王小明"));
        QCOMPARE(send(R"({"get":"login.IsAdmin"})").value("result").toBool(), true);
    }

    void moduleFunctionsWriteBackArguments()
    {
        const QJsonObject reply = send(R"({"call":"Test.Twice","args":["ab"]})");
        QVERIFY(reply.value("ok").toBool());
        QCOMPARE(reply.value("result").toInt(), 2);
        QCOMPARE(reply.value("args").toArray().at(0).toString(), QStringLiteral("abab"));
    }

    void sessionValuesReadAndWrite()
    {
        QVERIFY(send(R"({"setglobal":"gLastError","value":"出错了"})").value("ok").toBool());
        QCOMPARE(gLastError, QStringLiteral("出错了"));
        QCOMPARE(send(R"({"global":"gLastError"})").value("result").toString(),
                 QStringLiteral("出错了"));

        send(R"({"new":"Suite.Login","as":"login"})");
        QVERIFY(send(R"({"setglobal":"gLogin","value":{"ref":"login"}})").value("ok").toBool());
        QVERIFY(gLogin);
        QCOMPARE(send(R"({"global":"gLogin"})").value("result").toObject().value("ref").toString(),
                 QStringLiteral("login"));
        gLogin = nullptr;
        gLastError.clear();
    }

    void nullVariantArgumentIsTheSystemsNull()
    {
        send(R"({"new":"Perikon.IClsCommon","as":"com"})");
        QCOMPARE(send(R"({"call":"com.ReIdVal","args":[null]})").value("result").toString(),
                 QStringLiteral(" is null "));
        QCOMPARE(send(R"({"call":"com.ReIdVal","args":[""]})").value("result").toString(),
                 QStringLiteral("= ''"));
    }

    void scriptedAnswersAndShownMessages()
    {
        send(R"({"new":"Suite.Login","as":"login"})");
        send(R"({"setglobal":"gLogin","value":{"ref":"login"}})");
        QVERIFY(send(R"({"answers":[7]})").value("ok").toBool());
        // The host's message boxes, as the component's windows reach them.
        const auto ui = HostRegistry::createAs<UiHelper>(QStringLiteral("UiHelper"));
        QVERIFY(ui);
        QCOMPARE(ui->ShowMsgBox(QStringLiteral("删除联系人吗？"), 4, QString(), QString(), 0, 0),
                 7);
        ui->ShowMsgBox(QStringLiteral("已删除"), 0, QString(), QString(), 0, 0);
        const QJsonObject reply = send(R"({"messages":true})");
        QCOMPARE(reply.value("messages").toArray(),
                 (QJsonArray{QStringLiteral("删除联系人吗？"), QStringLiteral("已删除")}));
        QCOMPARE(send(R"({"messages":true})").value("messages").toArray().size(), 0);
        gLogin = nullptr;
    }

    void errorsAreRepliesAndTheBridgeGoesOn_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("unknown class") << R"({"new":"Perikon.NoSuchClass","as":"x"})"
                                       << "Perikon.NoSuchClass";
        QTest::newRow("unknown method") << R"({"call":"e.Missing","args":[]})"
                                        << "Missing";
        QTest::newRow("wrong argument count") << R"({"call":"e.Split","args":["a"]})"
                                              << "1 arguments";
        QTest::newRow("unknown object or module") << R"({"call":"nobody.Split","args":[]})"
                                                  << "nobody.Split";
        QTest::newRow("unknown property") << R"({"get":"e.Colour"})"
                                          << "Colour";
        QTest::newRow("unknown session value") << R"({"global":"gNoSuchValue"})"
                                               << "gNoSuchValue";
        QTest::newRow("reference to nothing") << R"({"call":"e.Describe","args":[{"ref":"ghost"}]})"
                                              << "ghost";
        QTest::newRow("not JSON") << "select * from Crm_Contact"
                                  << "JSON";
        QTest::newRow("unknown request") << R"({"jump":true})"
                                         << "unknown request";
    }

    void errorsAreRepliesAndTheBridgeGoesOn()
    {
        QFETCH(QString, request);
        QFETCH(QString, errorPart);
        send(R"({"new":"Test.Echo","as":"e"})");
        const QJsonObject reply = send(request);
        QCOMPARE(reply.value("ok").toBool(), false);
        QVERIFY2(reply.value("error").toString().contains(errorPart),
                 qPrintable(reply.value("error").toString()));
        QVERIFY(send(R"({"call":"e.Nothing","args":[]})").value("ok").toBool());
    }

    void executableMakesGuids()
    {
        QProcess process;
        process.start(QStringLiteral(PERIKON_AUTOMATE_BINARY));
        QVERIFY(process.waitForStarted());
        process.write("{\"new\":\"Perikon.GUIDGenerator\",\"as\":\"g\"}\n"
                      "{\"call\":\"g.CreateGUID\",\"args\":[\"\"]}\n"
                      "{\"call\":\"g.CreateGUID\",\"args\":[\"{-}\"]}\n");
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
        QVERIFY(lines.size() >= 3);
        const QString braced
            = QJsonDocument::fromJson(lines[1]).object().value("result").toString();
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$"))
                .match(braced)
                .hasMatch(),
            qPrintable(braced));
        const QString bare = QJsonDocument::fromJson(lines[2]).object().value("result").toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9A-F]{32}$")).match(bare).hasMatch(),
                 qPrintable(bare));
    }

    void executableServesLinesAsTheyArrive()
    {
        QProcess process;
        process.start(QStringLiteral(PERIKON_AUTOMATE_BINARY));
        QVERIFY(process.waitForStarted());
        // A request split over two writes is still one request.
        process.write(R"({"ui":"windows",)");
        QTest::qWait(100);
        process.write("\"id\":1}\n");
        QVERIFY(waitForLines(process, 1));
        QCOMPARE(QJsonDocument::fromJson(process.readLine()).object(),
                 QJsonDocument::fromJson(R"({"ok":true,"windows":[],"id":1})").object());
        process.write(
            "{\"result\":5,\"id\":2}\nnot json\n{\"global\":\"gLastError\",\"id\":\"g\"}\n");
        QVERIFY(waitForLines(process, 3));
        QCOMPARE(QJsonDocument::fromJson(process.readLine()).object().value("id").toInt(), 2);
        QCOMPARE(QJsonDocument::fromJson(process.readLine()).object().value("ok").toBool(), false);
        QCOMPARE(QJsonDocument::fromJson(process.readLine()).object(),
                 QJsonDocument::fromJson(R"({"ok":true,"result":"","id":"g"})").object());
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

    void executableReadsAScriptFile()
    {
        QTemporaryDir dir;
        QFile script(dir.filePath(QStringLiteral("script.txt")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        // The last line has no line break.
        script.write(
            "{\"setglobal\":\"gLastError\",\"value\":\"x\"}\n\n{\"global\":\"gLastError\"}");
        script.close();
        QProcess process;
        process.setStandardInputFile(script.fileName());
        process.start(QStringLiteral(PERIKON_AUTOMATE_BINARY));
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        const QList<QByteArray> lines = process.readAllStandardOutput().trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(QJsonDocument::fromJson(lines[1]).object().value("result").toString(),
                 QStringLiteral("x"));
    }

private:
    static bool waitForLines(QProcess &process, int count)
    {
        QDeadlineTimer deadline(30000);
        while (process.bytesAvailable() < 1
               || process.peek(process.bytesAvailable()).count('\n') < count) {
            if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        }
        return true;
    }

    QJsonObject send(const QString &line)
    {
        return QJsonDocument::fromJson(m_bridge->handleLine(line).toUtf8()).object();
    }

    std::unique_ptr<automation::Bridge> m_bridge;
};

QTEST_MAIN(tst_Bridge)
#include "tst_bridge.moc"
