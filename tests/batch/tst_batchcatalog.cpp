// The batch-modify field catalogue as the list builds it at load: golden documents over a real
// account's column dictionary and user-defined items, the withheld fields and the choice lists.

#include "BatchTestSession.h"

#include "perikon/batch/BatchModify.h"
#include "suite/SuiteServices.h"

#include <QFile>
#include <QTest>

#include <pugixml.hpp>

using namespace perikon;

namespace {

const QString kGoldenDir = QStringLiteral(PERIKON_TEST_SOURCE_DIR "/golden");

// One user-defined contact item: its number (自定义项n), name, id and decimals (null when empty).
struct Item
{
    int number;
    QString name;
    QString id;
    QString decimals;
};

// The catalogue one element per line, as the golden files keep it for reading.
QString readable(const QString &catalogue)
{
    QString text = catalogue;
    text.replace(QStringLiteral("><"), QStringLiteral(">\n<"));
    return text + u'\n';
}

} // namespace

Q_DECLARE_METATYPE(QList<Item>)

class tst_BatchCatalog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void goldenCatalogues_data();
    void goldenCatalogues();
    void withheldFields_data();
    void withheldFields();
    void namesTypedByAnAdministratorComeBackVerbatim_data();
    void namesTypedByAnAdministratorComeBackVerbatim();
    void choiceLists_data();
    void choiceLists();
    void decimalsAreKeptForTheUpdate();
    void unreadableItemsAreReportedAndTheCatalogueKept();

private:
    void startSession(const QString &language);
    void storeItems(const QList<Item> &items);

    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
};

void tst_BatchCatalog::initTestCase()
{
    suite::registerServices();
}

void tst_BatchCatalog::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("delete from userdef"));
    gColAuthN.clear();
    gColAuthRead.clear();
}

void tst_BatchCatalog::cleanup()
{
    testing::endBatchSession(m_login);
}

// The catalogue is built by each test itself, after it has set the session's column rights.
void tst_BatchCatalog::startSession(const QString &language)
{
    QVERIFY(testing::startBatchSession(m_db, m_login, language));
    gBatchCatalogXml.clear();
}

void tst_BatchCatalog::storeItems(const QList<Item> &items)
{
    for (const Item &item : items) {
        const auto text = [](const QString &value) {
            return value.isNull() ? QStringLiteral("null")
                                  : QStringLiteral("N'%1'").arg(
                                      QString(value).replace(u'\'', QStringLiteral("''")));
        };
        m_db.exec(QStringLiteral("insert into userdef (cID, cClass, CItem, cItemName, "
                                 "iDecimalDigits) values (%1, N'联系人', N'自定义项%2', %3, %4)")
                      .arg(text(item.id))
                      .arg(item.number)
                      .arg(text(item.name),
                           item.decimals.isNull() ? QStringLiteral("null") : item.decimals));
    }
    // An item of another archive never shows.
    m_db.exec(QStringLiteral("insert into userdef (cID, cClass, CItem, cItemName) values "
                             "(N'x1', N'客户', N'自定义项1', N'客户分级')"));
}

void tst_BatchCatalog::goldenCatalogues_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QList<Item>>("items");
    QTest::addColumn<QString>("colAuthN");
    QTest::addColumn<QString>("colAuthRead");
    QTest::addColumn<QString>("golden");

    QTest::newRow("no user-defined item") << "zh-CN" << QList<Item>{} << ""
                                          << ""
                                          << "plain.xml";
    QTest::newRow("English captions") << "en-US" << QList<Item>{} << ""
                                      << ""
                                      << "plain-en.xml";
    QTest::newRow("items of all four kinds")
        << "zh-CN"
        << QList<Item>{{1, QStringLiteral("行业"), QStringLiteral("U01"), {}},
                       {10, QStringLiteral("渠道"), QStringLiteral("U10"), {}},
                       {11, QString(), QStringLiteral("U11"), {}},
                       {12, QStringLiteral("备注二"), QStringLiteral("U12"), {}},
                       {13, QStringLiteral("预算"), QStringLiteral("U13"), {}},
                       {14, QStringLiteral("折扣"), QStringLiteral("U14"), QStringLiteral("2")},
                       {15, QStringLiteral("签约日"), QStringLiteral("U15"), {}},
                       {16, QStringLiteral("到期日"), QStringLiteral("U16"), {}}}
        << ""
        << ""
        << "items.xml";
    QTest::newRow("names with markup characters")
        << "zh-CN"
        << QList<Item>{{2, QStringLiteral("R&D <内部>"), QStringLiteral("U'2"), {}},
                       {12, QStringLiteral("O'Neil \"代号\""), QStringLiteral("U12"), {}}}
        << "cMobilePhone"
        << "cEmail,cMemo"
        << "markup.xml";
}

