// IClsCommon's field utilities against a real account database: next contact code, query by
// example, function authorization, required columns, and the contact picture store.

#include "support/TestDatabase.h"

#include "perikon/data/Common.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/transXML.h"
#include "perikon/host/contract/ColumnSetService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace perikon;
using perikon::testing::TestDatabase;

namespace {

QString zh(const char *key)
{
    return suite::ResourceTexts::text(QStringLiteral("zh-CN"), QString::fromLatin1(key));
}

// A column-set service whose column information the test decides, and which notes how it was asked.
class FakeColumnSet : public ColumnSetService
{
    Q_OBJECT
public:
    static inline QString colInfo;
    static inline QStringList calls;
    static inline db::Connection *boundTo = nullptr;

    bool Init(const QString &connectionString, const QString &userId) override
    {
        calls << QStringLiteral("Init(%1,%2)").arg(connectionString, userId);
        return true;
    }
    bool Init(db::Connection &connection, const QString &userId) override
    {
        calls << QStringLiteral("Init(connection,%1)").arg(userId);
        boundTo = &connection;
        return true;
    }
    using ColumnSetService::getColInfo;
    QString getColInfo(const QString &key, int mode) override
    {
        calls << QStringLiteral("getColInfo(%1,%2)").arg(key).arg(mode);
        return colInfo;
    }
    bool Save(QString &) override
    {
        calls << QStringLiteral("Save");
        return false;
    }
};

QString colSet(const char *field, const char *caption, const char *mustInput)
{
    return QStringLiteral(
               "<ColSet cFld='%1' cOriginalCaption='%2' cCaption='%2' bMustInput='%3' bShow='1'/>")
        .arg(QString::fromUtf8(field), QString::fromUtf8(caption), QString::fromLatin1(mustInput));
}

QStringList codesOf(db::Recordset *rs)
{
    QStringList codes;
    if (!rs || rs->recordCount() == 0)
        return codes;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        codes << rs->value(QStringLiteral("cContactCode")).toString();
    codes.sort();
    return codes;
}

QByteArray pictureBytes()
{
    QByteArray bytes(4096, '\0');
    QRandomGenerator generator(42);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    bytes.replace(0, 8, QByteArray("\x89PNG\r\n\x1a\n", 8));
    return bytes;
}

} // namespace

