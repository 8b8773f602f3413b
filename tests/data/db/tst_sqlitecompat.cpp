#include "SuiteDatabase.h"

#include "perikon/data/db/SqliteCompat.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace perikon::db;
using namespace Qt::StringLiterals;

// What the compatibility layer gives beyond the golden cases: values that change from call to
// call, and its per-connection state.
class TestSqliteCompat : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void getdateIsLocalTimeWithMilliseconds();
    void newidIsAFreshUpperCaseGuid();
    void localeIdFollowsTheSession();
    void installingTwiceKeepsEverything();
    void scratchTablesAppearInTempdbSysobjects();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<SuiteDatabase> m_db;
};

void TestSqliteCompat::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_db = std::make_unique<SuiteDatabase>();
    if (auto error = m_db->create(m_folder->path()))
        QFAIL(qPrintable(*error));
}

void TestSqliteCompat::cleanup()
{
    m_db.reset();
    m_folder.reset();
}

void TestSqliteCompat::getdateIsLocalTimeWithMilliseconds()
{
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
    const QString text = m_db->run(u"select getdate()"_s);
    const QDateTime after = QDateTime::currentDateTime().addMSecs(1);
    QVERIFY2(QRegularExpression(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"_s)
                 .match(text)
                 .hasMatch(),
             qPrintable(text));
    const QDateTime value = QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss.zzz"_s);
    QVERIFY2(value >= before && value <= after, qPrintable(text));
}

void TestSqliteCompat::newidIsAFreshUpperCaseGuid()
{
    const QStringList ids = m_db->run(u"select newid(), newid()"_s).split(u',');
    QCOMPARE(ids.size(), 2);
    const QRegularExpression guid(
        u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_s);
    QVERIFY2(guid.match(ids[0]).hasMatch(), qPrintable(ids[0]));
    QVERIFY(ids[0] != ids[1]);
}

void TestSqliteCompat::localeIdFollowsTheSession()
{
    QCOMPARE(m_db->run(u"select UDF_GetLocaleID()"_s), u"zh-CN"_s);
    setCompatLocaleId(m_db->handle(), u"en-US"_s);
    QCOMPARE(m_db->run(u"select UDF_GetLocaleID()"_s), u"en-US"_s);
}

void TestSqliteCompat::installingTwiceKeepsEverything()
{
    // the driver installs again after attaching more databases
    installSqlServerCompat(m_db->handle());
    QCOMPARE(m_db->run(u"select len('ab  '), count(*) > 0 from sysobjects"_s), u"2,1"_s);
}

void TestSqliteCompat::scratchTablesAppearInTempdbSysobjects()
{
    const QString probe
        = u"select count(*) from tempdb.sysobjects where name='tempK2501' and type='U'"_s;
    QCOMPARE(m_db->run(probe), u"0"_s);
    QVERIFY(!m_db->execScript(u"create table tempdb.tempK2501 (iStatus int, cRetVal text)"_s));
    QCOMPARE(m_db->run(probe), u"1"_s);
    // the account database's own catalog does not list scratch tables
    QCOMPARE(m_db->run(u"select count(*) from sysobjects where name='tempK2501'"_s), u"0"_s);
}

QTEST_GUILESS_MAIN(TestSqliteCompat)
#include "tst_sqlitecompat.moc"
