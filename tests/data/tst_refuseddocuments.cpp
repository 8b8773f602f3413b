// Record documents that are not well-formed XML: every writing operation refuses them with the
// parse message, logs why, and leaves the database as it was.

#include "support/SessionFixture.h"

#include <QTest>

using namespace perikon;
using perikon::testing::SessionFixture;

class tst_RefusedDocuments : public QObject
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

    void malformedDocumentWritesNothing_data()
    {
        QTest::addColumn<QString>("operation"); // Add, Modify, or ModifyDifferent
        QTest::addColumn<bool>("convert");      // ModifyDifferent's conversion flag
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QString>("name");     // the cContactName value, raw
        QTest::addColumn<QString>("prologue"); // written between <data> and the row

        const QString fine = QStringLiteral("新名字");
        const QString control = QStringLiteral("A") + QChar(0x0001) + QStringLiteral("B");
        const QString surrogate = QStringLiteral("A") + QChar(0xD800) + QStringLiteral("B");
        for (const char *operation : {"Add", "Modify", "ModifyDifferent"}) {
            const auto row = [operation](const char *what) -> QTestData & {
                return QTest::addRow("%s: %s", operation, what)
                       << QString::fromLatin1(operation) << true;
            };
            row("attribute repeated once lower-cased") << "OID='1' oid='2'" << fine << QString();
            row("less-than in an attribute value") << "memo='a<b'" << fine << QString();
            row("declaration after the root") << QString() << fine << "<?xml version=\"1.0\"?>";
            row("control character") << QString() << control << QString();
            row("lone surrogate") << QString() << surrogate << QString();
        }
        QTest::newRow("ModifyDifferent unconverted: bare ampersand")
            << "ModifyDifferent" << false << QString() << "R&D" << QString();
    }

    void malformedDocumentWritesNothing()
    {
        QFETCH(QString, operation);
        QFETCH(bool, convert);
        QFETCH(QString, attributes);
        QFETCH(QString, name);
        QFETCH(QString, prologue);
        const QString before = storedRows();

        QString xml = QStringLiteral("<data>%1<Crm_Contact %2><cContactCode>%3</cContactCode>"
                                     "<cContactName>%4</cContactName><cCusCode>C0000003</cCusCode>"
                                     "</Crm_Contact></data>")
                          .arg(prologue, attributes,
                               operation == QLatin1String("Add") ? QStringLiteral("00000099")
                                                                 : QStringLiteral("00000005"),
                               name);
        QString msg = QStringLiteral("stale");
        bool saved = true;
        if (operation == QLatin1String("Add")) {
            saved = com().Add(xml, QStringLiteral("Crm_Contact"), msg);
        } else if (operation == QLatin1String("Modify")) {
            QString table = QStringLiteral("Crm_Contact");
            saved = com().Modify(xml, table, msg);
        } else {
            com().SetbConvertStr(convert);
            saved = com().ModifyDifferent(xml, QStringLiteral("Crm_Contact"), msg);
        }

        QVERIFY(!saved);
        const QString parseMessage = SessionFixture::text("K2.CRM.COMMON.XMLMSGParseErr01")
                                     + QStringLiteral("\r\n")
                                     + SessionFixture::text("K2.CRM.COMMON.XMLMSGParseErr02");
        QCOMPARE(msg, parseMessage);
        QCOMPARE(gLastError, parseMessage);
        QVERIFY2(m_session->logText().contains(
                     QStringLiteral("Procedure:LoadRecordXml\r\nModule:IClsCommon\r\n")),
                 qPrintable(m_session->logText()));
        QCOMPARE(storedRows(), before);
    }

private:
    // Every contact's code, name and row version: what a refused document must leave alone.
    QString storedRows()
    {
        std::unique_ptr<db::Recordset> rs(com().OpenX(QStringLiteral(
            "select cContactCode, cContactName, convert(char, convert(money,qzts), 2) "
            "from Crm_Contact order by cContactCode")));
        QStringList rows;
        for (; rs && !rs->eof(); rs->moveNext())
            rows << rs->value(0).toString() + QLatin1Char('|') + rs->value(1).toString()
                        + QLatin1Char('|') + rs->value(2).toString();
        return rows.join(QLatin1Char('\n'));
    }

    IClsCommon &com() { return m_session->com; }
    std::unique_ptr<SessionFixture> m_session;
};

QTEST_GUILESS_MAIN(tst_RefusedDocuments)
#include "tst_refuseddocuments.moc"