void tst_BatchCatalog::goldenCatalogues()
{
    QFETCH(QString, language);
    QFETCH(QList<Item>, items);
    QFETCH(QString, colAuthN);
    QFETCH(QString, colAuthRead);
    QFETCH(QString, golden);
    storeItems(items);
    startSession(language);
    gColAuthN = colAuthN;
    gColAuthRead = colAuthRead;

    const std::optional<ErrorInfo> error = Const::BuildBatchCatalog();
    QVERIFY2(!error, error ? qPrintable(error->description) : "");

    // Every catalogue is a document the control can read.
    pugi::xml_document document;
    const QByteArray utf8 = gBatchCatalogXml.toUtf8();
    QVERIFY(document.load_buffer(utf8.constData(), size_t(utf8.size())));

    QFile file(kGoldenDir + u'/' + golden);
    if (qEnvironmentVariableIsSet("PERIKON_WRITE_GOLDEN")) {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(readable(gBatchCatalogXml).toUtf8());
        QSKIP("golden file written");
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QCOMPARE(readable(gBatchCatalogXml), QString::fromUtf8(file.readAll()));
}

void tst_BatchCatalog::withheldFields_data()
{
    QTest::addColumn<QString>("colAuthN");
    QTest::addColumn<QString>("colAuthRead");
    QTest::addColumn<QString>("withheld");
    QTest::newRow("neither") << ""
                             << ""
                             << "";
    QTest::newRow("only not-writable") << "cMobilePhone"
                                       << ""
                                       << "cMobilePhone";
    QTest::newRow("only unreadable") << ""
                                     << "cEmail,cMemo"
                                     << "cEmail,cMemo";
    QTest::newRow("both") << "cMobilePhone"
                          << "cEmail"
                          << "cMobilePhone,cEmail";
}

void tst_BatchCatalog::withheldFields()
{
    QFETCH(QString, colAuthN);
    QFETCH(QString, colAuthRead);
    QFETCH(QString, withheld);
    startSession(QStringLiteral("zh-CN"));
    gColAuthN = colAuthN;
    gColAuthRead = colAuthRead;
    QVERIFY(!Const::BuildBatchCatalog());

    pugi::xml_document document;
    const QByteArray utf8 = gBatchCatalogXml.toUtf8();
    QVERIFY(document.load_buffer(utf8.constData(), size_t(utf8.size())));
    QCOMPARE(QString::fromUtf8(document.document_element().attribute("noauthflds").value()),
             withheld);
    // What is withheld is not offered for batch modification; the rest of the modifiable
    // fields are.
    const QStringList offered = batch::ModifiableFields(gBatchCatalogXml);
    const QStringList names = withheld.split(u',', Qt::SkipEmptyParts);
    for (const QString &name : names)
        QVERIFY2(!offered.contains(name, Qt::CaseInsensitive), qPrintable(name));
    QCOMPARE(offered.size(), 25 - names.size());
    QVERIFY(!offered.contains(QStringLiteral("cContactCode")));
    QVERIFY(!offered.contains(QStringLiteral("cContactName")));
}

void tst_BatchCatalog::namesTypedByAnAdministratorComeBackVerbatim_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("ampersand and angle") << "R&D <内部> & more";
    QTest::newRow("quotes") << "O'Neil \"the elder\"";
    QTest::newRow("entity text stays text") << "&amp; &lt;";
    QTest::newRow("ordinary CJK") << "客户等级";
}

void tst_BatchCatalog::namesTypedByAnAdministratorComeBackVerbatim()
{
    QFETCH(QString, name);
    storeItems({{3, name, QStringLiteral("U03"), {}}});
    startSession(QStringLiteral("zh-CN"));
    QVERIFY(!Const::BuildBatchCatalog());

    pugi::xml_document document;
    const QByteArray utf8 = gBatchCatalogXml.toUtf8();
    QVERIFY(document.load_buffer(utf8.constData(), size_t(utf8.size())));
    const pugi::xml_node item = document.document_element().child("cConDefine3");
    QVERIFY(item);
    QCOMPARE(QString::fromUtf8(item.attribute("showfldname").value()), name);
    // An ordinary name is written as it is, byte for byte.
    if (!name.contains(u'&') && !name.contains(u'<') && !name.contains(u'\'')
        && !name.contains(u'"'))
        QVERIFY(gBatchCatalogXml.contains(QStringLiteral("showfldname='") + name + u'\''));
}

void tst_BatchCatalog::choiceLists_data()
{
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("list");
    QTest::newRow("sex") << "0,1,2" << QStringList{"男", "女", "不详"}
                         << "0{#}1{#}2{##}男{#}女{#}不详";
    QTest::newRow("marriage") << "0,1,2,3" << QStringList{"已婚", "未婚", "不详", "离异"}
                              << "0{#}1{#}2{#}3{##}已婚{#}未婚{#}不详{#}离异";
    QTest::newRow("a single name: the codes name themselves")
        << "A,B" << QStringList{"x"} << "A{#}B{##}A{#}B";
    QTest::newRow("one code") << "1" << QStringList{"是", "否"} << "1{##}是{#}否";
}

void tst_BatchCatalog::choiceLists()
{
    QFETCH(QString, codes);
    QFETCH(QStringList, names);
    QFETCH(QString, list);
    QCOMPARE(Const::JoinChoiceList(codes, names), list);
}

void tst_BatchCatalog::decimalsAreKeptForTheUpdate()
{
    storeItems({{13, QStringLiteral("预算"), QStringLiteral("U13"), QStringLiteral("3")},
                {14, QStringLiteral("折扣"), QStringLiteral("U14"), {}}});
    startSession(QStringLiteral("zh-CN"));
    gDefine14Decimals = 9;
    QVERIFY(!Const::BuildBatchCatalog());
    QCOMPARE(gDefine13Decimals, 3);
    QCOMPARE(gDefine14Decimals, 0);
    QVERIFY(gBatchCatalogXml.contains(QStringLiteral("<cConDefine13 showfldname='预算'  "
                                                     "reftype='decdgt'  decdgt='3' ")));
}

void tst_BatchCatalog::unreadableItemsAreReportedAndTheCatalogueKept()
{
    startSession(QStringLiteral("zh-CN"));
    gBatchCatalogXml = QStringLiteral("<Crm_contact/>");
    m_db.exec(QStringLiteral("drop table userdef"));
    const std::optional<ErrorInfo> error = Const::BuildBatchCatalog();
    QVERIFY(error);
    QVERIFY(!error->description.isEmpty());
    QCOMPARE(gBatchCatalogXml, QStringLiteral("<Crm_contact/>"));
}

QTEST_MAIN(tst_BatchCatalog)
#include "tst_batchcatalog.moc"
