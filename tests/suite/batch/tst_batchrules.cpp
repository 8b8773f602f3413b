// What the batch-modify control reads and raises without its widgets: the fields a catalogue
// offers, the choices of a choice list, the values each kind takes, and the condition over the
// rows handed in.

#include "suite/controls/batch/BatchCatalog.h"
#include "suite/controls/batch/BatchCondition.h"
#include "suite/controls/batch/BatchValue.h"

#include <QElapsedTimer>
#include <QTest>

using namespace perikon::suite::batch;

namespace {

QString catalogue(const QString &rootAttributes, const QString &children)
{
    return QStringLiteral("<Crm_contact bWeb='0' url='' %1>%2</Crm_contact>")
        .arg(rootAttributes, children);
}

QString element(const QString &name, const QString &attributes)
{
    return QStringLiteral("<%1 showfldname='%1 caption' %2/>").arg(name, attributes);
}

QStringList namesOf(const QList<BatchField> &fields)
{
    QStringList names;
    for (const BatchField &field : fields)
        names.append(field.name);
    return names;
}

BatchField fieldOf(BatchValueKind kind, int decimals = 0)
{
    BatchField field;
    field.name = QStringLiteral("cField");
    field.kind = kind;
    field.decimals = decimals;
    return field;
}

} // namespace

Q_DECLARE_METATYPE(BatchValueKind)

class tst_BatchRules : public QObject
{
    Q_OBJECT
private slots:
    void catalogueOffersModifiableFieldsInOrder_data();
    void catalogueOffersModifiableFieldsInOrder();
    void choiceListsPairCodesWithNames_data();
    void choiceListsPairCodesWithNames();
    void valuesAreCheckedByKind_data();
    void valuesAreCheckedByKind();
    void conditionListsEveryKeyQuoted_data();
    void conditionListsEveryKeyQuoted();
    void conditionOverTenThousandKeysIsInstant();
};

void tst_BatchRules::catalogueOffersModifiableFieldsInOrder_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QStringList>("names");

    const QString yes = QStringLiteral("reftype='char' bmulmodify='1'");
    const QString no = QStringLiteral("reftype='char' bmulmodify='0'");
    const QString three = element("cNative", yes) + element("cContactCode", no)
                          + element("cMobilePhone", yes) + element("cEmail", yes)
                          + element("cAppellation", yes);
    // clang-format off
    QTest::newRow("modifiable ones in catalogue order") << catalogue("noauthflds=''", three) << QStringList{"cNative", "cMobilePhone", "cEmail", "cAppellation"};
    QTest::newRow("withheld ones left out") << catalogue("noauthflds='cMobilePhone,cEmail'", three) << QStringList{"cNative", "cAppellation"};
    QTest::newRow("withheld compared without case or blanks") << catalogue("noauthflds=' CMOBILEPHONE , cemail ,,'", three) << QStringList{"cNative", "cAppellation"};
    QTest::newRow("a withheld name only matches whole") << catalogue("noauthflds='cMobile,Email'", three) << QStringList{"cNative", "cMobilePhone", "cEmail", "cAppellation"};
    QTest::newRow("no noauthflds at all") << catalogue("", three) << QStringList{"cNative", "cMobilePhone", "cEmail", "cAppellation"};
    QTest::newRow("attribute names without case") << catalogue("NoAuthFlds='cNative'", element("cNative", yes) + element("cMemo", "ReFType='char' BMULMODIFY='1'")) << QStringList{"cMemo"};
    QTest::newRow("comments and text between fields") << catalogue("", "<!-- fixed -->" + element("cMemo", yes) + "text") << QStringList{"cMemo"};
    QTest::newRow("bmulmodify missing or other than 1") << catalogue("", element("cMemo", "reftype='char'") + element("cCall", "bmulmodify='true'") + element("cWechat", yes)) << QStringList{"cWechat"};
    // clang-format on
}

void tst_BatchRules::catalogueOffersModifiableFieldsInOrder()
{
    QFETCH(QString, xml);
    QFETCH(QStringList, names);
    const BatchCatalog catalog = BatchCatalog::read(xml);
    QVERIFY2(catalog.ok(), qPrintable(catalog.detail()));
    QCOMPARE(namesOf(catalog.fields()), names);
}

void tst_BatchRules::choiceListsPairCodesWithNames_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("names");

    // clang-format off
    QTest::newRow("sex") << "0{#}1{#}2{##}男{#}女{#}不详" << QStringList{"0", "1", "2"} << QStringList{"男", "女", "不详"};
    QTest::newRow("yes and no") << "0{#}1{##}No{#}Yes" << QStringList{"0", "1"} << QStringList{"No", "Yes"};
    QTest::newRow("codes serve as names") << "A{#}B" << QStringList{"A", "B"} << QStringList{"A", "B"};
    QTest::newRow("a missing name shows the code") << "0{#}1{#}2{##}男{#}女" << QStringList{"0", "1", "2"} << QStringList{"男", "女", "2"};
    QTest::newRow("single choice") << "9{##}Other" << QStringList{"9"} << QStringList{"Other"};
    QTest::newRow("empty list") << "" << QStringList{} << QStringList{};
    // clang-format on
}

void tst_BatchRules::choiceListsPairCodesWithNames()
{
    QFETCH(QString, list);
    QFETCH(QStringList, codes);
    QFETCH(QStringList, names);
    QStringList readCodes;
    QStringList readNames;
    for (const BatchChoice &choice : BatchCatalog::parseChoices(list)) {
        readCodes.append(choice.code);
        readNames.append(choice.name);
    }
    QCOMPARE(readCodes, codes);
    QCOMPARE(readNames, names);
}

