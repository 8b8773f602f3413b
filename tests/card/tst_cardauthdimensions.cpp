// The save-time check that every controlled authorization dimension of a contact has a value: the
// privilege XML it reads and completes, and the same check run on an account.

#include "perikon/card/CardAuthDimensions.h"
#include "perikon/data/IClsCommon.h"
#include "support/SuiteFixture.h"

#include <QTest>

#include <pugixml.hpp>

using namespace perikon;
using card::DimensionControl;
using card::DimensionGrant;

namespace {

const QMap<QString, QString> kTypeNames{{"0", "部门"},   {"1", "区域"}, {"2", "行业"},
                                        {"3", "产品线"}, {"4", "渠道"}, {"5", "客户维度"}};

// "d1234c": the department, dimensions 1 to 4 and the customer dimension; a letter or digit
// present means that dimension is controlled.
DimensionControl controlOf(const QString &flags)
{
    return {flags.contains(u'd'), flags.contains(u'1'), flags.contains(u'2'),
            flags.contains(u'3'), flags.contains(u'4'), flags.contains(u'c')};
}

QString grantsXml(const QList<DimensionGrant> &grants)
{
    return card::privilegeXmlFromGrants(QStringLiteral("00000001"), QStringLiteral("2"),
                                        QStringLiteral("u"), grants);
}

DimensionGrant grant(const QString &type, const QString &code = QStringLiteral("V1"))
{
    return {type, kTypeNames.value(type), code, code + QStringLiteral(" name")};
}

// The rows of a privilege XML as "type=code/name".
QStringList rowsOf(const QString &xml)
{
    pugi::xml_document document;
    const QByteArray source = xml.toUtf8();
    if (!document.load_buffer(source.constData(), source.size()))
        return {QStringLiteral("<unparsable>")};
    QStringList rows;
    for (pugi::xml_node row : document.document_element().children("row")) {
        rows << QStringLiteral("%1=%2/%3")
                    .arg(QString::fromUtf8(row.child_value("privilege_type")),
                         QString::fromUtf8(row.child_value("privilege_id")),
                         QString::fromUtf8(row.child_value("cadname")));
    }
    return rows;
}

} // namespace

class tst_CardAuthDimensions : public QObject
{
    Q_OBJECT
private slots:
    void missingDimensionsFollowTheControl_data();
    void missingDimensionsFollowTheControl();
    void grantTextsSurviveTheXml_data();
    void grantTextsSurviveTheXml();
    void departmentRowIsSetOnce_data();
    void departmentRowIsSetOnce();

    void statementsRunOnTheAccount();
    void storedGrantsAreRead();
    void checkOnAccount_data();
    void checkOnAccount();
    void unreadableControlRefuses();

private:
    std::unique_ptr<IClsCommon> open(SuiteFixture &db);
};

void tst_CardAuthDimensions::missingDimensionsFollowTheControl_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("controlled");
    QTest::addColumn<QStringList>("missing");

    const QString none = grantsXml({});
    QTest::newRow("nothing controlled") << none << "" << QStringList{};
    QTest::newRow("department granted") << grantsXml({grant("0")}) << "d" << QStringList{};
    QTest::newRow("department missing") << grantsXml({grant("1")}) << "d" << QStringList{"部门"};
    QTest::newRow("everything missing, in order")
        << none << "c4321d" << QStringList{"部门", "区域", "行业", "产品线", "渠道", "客户维度"};
    QTest::newRow("dimensions and customer missing")
        << grantsXml({grant("0")}) << "d1234c"
        << QStringList{"区域", "行业", "产品线", "渠道", "客户维度"};
    QTest::newRow("some granted, in any order")
        << grantsXml({grant("5"), grant("2"), grant("0")}) << "d1234c"
        << QStringList{"区域", "产品线", "渠道"};
    QTest::newRow("uncontrolled grants do not matter")
        << grantsXml({grant("3")}) << "1" << QStringList{"区域"};
    QTest::newRow("a row without a value grants nothing")
        << grantsXml({grant("1"), grant("2", "")}) << "12" << QStringList{"行业"};
    QTest::newRow("names in any case")
        << "<CusPrivilege><ROW><Privilege_Type> 4 </Privilege_Type><PRIVILEGE_ID>x</PRIVILEGE_ID>"
           "</ROW></CusPrivilege>"
        << "34" << QStringList{"产品线"};
}

