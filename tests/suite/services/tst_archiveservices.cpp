// What the batch modification relies on of the public service: captions from the column
// dictionary, texts and message boxes in the session language, the checks of dates and
// user-defined items with one clear message per refusal, the archive log, and a window's unload.

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/host/contract/HostRegistry.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/services/HelpViewer.h"
#include "suite/services/SuitePubService.h"
#include "suite/services/SuiteUiHelper.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace perikon;

namespace {

struct ShownBox
{
    QString text;
    int style = 0;
    QString title;
    QString language;
};

QList<ShownBox> &shownBoxes()
{
    static QList<ShownBox> boxes;
    return boxes;
}

// The host's helper as registered for this test: it notes what each box was asked to show, and
// the suite's helper answers from the script.
class RecordingUiHelper : public suite::SuiteUiHelper
{
public:
    int ShowMsgBox(const QString &text, int style, const QString &title, const QString &languageId,
                   int reserved1, int reserved2) override
    {
        shownBoxes().append({text, style, title, languageId});
        return SuiteUiHelper::ShowMsgBox(text, style, title, languageId, reserved1, reserved2);
    }
};

QStringList takeShownTexts()
{
    suite::MessageBoxScript::takeShownMessages();
    QStringList texts;
    for (const ShownBox &box : std::as_const(shownBoxes()))
        texts.append(box.text);
    shownBoxes().clear();
    return texts;
}

// A time as the backends give it back, to the second.
QDateTime serverTime(const QStringList &row)
{
    QString text = row.value(0).left(19);
    text.replace(u'T', u' ');
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

constexpr int kWarning = MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation;

} // namespace

class tst_ArchiveServices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void formatStringFillsArguments_data();
    void formatStringFillsArguments();
    void msgBoxAnswersAsScripted_data();
    void msgBoxAnswersAsScripted();
    void fieldCaption_data();
    void fieldCaption();
    void fieldCaptionLeavesTheCursorAndCopesWithoutRows();
    void dateStyle_data();
    void dateStyle();
    void userDefinedValue_data();
    void userDefinedValue();
    void userDefinedValueWithoutConnectionIsRefused();
    void archiveLogKeepsEveryValue_data();
    void archiveLogKeepsEveryValue();
    void archiveLogTableIsCreatedWhenMissing();
    void archiveLogFailureIsReported();
    void unloadClosesHelpEndsRunAndStoresGeometry();

private:
    void createAccount();
    QStringList row(const QString &sql);

    SuiteFixture m_db;
    QTemporaryDir m_traceDir;
};

void tst_ArchiveServices::initTestCase()
{
    HostRegistry::registerFactory(QStringLiteral("UiHelper"),
                                  [] { return std::make_unique<RecordingUiHelper>(); });
    qputenv("PERIKON_TRACE_FILE", m_traceDir.filePath(QStringLiteral("trace.log")).toLocal8Bit());
}

void tst_ArchiveServices::init()
{
    testing::failOnUnexpectedWarnings();
    suite::setSessionLanguage(QStringLiteral("en-US"));
    takeShownTexts();
}

void tst_ArchiveServices::createAccount()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

QStringList tst_ArchiveServices::row(const QString &sql)
{
    QStringList values;
    const auto cursor = m_db.connection().openCursor(sql);
    if (cursor && cursor->next()) {
        for (int i = 0; i < int(cursor->columns().size()); ++i)
            values.append(cursor->value(i).toString());
    }
    return values;
}

void tst_ArchiveServices::formatStringFillsArguments_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("text");
    QTest::newRow("english") << "en-US"
                             << "K2.AA.CUSTOMER.FRMMULMODIFY.410_1" << QStringList{"12"}
                             << "12 contact records will be changed. Continue?";
    QTest::newRow("chinese") << "zh-CN"
                             << "K2.Suite.Print.Footer.Page" << QStringList{"2", "5"}
                             << "第 2 页 / 共 5 页";
    QTest::newRow("argument holding a marker stays")
        << "en-US"
        << "K2.Suite.Print.Footer.Account" << QStringList{"%2", "2026"}
        << "Account: %2  Year: 2026";
}

