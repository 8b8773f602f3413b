// The component's resource-text and message helpers over a recording host.

#include "perikon/host/HostSession.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QAtomicInt>
#include <QTest>

#include <thread>

using namespace perikon;

namespace {

struct Recorded
{
    QString key;
    QString language;
    QStringList args;
    int style = -1;
    QString title;
    QString text;
};

thread_local Recorded tLast;
QAtomicInt gTitleRequests;
bool gFormatterFails = false;

class RecordingUiHelper : public UiHelper
{
public:
    QString GetLanguageId(QObject *login) override
    {
        return login ? login->property("LanguageRegion").toString() : QStringLiteral("xx-NONE");
    }
    QString GetResText(const QString &key, const QString &languageId, bool flag) override
    {
        tLast.key = key;
        tLast.language = languageId;
        // Unknown keys give back an empty text, which the component must pass on unchanged.
        if (key == QLatin1String("K2.TEST.Missing"))
            return {};
        return flag ? languageId + QLatin1Char(':') + key : QStringLiteral("flag not passed");
    }
    QString GetResFormatText(const QString &key, const QStringList &args,
                             const QString &languageId) override
    {
        tLast.key = key;
        tLast.language = languageId;
        tLast.args = args;
        return languageId + QLatin1Char(':') + args.join(QLatin1Char('|'));
    }
    int ShowMsgBox(const QString &text, int style, const QString &title, const QString &languageId,
                   int, int) override
    {
        tLast.text = text;
        tLast.style = style;
        tLast.title = title;
        tLast.language = languageId;
        return style == MsgBoxStyle::YesNo ? MsgBoxButton::No : MsgBoxButton::OK;
    }
    void InitFormLanguage(QWidget *, const QString &) override {}
    void SetFormCaption(QWidget *, const QString &, bool) override {}
    void WriteTrace(const QString &, const QString &, bool) override {}
    QString XmlEncode(const QString &text) override { return text; }
    QString GetHelpFile() override { return {}; }
    QString GetSmsConfig() override { return {}; }
};

class Strings : public ResourceStrings
{
public:
    QString GetString(const QString &key) override { return QStringLiteral("service:") + key; }
};

class Formatter : public ResourceFormatter
{
public:
    QString GetString(const QString &key, const QStringList &args) override
    {
        if (gFormatterFails)
            throw std::runtime_error("formatter broke");
        return key + QLatin1Char('(') + args.join(QLatin1Char(',')) + QLatin1Char(')');
    }
};

class Factory : public ResourceFactory
{
public:
    std::unique_ptr<ResourceLocal> GetLocalService() override { return nullptr; }
    std::unique_ptr<ResourceStrings> GetResourceService() override
    {
        return std::make_unique<Strings>();
    }
    std::unique_ptr<ResourceFormatter> CreateFormatter() override
    {
        return std::make_unique<Formatter>();
    }
};

class Title : public MessageTitleProvider
{
public:
    QString GetTitle(const QString &languageId) override
    {
        gTitleRequests.fetchAndAddOrdered(1);
        return QStringLiteral("title-") + languageId;
    }
};

} // namespace

