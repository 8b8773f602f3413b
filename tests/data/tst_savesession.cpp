// What a session of saves costs the database and what it keeps between saves: no connection of its
// own per save, and nothing kept that outlives a change the next save must follow.

#include "support/SessionFixture.h"

#include "perikon/data/db/Driver.h"
#include "suite/services/SuiteColumnSetService.h"

#include <QTest>

using namespace perikon;
using perikon::testing::SessionFixture;

namespace {

QString newContact(int i, const QString &more = {})
{
    return QStringLiteral("<Crm_Contact><cContactName>新联系人%1</cContactName>"
                          "<cCusCode>C0000003</cCusCode>%2</Crm_Contact>")
        .arg(i)
        .arg(more);
}

} // namespace

class tst_SaveSession : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (SessionFixture::unavailable())
            QSKIP("PERIKON_TEST_PG names no PostgreSQL server");
        m_session = std::make_unique<SessionFixture>(20);
        QVERIFY2(m_session->ok(), qPrintable(m_session->error()));
    }

    void cleanup() { m_session.reset(); }

    void savesOpenNoConnectionAfterInit_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("Add") << QStringLiteral("Add");
        QTest::newRow("Modify") << QStringLiteral("Modify");
        QTest::newRow("ModifyDifferent") << QStringLiteral("ModifyDifferent");
    }

    void savesOpenNoConnectionAfterInit()
    {
        QFETCH(QString, operation);
        const quint64 opened = db::Driver::connectionsOpened();
        for (int i = 1; i <= 3; ++i) {
            QString msg;
            const QString code = QStringLiteral("0000000%1").arg(i);
            QString table = QStringLiteral("Crm_Contact");
            if (operation == QLatin1String("Add")) {
                QString xml = newContact(i);
                QVERIFY2(com().Add(xml, table, msg), qPrintable(msg));
            } else if (operation == QLatin1String("Modify")) {
                QString xml = QStringLiteral("<Crm_Contact><cContactCode>%1</cContactCode>"
                                             "<cContactName>改名%1</cContactName>"
                                             "<cCusCode>C0000003</cCusCode></Crm_Contact>")
                                  .arg(code);
                QVERIFY2(com().Modify(xml, table, msg), qPrintable(msg));
            } else {
                const QString xml = QStringLiteral("<Crm_Contact><cContactCode>%1</cContactCode>"
                                                   "<cMemo>备注%1</cMemo></Crm_Contact>")
                                        .arg(code);
                QVERIFY2(com().ModifyDifferent(xml, table, msg), qPrintable(msg));
            }
        }
        QCOMPARE(db::Driver::connectionsOpened(), opened);
    }

    void layoutStoredMeanwhileDecidesTheNextSave()
    {
        QString xml = newContact(1), msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));

        // The layout window stores the operator's layout through a service of its own.
        suite::SuiteColumnSetService window;
        QVERIFY(window.Init(m_session->database().connectionString(), QStringLiteral("demo")));
        QVERIFY2(window.SaveColInfo(QStringLiteral("Crm_Contact"),
                                    QStringLiteral("<ColInfo><ColSet cFld='cMobilePhone' "
                                                   "bShow='true' iOrder='1' bMustInput='true'/>"
                                                   "</ColInfo>")),
                 qPrintable(window.lastError()));

        xml = newContact(2);
        QVERIFY(!com().Add(xml, QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg, QStringLiteral("手机是必输项，不可为空！"));
        xml = newContact(2, QStringLiteral("<cMobilePhone>13900000000</cMobilePhone>"));
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
    }

    void userFieldDefinitionsChangedThroughTheComponentDecideTheNextSave_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("definition written") << QStringLiteral("write");
        QTest::newRow("written elsewhere, then a table created") << QStringLiteral("ddl");
    }

    void userFieldDefinitionsChangedThroughTheComponentDecideTheNextSave()
    {
        QFETCH(QString, change);
        QString xml = newContact(1), msg;
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));

        const QString require = QStringLiteral(
            "update userdef set cItemName=N'爱好', bInput=1 where cClass=N'联系人' and "
            "cItem=N'自定义项2'");
        if (change == QLatin1String("write")) {
            QVERIFY(com().ExecuteX(require));
        } else {
            db::Connection other;
            other.open(m_session->database().connectionString());
            other.execute(require);
            QVERIFY(com().ExecuteX(QStringLiteral("create table tc_note (ID int)")));
        }

        xml = newContact(2);
        QVERIFY(!com().Add(xml, QStringLiteral("Crm_Contact"), msg));
        QCOMPARE(msg, SessionFixture::text("K2.CRM.COMMON.CheckNull03", {QStringLiteral("爱好")}));
        xml = newContact(2, QStringLiteral("<cConDefine2>钓鱼</cConDefine2>"));
        QVERIFY2(com().Add(xml, QStringLiteral("Crm_Contact"), msg), qPrintable(msg));
    }

private:
    IClsCommon &com() { return m_session->com; }

    std::unique_ptr<SessionFixture> m_session;
};

QTEST_GUILESS_MAIN(tst_SaveSession)
#include "tst_savesession.moc"
