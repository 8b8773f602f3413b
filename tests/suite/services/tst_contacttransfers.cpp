#include "support/SuiteFixture.h"

#include "perikon/data/db/Driver.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteContactDimensionTransfer.h"
#include "suite/services/SuiteRelatedPersonTransfer.h"

#include <QTest>

#include <pugixml.hpp>

using namespace perikon;

// The related-person and dimension transfers as the contact save steps call them: with the row
// element of a Crm_Contact row and the caller's data-access object.
class tst_ContactTransfers : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void relatedPersonsReplaceTheContactsBindings_data();
    void relatedPersonsReplaceTheContactsBindings();
    void relatedPersonsRefuseMalformedRowsWritingNothing_data();
    void relatedPersonsRefuseMalformedRowsWritingNothing();

    void dimensionsReplaceGrantsAndLeaveTheRow_data();
    void dimensionsReplaceGrantsAndLeaveTheRow();
    void dimensionsRefuseMalformedRowsWritingNothing_data();
    void dimensionsRefuseMalformedRowsWritingNothing();

    void transfersKeepTheCallersTransaction();
    void transfersNeedAConnectionOnlyWhenThereIsWork();

private:
    QStringList users(const QString &code);
    QStringList grants(const QString &code);
    bool trans(ContactTransferService &service, pugi::xml_document &document, QString &message);

    SuiteFixture m_db;
    std::unique_ptr<DataAccessStub> m_dataAccess;
};

namespace {

QString rowXml(const QString &children)
{
    return QStringLiteral("<crm_contact><ccontactcode>00000001</ccontactcode>"
                          "<ccontactname>甲</ccontactname>")
           + children + QStringLiteral("</crm_contact>");
}

} // namespace

void tst_ContactTransfers::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("insert into crm_contact_User (Contact_Id, User_Id, iUserType) values "
                             "(N'00000001', N'old', 0), (N'00000002', N'keep', 0)"));
    m_db.exec(QStringLiteral(
        "insert into crm_contact_Auth (Contact_Id, Privilege_Type, Privilege_ID) values "
        "(N'00000001', 1, N'09'), (N'00000002', 2, N'01')"));
    m_dataAccess = std::make_unique<DataAccessStub>(&m_db.connection());
}

// Each bound user; one who only reads is marked " (read)".
QStringList tst_ContactTransfers::users(const QString &code)
{
    const QString where = QStringLiteral(" from crm_contact_User where Contact_Id=N'") + code
                          + QStringLiteral("' order by User_Id");
    QStringList users = m_db.column(QStringLiteral("select User_Id") + where);
    const QStringList rights = m_db.column(QStringLiteral("select iRight") + where);
    for (int i = 0; i < users.size(); ++i) {
        if (rights.value(i) == QLatin1String("0"))
            users[i] += QStringLiteral(" (read)");
    }
    return users;
}

QStringList tst_ContactTransfers::grants(const QString &code)
{
    QStringList result;
    const auto cursor = m_db.connection().openCursor(
        QStringLiteral("select Privilege_Type, Privilege_ID from crm_contact_Auth where "
                       "Contact_Id=N'")
        + code + QStringLiteral("' order by Privilege_Type, Privilege_ID"));
    while (cursor && cursor->next())
        result.append(cursor->value(0).toString() + u':' + cursor->value(1).toString());
    return result;
}

bool tst_ContactTransfers::trans(ContactTransferService &service, pugi::xml_document &document,
                                 QString &message)
{
    int opt = 2;
    pugi::xml_node row = document.document_element();
    QObject *com = m_dataAccess.get();
    const bool ok = service.Trans(opt, row, com, message);
    return ok && com == m_dataAccess.get();
}