void tst_ArchiveServices::formatStringFillsArguments()
{
    QFETCH(QString, language);
    QFETCH(QString, key);
    QFETCH(QStringList, args);
    QFETCH(QString, text);
    suite::setSessionLanguage(language);
    QCOMPARE(suite::SuitePubService().GetResFormatString(key, args), text);
}

void tst_ArchiveServices::msgBoxAnswersAsScripted_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("queued");
    QTest::addColumn<int>("answer");
    const int yesNo = MsgBoxStyle::YesNo | MsgBoxStyle::Question;
    QTest::newRow("scripted no") << "en-US" << yesNo << QList<int>{MsgBoxButton::No}
                                 << MsgBoxButton::No;
    QTest::newRow("scripted cancel") << "zh-CN" << int(MsgBoxStyle::OKCancel)
                                     << QList<int>{MsgBoxButton::Cancel} << MsgBoxButton::Cancel;
    QTest::newRow("default button") << "en-US" << yesNo << QList<int>{} << MsgBoxButton::Yes;
    QTest::newRow("second button as default")
        << "zh-CN" << (yesNo | MsgBoxStyle::DefaultButton2) << QList<int>{} << MsgBoxButton::No;
}

void tst_ArchiveServices::msgBoxAnswersAsScripted()
{
    QFETCH(QString, language);
    QFETCH(int, style);
    QFETCH(QList<int>, queued);
    QFETCH(int, answer);
    suite::setSessionLanguage(language);
    suite::MessageBoxScript::queueAnswers(queued);
    const QString text = QStringLiteral("12 contact records will be changed. Continue?");
    QCOMPARE(suite::SuitePubService().MsgBox(text, style, QStringLiteral("Warning")), answer);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList{text});
    QCOMPARE(shownBoxes().size(), 1);
    QCOMPARE(shownBoxes().first().style, style);
    QCOMPARE(shownBoxes().first().title, QStringLiteral("Warning"));
    QCOMPARE(shownBoxes().first().language, language);
}

void tst_ArchiveServices::fieldCaption_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::newRow("chinese") << "zh-CN"
                             << "cContactName"
                             << "联系人名称";
    QTest::newRow("english") << "en-US"
                             << "cContactName"
                             << "Contact Name";
    QTest::newRow("name in another case") << "en-US"
                                          << "CCONTACTNAME"
                                          << "Contact Name";
    QTest::newRow("chinese without regard to case") << "zh-CN"
                                                    << "ccontactcode"
                                                    << "联系人编码";
    QTest::newRow("no english caption gives the chinese") << "en-US"
                                                          << "cOnlyChinese"
                                                          << "仅有中文";
    QTest::newRow("column the dictionary lacks") << "en-US"
                                                 << "cNoSuchColumn"
                                                 << "cNoSuchColumn";
    QTest::newRow("lacking in chinese too") << "zh-CN"
                                            << "cNoSuchColumn"
                                            << "cNoSuchColumn";
}

void tst_ArchiveServices::fieldCaption()
{
    QFETCH(QString, language);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    createAccount();
    m_db.exec(QStringLiteral("insert into QZMeta_001..aa_columndic (ckey, cFieldName, cCaption, "
                             "cCaptionEn) values ('crm_contact', 'cOnlyChinese', N'仅有中文', "
                             "NULL)"));
    db::Recordset dictionary;
    dictionary.open(
        QStringLiteral("select * from QZMeta_001..aa_columndic where ckey='crm_contact'"),
        &m_db.connection(), db::Recordset::OpenStatic, db::Recordset::LockReadOnly);
    suite::setSessionLanguage(language);
    QCOMPARE(suite::SuitePubService().GetFldCaption(&dictionary, key), caption);
}

