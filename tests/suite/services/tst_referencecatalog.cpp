// The reference catalogue: which rows of the account a reference editor's text names, looked up
// by code, name or abbreviation on the real tables, and which settings narrow the rows by the
// operator's rules.

#include "suite/services/ReferenceCatalog.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

class tst_ReferenceCatalog : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void resolverFindsExactMatches_data();
    void resolverFindsExactMatches();
    void keysWithoutTableTakeAnyText_data();
    void keysWithoutTableTakeAnyText();
    void unreachableAccountConfirmsNothing();
    void authFunctionFromSettings_data();
    void authFunctionFromSettings();

private:
    SuiteFixture m_db;
};

void tst_ReferenceCatalog::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral(
        "insert into Customer (cCusCode, iId, cCusName, cCusAbbName) values "
        "(N'C01', 11, N'Acme Trading', N'Acme'), (N'C02', 12, N'O''Neil Ltd', N'ON'), "
        "(N'C03', 13, N'Acme', N'AC'), (N'Acme', 14, N'Other', N'OT'), "
        "(N'C05', 15, N'上海贸易公司', N'上贸')"));
    m_db.exec(QStringLiteral("insert into Crm_Contact (cContactCode, cContactName) values "
                             "(N'K1', N'Zhang San'), (N'K2', N'Li Si'), (N'K3', N'Li Si')"));
    m_db.exec(QStringLiteral("insert into Person (cPersonCode, cPersonName) values "
                             "(N'P01', N'李四'), (N'P02', N'Wang Wu')"));
    m_db.exec(QStringLiteral("insert into Department (cDepCode, cDepName) values "
                             "(N'D01', N'销售部'), (N'D02', N'Sales')"));
    m_db.exec(QStringLiteral("insert into CusDeliverAdd (cCusCode, cDeliverAdd, bDefault) values "
                             "(N'C01', N'1 Dock Road', 1), (N'C02', N'O''Neil Yard', 1)"));
}

void tst_ReferenceCatalog::resolverFindsExactMatches_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("names");

    // clang-format off
    QTest::newRow("customer by code") << "Customer_AA" << "C01" << "" << QStringList{"C01"} << QStringList{"Acme Trading"};
    QTest::newRow("customer by name") << "Customer_AA" << "Acme Trading" << "" << QStringList{"C01"} << QStringList{"Acme Trading"};
    QTest::newRow("customer by abbreviation") << "Customer_AA" << "ON" << "" << QStringList{"C02"} << QStringList{"O'Neil Ltd"};
    QTest::newRow("quote in the text") << "Customer_AA" << "O'Neil Ltd" << "" << QStringList{"C02"} << QStringList{"O'Neil Ltd"};
    QTest::newRow("quote cannot widen the statement") << "Customer_AA" << "x' or N'1'=N'1" << "" << QStringList{} << QStringList{};
    QTest::newRow("code first, then names") << "Customer_AA" << "Acme" << "" << QStringList{"Acme", "C01", "C03"} << QStringList{"Other", "Acme Trading", "Acme"};
    QTest::newRow("chinese abbreviation") << "Customer_AA" << QStringLiteral("上贸") << "" << QStringList{"C05"} << QStringList{QStringLiteral("上海贸易公司")};
    QTest::newRow("key without regard to case") << "customer_aa" << "C01" << "" << QStringList{"C01"} << QStringList{"Acme Trading"};
    QTest::newRow("trailing blanks of the text") << "Customer_AA" << "C01  " << "" << QStringList{"C01"} << QStringList{"Acme Trading"};
    QTest::newRow("part of a code is no match") << "Customer_AA" << "C0" << "" << QStringList{} << QStringList{};
    QTest::newRow("other case is no match") << "Customer_AA" << "acme trading" << "" << QStringList{} << QStringList{};
    QTest::newRow("condition narrows") << "Customer_AA" << "Acme" << "(Customer.iId in (13,14)) " << QStringList{"Acme", "C03"} << QStringList{"Other", "Acme"};
    QTest::newRow("condition reaching none") << "Customer_AA" << "C01" << "(1=2)" << QStringList{} << QStringList{};
    QTest::newRow("contact by name, two rows") << "ContactUnEdit_CS" << "Li Si" << "" << QStringList{"K2", "K3"} << QStringList{"Li Si", "Li Si"};
    QTest::newRow("contact by code") << "ContactUnEdit_CS" << "K1" << "" << QStringList{"K1"} << QStringList{"Zhang San"};
    QTest::newRow("person by chinese name") << "Person_AA" << QStringLiteral("李四") << "" << QStringList{"P01"} << QStringList{QStringLiteral("李四")};
    QTest::newRow("person not found") << "Person_AA" << "Li Si" << "" << QStringList{} << QStringList{};
    QTest::newRow("department by code") << "Department_AA" << "D02" << "" << QStringList{"D02"} << QStringList{"Sales"};
    QTest::newRow("department by name") << "DEPARTMENT_AA" << QStringLiteral("销售部") << "" << QStringList{"D01"} << QStringList{QStringLiteral("销售部")};
    QTest::newRow("delivery address is its own code") << "CusDeliverAdd_AA" << "O'Neil Yard" << "" << QStringList{"O'Neil Yard"} << QStringList{"O'Neil Yard"};
    QTest::newRow("delivery address of another customer") << "CusDeliverAdd_AA" << "1 Dock Road" << "cCusCode=N'C02'" << QStringList{} << QStringList{};
    // clang-format on
}

