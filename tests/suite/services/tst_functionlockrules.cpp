// Which function locks exclude each other between operators, and how a holder's activity reads.

#include "FunctionLockMatrix.h"
#include "suite/SuiteLogin.h"
#include "suite/services/FunctionLockRules.h"

#include <QTest>

using namespace perikon;

class tst_FunctionLockRules : public QObject
{
    Q_OBJECT
private slots:
    void conflicts_data();
    void conflicts();

    void activity_data();
    void activity();
};

void tst_FunctionLockRules::conflicts_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("held");
    QTest::addColumn<bool>("conflict");
    using namespace functionlockmatrix;
    for (size_t r = 0; r < kLocks.size(); ++r) {
        for (size_t h = 0; h < kLocks.size(); ++h) {
            QTest::addRow("%d against %d", kLocks[r], kLocks[h])
                << kLocks[r] << kLocks[h] << kConflicts[r][h];
        }
    }
}

void tst_FunctionLockRules::conflicts()
{
    QFETCH(int, requested);
    QFETCH(int, held);
    QFETCH(bool, conflict);
    QCOMPARE(suite::locksConflict(requested, held), conflict);
}

void tst_FunctionLockRules::activity_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("lock");
    QTest::addColumn<QString>("text");
    QTest::newRow("list en") << "en-US" << 1 << "viewing the archive list";
    QTest::newRow("modify en") << "en-US" << 2 << "modifying a contact";
    QTest::newRow("send en") << "en-US" << 3 << "sending mail or SMS";
    QTest::newRow("batch en") << "en-US" << 7 << "running a batch modification";
    QTest::newRow("delete en") << "en-US" << 8 << "deleting contacts";
    QTest::newRow("add en") << "en-US" << 11 << "adding a contact";
    QTest::newRow("exclusive en") << "en-US" << 99 << "maintaining the archive";
    QTest::newRow("other en") << "en-US" << 42 << "using function 42";
    QTest::newRow("modify zh") << "zh-CN" << 2 << "修改联系人";
    QTest::newRow("delete zh") << "zh-CN" << 8 << "删除联系人";
    QTest::newRow("exclusive zh") << "zh-CN" << 99 << "维护档案";
    QTest::newRow("other zh") << "zh-CN" << 5 << "使用功能5";
}

void tst_FunctionLockRules::activity()
{
    QFETCH(QString, language);
    QFETCH(int, lock);
    QFETCH(QString, text);
    suite::setSessionLanguage(language);
    QCOMPARE(suite::lockActivity(lock), text);
}

QTEST_GUILESS_MAIN(tst_FunctionLockRules)
#include "tst_functionlockrules.moc"