void tst_ArchiveServices::fieldCaptionLeavesTheCursorAndCopesWithoutRows()
{
    createAccount();
    db::Recordset dictionary;
    dictionary.open(
        QStringLiteral("select * from QZMeta_001..aa_columndic where ckey='crm_contact' "
                       "order by iOrder"),
        &m_db.connection(), db::Recordset::OpenForwardOnly, db::Recordset::LockReadOnly);
    dictionary.move(3);
    const QString current = dictionary.value(QStringLiteral("cFieldName")).toString();
    suite::SuitePubService service;
    QCOMPARE(service.GetFldCaption(&dictionary, QStringLiteral("OID")),
             QStringLiteral("Identifier"));
    QCOMPARE(dictionary.value(QStringLiteral("cFieldName")).toString(), current);

    db::Recordset closed;
    QCOMPARE(service.GetFldCaption(&closed, QStringLiteral("OID")), QStringLiteral("OID"));
    QCOMPARE(service.GetFldCaption(nullptr, QStringLiteral("OID")), QStringLiteral("OID"));
    QObject notARecordset;
    QCOMPARE(service.GetFldCaption(&notARecordset, QStringLiteral("OID")), QStringLiteral("OID"));
}

void tst_ArchiveServices::dateStyle_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("blanks only") << "   " << true;
    QTest::newRow("full date") << "2026-03-05" << true;
    QTest::newRow("one-digit month and day") << "2026-3-5" << true;
    QTest::newRow("leap day") << "2024-02-29" << true;
    QTest::newRow("leap day of a 400th year") << "2000-02-29" << true;
    QTest::newRow("no leap day in a common year") << "2026-02-29" << false;
    QTest::newRow("no leap day in a century") << "1900-02-29" << false;
    QTest::newRow("thirtieth of february") << "2026-02-30" << false;
    QTest::newRow("april has thirty days") << "2026-04-31" << false;
    QTest::newRow("month thirteen") << "2026-13-01" << false;
    QTest::newRow("month zero") << "2026-00-10" << false;
    QTest::newRow("two-digit year") << "26-03-05" << false;
    QTest::newRow("slashes") << "2026/03/05" << false;
    QTest::newRow("with a time") << "2026-03-05 10:00:00" << false;
    QTest::newRow("blank before") << " 2026-03-05" << false;
    QTest::newRow("typing slip in the year") << "0202-03-05" << false;
    QTest::newRow("words") << "tomorrow" << false;
    QTest::newRow("quote") << "2026-03-0'5" << false;
}

void tst_ArchiveServices::dateStyle()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    suite::SuitePubService service;
    QCOMPARE(service.CheckDateStyle(text, false), valid);
    QCOMPARE(takeShownTexts(), QStringList{});

    QCOMPARE(service.CheckDateStyle(text, true), valid);
    const QStringList shown = takeShownTexts();
    QCOMPARE(shown.size(), valid ? 0 : 1);
    if (!valid) {
        QVERIFY2(shown.first().contains(text) && shown.first().contains(u"not a valid date"),
                 qPrintable(shown.first()));
        suite::setSessionLanguage(QStringLiteral("zh-CN"));
        service.CheckDateStyle(text, true);
        const QStringList chinese = takeShownTexts();
        QCOMPARE(chinese.size(), 1);
        QVERIFY2(chinese.first().contains(u"不是有效的日期"), qPrintable(chinese.first()));
    }
}