void tst_ReferenceCatalog::resolverFindsExactMatches()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, condition);
    QFETCH(QStringList, codes);
    QFETCH(QStringList, names);

    const controls::RefResolver resolver
        = suite::referenceResolver(key, m_db.connectionString(), condition);
    QVERIFY(resolver);
    QStringList foundCodes;
    QStringList foundNames;
    for (const controls::RefEntry &entry : resolver(text)) {
        foundCodes.append(entry.code.trimmed());
        foundNames.append(entry.name);
    }
    QCOMPARE(foundCodes, codes);
    QCOMPARE(foundNames, names);

    // The statement alone gives the same rows, as the card would read them.
    const std::optional<suite::ReferenceSource> source = suite::referenceSource(key);
    QVERIFY(source);
    QStringList selected = m_db.column(suite::referenceMatchSelect(*source, text, condition));
    for (QString &code : selected)
        code = code.trimmed();
    selected.sort();
    codes.sort();
    QCOMPARE(selected, codes);
}

void tst_ReferenceCatalog::keysWithoutTableTakeAnyText_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("vendor") << "Vendor_AA";
    QTest::newRow("empty key") << "";
    QTest::newRow("near miss") << "Customer";
}

void tst_ReferenceCatalog::keysWithoutTableTakeAnyText()
{
    QFETCH(QString, key);
    QVERIFY(!suite::referenceSource(key));
    QVERIFY(!suite::referenceResolver(key, m_db.connectionString()));
}

void tst_ReferenceCatalog::unreachableAccountConfirmsNothing()
{
    const controls::RefResolver resolver = suite::referenceResolver(
        QStringLiteral("Customer_AA"),
        QStringLiteral("Provider=SQLite;Data Source=/nonexistent/dir/QZDATA_001_2026.db;"
                       "Initial Catalog=QZDATA_001_2026"));
    QVERIFY(resolver);
    QVERIFY(resolver(QStringLiteral("C01")).isEmpty());
}

void tst_ReferenceCatalog::authFunctionFromSettings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("function"); // "-": no narrowing

    QTest::newRow("write") << "<Ref><RefSet bAuth='1' authFunID='W'/></Ref>"
                           << "W";
    QTest::newRow("names in any case") << "<ref><refset BAUTH='1' authfunid='r'/></ref>"
                                       << "R";
    QTest::newRow("authorization without function reads") << "<Ref><RefSet bAuth='1'/></Ref>"
                                                          << "R";
    QTest::newRow("authorization off") << "<Ref><RefSet bAuth='0' authFunID='W'/></Ref>"
                                       << "-";
    QTest::newRow("no settings element") << "<Ref/>"
                                         << "-";
    QTest::newRow("empty") << ""
                           << "-";
    QTest::newRow("not XML") << "bAuth='1'"
                             << "-";
}

void tst_ReferenceCatalog::authFunctionFromSettings()
{
    QFETCH(QString, settings);
    QFETCH(QString, function);
    QCOMPARE(suite::referenceAuthFunction(settings).value_or(QStringLiteral("-")), function);
}

QTEST_GUILESS_MAIN(tst_ReferenceCatalog)
#include "tst_referencecatalog.moc"
