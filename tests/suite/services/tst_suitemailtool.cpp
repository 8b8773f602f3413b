// The suite's mail tool: the mailto: link a launcher receives for an address line, the trace of
// each call, and the refusals (no launcher, a link too long to hand over).

#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/MailTool.h"
#include "suite/SuiteServices.h"
#include "suite/services/SuiteMailTool.h"
#include "support/MailLauncherStub.h"

#include <QTest>

using namespace perikon;
using testing::MailLauncherStub;

class tst_SuiteMailTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { suite::registerServices(); }

    void launcherReceivesTheAddresses_data()
    {
        QTest::addColumn<QString>("addresses");
        QTest::addColumn<QString>("link");
        QTest::newRow("two") << "a@example.com;b@example.org"
                             << "mailto:a@example.com,b@example.org";
        QTest::newRow("blanks and empty pieces dropped") << " a@example.com ; ;b@example.org; "
                                                         << "mailto:a@example.com,b@example.org";
        QTest::newRow("one with a trailing separator") << "only@example.com;"
                                                       << "mailto:only@example.com";
        QTest::newRow("no address: an unaddressed message") << ""
                                                            << "mailto:";
        QTest::newRow("non-ASCII is percent-encoded")
            << QStringLiteral("李@例子.cn") << "mailto:%E6%9D%8E@%E4%BE%8B%E5%AD%90.cn";
        QTest::newRow("a blank inside an address") << "a b@example.com"
                                                   << "mailto:a%20b@example.com";
    }

    void launcherReceivesTheAddresses()
    {
        QFETCH(QString, addresses);
        QFETCH(QString, link);
        MailLauncherStub launcher;
        QVERIFY(launcher.isValid());
        std::unique_ptr<MailTool> tool
            = HostRegistry::createAs<MailTool>(QStringLiteral("MailTool"));
        QVERIFY(tool);
        QVERIFY(tool->OpenMail(addresses));
        QVERIFY(launcher.waitForOpened(1));
        QCOMPARE(launcher.opened(), QStringList{link});
        QCOMPARE(launcher.traced(), QStringList{addresses});
    }

    void noLauncherAnswersFalse()
    {
        MailLauncherStub nowhere(false);
        suite::SuiteMailTool tool;
        QVERIFY(!tool.OpenMail(QStringLiteral("a@example.com")));
        QCOMPARE(nowhere.traced(), QStringList{"a@example.com"});
    }

    void tooLongLinkIsRefusedWithTheReason()
    {
        MailLauncherStub launcher;
        suite::SuiteMailTool tool;
        // Just within the limit still opens; one byte more is refused.
        const QString prefix = QStringLiteral("mailto:");
        const QString fits(suite::SuiteMailTool::kMaxUrlBytes - prefix.size(), u'a');
        QVERIFY(tool.OpenMail(fits));
        QVERIFY(launcher.waitForOpened(1));

        const QString tooLong = fits + u'a';
        QVERIFY(!tool.OpenMail(tooLong));
        const QStringList traced = launcher.traced();
        QCOMPARE(traced.size(), 3);
        QCOMPARE(traced.at(1), tooLong);
        QVERIFY2(traced.at(2).contains(QLatin1String("longer than a launcher takes")),
                 qPrintable(traced.at(2)));
        QTest::qWait(300); // a launch would have been detached: give it time to show
        QCOMPARE(launcher.opened().size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_SuiteMailTool)
#include "tst_suitemailtool.moc"