void tst_ArchiveServices::userDefinedValue_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("refusal"); // what the one message says; empty: accepted

    QTest::newRow("listed value") << "cConDefine1"
                                  << "重要"
                                  << "";
    QTest::newRow("listed value with a quote") << "cConDefine1"
                                               << "O'Neil"
                                               << "";
    QTest::newRow("quote does not open the list") << "cConDefine1"
                                                  << "x'--"
                                                  << "is not one of the values";
    QTest::newRow("unlisted value") << "cConDefine1"
                                    << "普通"
                                    << "is not one of the values";
    QTest::newRow("longer than the item") << "cConDefine1"
                                          << "重要重要重要重"
                                          << "too long";
    QTest::newRow("empty value") << "cConDefine1"
                                 << ""
                                 << "";
    QTest::newRow("item named as in userdef") << "自定义项1"
                                              << "一般"
                                              << "";
    QTest::newRow("field name in another case") << "CCONDEFINE1"
                                                << "重要"
                                                << "";
    QTest::newRow("fixed length met") << "cConDefine2"
                                      << "12345"
                                      << "";
    QTest::newRow("fixed length short") << "cConDefine2"
                                        << "1234"
                                        << "exactly 5 characters";
    QTest::newRow("fixed length long") << "cConDefine2"
                                       << "123456"
                                       << "exactly 5 characters";
    QTest::newRow("in the related archive") << "cConDefine3"
                                            << "张三"
                                            << "";
    QTest::newRow("in the list beside the archive") << "cConDefine3"
                                                    << "外部介绍"
                                                    << "";
    QTest::newRow("in neither") << "cConDefine3"
                                << "李四"
                                << "neither in Person";
    QTest::newRow("several listed values") << "cConDefine4"
                                           << "技术,采购"
                                           << "";
    QTest::newRow("one of several not listed") << "cConDefine4"
                                               << "技术,炒股"
                                               << "\"炒股\" is not one of the values";
    QTest::newRow("item taking new values") << "cConDefine5"
                                            << "全新的值"
                                            << "";
    QTest::newRow("archive that is no name") << "cConDefine6"
                                             << "x"
                                             << "cannot be checked";
    QTest::newRow("archive that does not exist") << "cConDefine7"
                                                 << "x"
                                                 << "cannot be checked";
    QTest::newRow("whole number") << "cConDefine11"
                                  << "1234"
                                  << "";
    QTest::newRow("negative whole number") << "cConDefine11"
                                           << "-12"
                                           << "";
    QTest::newRow("too many digits") << "cConDefine11"
                                     << "12345"
                                     << "whole number";
    QTest::newRow("fraction for a whole number") << "cConDefine11"
                                                 << "1.5"
                                                 << "whole number";
    QTest::newRow("letters for a whole number") << "cConDefine11"
                                                << "12a"
                                                << "whole number";
    QTest::newRow("number") << "cConDefine13"
                            << "12345.67"
                            << "";
    QTest::newRow("number without leading digit") << "cConDefine13"
                                                  << ".5"
                                                  << "";
    QTest::newRow("too many digits before the point") << "cConDefine13"
                                                      << "123456"
                                                      << "decimal point";
    QTest::newRow("too many decimals") << "cConDefine13"
                                       << "1.234"
                                       << "decimal point";
    QTest::newRow("thousands separator") << "cConDefine13"
                                         << "1,234"
                                         << "decimal point";
    QTest::newRow("date") << "cConDefine15"
                          << "2026-02-28"
                          << "";
    QTest::newRow("impossible date") << "cConDefine15"
                                     << "2026-02-30"
                                     << "not a valid date";
    QTest::newRow("item userdef does not define") << "cConDefine17"
                                                  << "anything"
                                                  << "";
}