void tst_CardAuthDimensions::missingDimensionsFollowTheControl()
{
    QFETCH(QString, xml);
    QFETCH(QString, controlled);
    QFETCH(QStringList, missing);
    const auto names = card::missingDimensions(xml, controlOf(controlled), kTypeNames);
    QVERIFY(names);
    QCOMPARE(*names, missing);
    QCOMPARE(
        card::missingDimensionsMessage(missing, QStringLiteral("请录入"), QStringLiteral("。")),
        QStringLiteral("请录入") + missing.join(QStringLiteral("，")) + QStringLiteral("。"));
}

void tst_CardAuthDimensions::grantTextsSurviveTheXml_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "R01";
    QTest::newRow("ampersand") << "R&D";
    QTest::newRow("less than") << "a<b";
    QTest::newRow("quotes") << "'x' \"y\"";
    QTest::newRow("Chinese") << "华东区";
}

void tst_CardAuthDimensions::grantTextsSurviveTheXml()
{
    QFETCH(QString, text);
    const QString xml = card::privilegeXmlFromGrants(text, text, text, {{"1", text, text, text}});
    QCOMPARE(rowsOf(xml), QStringList{QStringLiteral("1=%1/%1").arg(text)});
    pugi::xml_document document;
    const QByteArray source = xml.toUtf8();
    QVERIFY(document.load_buffer(source.constData(), source.size()));
    const pugi::xml_node root = document.document_element();
    QCOMPARE(QString::fromUtf8(root.child_value("ccuscode")), text);
    QCOMPARE(QString::fromUtf8(root.child_value("RW")), text);
    QCOMPARE(QString::fromUtf8(root.child("row").child_value("cadtname")), text);
    QCOMPARE(QString::fromUtf8(root.child_value("btextdata")), QStringLiteral("1"));
}

void tst_CardAuthDimensions::departmentRowIsSetOnce_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("appended") << grantsXml({grant("1")})
                              << QStringList{"1=V1/V1 name", "0=D&1/研发部"};
    QTest::newRow("no rows yet") << grantsXml({}) << QStringList{"0=D&1/研发部"};
    QTest::newRow("replaced") << grantsXml({grant("0", "OLD"), grant("2")})
                              << QStringList{"0=D&1/研发部", "2=V1/V1 name"};
    QTest::newRow("bare element") << "<cusprivilege/>" << QStringList{"0=D&1/研发部"};
    QTest::newRow("unparsable") << "<cusprivilege><row>" << QStringList{"<none>"};
    QTest::newRow("empty") << "" << QStringList{"<none>"};
}

void tst_CardAuthDimensions::departmentRowIsSetOnce()
{
    QFETCH(QString, xml);
    QFETCH(QStringList, rows);
    const std::optional<QString> result
        = card::withDepartmentRow(xml, QStringLiteral("0"), QStringLiteral("部门"),
                                  QStringLiteral("D&1"), QStringLiteral("研发部"));
    if (rows == QStringList{"<none>"}) {
        QVERIFY(!result);
        QVERIFY(!card::missingDimensions(xml, controlOf("d"), kTypeNames));
        return;
    }
    QVERIFY(result);
    QCOMPARE(rowsOf(*result), rows);
    QCOMPARE(card::missingDimensions(*result, controlOf("d"), kTypeNames), QStringList{});
    // The flag the dialog reads stays the last child.
    if (result->contains(QStringLiteral("btextdata")))
        QVERIFY(result->endsWith(QStringLiteral("<btextdata>1</btextdata></cusprivilege>")));
}