void tst_ContactTransfers::relatedPersonsReplaceTheContactsBindings_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<QStringList>("contact1");
    QTest::addColumn<QStringList>("contact3");
    const QString head = QStringLiteral("<cusstuff> <ccontactcode>%1</ccontactcode><rw>2</rw>"
                                        "<rowauthcusr></rowauthcusr><rowauthcusw></rowauthcusw>"
                                        "<url>http://host</url>");
    QTest::newRow("no cusstuff") << "" << QStringList{"old"} << QStringList{};
    QTest::newRow("cusstuff without rows")
        << head.arg("") + "</cusstuff>" << QStringList{"old"} << QStringList{};
    QTest::newRow("confirmed without rows removes all")
        << head.arg("") + "<bedited>1</bedited></cusstuff>" << QStringList{} << QStringList{};
    QTest::newRow("confirmed without rows, marker in capitals")
        << head.arg("") + "<BEdited> 1 </BEdited></cusstuff>" << QStringList{} << QStringList{};
    QTest::newRow("marker not set keeps")
        << head.arg("") + "<bedited>0</bedited></cusstuff>" << QStringList{"old"} << QStringList{};
    QTest::newRow("confirmed with rows replaces")
        << head.arg("")
               + "<row><cuser_id>u3</cuser_id><iright>0</iright></row><bedited>1</bedited>"
                 "</cusstuff>"
        << QStringList{"u3 (read)"} << QStringList{};
    QTest::newRow("rows replace")
        << head.arg("")
               + "<row><cuser_id>u1</cuser_id><cuser_name>张三</cuser_name><iright>1</iright></row>"
                 "<row><cuser_id>u2</cuser_id><cuser_name>李四</cuser_name><iright>2</iright></row>"
                 "<row><cuser_id>u1</cuser_id></row></cusstuff>"
        << QStringList{"u1", "u2"} << QStringList{};
    QTest::newRow("child's own code wins")
        << head.arg("00000003") + "<row><cuser_id>u9</cuser_id></row></cusstuff>"
        << QStringList{"old"} << QStringList{"u9"};
    QTest::newRow("quotes in values")
        << head.arg("")
               + "<row><cuser_id>o'brien</cuser_id><cuser_name>O'Brien</cuser_name></row></"
                 "cusstuff>"
        << QStringList{"o'brien"} << QStringList{};
}

void tst_ContactTransfers::relatedPersonsReplaceTheContactsBindings()
{
    QFETCH(QString, child);
    QFETCH(QStringList, contact1);
    QFETCH(QStringList, contact3);
    pugi::xml_document document;
    QVERIFY(document.load_string(rowXml(child).toUtf8().constData()));
    suite::SuiteRelatedPersonTransfer service;
    QString message;
    QVERIFY2(trans(service, document, message), qPrintable(message));
    QCOMPARE(users(QStringLiteral("00000001")), contact1);
    QCOMPARE(users(QStringLiteral("00000003")), contact3);
    QCOMPARE(users(QStringLiteral("00000002")), QStringList{"keep"});
    // Removing the child is the caller's step.
    QCOMPARE(bool(document.document_element().child("cusstuff")), !child.isEmpty());
}

void tst_ContactTransfers::relatedPersonsRefuseMalformedRowsWritingNothing_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("reason");
    QTest::newRow("row without user") << "<cusstuff><row><cuser_id>u1</cuser_id></"
                                         "row><row><cuser_name>x</cuser_name></row></cusstuff>"
                                      << "row 2 has no cuser_id";
    QTest::newRow("right not a number")
        << "<cusstuff><row><cuser_id>u1</cuser_id><iright>rw</iright></row></cusstuff>"
        << "iright";
}

void tst_ContactTransfers::relatedPersonsRefuseMalformedRowsWritingNothing()
{
    QFETCH(QString, child);
    QFETCH(QString, reason);
    suite::setSessionLanguage(QStringLiteral("en-US"));
    pugi::xml_document document;
    QVERIFY(document.load_string(rowXml(child).toUtf8().constData()));
    suite::SuiteRelatedPersonTransfer service;
    QString message;
    QVERIFY(!trans(service, document, message));
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(users(QStringLiteral("00000001")), QStringList{"old"});
}

void tst_ContactTransfers::dimensionsReplaceGrantsAndLeaveTheRow_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<QStringList>("contact1");
    QTest::addColumn<QStringList>("contact3");
    const auto grant = [](const char *type, const char *id, const char *name) {
        return QStringLiteral("<row> <privilege_type>%1</privilege_type> <cadtname>t</cadtname> "
                              "<privilege_id>%2</privilege_id> <cadname>%3</cadname>  </row>")
            .arg(QLatin1String(type), QLatin1String(id), QString::fromUtf8(name));
    };
    const QString head
        = QStringLiteral("<cusprivilege> <ccuscode>%1</ccuscode><rw>2</rw><url>u</url>");
    const QString tail = QStringLiteral("<btextdata>1</btextdata></cusprivilege>");
    QTest::newRow("grants replace")
        << head.arg("") + grant("0", "D01", "销售部") + grant("1", "02", "华东")
               + grant("1", "02", "华东") + tail
        << QStringList{"0:D01", "1:02"} << QStringList{};
    QTest::newRow("no rows removes all") << head.arg("") + tail << QStringList{} << QStringList{};
    QTest::newRow("child's own code wins")
        << head.arg("00000003") + grant("3", "01", "财务软件") + tail << QStringList{"1:09"}
        << QStringList{"3:01"};
    QTest::newRow("quotes in values") << head.arg("") + grant("4", "O'1", "O'Brien's") + tail
                                      << QStringList{"4:O'1"} << QStringList{};
}

