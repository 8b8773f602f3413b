// What the related-persons and dimension dialogs read from the account and system databases:
// the users, the dimension catalogue, and what is stored for a contact, whose code may hold a
// quote.

#include "suite/services/TransferDialogData.h"
#include "support/SuiteFixture.h"

#include <QTest>

using namespace perikon;

namespace {

QStringList personsText(const QList<suite::RelatedPerson> &persons)
{
    QStringList text;
    for (const suite::RelatedPerson &person : persons)
        text << person.userId + u'|' + person.userName + u'|' + (person.readWrite ? u'1' : u'0');
    return text;
}

QStringList grantsText(const QList<suite::DimensionGrant> &grants)
{
    QStringList text;
    for (const suite::DimensionGrant &grant : grants)
        text << QStringList{grant.typeId, grant.typeName, grant.valueCode, grant.valueName}.join(
            u'|');
    return text;
}

const suite::DimensionType kDepartment{QStringLiteral("0"), QStringLiteral("部'门")};

} // namespace

class tst_TransferDialogData : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void usersComeFromTheSystemDatabase();
    void storedRelatedPersonsOfOneContact_data();
    void storedRelatedPersonsOfOneContact();
    void catalogueHoldsTheDepartmentAndEnabledTypes();
    void storedGrantsOfOneContact_data();
    void storedGrantsOfOneContact();

private:
    SuiteFixture m_db;
};

void tst_TransferDialogData::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("insert into qzsystem..UA_User (cUser_Id, cUser_Name, bDisabled) "
                             "values (N'o''neil', N'O''Neil', 0), (N'zhang', N'张三', 0), "
                             "(N'gone', N'离职', 1)"));
    m_db.exec(QStringLiteral("insert into crm_contact_User (Contact_Id, User_Id, iUserType) values "
                             "(N'C''01', N'zhang', 0), (N'C''01', N'o''neil', 0), "
                             "(N'C''01', N'nobody', 0), (N'C01', N'gone', 0)"));
    m_db.exec(QStringLiteral("insert into Department (cDepCode, cDepName) values "
                             "(N'D01', N'销售部'), (N'D02', N'O''Hara''s')"));
    m_db.exec(QStringLiteral(
        "insert into crm_contact_Auth (Contact_Id, Privilege_Type, Privilege_ID) values "
        "(N'C''01', 2, N'01'), (N'C''01', 1, N'03'), (N'C''01', 0, N'D02'), "
        "(N'C''01', 0, N'D99'), (N'C''01', 1, N'77'), (N'C01', 0, N'D01')"));
}

void tst_TransferDialogData::usersComeFromTheSystemDatabase()
{
    QStringList users;
    for (const suite::SuiteUser &user : suite::loadSuiteUsers(m_db.connection()))
        users << user.id + u'|' + user.name + u'|' + (user.disabled ? u'x' : u'-');
    QCOMPARE(users,
             (QStringList{"admin|系统管理员|-", "gone|离职|x", "o'neil|O'Neil|-", "zhang|张三|-"}));
}

void tst_TransferDialogData::storedRelatedPersonsOfOneContact_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("persons");
    // A user unknown to the system database is still shown, so the operator can remove him.
    QTest::newRow("code with a quote")
        << "C'01" << QStringList{"nobody||1", "o'neil|O'Neil|1", "zhang|张三|1"};
    QTest::newRow("disabled user still bound") << "C01" << QStringList{"gone|离职|1"};
    QTest::newRow("nothing stored") << "C'" << QStringList{};
}

void tst_TransferDialogData::storedRelatedPersonsOfOneContact()
{
    QFETCH(QString, code);
    QFETCH(QStringList, persons);
    QCOMPARE(personsText(suite::loadStoredRelatedPersons(m_db.connection(), code)), persons);
}

void tst_TransferDialogData::catalogueHoldsTheDepartmentAndEnabledTypes()
{
    m_db.exec(QStringLiteral("update AA_AuthDimen_Type set bEnable=0 where iADTID=4"));
    const suite::DimensionCatalogue catalogue
        = suite::loadDimensionCatalogue(m_db.connection(), kDepartment);
    QStringList types;
    for (const suite::DimensionType &type : catalogue.types)
        types << type.id + u'|' + type.name;
    QCOMPARE(types, (QStringList{"0|部'门", "1|区域", "2|行业", "3|产品线"}));
    QStringList departments;
    for (const suite::DimensionValue &value : catalogue.valuesOf(QStringLiteral("0")))
        departments << value.code + u'|' + value.name;
    QCOMPARE(departments, (QStringList{"D01|销售部", "D02|O'Hara's"}));
    QCOMPARE(catalogue.valuesOf(QStringLiteral("3")).size(), 3);
    QVERIFY(catalogue.valuesOf(QStringLiteral("4")).isEmpty());
    QCOMPARE(catalogue.valueName(QStringLiteral("2"), QStringLiteral("02")),
             QStringLiteral("零售"));
}

void tst_TransferDialogData::storedGrantsOfOneContact_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("grants");
    // Grants whose value has gone keep their code and lose only the name.
    QTest::newRow("code with a quote")
        << "C'01"
        << QStringList{"0|部'门|D02|O'Hara's", "0|部'门|D99|", "1|区域|03|华南", "1|区域|77|",
                       "2|行业|01|制造业"};
    QTest::newRow("only the department") << "C01" << QStringList{"0|部'门|D01|销售部"};
    QTest::newRow("nothing stored") << "'" << QStringList{};
}

void tst_TransferDialogData::storedGrantsOfOneContact()
{
    QFETCH(QString, code);
    QFETCH(QStringList, grants);
    QCOMPARE(grantsText(suite::loadStoredGrants(m_db.connection(), code, kDepartment)), grants);
}

QTEST_GUILESS_MAIN(tst_TransferDialogData)
#include "tst_transferdialogdata.moc"
