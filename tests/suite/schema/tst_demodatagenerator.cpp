#include "support/SqliteTestDb.h"

#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/SchemaInstaller.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using perikon::suite::DemoDataGenerator;
using perikon::suite::SchemaInstaller;

class tst_DemoDataGenerator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void createsRequestedNumberOfContacts_data();
    void createsRequestedNumberOfContacts();
    void codesAreEightDigitsInSequence();
    void superiorsAreContactsOfTheSameCustomer();
    void eachDefaultContactBelongsToItsCustomer();
    void codedColumnsUseTheFixedBaseCodes();
    void valuesArePlausible();
    void sameSeedGivesSameData();
    void rowVersionsKeepWorkingAfterTheLoad();
    void refusesDatabaseThatHoldsContacts();

private:
    QString createAccount(const QString &year);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QString tst_DemoDataGenerator::createAccount(const QString &year)
{
    const auto files
        = SchemaInstaller::createSqliteDatabases(m_dir->path(), QStringLiteral("001"), year);
    return files ? files->account : QString();
}

void tst_DemoDataGenerator::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = createAccount(QStringLiteral("2026"));
    QVERIFY(!m_path.isEmpty());
}

void tst_DemoDataGenerator::cleanup()
{
    m_dir.reset();
}

void tst_DemoDataGenerator::createsRequestedNumberOfContacts_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("a few dozen") << 37;
    QTest::newRow("several hundred") << 800;
}

void tst_DemoDataGenerator::createsRequestedNumberOfContacts()
{
    QFETCH(int, count);
    const auto summary = DemoDataGenerator(7).generate(m_path, count);
    QVERIFY2(summary.ok(), qPrintable(summary.error()));
    QCOMPARE(summary->contacts, count);

    SqliteTestDb db(m_path);
    QCOMPARE(db.number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact")), count);
    QCOMPARE(db.number(QStringLiteral("SELECT COUNT(*) FROM Customer")), summary->customers);
    // Every contact has its extension row, keyed like the contact.
    QCOMPARE(
        db.number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact c JOIN Crm_Contact_extradefine e"
                                 " ON e.OID = c.OID AND e.cContactCode = c.cContactCode")),
        count);
    QVERIFY(db.number(QStringLiteral("SELECT COUNT(*) FROM Person")) > 0);
    QCOMPARE(
        db.number(QStringLiteral("SELECT COUNT(*) FROM Person p JOIN hr_hi_person h"
                                 " ON h.cPsn_Num = p.cPersonCode AND h.cPsn_Name = p.cPersonName")),
        db.number(QStringLiteral("SELECT COUNT(*) FROM Person")));
}

void tst_DemoDataGenerator::codesAreEightDigitsInSequence()
{
    QVERIFY(DemoDataGenerator(3).generate(m_path, 250).ok());
    SqliteTestDb db(m_path);
    const QStringList codes
        = db.rows(QStringLiteral("SELECT cContactCode FROM Crm_Contact ORDER BY cContactCode"));
    QCOMPARE(codes.size(), 250);
    for (int i = 0; i < codes.size(); ++i)
        QCOMPARE(codes[i], QStringLiteral("%1").arg(i + 1, 8, 10, QLatin1Char('0')));
}

void tst_DemoDataGenerator::superiorsAreContactsOfTheSameCustomer()
{
    QVERIFY(DemoDataGenerator(11).generate(m_path, 600).ok());
    SqliteTestDb db(m_path);
    QVERIFY(
        db.number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact WHERE cSuperiorID IS NOT NULL"))
        > 50);
    QCOMPARE(
        db.number(QStringLiteral(
            "SELECT COUNT(*) FROM Crm_Contact c WHERE cSuperiorID IS NOT NULL AND NOT EXISTS"
            " (SELECT 1 FROM Crm_Contact s WHERE s.cContactCode = c.cSuperiorID AND s.cCusCode = c.cCusCode"
            "  AND s.cContactCode <> c.cContactCode)")),
        0);
}

void tst_DemoDataGenerator::eachDefaultContactBelongsToItsCustomer()
{
    QVERIFY(DemoDataGenerator(5).generate(m_path, 600).ok());
    SqliteTestDb db(m_path);
    const qint64 withDefault = db.number(
        QStringLiteral("SELECT COUNT(*) FROM Customer WHERE ccuscontactcode IS NOT NULL"));
    const qint64 withContacts
        = db.number(QStringLiteral("SELECT COUNT(DISTINCT cCusCode) FROM Crm_Contact"));
    QVERIFY2(withDefault * 4 > withContacts * 3, "most customers have a default contact");
    // The customer's columns name one of its own contacts, which carries the flag.
    QCOMPARE(
        db.number(QStringLiteral(
            "SELECT COUNT(*) FROM Customer u JOIN Crm_Contact c ON c.OID = u.ccuscontactcode"
            " WHERE c.cCusCode = u.cCusCode AND c.bDefaultCon = 1 AND u.cCusPerson = c.cContactName"
            " AND u.cCusHand = c.cMobilePhone")),
        withDefault);
    // No contact carries the flag without being its customer's default contact.
    QCOMPARE(db.number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact WHERE bDefaultCon = 1")),
             withDefault);
    QCOMPARE(db.number(QStringLiteral("SELECT COUNT(*) FROM Customer WHERE ccuscontactcode IS NULL"
                                      " AND cCusPerson IS NOT NULL")),
             0);
}