void tst_BatchRules::valuesAreCheckedByKind_data()
{
    QTest::addColumn<BatchValueKind>("kind");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("value");

    using K = BatchValueKind;
    // clang-format off
    QTest::newRow("text trimmed") << K::Text << 0 << "  张三 " << true << "张三";
    QTest::newRow("blank text clears") << K::Text << 0 << "   " << true << "";
    QTest::newRow("reference code trimmed") << K::Reference << 0 << " C01 " << true << "C01";
    QTest::newRow("choice code as it is") << K::Choice << 0 << "1" << true << "1";
    QTest::newRow("date") << K::Date << 0 << " 2026-12-06 " << true << "2026-12-06";
    QTest::newRow("leap day") << K::Date << 0 << "2024-02-29" << true << "2024-02-29";
    QTest::newRow("empty date clears") << K::Date << 0 << "" << true << "";
    QTest::newRow("day that does not exist") << K::Date << 0 << "2026-02-29" << false << "";
    QTest::newRow("month out of range") << K::Date << 0 << "2026-13-01" << false << "";
    QTest::newRow("date without leading zeros") << K::Date << 0 << "2026-1-5" << false << "";
    QTest::newRow("date with slashes") << K::Date << 0 << "2026/01/05" << false << "";
    QTest::newRow("date with a time") << K::Date << 0 << "2026-01-05 10:00" << false << "";
    QTest::newRow("whole number") << K::Integer << 0 << "42" << true << "42";
    QTest::newRow("negative whole number") << K::Integer << 0 << "-7" << true << "-7";
    QTest::newRow("largest int") << K::Integer << 0 << "2147483647" << true << "2147483647";
    QTest::newRow("beyond int") << K::Integer << 0 << "2147483648" << false << "";
    QTest::newRow("lone sign") << K::Integer << 0 << "-" << false << "";
    QTest::newRow("fraction for a whole number") << K::Integer << 0 << "1.5" << false << "";
    QTest::newRow("empty number clears") << K::Integer << 0 << " " << true << "";
    QTest::newRow("decimal within its decimals") << K::Decimal << 2 << "3.14" << true << "3.14";
    QTest::newRow("decimal without whole part") << K::Decimal << 2 << "-.5" << true << "-.5";
    QTest::newRow("decimal without fraction") << K::Decimal << 2 << "12" << true << "12";
    QTest::newRow("too many decimals") << K::Decimal << 2 << "1.234" << false << "";
    QTest::newRow("decimals on a field without") << K::Decimal << 0 << "1.5" << false << "";
    QTest::newRow("lone point") << K::Decimal << 2 << "." << false << "";
    QTest::newRow("exponent") << K::Decimal << 2 << "1e3" << false << "";
    QTest::newRow("thousands separator") << K::Decimal << 2 << "1,000" << false << "";
    // clang-format on
}

void tst_BatchRules::valuesAreCheckedByKind()
{
    QFETCH(BatchValueKind, kind);
    QFETCH(int, decimals);
    QFETCH(QString, entered);
    QFETCH(bool, accepted);
    QFETCH(QString, value);
    const std::optional<QString> raised = batchValue(fieldOf(kind, decimals), entered);
    QCOMPARE(raised.has_value(), accepted);
    if (accepted)
        QCOMPARE(*raised, value);
}

void tst_BatchRules::conditionListsEveryKeyQuoted_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("condition");

    // clang-format off
    QTest::newRow("one") << QStringList{"C001"} << "cContactCode in (N'C001')";
    QTest::newRow("in the order handed in") << QStringList{"C3", "C1", "C2"} << "cContactCode in (N'C3',N'C1',N'C2')";
    QTest::newRow("quotes doubled") << QStringList{"O'Neil", "''"} << "cContactCode in (N'O''Neil',N'''''')";
    QTest::newRow("a key that tries to end the list") << QStringList{"x') or 1=1 --"} << "cContactCode in (N'x'') or 1=1 --')";
    QTest::newRow("non-ascii and blanks kept") << QStringList{"联系人 01 "} << "cContactCode in (N'联系人 01 ')";
    QTest::newRow("none") << QStringList{} << "";
    // clang-format on
}

void tst_BatchRules::conditionListsEveryKeyQuoted()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, condition);
    QList<QPair<QString, QString>> selection;
    for (const QString &key : keys)
        selection.append({QString::number(selection.size() + 1), key});
    QCOMPARE(selectionCondition(QStringLiteral("cContactCode"), selection), condition);
}

void tst_BatchRules::conditionOverTenThousandKeysIsInstant()
{
    QList<QPair<QString, QString>> selection;
    for (int i = 0; i < 10000; ++i)
        selection.append(
            {QString::number(i + 1), QStringLiteral("O'%1").arg(i, 6, 10, QLatin1Char('0'))});
    QElapsedTimer timer;
    timer.start();
    const QString condition = selectionCondition(QStringLiteral("cContactCode"), selection);
    const qint64 elapsed = timer.elapsed();
    // Each key is N'O''nnnnnn' and a comma; the list is wrapped once.
    QCOMPARE(condition.size(), qsizetype(QStringLiteral("cContactCode in ()").size())
                                   + 10000 * qsizetype(QStringLiteral("N'O''000000'").size())
                                   + 9999);
    QVERIFY(condition.endsWith(QStringLiteral("N'O''009999')")));
    QVERIFY2(elapsed < 100, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
}

QTEST_GUILESS_MAIN(tst_BatchRules)
#include "tst_batchrules.moc"