std::unique_ptr<IClsCommon> tst_CardAuthDimensions::open(SuiteFixture &db)
{
    auto com = std::make_unique<IClsCommon>();
    QString cnn = db.connectionString();
    com->Init(cnn);
    return com;
}

void tst_CardAuthDimensions::statementsRunOnTheAccount()
{
    SuiteFixture db;
    const QString error = db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    db.exec(QStringLiteral("update aa_busobject_base set bAuthDimControl=1, bAuthDim2Control=1 "
                           "where cBusObId=N'Crm_Contact'"));
    const auto com = open(db);
    for (const QString &sql : {card::dimensionControlSql(), card::dimensionTypesSql(),
                               card::contactGrantsSql("O'Brien", "0", "部'门")}) {
        bool failed = false;
        QString msg;
        std::unique_ptr<db::Recordset> rs(com->OpenX(sql, failed, msg));
        QVERIFY2(rs, qPrintable(sql + QStringLiteral("\n") + msg));
    }
    // The control row of the session's language only.
    std::unique_ptr<db::Recordset> control(com->OpenX(card::dimensionControlSql()));
    QCOMPARE(control->recordCount(), 1);
    QCOMPARE(control->value(QStringLiteral("bAuthDim2Control")).toInt(), 1);
    std::unique_ptr<db::Recordset> types(com->OpenX(card::dimensionTypesSql()));
    QCOMPARE(types->recordCount(), 4);
}

void tst_CardAuthDimensions::storedGrantsAreRead()
{
    SuiteFixture db;
    const QString error = db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    db.exec(
        QStringLiteral("insert into Department (cDepCode, cDepName) values (N'D1', N'研发部')"));
    db.exec(QStringLiteral("insert into AA_AuthDimen_Sub (iADTID, cADCode, cADName) values "
                           "(2, N'I1', N'制造')"));
    for (const QString &row : {QStringLiteral("N'D1', 0"), QStringLiteral("N'I1', 2")}) {
        db.exec(QStringLiteral("insert into crm_contact_Auth (Contact_Id, Privilege_ID, "
                               "Privilege_Type) values (N'O''Brien', %1)")
                    .arg(row));
    }
    // Another contact's grant is not read.
    db.exec(QStringLiteral("insert into crm_contact_Auth (Contact_Id, Privilege_ID, "
                           "Privilege_Type) values (N'OBrien', N'I1', 2)"));
    const auto com = open(db);
    std::unique_ptr<db::Recordset> rs(com->OpenX(card::contactGrantsSql("O'Brien", "0", "部'门")));
    QVERIFY(rs);
    QStringList rows;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        rows << QStringLiteral("%1|%2|%3|%4")
                    .arg(rs->value(0).toString(), rs->value(1).toString(), rs->value(2).toString(),
                         rs->value(3).toString());
    }
    rows.sort();
    QCOMPARE(rows, (QStringList{"0|部'门|D1|研发部", "2|行业|I1|制造"}));
}

void tst_CardAuthDimensions::checkOnAccount_data()
{
    QTest::addColumn<QString>("controlled"); // empty: dimension control off
    QTest::addColumn<QString>("privilegeXml");
    QTest::addColumn<QString>("depCode");
    QTest::addColumn<QString>("message"); // empty: the check passes

    QTest::newRow("no control row") << ""
                                    << ""
                                    << ""
                                    << "";
    QTest::newRow("department from the editor") << "d"
                                                << ""
                                                << "D1"
                                                << "";
    QTest::newRow("department without editor value") << "d"
                                                     << ""
                                                     << ""
                                                     << "需要部门。";
    QTest::newRow("department stored") << "d"
                                       << "<stored>"
                                       << ""
                                       << "";
    QTest::newRow("dimensions and customer missing") << "1234c"
                                                     << ""
                                                     << "D1"
                                                     << "需要区域，行业，产品线，渠道，客户维度。";
    QTest::newRow("stored grants count") << "d12"
                                         << "<stored>"
                                         << ""
                                         << "需要区域。";
    QTest::newRow("dialog grants replace the stored") << "d12" << grantsXml({grant("1")}) << ""
                                                      << "需要部门，行业。";
    QTest::newRow("unparsable dialog grants grant nothing") << "d2"
                                                            << "<cusprivilege><row>"
                                                            << "D1"
                                                            << "需要部门，行业。";
}

