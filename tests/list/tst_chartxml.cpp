// The relationship chart's XML and the operator's view of the chart: golden documents for the
// exact text the chart control reads, the round trip of awkward names through the control's
// reader, and the re-hanging of contacts under the nearest superior the operator may read.

#include "perikon/list/ChartXml.h"
#include "suite/controls/chart/ChartDocument.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace perikon;
using perikon::list::ChartContact;
using perikon::list::ChartXml;

namespace {

const QString kGoldenDir = QStringLiteral(PERIKON_TEST_SOURCE_DIR "/golden/chartxml");

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString field(const QString &value)
{
    return value == QLatin1String("<empty>") ? QString() : value;
}

// "code:superior:r" per contact, blank-separated; r is 1 when readable, superior "-" for none.
QList<ChartContact> contactsOf(const QString &written)
{
    QList<ChartContact> contacts;
    for (const QString &item : written.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u':');
        ChartContact contact;
        contact.code = parts.value(0);
        contact.name = QStringLiteral("name of ") + contact.code;
        contact.superior
            = parts.value(1) == QLatin1String("-") ? QStringLiteral("NULL") : parts.value(1);
        contact.readable = parts.value(2) != QLatin1String("0");
        contacts.append(contact);
    }
    return contacts;
}

// "code:superior" per shown contact, in order; "-" for none.
QString shownOf(const QList<ChartContact> &contacts)
{
    QStringList shown;
    for (const ChartContact &contact : contacts) {
        shown << contact.code + u':'
                     + (ChartXml::isNone(contact.superior) ? QStringLiteral("-")
                                                           : contact.superior);
        if (contact.name != QStringLiteral("name of ") + contact.code)
            shown.last() += QStringLiteral("(name changed)");
    }
    return shown.join(u' ');
}

} // namespace

class tst_ChartXml : public QObject
{
    Q_OBJECT
private slots:
    void goldenDocuments_data();
    void goldenDocuments();
    void namesComeBackThroughTheChartReader_data();
    void namesComeBackThroughTheChartReader();
    void unreadableContactsLeaveTheChart_data();
    void unreadableContactsLeaveTheChart();
    void deepHiddenChainHangsEveryoneOnTheReadableTop();
};

void tst_ChartXml::goldenDocuments_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const QStringList cases
        = QDir(kGoldenDir).entryList({QStringLiteral("*.in")}, QDir::Files, QDir::Name);
    // A golden folder that went missing must not pass quietly.
    QVERIFY2(cases.size() >= 4, qPrintable(kGoldenDir));
    for (const QString &input : cases) {
        const QString base = input.chopped(3);
        const QString expected = kGoldenDir + u'/' + base + QStringLiteral(".xml");
        QVERIFY2(QFile::exists(expected), qPrintable(expected + QStringLiteral(" is missing")));
        QTest::newRow(qPrintable(base))
            << readText(kGoldenDir + u'/' + input) << readText(expected);
    }
}

void tst_ChartXml::goldenDocuments()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QString chartName;
    QList<ChartContact> contacts;
    for (const QString &line : input.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#'))
            continue;
        const QStringList parts = line.split(QStringLiteral(" | "));
        if (parts.value(0) == QLatin1String("name")) {
            chartName = parts.value(1);
            continue;
        }
        QCOMPARE(parts.size(), 4);
        contacts.append(
            ChartContact{field(parts[0]), field(parts[1]), field(parts[2]), field(parts[3]), true});
    }
    QCOMPARE(ChartXml::build(chartName, contacts), expected);
}

void tst_ChartXml::namesComeBackThroughTheChartReader_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("duty");
    QTest::newRow("quotes") << "O'Neil \"the elder\""
                            << "Head of 'Sales'";
    QTest::newRow("markup") << "<b>Smith</b> & Co"
                            << "R&D > QA";
    QTest::newRow("entity text stays text") << "&amp; &lt;"
                                            << "&#10;";
    QTest::newRow("CJK") << "王小明（北京）"
                         << "销售经理";
    QTest::newRow("line breaks and tabs") << "first\nsecond\tthird\r\n"
                                          << "a\tb";
    QTest::newRow("ten thousand characters")
        << QString(10000, u'名') << QString(5000, u'&') + QString(5000, u'"');
}

