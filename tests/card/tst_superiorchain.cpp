// A contact may not become its own superior, directly or through the superiors stored for the
// chain, and a chain that ends (or loops among other contacts) lets the save go on.

#include "perikon/card/SuperiorChain.h"
#include "perikon/data/IClsCommon.h"
#include "support/SuiteFixture.h"

#include <QHash>
#include <QTest>

using namespace perikon;

using SuperiorTable = QHash<QString, QString>; // code -> stored superior ("" for none)

class tst_SuperiorChain : public QObject
{
    Q_OBJECT
private slots:
    void chain_data();
    void chain();
    void chainOnAccount_data();
    void chainOnAccount();
};

static void addChainRows()
{
    QTest::addColumn<SuperiorTable>("stored");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("superior");
    QTest::addColumn<bool>("leadsBack");

    QTest::newRow("own code as superior") << SuperiorTable{} << "A"
                                          << "A" << true;
    QTest::newRow("direct superior leads back") << SuperiorTable{{"A", "B"}, {"B", "A"}} << "A"
                                                << "B" << true;
    QTest::newRow("superior without a superior") << SuperiorTable{{"B", ""}} << "A"
                                                 << "B" << false;
    QTest::newRow("chain of three leads back")
        << SuperiorTable{{"B", "C"}, {"C", "D"}, {"D", "A"}} << "A"
        << "B" << true;
    QTest::newRow("chain of three ends empty")
        << SuperiorTable{{"B", "C"}, {"C", "D"}, {"D", ""}} << "A"
        << "B" << false;
    QTest::newRow("chain ends at a missing contact") << SuperiorTable{{"B", "C"}, {"C", "X"}} << "A"
                                                     << "B" << false;
    QTest::newRow("unknown superior") << SuperiorTable{{"B", "A"}} << "A"
                                      << "Z" << false;
    QTest::newRow("stored loop among others")
        << SuperiorTable{{"B", "C"}, {"C", "D"}, {"D", "B"}} << "A"
        << "B" << false;
    QTest::newRow("stored loop entered later")
        << SuperiorTable{{"B", "C"}, {"C", "D"}, {"D", "C"}} << "A"
        << "B" << false;
    QTest::newRow("superior of itself") << SuperiorTable{{"B", "B"}} << "A"
                                        << "B" << false;
    QTest::newRow("codes compare exactly") << SuperiorTable{{"B", "a"}} << "A"
                                           << "B" << false;
}

void tst_SuperiorChain::chain_data()
{
    addChainRows();
}

void tst_SuperiorChain::chain()
{
    QFETCH(SuperiorTable, stored);
    QFETCH(QString, own);
    QFETCH(QString, superior);
    QFETCH(bool, leadsBack);

    int lookups = 0;
    const bool result = internal::superiorLeadsBack(
        own, superior, [&](const QString &code) -> std::optional<QString> {
            ++lookups;
            if (lookups > stored.size() + 1)
                qFatal("the chain is followed past every stored contact");
            if (!stored.contains(code))
                return std::nullopt;
            return stored.value(code);
        });
    QCOMPARE(result, leadsBack);
}

void tst_SuperiorChain::chainOnAccount_data()
{
    addChainRows();
}

void tst_SuperiorChain::chainOnAccount()
{
    QFETCH(SuperiorTable, stored);
    QFETCH(QString, own);
    QFETCH(QString, superior);
    QFETCH(bool, leadsBack);

    if (QByteArray(QTest::currentDataTag()) == "codes compare exactly")
        QSKIP("the account's collation decides how codes differing in case compare");

    SuiteFixture db;
    const QString error = db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        const QString sup = it.value().isEmpty() ? QStringLiteral("null")
                                                 : QStringLiteral("N'%1'").arg(it.value());
        db.exec(QStringLiteral("insert into Crm_Contact (OID, cContactCode, cContactName, "
                               "cSuperiorID) values (N'%1', N'%1', N'x', %2)")
                    .arg(it.key(), sup));
    }
    IClsCommon com;
    QString cnn = db.connectionString();
    com.Init(cnn);
    QCOMPARE(superiorLeadsBack(com, own, superior), leadsBack);
}

QTEST_GUILESS_MAIN(tst_SuperiorChain)
#include "tst_superiorchain.moc"
