// The statements and conditions behind the card's lookups, run on a real account: whatever the
// operator typed or picked before, a lookup finds its rows or none, and never breaks.

#include "perikon/card/CardReferences.h"
#include "suite/services/ReferenceConditions.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

class tst_CardReferences : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void superiorRowsFollowCustomerAndText_data();
    void superiorRowsFollowCustomerAndText();
    void archiveValuesAreFilledAndMatchTheText_data();
    void archiveValuesAreFilledAndMatchTheText();
    void dependentValuesFollowTheParentValue_data();
    void dependentValuesFollowTheParentValue();
    void multipleChoiceSettingsCarryEveryValue();

private:
    SuiteFixture m_db;
};

void tst_CardReferences::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("insert into Customer (cCusCode, iId, cCusName) values "
                             "(N'C1', 1, N'One'), (N'C''2', 2, N'Two')"));
    m_db.exec(QStringLiteral(
        "insert into Crm_Contact (OID, cContactCode, cContactName, cCusCode, bcDutyID) values "
        "(N'o1', N'K1', N'Ann', N'C1', N'经理'), (N'o2', N'K2', N'O''Brien', N'C''2', NULL), "
        "(N'o3', N'K3', N'Bo 50%', N'C1', N'')"));
    m_db.exec(QStringLiteral("insert into Person (cPersonCode, cPersonName, cDepCode) values "
                             "(N'P1', N'李四', N'D1'), (N'P2', N'Wang', NULL)"));
    m_db.exec(
        QStringLiteral("insert into Department (cDepCode, cDepName) values (N'D1', N'Sales')"));
    m_db.exec(QStringLiteral("update Crm_Contact set bcSexID=(select min(ID) from Crm_BaseCode "
                             "where cType=N'Sex') where cContactCode=N'K1'"));
    m_db.exec(QStringLiteral("insert into userdefine (cId, cValue, cParentValue) values "
                             "(N'9', N'a', N'X'), (N'9', N'b', N'Y''s'), (N'9', N'c', NULL), "
                             "(N'9', N'd', N'')"));
}

void tst_CardReferences::superiorRowsFollowCustomerAndText_data()
{
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    // clang-format off
    QTest::newRow("neither") << "" << "" << QStringList{"K1", "K2", "K3"};
    QTest::newRow("customer") << "C1" << "" << QStringList{"K1", "K3"};
    QTest::newRow("customer with a quote") << "C'2" << "" << QStringList{"K2"};
    QTest::newRow("text with a quote") << "" << "O'B" << QStringList{"K2"};
    QTest::newRow("text that tries to widen") << "" << "x' or '1'='1" << QStringList{};
    QTest::newRow("customer and text") << "C1" << "Bo" << QStringList{"K3"};
    // clang-format on
}

void tst_CardReferences::superiorRowsFollowCustomerAndText()
{
    QFETCH(QString, customer);
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    const QString condition
        = customer.isEmpty() ? QString()
                             : QStringLiteral(" Customer.cCusCode = N'")
                                   + QString(customer).replace(u'\'', QLatin1String("''")) + u'\'';
    const QString sql = card::superiorReferenceSql(condition, typed);
    QVERIFY(!sql.trimmed().endsWith(QLatin1String("WHERE"), Qt::CaseInsensitive));
    QCOMPARE(m_db.column(QStringLiteral("select r.cContactCode from (") + sql
                         + QStringLiteral(") r order by r.cContactCode")),
             codes);
}

void tst_CardReferences::archiveValuesAreFilledAndMatchTheText_data()
{
    QTest::addColumn<QString>("archive");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("values"); // null: the source is refused
    // clang-format off
    QTest::newRow("filled values only") << "Crm_Contact" << "bcDutyID" << "" << QStringList{QStringLiteral("经理")};
    QTest::newRow("typed text with a quote") << "crm_contact" << "cContactName" << "'Br" << QStringList{"O'Brien"};
    QTest::newRow("base code name through its join") << "crm_contact" << "BaseCodeSex.cName" << "" << QStringList{QStringLiteral("男")};
    QTest::newRow("person with department") << "Person" << "Department.cDepName" << "" << QStringList{"Sales"};
    QTest::newRow("person name") << "Person" << "cPersonName" << QStringLiteral("李") << QStringList{QStringLiteral("李四")};
    QTest::newRow("archive that is not a name") << "Person; delete from Person" << "cPersonName" << "" << QStringList();
    QTest::newRow("field that is an expression") << "Person" << "cPersonName) or (1=1" << "" << QStringList();
    // clang-format on
}

void tst_CardReferences::archiveValuesAreFilledAndMatchTheText()
{
    QFETCH(QString, archive);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QStringList, values);
    const QString sql = card::archiveValuesSql(archive, field, typed);
    const bool refused = QTest::currentDataTag() == QLatin1String("archive that is not a name")
                         || QTest::currentDataTag() == QLatin1String("field that is an expression");
    QCOMPARE(sql.isEmpty(), refused);
    if (refused)
        return;
    const QString column = card::resultColumnOf(field);
    QCOMPARE(m_db.column(QStringLiteral("select r.") + column + QStringLiteral(" from (") + sql
                         + QStringLiteral(") r order by 1")),
             values);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Person")), 2);
}

void tst_CardReferences::dependentValuesFollowTheParentValue_data()
{
    QTest::addColumn<QString>("parentValue");
    QTest::addColumn<QStringList>("values");
    // clang-format off
    QTest::newRow("a value") << "X" << QStringList{"a"};
    QTest::newRow("a value with a quote") << "Y's" << QStringList{"b"};
    QTest::newRow("markup in the value") << "<X&'\"" << QStringList{};
    QTest::newRow("no parent value: values without a parent") << "" << QStringList{"c", "d"};
    // clang-format on
}

void tst_CardReferences::dependentValuesFollowTheParentValue()
{
    QFETCH(QString, parentValue);
    QFETCH(QStringList, values);
    const card::RefConditionTexts conditions
        = card::dependentItemConditions(QStringLiteral("9"), QStringLiteral("8"), parentValue);
    const std::optional<QString> narrowing
        = suite::referenceFilterSql(conditions.xml, conditions.filter, QStringLiteral("r"));
    QVERIFY(narrowing && !narrowing->isEmpty());
    QCOMPARE(m_db.column(QStringLiteral("select r.cValue from (") + card::valueListSql("9")
                         + QStringLiteral(") r where ") + *narrowing
                         + QStringLiteral(" order by r.cValue")),
             values);
    QVERIFY(card::dependentItemConditions("9", {}, parentValue).filter.isEmpty());
}

void tst_CardReferences::multipleChoiceSettingsCarryEveryValue()
{
    const QString settings = card::multiSelectSettings(QStringLiteral("a&b, it's ,,<c>"));
    QVERIFY(suite::referenceMultiSelect(settings));
    QCOMPARE(suite::referenceLastData(settings), (QStringList{"a&b", "it's", "<c>"}));
    QVERIFY(suite::referenceLastData(card::multiSelectSettings({})).isEmpty());
}

QTEST_MAIN(tst_CardReferences)
#include "tst_cardreferences.moc"