class tst_ResText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        HostRegistry::registerFactory(QStringLiteral("UiHelper"),
                                      [] { return std::make_unique<RecordingUiHelper>(); });
        HostRegistry::registerFactory(QStringLiteral("ResourceService"),
                                      [] { return std::make_unique<Factory>(); });
        HostRegistry::registerFactory(QStringLiteral("MessageTitleProvider"),
                                      [] { return std::make_unique<Title>(); });
    }

    void init()
    {
        m_login = std::make_unique<QObject>();
        m_login->setProperty("LanguageRegion", QStringLiteral("en-US"));
        gLogin = m_login.get();
        gFormatterFails = false;
    }

    void cleanup() { gLogin = nullptr; }

    void languageRule_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("loginPresent");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing language takes the login's") << QString() << true << "en-US";
        QTest::newRow("empty language takes the login's") << QString("") << true << "en-US";
        QTest::newRow("given language wins") << QString("zh-CN") << true << "zh-CN";
        QTest::newRow("no login asks the helper without one") << QString() << false << "xx-NONE";
    }

    void languageRule()
    {
        QFETCH(QString, given);
        QFETCH(bool, loginPresent);
        QFETCH(QString, expected);
        if (!loginPresent)
            gLogin = nullptr;

        QCOMPARE(GetResText(QStringLiteral("K2.CRM.COMMON.DBMSG.0002"), given),
                 expected + QStringLiteral(":K2.CRM.COMMON.DBMSG.0002"));
        QCOMPARE(tLast.language, expected);

        QCOMPARE(GetResFormat(QStringLiteral("K2.CRM.COMMON.CheckNull03"), {QStringLiteral("手机")},
                              given),
                 expected + QStringLiteral(":手机"));
        QCOMPARE(tLast.key, QStringLiteral("K2.CRM.COMMON.CheckNull03"));
    }

    void missingTextIsPassedOnEmpty()
    {
        QCOMPARE(GetResText(QStringLiteral("K2.TEST.Missing")), QString());
    }

    void serviceTextsComeFromTheStringService()
    {
        QCOMPARE(GetResServiceText(QStringLiteral("K2.AA.ARCHIVE.COMMON.xmlloaderror")),
                 QStringLiteral("service:K2.AA.ARCHIVE.COMMON.xmlloaderror"));
    }

    void formatterFillsArguments()
    {
        QCOMPARE(GetResArgs(QStringLiteral("K2.CRM.COMMON.DBMSG.Fld01"),
                            {QStringLiteral("cMemo"), QStringLiteral("x")}),
                 QStringLiteral("K2.CRM.COMMON.DBMSG.Fld01(cMemo,x)"));
    }

    void formatterFailureGivesEmptyText()
    {
        gFormatterFails = true;
        QCOMPARE(GetResArgs(QStringLiteral("K2.CRM.COMMON.DBMSG.Fld01"), {QStringLiteral("cMemo")}),
                 QString());
    }

    void showMessageIsAnInformationBoxWithTheSessionTitle()
    {
        ShowMessage(QStringLiteral("保存成功"));
        QCOMPARE(tLast.text, QStringLiteral("保存成功"));
        QCOMPARE(tLast.style, 64);
        QCOMPARE(tLast.title, QStringLiteral("title-en-US"));
        QCOMPARE(tLast.language, QStringLiteral("en-US"));
    }

    void msgBoxReturnsThePressedButton()
    {
        QCOMPARE(MsgBox(QStringLiteral("删除吗？"), MsgBoxStyle::YesNo, QStringLiteral("Contacts")),
                 MsgBoxButton::No);
        QCOMPARE(tLast.style, MsgBoxStyle::YesNo);
        QCOMPARE(tLast.title, QStringLiteral("Contacts"));
    }

    void messageTitleIsAskedOncePerThread()
    {
        gMsgTitle.reset();
        const int before = gTitleRequests.loadAcquire();
        ShowMessage(QStringLiteral("one"));
        ShowMessage(QStringLiteral("two"));
        QCOMPARE(gTitleRequests.loadAcquire(), before + 1);
        QCOMPARE(tLast.title, QStringLiteral("title-en-US"));

        // Another thread has its own helper objects, login and title.
        QString otherTitle;
        bool otherHadTitle = true;
        std::thread other([&] {
            otherHadTitle = gMsgTitle.has_value();
            QObject login;
            login.setProperty("LanguageRegion", QStringLiteral("zh-CN"));
            gLogin = &login;
            ShowMessage(QStringLiteral("three"));
            otherTitle = tLast.title;
            gLogin = nullptr;
            gUiHelper.reset();
        });
        other.join();
        QVERIFY(!otherHadTitle);
        QCOMPARE(otherTitle, QStringLiteral("title-zh-CN"));
        QCOMPARE(gTitleRequests.loadAcquire(), before + 2);

        // The first thread keeps its own title.
        ShowMessage(QStringLiteral("four"));
        QCOMPARE(tLast.title, QStringLiteral("title-en-US"));
        QCOMPARE(gTitleRequests.loadAcquire(), before + 2);
    }

    void missingHostServiceReachesTheCaller()
    {
        bool thrown = false;
        std::thread other([&thrown] {
            gUiHelper.reset();
            HostRegistry::registerFactory(QStringLiteral("UiHelper"),
                                          [] { return std::unique_ptr<QObject>(); });
            try {
                GetResText(QStringLiteral("K2.CRM.COMMON.DBMSG.0002"), QStringLiteral("zh-CN"));
            } catch (const HostServiceMissing &) {
                thrown = true;
            }
            HostRegistry::registerFactory(QStringLiteral("UiHelper"),
                                          [] { return std::make_unique<RecordingUiHelper>(); });
        });
        other.join();
        QVERIFY(thrown);
    }

private:
    std::unique_ptr<QObject> m_login;
};

QTEST_GUILESS_MAIN(tst_ResText)
#include "tst_restext.moc"