void tst_ContactTransfers::dimensionsReplaceGrantsAndLeaveTheRow()
{
    QFETCH(QString, child);
    QFETCH(QStringList, contact1);
    QFETCH(QStringList, contact3);
    pugi::xml_document document;
    QVERIFY(document.load_string(rowXml(child).toUtf8().constData()));
    suite::SuiteContactDimensionTransfer service;
    QString message;
    QVERIFY2(trans(service, document, message), qPrintable(message));
    QCOMPARE(grants(QStringLiteral("00000001")), contact1);
    QCOMPARE(grants(QStringLiteral("00000003")), contact3);
    QCOMPARE(grants(QStringLiteral("00000002")), QStringList{"2:01"});
    const pugi::xml_node row = document.document_element();
    QVERIFY(!row.child("cusprivilege"));
    QCOMPARE(QString::fromUtf8(row.child_value("ccontactname")), QStringLiteral("甲"));
}

void tst_ContactTransfers::dimensionsRefuseMalformedRowsWritingNothing_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no type") << "<row><privilege_id>01</privilege_id></row>"
                             << "row 2";
    QTest::newRow("no id") << "<row><privilege_type>1</privilege_type></row>"
                           << "row 2";
    QTest::newRow("type not a number")
        << "<row><privilege_type>x</privilege_type><privilege_id>01</privilege_id></row>"
        << "\"x\"";
}

void tst_ContactTransfers::dimensionsRefuseMalformedRowsWritingNothing()
{
    QFETCH(QString, rows);
    QFETCH(QString, reason);
    suite::setSessionLanguage(QStringLiteral("en-US"));
    pugi::xml_document document;
    const QString child = QStringLiteral("<cusprivilege><row><privilege_type>0</privilege_type>"
                                         "<privilege_id>D01</privilege_id></row>")
                          + rows + QStringLiteral("</cusprivilege>");
    QVERIFY(document.load_string(rowXml(child).toUtf8().constData()));
    suite::SuiteContactDimensionTransfer service;
    QString message;
    QVERIFY(!trans(service, document, message));
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(grants(QStringLiteral("00000001")), QStringList{"1:09"});
}

void tst_ContactTransfers::transfersKeepTheCallersTransaction()
{
    m_db.connection().beginTrans();
    m_db.exec(QStringLiteral("insert into crm_contact_User (Contact_Id, User_Id) values "
                             "(N'00000005', N'mine')"));
    pugi::xml_document document;
    QVERIFY(document.load_string(
        rowXml(
            "<cusprivilege><row><privilege_type>1</privilege_type><privilege_id>03</privilege_id>"
            "</row></cusprivilege>")
            .toUtf8()
            .constData()));
    suite::SuiteContactDimensionTransfer service;
    QString message;
    QVERIFY2(trans(service, document, message), qPrintable(message));
    QVERIFY(m_db.connection().inTransaction());
    m_db.connection().rollbackTrans();
    // Rolled back with the caller: the transfer wrote inside the caller's transaction.
    QCOMPARE(grants(QStringLiteral("00000001")), QStringList{"1:09"});
    QCOMPARE(users(QStringLiteral("00000005")), QStringList{});
}

void tst_ContactTransfers::transfersNeedAConnectionOnlyWhenThereIsWork()
{
    DataAccessStub unbound(nullptr);
    QObject *com = &unbound;
    int opt = 1;
    QString message;
    pugi::xml_document plain;
    QVERIFY(plain.load_string(rowXml({}).toUtf8().constData()));
    pugi::xml_node row = plain.document_element();
    suite::SuiteRelatedPersonTransfer persons;
    suite::SuiteContactDimensionTransfer dimensions;
    QVERIFY(persons.Trans(opt, row, com, message));
    QVERIFY(dimensions.Trans(opt, row, com, message));

    pugi::xml_document withGrants;
    QVERIFY(withGrants.load_string(rowXml("<cusprivilege></cusprivilege>").toUtf8().constData()));
    pugi::xml_node grantRow = withGrants.document_element();
    QVERIFY(!dimensions.Trans(opt, grantRow, com, message));
    QVERIFY(!message.isEmpty());
    QVERIFY(grantRow.child("cusprivilege"));

    // Removing every related person is work too.
    pugi::xml_document emptied;
    QVERIFY(emptied.load_string(
        rowXml("<cusstuff><bedited>1</bedited></cusstuff>").toUtf8().constData()));
    pugi::xml_node emptiedRow = emptied.document_element();
    message.clear();
    QVERIFY(!persons.Trans(opt, emptiedRow, com, message));
    QVERIFY(!message.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ContactTransfers)
#include "tst_contacttransfers.moc"