void tst_ArchiveServices::userDefinedValue()
{
    QFETCH(QString, item);
    QFETCH(QString, value);
    QFETCH(QString, refusal);
    createAccount();
    const auto define = [this](int n, const QString &settings) {
        m_db.exec(QStringLiteral("update userdef set cItemName=N'Item %1', %2 where "
                                 "cClass=N'联系人' and CItem=N'自定义项%1'")
                      .arg(QString::number(n), settings));
    };
    define(1, QStringLiteral("iLength=6, bCheckVal=1"));
    define(2, QStringLiteral("iLength=5, bFixLength=1"));
    define(3, QStringLiteral("bCheckVal=1, iDataSource=1, cRelArchive=N'Person', "
                             "cRelField=N'cPersonName'"));
    define(4, QStringLiteral("bCheckVal=1, bMultiSel=1"));
    define(5, QStringLiteral("bCheckVal=1, bArchive=1"));
    define(6, QStringLiteral("bCheckVal=1, iDataSource=1, cRelArchive=N'Person;drop table x', "
                             "cRelField=N'cPersonName'"));
    define(7, QStringLiteral("bCheckVal=1, iDataSource=1, cRelArchive=N'NoSuchArchive', "
                             "cRelField=N'cName'"));
    define(11, QStringLiteral("iLength=4"));
    define(13, QStringLiteral("iLength=8, iDecimalDigits=2"));
    define(15, QStringLiteral("iLength=20"));
    m_db.exec(QStringLiteral(
        "insert into userdefine (cId, cValue) values (N'301', N'重要'), (N'301', N'一般'), "
        "(N'301', N'O''Neil'), (N'303', N'外部介绍'), (N'304', N'技术'), (N'304', N'采购')"));
    m_db.exec(
        QStringLiteral("insert into Person (cPersonCode, cPersonName) values (N'P01', N'张三')"));
    DataAccessStub dataAccess(&m_db.connection());

    const bool accepted = refusal.isEmpty();
    QCOMPARE(
        suite::SuitePubService().CheckUserDef(item, value, QStringLiteral("联系人"), &dataAccess),
        accepted);
    const QList<ShownBox> boxes = shownBoxes();
    const QStringList shown = takeShownTexts();
    QCOMPARE(shown.size(), accepted ? 0 : 1);
    if (accepted)
        return;
    QVERIFY2(shown.first().contains(refusal), qPrintable(shown.first()));
    // The message names the item by its caption.
    QVERIFY2(shown.first().contains(u"Item "), qPrintable(shown.first()));
    QCOMPARE(boxes.first().style, kWarning);
}

void tst_ArchiveServices::userDefinedValueWithoutConnectionIsRefused()
{
    DataAccessStub nothingOpen(nullptr);
    suite::SuitePubService service;
    QVERIFY(!service.CheckUserDef(QStringLiteral("cConDefine1"), QStringLiteral("重要"),
                                  QStringLiteral("联系人"), &nothingOpen));
    const QStringList shown = takeShownTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(u"cannot be checked"), qPrintable(shown.first()));
    // Nothing to check needs no connection.
    QVERIFY(service.CheckUserDef(QStringLiteral("cConDefine1"), QString(), QStringLiteral("联系人"),
                                 &nothingOpen));
}

void tst_ArchiveServices::archiveLogKeepsEveryValue_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("statement");
    QTest::newRow("batch modification")
        << ""
        << "admin"
        << "客户联系人批量修改"
        << "update crm_contact set cRevisor='王经理' ,dModifyDate=getdate(), bcSexID='7' where "
           "cContactCode in (N'C001',N'C002') and 1=1";
    QTest::newRow("quotes, comments and separators")
        << "O'Neil"
        << "o'brien"
        << "--; drop table qz_ArchiveLog; --"
        << "update crm_contact set cMemo='a''b; c -- d' where 1=1; select 1";
    QTest::newRow("markers, breaks and backslashes") << "%1"
                                                     << "%2"
                                                     << "line one\nline two\\"
                                                     << "?, $1, :name, %1%2";
}

void tst_ArchiveServices::archiveLogKeepsEveryValue()
{
    QFETCH(QString, key);
    QFETCH(QString, user);
    QFETCH(QString, description);
    QFETCH(QString, statement);
    createAccount();
    DataAccessStub dataAccess(&m_db.connection());
    suite::SuitePubService service;
    QVERIFY(service.LogArch(&dataAccess, QStringLiteral("crm_contact"), 4, key, user,
                            QStringLiteral("2"), description, statement));
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from qz_ArchiveLog")), 1);
    QCOMPARE(row(QStringLiteral("select cArchive, iOperation, cKey, cUser_Id, cKind, "
                                "cDescription, cStatement from qz_ArchiveLog")),
             (QStringList{"crm_contact", "4", key, user, "2", description, statement}));
    // Stamped by the server's clock.
    const QDateTime logged = serverTime(row(QStringLiteral("select dLogTime from qz_ArchiveLog")));
    const QDateTime now = serverTime(row(QStringLiteral("select getdate()")));
    QVERIFY(logged.isValid() && now.isValid());
    QVERIFY2(logged <= now && logged.secsTo(now) < 60, qPrintable(logged.toString()));
}

