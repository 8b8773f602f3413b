// The code the card proposes for a new contact: the rule on the highest stored code, and the same
// rule read from a real account.

#include "perikon/card/ContactCodeProposal.h"
#include "perikon/data/IClsCommon.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

class tst_ContactCodeProposal : public QObject
{
    Q_OBJECT
private slots:
    void codeAfterMaximum_data();
    void codeAfterMaximum();
    void proposalSkipsUsedCodes_data();
    void proposalSkipsUsedCodes();
    void proposalWithoutAnswerOnUse();

    void proposalOnAccount_data();
    void proposalOnAccount();
    void usedCodeIsFoundExactly();

private:
    std::unique_ptr<IClsCommon> openAccount(SuiteFixture &db);
};

static const QString kNoCode = QStringLiteral("<none>");

void tst_ContactCodeProposal::codeAfterMaximum_data()
{
    QTest::addColumn<QVariant>("maximum");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no code yet") << QVariant() << "00000001";
    QTest::newRow("digits keep eight places") << QVariant("00000041") << "00000042";
    QTest::newRow("carry") << QVariant("00000099") << "00000100";
    QTest::newRow("grows past eight digits") << QVariant("99999999") << "100000000";
    QTest::newRow("three digits after letters restart the numbering")
        << QVariant("1A000123") << "00000124";
    QTest::newRow("three nines restart at a thousand") << QVariant("1A000999") << "00001000";
    QTest::newRow("separator in front of three digits") << QVariant("12-34567") << "00000568";
    QTest::newRow("two trailing digits keep the prefix") << QVariant("1234-A12") << "1234-A13";
    QTest::newRow("two trailing digits keep their width") << QVariant("123456A09") << "123456A10";
    QTest::newRow("trailing run widens past its nines") << QVariant("1234-A99") << "1234-A100";
    QTest::newRow("one trailing digit") << QVariant("1ABCDEF7") << "1ABCDEF8";
    QTest::newRow("no trailing digit gives nothing") << QVariant("1234567A") << kNoCode;
}

void tst_ContactCodeProposal::codeAfterMaximum()
{
    QFETCH(QVariant, maximum);
    QFETCH(QString, expected);
    QCOMPARE(internal::contactCodeAfter(maximum).value_or(kNoCode), expected);
}

void tst_ContactCodeProposal::proposalSkipsUsedCodes_data()
{
    QTest::addColumn<QVariant>("maximum");
    QTest::addColumn<QStringList>("used");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("asked");

    QTest::newRow("free code taken at once")
        << QVariant("00000041") << QStringList{"00000041"} << "00000042" << QStringList{"00000042"};
    QTest::newRow("restarted numbering runs into used codes")
        << QVariant("1A000005") << QStringList{"00000006", "00000007", "00000009"} << "00000008"
        << QStringList{"00000006", "00000007", "00000008"};
    QTest::newRow("gap after a used run")
        << QVariant("1A000998") << QStringList{"00000999", "00001000", "00001002"} << "00001001"
        << QStringList{"00000999", "00001000", "00001001"};
    QTest::newRow("used code with a prefix")
        << QVariant("1234-A12") << QStringList{"1234-A13", "1234-A14"} << "1234-A15"
        << QStringList{"1234-A13", "1234-A14", "1234-A15"};
    QTest::newRow("nothing follows, nothing asked")
        << QVariant("1234567A") << QStringList{} << kNoCode << QStringList{};
}

void tst_ContactCodeProposal::proposalSkipsUsedCodes()
{
    QFETCH(QVariant, maximum);
    QFETCH(QStringList, used);
    QFETCH(QString, expected);
    QFETCH(QStringList, asked);

    QStringList askedFor;
    const auto proposal
        = internal::proposedContactCode(maximum, [&](const QString &code) -> std::optional<bool> {
              askedFor.append(code);
              return used.contains(code);
          });
    QCOMPARE(proposal.value_or(kNoCode), expected);
    QCOMPARE(askedFor, asked);
}

void tst_ContactCodeProposal::proposalWithoutAnswerOnUse()
{
    const auto proposal = internal::proposedContactCode(
        QVariant("00000041"), [](const QString &) -> std::optional<bool> { return std::nullopt; });
    QVERIFY(!proposal);
}

std::unique_ptr<IClsCommon> tst_ContactCodeProposal::openAccount(SuiteFixture &db)
{
    auto com = std::make_unique<IClsCommon>();
    QString cnn = db.connectionString();
    com->Init(cnn);
    return com;
}

void tst_ContactCodeProposal::proposalOnAccount_data()
{
    QTest::addColumn<QStringList>("extraCodes");
    QTest::addColumn<QString>("expected");

    // The demo account numbers its 20 contacts 00000001 to 00000020.
    QTest::newRow("demo numbering") << QStringList{} << "00000021";
    QTest::newRow("codes outside the numbering are ignored")
        << QStringList{"9999999", "A0000099", "000000500"} << "00000021";
    QTest::newRow("restart skips the demo codes") << QStringList{"1A000005"} << "00000021";
    QTest::newRow("restart below nothing used") << QStringList{"1A000030"} << "00000031";
    QTest::newRow("prefixed maximum") << QStringList{"2-XYZ-09"} << "2-XYZ-10";
}

void tst_ContactCodeProposal::proposalOnAccount()
{
    QFETCH(QStringList, extraCodes);
    QFETCH(QString, expected);

    SuiteFixture db;
    const QString error = db.create(20);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(db.count(QStringLiteral("select count(*) from Crm_Contact")), 20);
    for (const QString &code : extraCodes)
        db.exec(QStringLiteral("insert into Crm_Contact (OID, cContactCode, cContactName) values "
                               "(N'%1', N'%1', N'x')")
                    .arg(code));
    auto com = openAccount(db);
    QCOMPARE(proposeContactCode(*com).value_or(kNoCode), expected);
}

void tst_ContactCodeProposal::usedCodeIsFoundExactly()
{
    SuiteFixture db;
    const QString error = db.create(3);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    db.exec(QStringLiteral("insert into Crm_Contact (OID, cContactCode, cContactName) values "
                           "(N'q', N'O''Brien', N'x')"));
    auto com = openAccount(db);
    QCOMPARE(contactCodeUsed(*com, u"00000003"), std::optional<bool>(true));
    QCOMPARE(contactCodeUsed(*com, u"00000004"), std::optional<bool>(false));
    QCOMPARE(contactCodeUsed(*com, u"O'Brien"), std::optional<bool>(true));
    QCOMPARE(contactCodeUsed(*com, u"O'"), std::optional<bool>(false));
}

QTEST_GUILESS_MAIN(tst_ContactCodeProposal)
#include "tst_contactcodeproposal.moc"