void tst_CardAuthDimensions::checkOnAccount()
{
    QFETCH(QString, controlled);
    QFETCH(QString, privilegeXml);
    QFETCH(QString, depCode);
    QFETCH(QString, message);

    SuiteFixture db;
    const QString error = db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    db.exec(
        QStringLiteral("insert into Department (cDepCode, cDepName) values (N'D1', N'研发部')"));
    db.exec(QStringLiteral("insert into AA_AuthDimen_Sub (iADTID, cADCode, cADName) values "
                           "(2, N'I1', N'制造')"));
    db.exec(QStringLiteral("insert into crm_contact_Auth (Contact_Id, Privilege_ID, "
                           "Privilege_Type) values (N'K''1', N'D1', 0)"));
    db.exec(QStringLiteral("insert into crm_contact_Auth (Contact_Id, Privilege_ID, "
                           "Privilege_Type) values (N'K''1', N'I1', 2)"));
    if (!controlled.isEmpty()) {
        const DimensionControl c = controlOf(controlled);
        db.exec(QStringLiteral("update aa_busobject_base set bAuthDimControl=1, bDeptControl=%1, "
                               "bAuthDim1Control=%2, bAuthDim2Control=%3, bAuthDim3Control=%4, "
                               "bAuthDim4Control=%5, bCustDimControl=%6 where "
                               "cBusObId=N'Crm_Contact'")
                    .arg(int(c.dept))
                    .arg(int(c.dim1))
                    .arg(int(c.dim2))
                    .arg(int(c.dim3))
                    .arg(int(c.dim4))
                    .arg(int(c.cust)));
    }
    const bool fromStore = privilegeXml == QLatin1String("<stored>");
    const QString contact = fromStore ? QStringLiteral("K'1") : QStringLiteral("NEW1");
    QString xml = fromStore ? QString() : privilegeXml;
    const QString given = xml;

    const auto com = open(db);
    const std::optional<QString> failure
        = card::authDimensionsFailure(*com, contact, xml, depCode, QStringLiteral("研发部"),
                                      {QStringLiteral("需要"), QStringLiteral("。"),
                                       QStringLiteral("部门"), QStringLiteral("客户维度")});
    QCOMPARE(failure.value_or(QString()), message);

    if (controlled.isEmpty()) {
        QCOMPARE(xml, given); // no check, nothing to complete
        return;
    }
    const QStringList rows = rowsOf(xml);
    if (controlled.contains(u'd') && !depCode.isEmpty() && !privilegeXml.startsWith(u'<'))
        QVERIFY2(rows.contains(QStringLiteral("0=D1/研发部")), qPrintable(xml));
    if (fromStore) {
        QStringList sorted = rows;
        sorted.sort();
        QCOMPARE(sorted, (QStringList{"0=D1/研发部", "2=I1/制造"}));
    }
}

void tst_CardAuthDimensions::unreadableControlRefuses()
{
    SuiteFixture db;
    const QString error = db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    db.exec(QStringLiteral("drop table aa_busobject_base"));
    const auto com = open(db);
    QString xml;
    const std::optional<QString> failure = card::authDimensionsFailure(
        *com, QStringLiteral("NEW1"), xml, QStringLiteral("D1"), QStringLiteral("研发部"),
        {QStringLiteral("需要"), QStringLiteral("。"), QStringLiteral("部门"),
         QStringLiteral("客户维度")});
    QVERIFY(failure);
    QVERIFY(!failure->isEmpty());
    QVERIFY(!failure->startsWith(QStringLiteral("需要")));
    QCOMPARE(xml, QString()); // nothing completed by a check that did not run
}

QTEST_GUILESS_MAIN(tst_CardAuthDimensions)
#include "tst_cardauthdimensions.moc"