void tst_ArchiveServices::archiveLogTableIsCreatedWhenMissing()
{
    createAccount();
    // An account made before the log existed.
    m_db.exec(QStringLiteral("drop table qz_ArchiveLog"));
    DataAccessStub dataAccess(&m_db.connection());
    suite::SuitePubService service;
    QVERIFY(service.LogArch(&dataAccess, QStringLiteral("crm_contact"), 4, QString(),
                            QStringLiteral("admin"), QStringLiteral("2"), QStringLiteral("first"),
                            QStringLiteral("update crm_contact set cMemo=NULL where 1=2")));
    QVERIFY(service.LogArch(&dataAccess, QStringLiteral("crm_contact"), 4, QString(),
                            QStringLiteral("admin"), QStringLiteral("2"), QStringLiteral("second"),
                            QStringLiteral("update crm_contact set cMemo=NULL where 1=2")));
    QCOMPARE(m_db.column(QStringLiteral("select cDescription from qz_ArchiveLog order by ID")),
             (QStringList{"first", "second"}));
}

void tst_ArchiveServices::archiveLogFailureIsReported()
{
    createAccount();
    QFile::remove(suite::SuiteUiHelper::traceFilePath());
    suite::SuitePubService service;
    DataAccessStub nothingOpen(nullptr);
    QVERIFY(!service.LogArch(&nothingOpen, QStringLiteral("crm_contact"), 4, QString(),
                             QStringLiteral("admin"), QStringLiteral("2"), QString(), QString()));
    // A table of that name the log cannot be written into.
    m_db.exec(QStringLiteral("drop table qz_ArchiveLog"));
    m_db.exec(QStringLiteral("create table qz_ArchiveLog (ID int not null primary key)"));
    DataAccessStub dataAccess(&m_db.connection());
    QVERIFY(!service.LogArch(&dataAccess, QStringLiteral("crm_contact"), 4, QString(),
                             QStringLiteral("admin"), QStringLiteral("2"), QString(), QString()));
    QFile trace(suite::SuiteUiHelper::traceFilePath());
    QVERIFY(trace.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(trace.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    for (const QString &line : lines)
        QVERIFY2(line.contains(u"LogArch") && line.contains(u"crm_contact"), qPrintable(line));
    QCOMPARE(takeShownTexts(), QStringList{}); // the batch window has told its result already
}

void tst_ArchiveServices::unloadClosesHelpEndsRunAndStoresGeometry()
{
    createAccount();
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("wang");
    login.qzDBName = m_db.connectionString();
    login.setLanguageRegion(QStringLiteral("en-US"));
    suite::SuitePubService service;
    QWidget window;
    window.setObjectName(QStringLiteral("frmBatchModify"));
    service.FrmOptInit(&window, &login);
    window.setGeometry(40, 50, 420, 260);
    service.HelpShow(QStringLiteral("Modify"), &window);
    service.ShowHelp(&window);
    auto *help = window.findChild<suite::HelpViewer *>();
    QVERIFY(help && help->isVisible());
    service.DeleteStart(&window);
    QVERIFY(QApplication::overrideCursor());

    service.FrmUnLoad(&window);
    QVERIFY(!help->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!window.findChild<suite::HelpViewer *>());
    QVERIFY(!window.property("HelpCommand").isValid());
    QVERIFY(!QApplication::overrideCursor());

    const QString stored
        = service.GetRegEdit(QStringLiteral("frmBatchModify.frmoptinit"),
                             QStringLiteral("geometry"), false, QStringLiteral("wang"));
    QWidget reopened;
    QVERIFY(reopened.restoreGeometry(QByteArray::fromBase64(stored.toLatin1())));
    QCOMPARE(reopened.size(), QSize(420, 260));
    // Nothing is kept for the window any longer: a later hide stores nothing.
    window.resize(500, 300);
    window.show();
    window.hide();
    QCOMPARE(service.GetRegEdit(QStringLiteral("frmBatchModify.frmoptinit"),
                                QStringLiteral("geometry"), false, QStringLiteral("wang")),
             stored);
}

QTEST_MAIN(tst_ArchiveServices)
#include "tst_archiveservices.moc"