void tst_DemoDataGenerator::codedColumnsUseTheFixedBaseCodes()
{
    QVERIFY(DemoDataGenerator(9).generate(m_path, 400).ok());
    SqliteTestDb db(m_path);
    QCOMPARE(
        db.number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact WHERE bcSexID NOT IN (6, 7, 8)"
                                 " OR bcMarriageID NOT IN (9, 10, 11, 250)")),
        0);
    // Duty and taste hold base-code names, which the list joins on.
    QCOMPARE(
        db.number(QStringLiteral(
            "SELECT COUNT(*) FROM Crm_Contact c WHERE bcDutyID IS NOT NULL AND NOT EXISTS"
            " (SELECT 1 FROM Crm_BaseCode b WHERE b.cType = 'Duty' AND b.cName = c.bcDutyID)")),
        0);
    QCOMPARE(
        db.number(QStringLiteral(
            "SELECT COUNT(*) FROM Crm_Contact c WHERE bcTasteID IS NOT NULL AND NOT EXISTS"
            " (SELECT 1 FROM Crm_BaseCode b WHERE b.cType = 'Taste' AND b.cName = c.bcTasteID)")),
        0);
    QCOMPARE(db.number(QStringLiteral(
                 "SELECT COUNT(*) FROM Crm_Contact c WHERE NOT EXISTS"
                 " (SELECT 1 FROM hr_hi_person p WHERE p.cPsn_Num = c.cPrincipal)"
                 " OR NOT EXISTS (SELECT 1 FROM Department d WHERE d.cDepCode = c.cConDepart)")),
             0);
}

void tst_DemoDataGenerator::valuesArePlausible()
{
    QVERIFY(DemoDataGenerator(13).generate(m_path, 400).ok());
    SqliteTestDb db(m_path);
    QCOMPARE(
        db.number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact WHERE dBirthday < '1960-01-01'"
                                 " OR dBirthday >= '2001-01-01' OR dBirthday IS NULL")),
        0);
    QCOMPARE(db.number(QStringLiteral(
                 "SELECT COUNT(*) FROM Crm_Contact WHERE length(cMobilePhone) <> 11"
                 " OR cMobilePhone NOT GLOB '1[358][0-9]*' OR cMobilePhone GLOB '*[^0-9]*'")),
             0);
    QCOMPARE(db.number(QStringLiteral(
                 "SELECT COUNT(*) FROM Crm_Contact WHERE cEmail NOT LIKE '%_@_%._%'")),
             0);
    QCOMPARE(
        db.number(QStringLiteral(
            "SELECT COUNT(*) FROM Crm_Contact WHERE cContactName IS NULL OR cCusCode IS NULL")),
        0);
    // Both kinds of names occur.
    QVERIFY(db.number(QStringLiteral(
                "SELECT COUNT(*) FROM Crm_Contact WHERE cContactName GLOB '*[A-Za-z]*'"))
            > 0);
    QVERIFY(db.number(QStringLiteral(
                "SELECT COUNT(*) FROM Crm_Contact WHERE cContactName NOT GLOB '*[A-Za-z]*'"))
            > 0);
}

void tst_DemoDataGenerator::sameSeedGivesSameData()
{
    const QString twin = createAccount(QStringLiteral("2027"));
    const QString other = createAccount(QStringLiteral("2028"));
    QVERIFY(DemoDataGenerator(42).generate(m_path, 150).ok());
    QVERIFY(DemoDataGenerator(42).generate(twin, 150).ok());
    QVERIFY(DemoDataGenerator(43).generate(other, 150).ok());

    const QString contacts = QStringLiteral("SELECT * FROM Crm_Contact ORDER BY cContactCode");
    const QString customers = QStringLiteral("SELECT * FROM Customer ORDER BY cCusCode");
    SqliteTestDb first(m_path), second(twin), third(other);
    QCOMPARE(second.rows(contacts), first.rows(contacts));
    QCOMPARE(second.rows(customers), first.rows(customers));
    QVERIFY(third.rows(contacts) != first.rows(contacts));
}

void tst_DemoDataGenerator::rowVersionsKeepWorkingAfterTheLoad()
{
    QVERIFY(DemoDataGenerator(1).generate(m_path, 100).ok());
    SqliteTestDb db(m_path);
    QCOMPARE(db.number(QStringLiteral("SELECT COUNT(DISTINCT qzts) FROM Crm_Contact")), 100);
    const qint64 highest = db.number(QStringLiteral("SELECT MAX(qzts) FROM Crm_Contact"));

    QVERIFY(db.exec(
        QStringLiteral("UPDATE Crm_Contact SET cMemo = 'x' WHERE cContactCode = '00000001'")));
    const qint64 updated
        = db.number(QStringLiteral("SELECT qzts FROM Crm_Contact WHERE cContactCode = '00000001'"));
    QVERIFY(updated > highest);
    QVERIFY(db.exec(QStringLiteral("INSERT INTO Crm_Contact (cContactCode) VALUES ('X1')")));
    QVERIFY(db.number(QStringLiteral("SELECT qzts FROM Crm_Contact WHERE cContactCode = 'X1'"))
            > updated);
}

void tst_DemoDataGenerator::refusesDatabaseThatHoldsContacts()
{
    QVERIFY(DemoDataGenerator(1).generate(m_path, 20).ok());
    const auto again = DemoDataGenerator(2).generate(m_path, 20);
    QVERIFY(!again.ok());
    QVERIFY(!again.error().isEmpty());
    QCOMPARE(SqliteTestDb(m_path).number(QStringLiteral("SELECT COUNT(*) FROM Crm_Contact")), 20);
}

QTEST_GUILESS_MAIN(tst_DemoDataGenerator)
#include "tst_demodatagenerator.moc"
