// Session values and module functions as automation clients reach them by name.

#include "perikon/list/ListSession.h"
#include "perikon/session/GlobalRegistry.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QTest>
#include <QThread>

using namespace perikon;

class tst_SessionRegistry : public QObject
{
    Q_OBJECT

private slots:
    void valuesOfEveryModuleArePublished_data()
    {
        QTest::addColumn<QString>("name");
        // One of each owner: the session layer, the list, the card, the batch, the data layer and
        // the host helpers, and the two whose types only the component knows.
        for (const char *name : {"gLastError", "gLogin", "gListDirty", "gCardColInfoXml",
                                 "gSexNames", "gContactTs", "gMsgTitle", "gClsCommon", "gClsLogin"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void valuesOfEveryModuleArePublished()
    {
        QFETCH(QString, name);
        QVERIFY2(GlobalRegistry::names().contains(name), qPrintable(name));
    }

    void aValueSetByNameIsTheThreadsOwnCopy()
    {
        QVERIFY(GlobalRegistry::set(QStringLiteral("gLastError"), QStringLiteral("出错了")));
        QVERIFY(GlobalRegistry::set(QStringLiteral("gListDirty"), true));
        QCOMPARE(gLastError, QStringLiteral("出错了"));
        QVERIFY(gListDirty);

        QString seenElsewhere = QStringLiteral("unset");
        bool dirtyElsewhere = true;
        std::unique_ptr<QThread> other(QThread::create([&] {
            seenElsewhere = GlobalRegistry::get(QStringLiteral("gLastError"))->toString();
            dirtyElsewhere = GlobalRegistry::get(QStringLiteral("gListDirty"))->toBool();
            GlobalRegistry::set(QStringLiteral("gLastError"), QStringLiteral("other thread"));
        }));
        other->start();
        QVERIFY(other->wait(10000));
        QCOMPARE(seenElsewhere, QString());
        QVERIFY(!dirtyElsewhere);
        QCOMPARE(gLastError, QStringLiteral("出错了"));

        gLastError.clear();
        gListDirty = false;
    }

    void ownedObjectsCannotBeReplacedFromOutside()
    {
        QObject stranger;
        QVERIFY(
            !GlobalRegistry::set(QStringLiteral("gPubService"), QVariant::fromValue(&stranger)));
        QVERIFY(!gPubService);
    }

    void unknownNamesAnswerNothing()
    {
        QVERIFY(!GlobalRegistry::get(QStringLiteral("gNoSuchValue")));
        QVERIFY(!GlobalRegistry::set(QStringLiteral("gNoSuchValue"), 1));
        QVariantList args;
        QVERIFY(!ModuleRegistry::call(QStringLiteral("Common"), QStringLiteral("NoSuchFunction"),
                                      args));
    }

    void moduleFunctionsWriteBackTheirArguments()
    {
        // EscapeXmlText works on its argument in place, as a by-reference call does.
        QVariantList args{QStringLiteral("<Row A=\"1\">R&D</Row>")};
        QVERIFY(
            ModuleRegistry::call(QStringLiteral("Common"), QStringLiteral("EscapeXmlText"), args));
        QCOMPARE(args.at(0).toString(), QStringLiteral("<row a=\"1\">R&amp;D</row>"));
    }
};

QTEST_GUILESS_MAIN(tst_SessionRegistry)
#include "tst_sessionregistry.moc"