void tst_ChartXml::namesComeBackThroughTheChartReader()
{
    QFETCH(QString, name);
    QFETCH(QString, duty);
    const QList<ChartContact> contacts{{QStringLiteral("K1"), name, duty, QStringLiteral("NULL")},
                                       {QStringLiteral("K'2"), name, QString(), name}};
    const std::optional<QList<suite::chart::ChartEntry>> read
        = suite::chart::ChartDocument::parse(ChartXml::build(name, contacts));
    QVERIFY(read);
    QCOMPARE(read->size(), 2);
    QCOMPARE(read->at(0).code, QStringLiteral("K1"));
    QCOMPARE(read->at(0).name, name);
    QCOMPARE(read->at(0).duty, duty);
    QCOMPARE(read->at(0).superior, QStringLiteral("NULL"));
    QCOMPARE(read->at(1).code, QStringLiteral("K'2"));
    QCOMPARE(read->at(1).duty, QStringLiteral("NULL"));
    QCOMPARE(read->at(1).superior, name);
}

void tst_ChartXml::unreadableContactsLeaveTheChart_data()
{
    QTest::addColumn<QString>("contacts");
    QTest::addColumn<QString>("shown");
    QTest::newRow("everything readable stays as it is") << "A:-:1 B:A:1 C:B:1 D:X:1 E:E:1"
                                                        << "A:- B:A C:B D:X E:E";
    QTest::newRow("hidden middle: its subordinate moves up") << "A:-:1 B:A:0 C:B:1"
                                                             << "A:- C:A";
    QTest::newRow("hidden chain: up to the nearest readable") << "A:-:1 B:A:0 C:B:0 D:C:1 E:D:1"
                                                              << "A:- D:A E:D";
    QTest::newRow("hidden top: to the top") << "A:-:0 B:A:1 C:B:1"
                                            << "B:- C:B";
    QTest::newRow("hidden top above a hidden one") << "A:-:0 B:A:0 C:B:1"
                                                   << "C:-";
    QTest::newRow("hidden superior outside the chart: to the top") << "A:X:0 B:A:1"
                                                                   << "B:-";
    QTest::newRow("loop of hidden contacts: to the top") << "A:B:0 B:A:0 C:A:1 D:C:1"
                                                         << "C:- D:C";
    QTest::newRow("chain through hidden ones back to the contact: to the top")
        << "A:B:1 B:C:0 C:A:0"
        << "A:-";
    QTest::newRow("loop of readable contacts through a hidden one stays a loop")
        << "A:B:1 B:C:0 C:D:1 D:A:1"
        << "A:C C:D D:A";
    QTest::newRow("readable superior outside the chart is kept") << "A:OTHER:1 B:A:0 C:B:1"
                                                                 << "A:OTHER C:A";
    QTest::newRow("several subordinates of one hidden contact")
        << "A:-:1 B:A:0 C:B:1 D:B:1 E:D:0 F:E:1"
        << "A:- C:A D:A F:D";
    QTest::newRow("nothing readable") << "A:-:0 B:A:0"
                                      << "";
}

void tst_ChartXml::unreadableContactsLeaveTheChart()
{
    QFETCH(QString, contacts);
    QFETCH(QString, shown);
    QCOMPARE(shownOf(ChartXml::readableOnly(contactsOf(contacts))), shown);
}

void tst_ChartXml::deepHiddenChainHangsEveryoneOnTheReadableTop()
{
    // A readable top, 30,000 hidden contacts each under the one before, and under every hidden
    // one a readable contact: each of those moves up the whole way to the top.
    constexpr int kDepth = 30000;
    QList<ChartContact> contacts{{QStringLiteral("TOP"), QStringLiteral("t"), {}, {}, true}};
    for (int i = 1; i <= kDepth; ++i) {
        const QString hidden = QStringLiteral("H%1").arg(i);
        contacts.append({hidden,
                         QStringLiteral("h"),
                         {},
                         i == 1 ? QStringLiteral("TOP") : QStringLiteral("H%1").arg(i - 1),
                         false});
        contacts.append({QStringLiteral("R%1").arg(i), QStringLiteral("r"), {}, hidden, true});
    }
    const QList<ChartContact> shown = ChartXml::readableOnly(contacts);
    QCOMPARE(shown.size(), kDepth + 1);
    QVERIFY(ChartXml::isNone(shown[0].superior));
    for (qsizetype i = 1; i < shown.size(); ++i)
        QCOMPARE(shown[i].superior, QStringLiteral("TOP"));
}

QTEST_GUILESS_MAIN(tst_ChartXml)
#include "tst_chartxml.moc"