class tst_IClsCommonFields : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        suite::registerServices();
        HostRegistry::registerFactory(QStringLiteral("ColumnSetService"),
                                      [] { return std::make_unique<FakeColumnSet>(); });
        m_login = std::make_unique<suite::SuiteLogin>();
        m_login->setLanguageRegion(QStringLiteral("zh-CN"));
        m_login->cUserId = QStringLiteral("demo");
        m_login->qzDBName = QStringLiteral("Provider=SQLite;Data Source=x");
        gLogin = m_login.get();
    }

    void init()
    {
        m_logDir = std::make_unique<QTemporaryDir>();
        qputenv("PERIKON_LOG_DIR", m_logDir->path().toLocal8Bit());
        m_db = std::make_unique<TestDatabase>();
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        m_com = std::make_unique<IClsCommon>();
        QString cnn = m_db->connectionString();
        m_com->Init(cnn);
        QCOMPARE(m_com->connection()->state(), db::Connection::StateOpen);
        gLastError.clear();
    }

    void cleanup()
    {
        gColumnSet.reset();
        m_com.reset();
        m_db.reset();
        qunsetenv("PERIKON_LOG_DIR");
    }

    void nextContactCode_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("next");
        QTest::newRow("no contacts") << QStringList() << "00000001";
        QTest::newRow("carries into the hundreds")
            << QStringList{"00000010", "00000099"} << "00000100";
        QTest::newRow("past eight digits") << QStringList{"99999999"} << "100000000";
        QTest::newRow("letters and other lengths ignored")
            << QStringList{"00000005", "A0000999", "123456789", "9999999", "C-000001"}
            << "00000006";
    }

    void nextContactCode()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, next);
        for (const QString &code : stored)
            insertContact(code);
        QCOMPARE(m_com->GetContactCode(), next);
    }

    void nonNumericHighestCodeReachesTheCaller()
    {
        insertContact(QStringLiteral("00000007"));
        insertContact(QStringLiteral("9ABCDEFG"));
        QVERIFY_THROWS_EXCEPTION(db::DbError, m_com->GetContactCode());
    }

    void findBuildsConditionsFromTheRow_data()
    {
        QTest::addColumn<QString>("conditions");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("date range") << "<data><dBirthday>1980-01-01,1989-12-31</dBirthday></data>"
                                    << QStringList{"F2", "F3", "F4"};
        QTest::newRow("upper bound")
            << "<data><dBirthday>,1980-01-01</dBirthday></data>" << QStringList{"F1", "F2"};
        QTest::newRow("lower bound")
            << "<data><dBirthday>1989-12-30,</dBirthday></data>" << QStringList{"F4", "F5"};
        QTest::newRow("boolean compared quoted")
            << "<data><bMajor>1</bMajor></data>" << QStringList{"F2", "F4"};
        QTest::newRow("integer") << "<data><bcSexID>2</bcSexID></data>" << QStringList{"F3", "F4"};
        QTest::newRow("joined with AND")
            << "<Data><bMajor>1</bMajor><bcSexID>2</bcSexID></Data>" << QStringList{"F4"};
        QTest::newRow("quote in a value")
            << "<data><cContactName>O'Brien</cContactName></data>" << QStringList{"F5"};
        QTest::newRow("no conditions") << "<data/>" << QStringList{"F1", "F2", "F3", "F4", "F5"};
    }

    void findBuildsConditionsFromTheRow()
    {
        QFETCH(QString, conditions);
        QFETCH(QStringList, codes);
        insertFindRows();
        QString msg;
        std::unique_ptr<db::Recordset> rs(
            m_com->Find(conditions, {QStringLiteral(" "), QStringLiteral("Crm_Contact")}, {}, msg));
        QVERIFY2(rs, qPrintable(gLastError + QLatin1Char('|') + msg));
        QCOMPARE(codesOf(rs.get()), codes);
    }

    void findRefusesConditionsItCannotBuild_data()
    {
        QTest::addColumn<QString>("conditions");
        QTest::newRow("column in no table") << "<data><cNoSuchColumn>1</cNoSuchColumn></data>";
        QTest::newRow("text for a number column") << "<data><bcSexID>1 or 1=1</bcSexID></data>";
    }

    void findRefusesConditionsItCannotBuild()
    {
        QFETCH(QString, conditions);
        insertFindRows();
        QString msg;
        std::unique_ptr<db::Recordset> rs(
            m_com->Find(conditions, {QStringLiteral("Crm_Contact")}, {}, msg));
        QVERIFY(!rs);
        QCOMPARE(gLastError, zh("K2.CRM.COMMON.DBMSG.Sel0511"));
    }

    void functionAuthorization_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("lock");
        QTest::addColumn<QStringList>("granted");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("asked");
        QTest::newRow("archive without function")
            << "Crm_Opportunity" << 2 << 1 << QStringList() << true << false;
        QTest::newRow("refused") << "Crm_Contact" << 2 << 1 << QStringList{"CS020202"} << false
                                 << true;
        QTest::newRow("granted") << "crm_contact" << 2 << 1 << QStringList{"CS020201"} << true
                                 << true;
        QTest::newRow("refusal without lock ignored")
            << "Crm_Contact" << 1 << 0 << QStringList() << true << true;
        QTest::newRow("special operation granted")
            << "Customer" << 3 << 1 << QStringList{"as011"} << true << true;
    }

    void functionAuthorization()
    {
        QFETCH(QString, archive);
        QFETCH(int, operation);
        QFETCH(int, lock);
        QFETCH(QStringList, granted);
        QFETCH(bool, result);
        QFETCH(bool, asked);
        suite::SuiteLogin login;
        login.cUserId = QStringLiteral("clerk");
        login.GrantedFunctions = granted;
        login.ShareString = QStringLiteral("not asked");
        QString sErr;
        QCOMPARE(m_com->GetFunAuth(&login, archive, qint16(lock), sErr, qint16(operation)), result);
        QCOMPARE(login.ShareString != QLatin1String("not asked"), asked);
        QCOMPARE(sErr, result ? QString() : login.ShareString);
        if (!result)
            QVERIFY(!sErr.isEmpty());
    }

    void functionAuthorizationUsesTheHeldLogin()
    {
        suite::SuiteLogin refusing;
        suite::SuiteLogin admin;
        admin.IsAdmin = true;
        QString sErr;
        m_com->SetLogin(&refusing);
        QVERIFY(!m_com->GetFunAuth(nullptr, QStringLiteral("Crm_Contact"), 1, sErr, 11));
        QVERIFY(sErr.contains(QLatin1String("CS020204")));
        sErr.clear();
        // A login given to the call is held for the calls after it.
        QVERIFY(m_com->GetFunAuth(&admin, QStringLiteral("Crm_Contact"), 1, sErr, 11));
        QVERIFY(m_com->GetFunAuth(nullptr, QStringLiteral("Crm_Contact"), 1, sErr, 8));
        QCOMPARE(sErr, QString());
    }

    void loginThatCannotBeAskedIsAnErrorNotARefusal()
    {
        QObject notALogin;
        QString sErr;
        QVERIFY(m_com->GetFunAuth(&notALogin, QStringLiteral("Crm_Contact"), 1, sErr, 2));
        QCOMPARE(sErr, zh("K2.CRM.COMMON.MsgAuthErr"));
        QVERIFY(readLog().contains(QLatin1String("Procedure:GetFunAuth\r\nModule:IClsCommon\r\n")));
    }

    void requiredColumns_data()
    {
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("row");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("message");
        const QString name = colSet("cContactName", "姓名", "True");
        QTest::newRow("filled") << name << "<cContactName>李四</cContactName>" << true << "";
        QTest::newRow("empty") << name << "<cContactName></cContactName>" << false
                               << "姓名是必输项，不可为空！";
        QTest::newRow("missing, required by 1")
            << colSet("cContactName", "姓名", "1") << "<cMemo>x</cMemo>" << false
            << "姓名是必输项，不可为空！";
        QTest::newRow("not required")
            << colSet("cContactName", "姓名", "False") << "<cContactName/>" << true << "";
        QTest::newRow("customer name means customer code")
            << colSet("cCusName", "客户", "true") << "<cCusCode>C001</cCusCode><cCusName/>" << true
            << "";
        QTest::newRow("customer code empty")
            << colSet("cCusName", "客户", "true") << "<cCusCode/><cCusName>Acme</cCusName>" << false
            << "客户是必输项，不可为空！";
        QTest::newRow("sex name means sex id")
            << colSet("cSexName", "性别", "true") << "<bcSexID>1</bcSexID>" << true << "";
        QTest::newRow("zero flag is empty")
            << colSet("bMajor", "主要", "true") << "<bMajor>0</bMajor>" << false
            << "主要是必输项，不可为空！";
        QTest::newRow("zero number is a value") << colSet("cConDefine11", "自定义11", "true")
                                                << "<cConDefine11>0</cConDefine11>" << true << "";
        QTest::newRow("first missing column reported")
            << colSet("cContactName", "姓名", "true") + colSet("cMobilePhone", "手机", "true")
            << "<cContactName>李四</cContactName><cMobilePhone/>" << false
            << "手机是必输项，不可为空！";
    }

    void requiredColumns()
    {
        QFETCH(QString, columns);
        QFETCH(QString, row);
        QFETCH(bool, complete);
        QFETCH(QString, message);
        FakeColumnSet::colInfo = QStringLiteral("<ColInfo cKey='Crm_Contact'>") + columns
                                 + QStringLiteral("</ColInfo>");
        FakeColumnSet::calls.clear();
        pugi::xml_document doc;
        QString xml = QStringLiteral("<crm_contact>") + row + QStringLiteral("</crm_contact>");
        m_com->UTLCase(xml, true);
        QVERIFY(doc.load_string(xml.toUtf8().constData()));

        QCOMPARE(m_com->CheckColumnNull(doc.document_element(), QStringLiteral("Crm_Contact")),
                 complete);
        if (!complete)
            QCOMPARE(gLastError, message);
        // The service reads through the caller's own connection.
        QCOMPARE(FakeColumnSet::calls, QStringList({QStringLiteral("Init(connection,demo)"),
                                                    QStringLiteral("getColInfo(Crm_Contact,0)")}));
        QCOMPARE(FakeColumnSet::boundTo, m_com->connection());
        QVERIFY(qobject_cast<FakeColumnSet *>(gColumnSet.get()));
    }

    // One object checking twice: the second check follows the column information read then, and
    // the row given then. An empty message means the row is complete.
    void requiredColumnsFollowEachRead_data()
    {
        QTest::addColumn<QString>("firstColumns");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<QString>("firstMessage");
        QTest::addColumn<QString>("secondColumns");
        QTest::addColumn<QString>("secondRow");
        QTest::addColumn<QString>("secondMessage");
        const QString memo = colSet("cMemo", "备注", "true");
        const QString optionalMemo = colSet("cMemo", "备注", "false");
        const QString missingMemo = QStringLiteral("备注是必输项，不可为空！");
        QTest::newRow("a column becomes required") << optionalMemo << "<cMemo/>"
                                                   << "" << memo << "<cMemo/>" << missingMemo;
        QTest::newRow("a column is no longer required")
            << memo << "<cMemo/>" << missingMemo << optionalMemo << "<cMemo/>"
            << "";
        QTest::newRow("same columns, the second row lacks the value")
            << memo << "<cMemo>x</cMemo>"
            << "" << memo << "<cMemo/>" << missingMemo;
        QTest::newRow("same columns, the second row has the value")
            << memo << "<cMemo/>" << missingMemo << memo << "<cMemo>x</cMemo>"
            << "";
        QTest::newRow("the caption changes")
            << memo << "<cMemo/>" << missingMemo << colSet("cMemo", "说明", "true") << "<cMemo/>"
            << "说明是必输项，不可为空！";
        QTest::newRow("another column becomes required")
            << memo << "<cMemo>x</cMemo>"
            << "" << memo + colSet("cMobilePhone", "手机", "1") << "<cMemo>x</cMemo>"
            << "手机是必输项，不可为空！";
        QTest::newRow("the information no longer parses") << memo << "<cMemo>x</cMemo>"
                                                          << "" << memo + "<ColSet"
                                                          << "<cMemo>x</cMemo>"
                                                          << "XML参数格式不正确!";
    }

    void requiredColumnsFollowEachRead()
    {
        QFETCH(QString, firstColumns);
        QFETCH(QString, firstRow);
        QFETCH(QString, firstMessage);
        QFETCH(QString, secondColumns);
        QFETCH(QString, secondRow);
        QFETCH(QString, secondMessage);
        const auto check = [this](const QString &columns, const QString &row,
                                  const QString &message) {
            FakeColumnSet::colInfo = QStringLiteral("<ColInfo cKey='Crm_Contact'>") + columns
                                     + QStringLiteral("</ColInfo>");
            gLastError.clear();
            pugi::xml_document doc;
            QString xml = QStringLiteral("<crm_contact>") + row + QStringLiteral("</crm_contact>");
            m_com->UTLCase(xml, true);
            QVERIFY(doc.load_string(xml.toUtf8().constData()));
            QCOMPARE(m_com->CheckColumnNull(doc.document_element(), QStringLiteral("Crm_Contact")),
                     message.isEmpty());
            if (!message.isEmpty())
                QCOMPARE(gLastError, message);
        };
        check(firstColumns, firstRow, firstMessage);
        if (QTest::currentTestFailed())
            return;
        check(secondColumns, secondRow, secondMessage);
    }

    void requiredColumnsNeedTheColumnService()
    {
        pugi::xml_document doc;
        doc.load_string("<crm_contact/>");
        FakeColumnSet::colInfo = QStringLiteral("<ColInfo><ColSet cFld='cMemo'");
        QVERIFY(!m_com->CheckColumnNull(doc.document_element(), QStringLiteral("Crm_Contact")));
        QCOMPARE(gLastError, QStringLiteral("XML参数格式不正确!"));

        // A session that has no service yet and cannot create one.
        gColumnSet.reset();
        HostRegistry::registerFactory(QStringLiteral("ColumnSetService"), [] { return nullptr; });
        const bool complete
            = m_com->CheckColumnNull(doc.document_element(), QStringLiteral("Crm_Contact"));
        HostRegistry::registerFactory(QStringLiteral("ColumnSetService"),
                                      [] { return std::make_unique<FakeColumnSet>(); });
        QVERIFY(!complete);
        QCOMPARE(gLastError, QStringLiteral("创建栏目设置对象失败!"));
    }

    void pictureFromFileIsStoredAndExported()
    {
        const QByteArray bytes = pictureBytes();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("me.png"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        pugi::xml_document doc;
        const pugi::xml_node row = contactRow(doc, QStringLiteral("false"), path);
        QString msg;
        QVERIFY2(Common::SavePicture(*m_com->connection(), row, 1, QStringLiteral("crm_contact"),
                                     QStringLiteral("PictureGUID"), msg),
                 qPrintable(msg));
        const QString guid = transXML::GetNodeText(row, QStringLiteral("PictureGUID"));
        QVERIFY(guid != path && !guid.isEmpty());
        QCOMPARE(storedPicture(guid), bytes);

        std::unique_ptr<db::Recordset> rs(
            m_com->OpenX(QStringLiteral("select cTableName, cPicturetype from AA_Picture")));
        QCOMPARE(rs->recordCount(), 1);
        QCOMPARE(rs->value(0).toString(), QStringLiteral("crm_contact"));
        // The type is element text: normalization leaves it as the control reported it.
        QCOMPARE(rs->value(1).toString(), QStringLiteral("PNG"));

        QTemporaryDir out;
        const QString written = m_com->GetPicForCRM(guid, out.path());
        QCOMPARE(written, out.path() + QLatin1Char('/') + guid + QStringLiteral(".PNG"));
        QFile exported(written);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll(), bytes);
        QCOMPARE(m_com->GetPicForCRM(QStringLiteral("{no-such-guid}"), out.path()), QString());
    }

    void replacedPictureDeletesTheOldOne()
    {
        const QByteArray first = pictureBytes();
        const QByteArray second = first.left(100) + QByteArray("second");
        pugi::xml_document doc;
        pugi::xml_node row
            = contactRow(doc, QStringLiteral("True"), QString::fromLatin1(first.toBase64()));
        QString msg;
        QVERIFY(Common::SavePicture(*m_com->connection(), row, 1, QStringLiteral("crm_contact"),
                                    QStringLiteral("PictureGUID"), msg));
        const QString oldGuid = transXML::GetNodeText(row, QStringLiteral("pictureguid"));
        QCOMPARE(storedPicture(oldGuid), first);
        QVERIFY(
            m_com->ExecuteX(QStringLiteral("insert into Crm_Contact (cContactCode, PictureGUID) "
                                           "values (N'00000001', N'%1')")
                                .arg(oldGuid)));

        pugi::xml_document changed;
        row = contactRow(changed, QStringLiteral("1"), QString::fromLatin1(second.toBase64()));
        QVERIFY(Common::SavePicture(*m_com->connection(), row, 2, QStringLiteral("crm_contact"),
                                    QStringLiteral("PictureGUID"), msg));
        const QString newGuid = transXML::GetNodeText(row, QStringLiteral("pictureguid"));
        QVERIFY(newGuid != oldGuid);
        QCOMPARE(storedPicture(newGuid), second);
        std::unique_ptr<db::Recordset> rs(
            m_com->OpenX(QStringLiteral("select cGUID from AA_Picture")));
        QCOMPARE(rs->recordCount(), 1);
    }

    void unreadablePictureFileFailsTheSave()
    {
        pugi::xml_document doc;
        const pugi::xml_node row = contactRow(doc, QStringLiteral("False"),
                                              m_logDir->filePath(QStringLiteral("missing.png")));
        QString msg;
        QVERIFY(!Common::SavePicture(*m_com->connection(), row, 1, QStringLiteral("crm_contact"),
                                     QStringLiteral("PictureGUID"), msg));
        QCOMPARE(gLastError, zh("K2.AA.SRVTRANS.COMMONFUN.1151_1"));
        std::unique_ptr<db::Recordset> rs(
            m_com->OpenX(QStringLiteral("select cGUID from AA_Picture")));
        QCOMPARE(rs->recordCount(), 0);
    }

    void rowWithoutPictureLeavesPicturesAlone()
    {
        pugi::xml_document doc;
        doc.load_string("<crm_contact><ccontactcode>00000001</ccontactcode></crm_contact>");
        QString msg;
        QVERIFY(Common::SavePicture(*m_com->connection(), doc.document_element(), 2,
                                    QStringLiteral("crm_contact"), QStringLiteral("PictureGUID"),
                                    msg));
        QVERIFY(!doc.document_element().child("pictureguid"));
    }

