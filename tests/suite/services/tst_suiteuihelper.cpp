// The suite's UI helper and resource service as the component sees them.

#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/services/SuiteUiHelper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace perikon;

class tst_SuiteUiHelper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        suite::registerServices();
        suite::MessageBoxScript::setInteractive(false);
    }

    void init()
    {
        m_login = std::make_unique<suite::SuiteLogin>();
        gLogin = m_login.get();
        suite::MessageBoxScript::takeShownMessages();
    }

    void cleanup() { gLogin = nullptr; }

    void loginLanguageChoosesTheTexts_data()
    {
        QTest::addColumn<QString>("region");
        QTest::addColumn<QString>("yes");
        QTest::newRow("English") << "en-US"
                                 << "Yes";
        QTest::newRow("English in other case") << "EN-us"
                                               << "Yes";
        QTest::newRow("Chinese") << "zh-CN"
                                 << "是";
        QTest::newRow("anything else is Chinese") << "fr-FR"
                                                  << "是";
    }

    void loginLanguageChoosesTheTexts()
    {
        QFETCH(QString, region);
        QFETCH(QString, yes);
        m_login->setLanguageRegion(region);
        QCOMPARE(GetResText(QStringLiteral("K2.AA.ARCHIVE.COMMON.yes")), yes);
        QCOMPARE(GetResServiceText(QStringLiteral("K2.AA.ARCHIVE.COMMON.yes")), yes);
    }

    void textsKeepTheirBlanks()
    {
        // Texts that are joined to others without a separator carry their own blanks.
        QCOMPARE(
            suite::ResourceTexts::text(QStringLiteral("en-US"), QStringLiteral("K2.MR.QZO.00134")),
            QStringLiteral(" this contact "));
    }

    void unknownKeyGivesEmptyText()
    {
        QCOMPARE(GetResText(QStringLiteral("K2.NO.SUCH.KEY")), QString());
    }

    void argumentsAreFilledOnce_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("in order") << "%1不能为空%2" << QStringList{"手机", "！"}
                                  << "手机不能为空！";
        QTest::newRow("reordered") << "%2 of %1" << QStringList{"a", "b"} << "b of a";
        QTest::newRow("argument holding a placeholder")
            << "%1-%2" << QStringList{"%2", "x"} << "%2-x";
        QTest::newRow("missing argument") << "%1 and %2" << QStringList{"a"} << "a and ";
        QTest::newRow("percent sign kept") << "100% %1" << QStringList{"ok"} << "100% ok";
    }

    void argumentsAreFilledOnce()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QCOMPARE(suite::ResourceTexts::fillArguments(text, args), expected);
    }

    void scriptedMessageBoxes_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QList<int>>("queued");
        QTest::addColumn<int>("expected");
        QTest::newRow("information answers OK") << 64 << QList<int>{} << 1;
        QTest::newRow("yes/no defaults to yes") << 4 + 32 << QList<int>{} << 6;
        QTest::newRow("yes/no with second default") << 4 + 256 << QList<int>{} << 7;
        QTest::newRow("yes/no/cancel third default") << 3 + 512 << QList<int>{} << 2;
        QTest::newRow("queued answer wins") << 4 << QList<int>{7} << 7;
    }

    void scriptedMessageBoxes()
    {
        QFETCH(int, style);
        QFETCH(QList<int>, queued);
        QFETCH(int, expected);
        suite::MessageBoxScript::queueAnswers(queued);
        QCOMPARE(MsgBox(QStringLiteral("确定删除吗？"), style), expected);
        QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
                 QStringList{QStringLiteral("确定删除吗？")});
    }

    void answersAreUsedInOrder()
    {
        suite::MessageBoxScript::queueAnswers({6, 7});
        ShowMessage(QStringLiteral("first"));
        QCOMPARE(MsgBox(QStringLiteral("second"), 4), 7);
        QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
                 (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
        QVERIFY(suite::MessageBoxScript::takeShownMessages().isEmpty());
    }

    void xmlEncodeEscapesReservedCharacters()
    {
        suite::SuiteUiHelper helper;
        QCOMPARE(helper.XmlEncode(QStringLiteral("A&B <张> \"x\" 'y'")),
                 QStringLiteral("A&amp;B &lt;张&gt; &quot;x&quot; &apos;y&apos;"));
    }

    void windowTextsFollowTheSessionLanguage()
    {
        m_login->setLanguageRegion(QStringLiteral("en-US"));
        suite::SuiteUiHelper helper;
        QWidget window;
        helper.InitFormLanguage(&window, QStringLiteral("K2.CRM.QZContactUI.frmSendSMS"));
        QVERIFY(!window.windowTitle().isEmpty());
        QCOMPARE(window.windowTitle(),
                 suite::ResourceTexts::text(QStringLiteral("en-US"),
                                            QStringLiteral("K2.CRM.QZContactUI.frmSendSMS")));
        helper.SetFormCaption(&window, QStringLiteral("联系人"), true);
        QCOMPARE(window.windowTitle(), QStringLiteral("联系人"));
    }

    void smsConfigFromEnvironmentOrFile_data()
    {
        QTest::addColumn<QByteArray>("environment");
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<QString>("config");

        QTest::newRow("nothing configured") << QByteArray() << QByteArray() << "gateway=none";
        QTest::newRow("file, one key a line")
            << QByteArray()
            << QByteArray("# office gateway\ngateway=http\n\n  url=http://sms.local/send \n"
                          "token=abc\n")
            << "gateway=http;url=http://sms.local/send;token=abc";
        QTest::newRow("file with only comments")
            << QByteArray() << QByteArray("# off\n") << "gateway=none";
        QTest::newRow("environment wins")
            << QByteArray("gateway=outbox;folder=/var/spool/sms") << QByteArray("gateway=http")
            << "gateway=outbox;folder=/var/spool/sms";
    }

    void smsConfigFromEnvironmentOrFile()
    {
        QFETCH(QByteArray, environment);
        QFETCH(QByteArray, file);
        QFETCH(QString, config);

        QTemporaryDir home;
        const QByteArray previousHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        if (!file.isEmpty()) {
            QVERIFY(QDir(home.path()).mkpath(QStringLiteral("perikon")));
            QFile conf(home.filePath(QStringLiteral("perikon/sms.conf")));
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write(file);
        }
        if (!environment.isEmpty())
            qputenv("PERIKON_SMS_CONFIG", environment);
        const QString answer = suite::SuiteUiHelper().GetSmsConfig();
        qunsetenv("PERIKON_SMS_CONFIG");
        if (previousHome.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previousHome);
        QCOMPARE(answer, config);
    }

    void traceLinesAreAppended()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trace.log"));
        qputenv("PERIKON_TRACE_FILE", path.toLocal8Bit());
        suite::SuiteUiHelper helper;
        helper.WriteTrace(QStringLiteral("Form_Activate--LoadHead"), QStringLiteral("12 ms"), true);
        helper.WriteTrace(QStringLiteral("Contact-Common"), QStringLiteral("sent"), true);
        qunsetenv("PERIKON_TRACE_FILE");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines
            = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].endsWith(QStringLiteral("\tForm_Activate--LoadHead\t12 ms")));
        QVERIFY(lines[1].endsWith(QStringLiteral("\tContact-Common\tsent")));
    }

    void helpFileExistsInTheSessionLanguage()
    {
        suite::SuiteUiHelper helper;
        m_login->setLanguageRegion(QStringLiteral("en-US"));
        QVERIFY2(QFile::exists(helper.GetHelpFile()), qPrintable(helper.GetHelpFile()));
        QVERIFY(helper.GetHelpFile().endsWith(QStringLiteral("en-US.html")));
        m_login->setLanguageRegion(QStringLiteral("zh-CN"));
        QVERIFY2(QFile::exists(helper.GetHelpFile()), qPrintable(helper.GetHelpFile()));
    }

    void taskExecRefusalExplainsItself()
    {
        m_login->cUserId = QStringLiteral("demo");
        m_login->GrantedFunctions = {QStringLiteral("CS020202")};
        // The component reaches TaskExec by name, as it does on any host login.
        bool state = true;
        QVERIFY(hostlogin::taskExec(m_login.get(), QStringLiteral("CS020202"), state));
        QVERIFY(hostlogin::text(m_login.get(), "ShareString").isEmpty());
        QVERIFY(!hostlogin::taskExec(m_login.get(), QStringLiteral("CS020201"), state));
        QVERIFY(hostlogin::text(m_login.get(), "ShareString").contains(QStringLiteral("CS020201")));
        m_login->IsAdmin = true;
        QVERIFY(hostlogin::taskExec(m_login.get(), QStringLiteral("CS020201"), state));
        QObject plainObject;
        QVERIFY(!hostlogin::taskExec(&plainObject, QStringLiteral("CS020201"), state));
    }

private:
    std::unique_ptr<suite::SuiteLogin> m_login;
};

QTEST_MAIN(tst_SuiteUiHelper)
#include "tst_suiteuihelper.moc"