private:
    void insertContact(const QString &code, const QString &columns = {}, const QString &values = {})
    {
        QVERIFY2(m_com->ExecuteX(
                     QStringLiteral("insert into Crm_Contact (cContactCode%1) values (N'%2'%3)")
                         .arg(columns, code, values)),
                 qPrintable(gLastError));
    }

    void insertFindRows()
    {
        const QString columns = QStringLiteral(", cContactName, dBirthday, bMajor, bcSexID");
        insertContact(QStringLiteral("F1"), columns, QStringLiteral(", N'A', '1979-12-31', 0, 1"));
        insertContact(QStringLiteral("F2"), columns, QStringLiteral(", N'B', '1980-01-01', 1, 1"));
        insertContact(QStringLiteral("F3"), columns, QStringLiteral(", N'C', '1985-06-15', 0, 2"));
        insertContact(QStringLiteral("F4"), columns, QStringLiteral(", N'D', '1989-12-30', 1, 2"));
        insertContact(QStringLiteral("F5"), columns,
                      QStringLiteral(", N'O''Brien', '1990-01-01', 0, NULL"));
    }

    pugi::xml_node contactRow(pugi::xml_document &doc, const QString &flag, const QString &content)
    {
        QString xml = QStringLiteral(
                          "<Crm_Contact><cContactCode>00000001</cContactCode>"
                          "<PictureGUID bXML='%1'>%2</PictureGUID><cPictureType >PNG</cPictureType>"
                          "</Crm_Contact>")
                          .arg(flag, content);
        m_com->UTLCase(xml, true);
        doc.load_string(xml.toUtf8().constData());
        return doc.document_element();
    }

    QByteArray storedPicture(const QString &guid)
    {
        std::unique_ptr<db::Recordset> rs(m_com->OpenX(
            QStringLiteral("select Picture from AA_Picture where cGUID=N'%1'").arg(guid)));
        return rs && !rs->eof() ? rs->value(0).toByteArray() : QByteArray("<no picture>");
    }

    QString readLog() const
    {
        QFile file(m_logDir->filePath(QStringLiteral("SrvTransLog.log")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<QTemporaryDir> m_logDir;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<IClsCommon> m_com;
};

QTEST_GUILESS_MAIN(tst_IClsCommonFields)
#include "tst_iclscommonfields.moc"
