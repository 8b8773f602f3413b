// Batch modification of contacts against a real account: the condition and value rewrites, the
// checks that stop a batch, the customer and mobile follow-ups, and all or nothing when a
// statement fails.

#include "BatchTestSession.h"

#include "perikon/batch/BatchModify.h"
#include "perikon/data/db/Connection.h"
#include "perikon/data/db/Driver.h"
#include "suite/MessageBoxScript.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteServices.h"

#include <QTest>

using namespace perikon;
using batch::BatchModifyEvent;
using Outcome = BatchModifyEvent::Outcome;
using suite::MessageBoxScript;

namespace {

constexpr int kYes = 6;
constexpr int kNo = 7;

QString zh(const char *key, const QStringList &args = {})
{
    return suite::ResourceTexts::format(QStringLiteral("zh-CN"), QString::fromLatin1(key), args);
}

QString codes(const QStringList &list)
{
    QStringList quoted;
    for (const QString &code : list)
        quoted += QStringLiteral("N'") + QString(code).replace(u'\'', QStringLiteral("''")) + u'\'';
    return QStringLiteral("cContactCode in (") + quoted.join(u',') + u')';
}

} // namespace

class tst_BatchModify : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void choiceCodesInTheCondition_data();
    void choiceCodesInTheCondition();
    void storedValues_data();
    void storedValues();
    void customerChangeCondition_data();
    void customerChangeCondition();

    void choiceCodeIsStoredAsItsId();
    void valuesAreStoredVerbatim_data();
    void valuesAreStoredVerbatim();
    void emptyValueClearsTheColumn();
    void customerChangeClearsFormerDefaultsExceptTheNewCustomer();
    void mobileFollowsToTheCustomersOfDefaultContacts();
    void checksStopTheBatch_data();
    void checksStopTheBatch();
    void requiredFieldStopsTheBatch_data();
    void requiredFieldStopsTheBatch();
    void nothingWithinWriteRightsStopsTheBatch();
    void onlyContactsWithinWriteRightsChange();
    void refusedConfirmationChangesNothing();
    void fieldsTheCatalogueWithholdsAreNeverWritten_data();
    void fieldsTheCatalogueWithholdsAreNeverWritten();
    void failedUpdateRollsBackEverything();
    void failedCustomerClearShowsItsText();
    void columnRefusingNullRollsBack();
    void lockHeldByAnotherOperatorStopsTheBatch();

private:
    void startSession(const QString &user = QStringLiteral("admin"));
    // Every contact and customer row as text: what "nothing changed" compares.
    QStringList snapshot();
    QString contactValue(const QString &code, const QString &column);
    QString customerValue(const QString &code, const QString &column);
    // The database refuses updates of `table` whose `column` becomes `value`.
    void refuseUpdate(const QString &table, const QString &column, const QString &value);
    qint64 heldLocks()
    {
        return m_db.count(QStringLiteral("select count(*) from qz_FunctionLock"));
    }
    qint64 logRows() { return m_db.count(QStringLiteral("select count(*) from qz_ArchiveLog")); }

    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
};

void tst_BatchModify::initTestCase()
{
    suite::registerServices();
    MessageBoxScript::setInteractive(false);
}

void tst_BatchModify::init()
{
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral(
        "insert into Customer (cCusCode, iId, cCusName, ccuscontactcode, cCusPerson, cCusHand) "
        "values (N'C1', 1, N'华东物流', N'{k1}', N'甲', N'111'), "
        "(N'C2', 2, N'南方电子', N'{k2}', N'乙', N'222'), "
        "(N'C3', 3, N'北方机械', N'{k4}', N'丁', N'444')"));
    m_db.exec(QStringLiteral(
        "insert into Crm_Contact (OID, cContactCode, cContactName, cCusCode, cMobilePhone, "
        "bcSexID) values (N'{k1}', N'k1', N'甲', N'C1', N'131', 6), "
        "(N'{k2}', N'k2', N'乙', N'C2', N'132', 6), (N'{k3}', N'k3', N'丙', N'C3', N'133', 6), "
        "(N'{k4}', N'k''4', N'丁', N'C3', N'134', 6), (N'{k5}', N'k5', N'戊', N'C1', N'135', 6)"));
    m_db.exec(
        QStringLiteral("insert into Person (cPersonCode, cPersonName) values (N'P1', N'张')"));
    m_db.exec(
        QStringLiteral("insert into Department (cDepCode, cDepName) values (N'D1', N'销售部')"));
    MessageBoxScript::takeShownMessages();
}

void tst_BatchModify::cleanup()
{
    MessageBoxScript::queueAnswers({});
    MessageBoxScript::takeShownMessages();
    testing::endBatchSession(m_login);
}

void tst_BatchModify::startSession(const QString &user)
{
    QVERIFY(testing::startBatchSession(m_db, m_login, QStringLiteral("zh-CN"), user));
}

QStringList tst_BatchModify::snapshot()
{
    QStringList rows = m_db.column(QStringLiteral(
        "select cContactCode + '|' + isnull(cCusCode,'') + '|' + isnull(cMobilePhone,'') + '|' "
        "+ isnull(cMemo,'') + '|' + isnull(cRevisor,'') + '|' + cast(isnull(bcSexID,0) as "
        "nvarchar(10)) from Crm_Contact order by cContactCode"));
    rows += m_db.column(QStringLiteral(
        "select cCusCode + '|' + isnull(ccuscontactcode,'') + '|' + isnull(cCusPerson,'') + '|' + "
        "isnull(cCusHand,'') from Customer order by cCusCode"));
    return rows;
}

QString tst_BatchModify::contactValue(const QString &code, const QString &column)
{
    const QStringList values
        = m_db.column(QStringLiteral("select %1 from Crm_Contact where cContactCode=N'%2'")
                          .arg(column, QString(code).replace(u'\'', QStringLiteral("''"))));
    return values.value(0);
}

QString tst_BatchModify::customerValue(const QString &code, const QString &column)
{
    return m_db
        .column(QStringLiteral("select %1 from Customer where cCusCode=N'%2'").arg(column, code))
        .value(0);
}

void tst_BatchModify::refuseUpdate(const QString &table, const QString &column,
                                   const QString &value)
{
    db::Driver &driver = m_db.connection().driver();
    if (m_db.connection().target() == db::SqlTarget::Postgres) {
        driver.execute(
            QStringLiteral("CREATE FUNCTION refuse_update() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN IF NEW.%1 IS NOT DISTINCT FROM '%2' THEN RAISE EXCEPTION "
                           "'refused'; END IF; RETURN NEW; END $$")
                .arg(column.toLower(), value));
        driver.execute(QStringLiteral("CREATE TRIGGER refuse_update BEFORE UPDATE ON %1 FOR EACH "
                                      "ROW EXECUTE FUNCTION refuse_update()")
                           .arg(table.toLower()));
    } else {
        driver.execute(QStringLiteral("CREATE TRIGGER refuse_update BEFORE UPDATE ON %1 WHEN "
                                      "NEW.%2 IS '%3' BEGIN SELECT RAISE(ABORT, 'refused'); END")
                           .arg(table, column, value));
    }
}

void tst_BatchModify::choiceCodesInTheCondition_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("rewritten");
    QTest::newRow("sex code") << "bcsexid=N'1'"
                              << "bcsexid=7";
    QTest::newRow("only the first code found, every occurrence of it")
        << "bcsexid=N'1' or bcsexid=N'2' or bcsexid=N'1'"
        << "bcsexid=7 or bcsexid=N'2' or bcsexid=7";
    QTest::newRow("codes are tried in order") << "bcsexid=N'2' or bcsexid=N'0'"
                                              << "bcsexid=N'2' or bcsexid=6";
    QTest::newRow("marriage and sex together") << "bcmarriageid=N'3' and bcsexid=N'0'"
                                               << "bcmarriageid=250 and bcsexid=6";
    QTest::newRow("case-sensitive") << "bcSexID=N'1'"
                                    << "bcSexID=N'1'";
    QTest::newRow("inside a literal the text stays") << "cContactCode in (N'x bcsexid=N''1'' y')"
                                                     << "cContactCode in (N'x bcsexid=N''1'' y')";
    QTest::newRow("nothing to rewrite") << "cContactCode in (N'a')"
                                        << "cContactCode in (N'a')";
}

void tst_BatchModify::choiceCodesInTheCondition()
{
    QFETCH(QString, where);
    QFETCH(QString, rewritten);
    QCOMPARE(batch::RewriteChoiceCodes(where), rewritten);
}

void tst_BatchModify::storedValues_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("storedField");
    QTest::addColumn<QString>("storedValue");
    QTest::newRow("sex") << "bcSexID"
                         << "1"
                         << "bcSexID"
                         << "7";
    QTest::newRow("sex, any case") << "BCSEXID"
                                   << "2"
                                   << "BCSEXID"
                                   << "8";
    QTest::newRow("marriage divorced") << "bcMarriageID"
                                       << "3"
                                       << "bcMarriageID"
                                       << "250";
    QTest::newRow("not a code stays") << "bcSexID"
                                      << "01"
                                      << "bcSexID"
                                      << "01";
    QTest::newRow("other fields stay") << "cMemo"
                                       << "1"
                                       << "cMemo"
                                       << "1";
    QTest::newRow("customer name stands for its code") << "cCusName"
                                                       << "C1"
                                                       << "ccuscode"
                                                       << "C1";
    QTest::newRow("person in charge") << "cPrincipalName"
                                      << "P1"
                                      << "cprincipal"
                                      << "P1";
}

void tst_BatchModify::storedValues()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, storedField);
    QFETCH(QString, storedValue);
    const QString stored = batch::StoredField(field);
    QCOMPARE(stored, storedField);
    QCOMPARE(batch::StoredChoiceValue(stored, value), storedValue);
}

void tst_BatchModify::customerChangeCondition_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("rewritten");
    QTest::newRow("codes only") << "cContactCode in (N'k1')"
                                << "cContactCode in (N'k1')";
    QTest::newRow("customer and contact name")
        << "ccuscode=N'C1' and ccontactname like N'甲%'"
        << "crm_contact.ccuscode=N'C1' and cCusPerson like N'甲%'";
    QTest::newRow("a code that reads like a column stays") << "cContactCode in (N'ccuscode')"
                                                           << "cContactCode in (N'ccuscode')";
}

void tst_BatchModify::customerChangeCondition()
{
    QFETCH(QString, where);
    QFETCH(QString, rewritten);
    QCOMPARE(batch::CustomerChangeCondition(where), rewritten);
}

void tst_BatchModify::choiceCodeIsStoredAsItsId()
{
    startSession();
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("bcSexID"), QStringLiteral("1"), codes({"k1", "k'4"})),
             Outcome::Modified);
    QCOMPARE(contactValue(QStringLiteral("k1"), QStringLiteral("bcSexID")), QStringLiteral("7"));
    QCOMPARE(contactValue(QStringLiteral("k'4"), QStringLiteral("bcSexID")), QStringLiteral("7"));
    QCOMPARE(contactValue(QStringLiteral("k2"), QStringLiteral("bcSexID")), QStringLiteral("6"));
    const QStringList shown = MessageBoxScript::takeShownMessages();
    QCOMPARE(shown, (QStringList{zh("K2.AA.CUSTOMER.FRMMULMODIFY.410_1", {"2"}),
                                 zh("K2.AA.ARCHIVE.COMMON.modifysuccess")}));
    QVERIFY(gListDirty);
    QCOMPARE(heldLocks(), 0);
    QCOMPARE(logRows(), 1);
    QCOMPARE(m_db.column(QStringLiteral("select cStatement from qz_ArchiveLog")),
             QStringList{event.lastStatement()});
}

void tst_BatchModify::valuesAreStoredVerbatim_data()
{
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("value");
    QTest::newRow("quotes and comment dashes") << "O'Hara"
                                               << "O'Brien -- ; drop";
    QTest::newRow("percent and underscore") << "王经理"
                                            << "100% _sure_";
    QTest::newRow("CJK and backslash") << "admin"
                                       << "北京\\上海 ‘引号’";
}

void tst_BatchModify::valuesAreStoredVerbatim()
{
    QFETCH(QString, operatorName);
    QFETCH(QString, value);
    startSession();
    gUserName = operatorName;
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("cMemo"), value, codes({"k1", "k'4"})), Outcome::Modified);
    QCOMPARE(contactValue(QStringLiteral("k'4"), QStringLiteral("cMemo")), value);
    QCOMPARE(contactValue(QStringLiteral("k1"), QStringLiteral("cRevisor")), operatorName);
    QCOMPARE(contactValue(QStringLiteral("k2"), QStringLiteral("cMemo")), QString());
    QVERIFY(!contactValue(QStringLiteral("k1"), QStringLiteral("dModifyDate")).isEmpty());
}

void tst_BatchModify::emptyValueClearsTheColumn()
{
    m_db.exec(QStringLiteral("update Crm_Contact set cMemo=N'old'"));
    startSession();
    // An empty required-field list: nothing stops a cleared memo.
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("cMemo"), QStringLiteral("  "), codes({"k1"})),
             Outcome::Modified);
    QCOMPARE(m_db.count(QStringLiteral(
                 "select count(*) from Crm_Contact where cContactCode=N'k1' and cMemo is null")),
             1);
    QCOMPARE(contactValue(QStringLiteral("k2"), QStringLiteral("cMemo")), QStringLiteral("old"));
}

void tst_BatchModify::customerChangeClearsFormerDefaultsExceptTheNewCustomer()
{
    startSession();
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(
        event.run(QStringLiteral("cCusCode"), QStringLiteral("C2"), codes({"k1", "k2", "k'4"})),
        Outcome::Modified);
    for (const char *code : {"k1", "k2", "k'4"})
        QCOMPARE(contactValue(QString::fromLatin1(code), QStringLiteral("cCusCode")),
                 QStringLiteral("C2"));
    QCOMPARE(contactValue(QStringLiteral("k5"), QStringLiteral("cCusCode")), QStringLiteral("C1"));
    // C1 and C3 lose the default contact that left them; C2, the new customer, keeps its own.
    QCOMPARE(customerValue(QStringLiteral("C1"), QStringLiteral("isnull(ccuscontactcode,'-')")),
             QStringLiteral("-"));
    QCOMPARE(customerValue(QStringLiteral("C1"), QStringLiteral("cCusPerson")), QString());
    QCOMPARE(customerValue(QStringLiteral("C3"), QStringLiteral("isnull(ccuscontactcode,'-')")),
             QStringLiteral("-"));
    QCOMPARE(customerValue(QStringLiteral("C2"), QStringLiteral("ccuscontactcode")),
             QStringLiteral("{k2}"));
    QCOMPARE(customerValue(QStringLiteral("C2"), QStringLiteral("cCusPerson")),
             QStringLiteral("乙"));
}

void tst_BatchModify::mobileFollowsToTheCustomersOfDefaultContacts()
{
    startSession();
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QList<qint64> progress;
    event.setProgress([&](qint64 done, qint64 total) { progress << done << total; });
    QCOMPARE(
        event.run(QStringLiteral("cMobilePhone"), QStringLiteral("139'00"), codes({"k1", "k3"})),
        Outcome::Modified);
    QCOMPARE(contactValue(QStringLiteral("k1"), QStringLiteral("cMobilePhone")),
             QStringLiteral("139'00"));
    QCOMPARE(contactValue(QStringLiteral("k3"), QStringLiteral("cMobilePhone")),
             QStringLiteral("139'00"));
    // k1 is C1's default contact; k3 is nobody's, so C3 keeps its number.
    QCOMPARE(customerValue(QStringLiteral("C1"), QStringLiteral("cCusHand")),
             QStringLiteral("139'00"));
    QCOMPARE(customerValue(QStringLiteral("C3"), QStringLiteral("cCusHand")),
             QStringLiteral("444"));
    QCOMPARE(customerValue(QStringLiteral("C2"), QStringLiteral("cCusHand")),
             QStringLiteral("222"));
    QCOMPARE(progress, (QList<qint64>{1, 2, 2, 2}));
}

void tst_BatchModify::checksStopTheBatch_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown customer") << "cCusCode"
                                      << "C9"
                                      << "所属客户不存在";
    QTest::newRow("customer code with a quote") << "cCusCode"
                                                << "C1'"
                                                << "所属客户不存在";
    QTest::newRow("unknown superior") << "cSuperiorID"
                                      << "k9"
                                      << "直接上级不存在";
    QTest::newRow("unknown person in charge") << "cprincipal"
                                              << "P9"
                                              << "负责人不存在";
    QTest::newRow("unknown department") << "cConDepart"
                                        << "D9"
                                        << "联系人所属部门不存在";
    QTest::newRow("impossible birthday") << "dBirthday"
                                         << "2026-02-30"
                                         << "";
    QTest::newRow("not a date") << "dConEDate"
                                << "tomorrow"
                                << "";
}

void tst_BatchModify::checksStopTheBatch()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    startSession();
    const QStringList before = snapshot();
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(field, value, codes({"k1", "k2"})), Outcome::Refused);
    const QStringList shown = MessageBoxScript::takeShownMessages();
    // One message, the check's own; no confirmation was asked.
    QCOMPARE(shown.size(), 1);
    if (!message.isEmpty())
        QCOMPARE(shown.first(), message);
    QCOMPARE(snapshot(), before);
    QCOMPARE(heldLocks(), 0);
}

void tst_BatchModify::requiredFieldStopsTheBatch_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("caption");
    QTest::newRow("mobile") << "cMobilePhone"
                            << ""
                            << "手机";
    QTest::newRow("mobile of blanks") << "cMobilePhone"
                                      << "   "
                                      << "手机";
    QTest::newRow("customer by its name column") << "cCusCode"
                                                 << ""
                                                 << "所属客户";
    QTest::newRow("a filled value passes") << "cMobilePhone"
                                           << "138"
                                           << "";
}

void tst_BatchModify::requiredFieldStopsTheBatch()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, caption);
    startSession();
    gCardColInfoXml = QStringLiteral(
        "<ColInfo><ColSet cFld='cMobilePhone' bMustInput='true' cOriginalCaption='手机'/>"
        "<ColSet cFld='CCUSNAME' bMustInput='1' cOriginalCaption='所属客户'/>"
        "<ColSet cFld='cMemo' bMustInput='false' cOriginalCaption='备注'/></ColInfo>");
    MessageBoxScript::queueAnswers({kNo});
    BatchModifyEvent event(QStringLiteral("批改"));
    const Outcome outcome = event.run(field, value, codes({"k1"}));
    const QStringList shown = MessageBoxScript::takeShownMessages();
    if (caption.isEmpty()) {
        // Past the check: the confirmation is asked (and refused here).
        QCOMPARE(outcome, Outcome::Refused);
        QCOMPARE(shown, QStringList{zh("K2.AA.CUSTOMER.FRMMULMODIFY.410_1", {"1"})});
        return;
    }
    QCOMPARE(outcome, Outcome::Refused);
    QCOMPARE(shown, QStringList{caption + zh("K2.AA.ARCHIVE.COMMON.bMustInput")});
}

void tst_BatchModify::nothingWithinWriteRightsStopsTheBatch()
{
    startSession();
    gRowAuthWrite = QStringLiteral("Crm_Contact.cCusCode=N'C3'");
    const QStringList before = snapshot();
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("cMemo"), QStringLiteral("x"), codes({"k1", "k2"})),
             Outcome::Nothing);
    QCOMPARE(MessageBoxScript::takeShownMessages(),
             QStringList{zh("K2.AA.CUSTOMER.FRMMULMODIFY.407_1")});
    QCOMPARE(snapshot(), before);
    QCOMPARE(logRows(), 0);
}

void tst_BatchModify::onlyContactsWithinWriteRightsChange()
{
    startSession();
    gRowAuthWrite = QStringLiteral("Crm_Contact.cCusCode=N'C3'");
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("cMemo"), QStringLiteral("x"), codes({"k1", "k3", "k'4"})),
             Outcome::Modified);
    QCOMPARE(event.lastCount(), 2);
    QCOMPARE(contactValue(QStringLiteral("k1"), QStringLiteral("isnull(cMemo,'-')")),
             QStringLiteral("-"));
    QCOMPARE(contactValue(QStringLiteral("k3"), QStringLiteral("cMemo")), QStringLiteral("x"));
    // A customer change: the default contact outside the rights (k1 of C1) stays, and so does
    // C1's default; k'4 moves and C3 loses it.
    MessageBoxScript::queueAnswers({kYes});
    QCOMPARE(event.run(QStringLiteral("cCusCode"), QStringLiteral("C2"), codes({"k1", "k'4"})),
             Outcome::Modified);
    QCOMPARE(contactValue(QStringLiteral("k1"), QStringLiteral("cCusCode")), QStringLiteral("C1"));
    QCOMPARE(customerValue(QStringLiteral("C1"), QStringLiteral("ccuscontactcode")),
             QStringLiteral("{k1}"));
    QCOMPARE(customerValue(QStringLiteral("C3"), QStringLiteral("isnull(ccuscontactcode,'-')")),
             QStringLiteral("-"));
    // An empty write restriction is no restriction, not a dangling "and".
    gRowAuthWrite.clear();
    MessageBoxScript::queueAnswers({kYes});
    QCOMPARE(event.run(QStringLiteral("cMemo"), QStringLiteral("y"), codes({"k1"})),
             Outcome::Modified);
    QCOMPARE(contactValue(QStringLiteral("k1"), QStringLiteral("cMemo")), QStringLiteral("y"));
}

void tst_BatchModify::refusedConfirmationChangesNothing()
{
    startSession();
    const QStringList before = snapshot();
    MessageBoxScript::queueAnswers({kNo});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("cCusCode"), QStringLiteral("C2"), codes({"k1"})),
             Outcome::Refused);
    QCOMPARE(MessageBoxScript::takeShownMessages(),
             QStringList{zh("K2.AA.CUSTOMER.FRMMULMODIFY.410_1", {"1"})});
    QCOMPARE(snapshot(), before);
    QVERIFY(!gListDirty);
    QCOMPARE(heldLocks(), 0);
}

void tst_BatchModify::fieldsTheCatalogueWithholdsAreNeverWritten_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("contact code") << "cContactCode";
    QTest::newRow("not a column") << "cMemo=N'x', cContactCode";
    QTest::newRow("withheld by column rights") << "cMobilePhone";
}

void tst_BatchModify::fieldsTheCatalogueWithholdsAreNeverWritten()
{
    QFETCH(QString, field);
    gColAuthN = QStringLiteral("cMobilePhone");
    startSession();
    const QStringList before = snapshot();
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(field, QStringLiteral("x"), codes({"k1"})), Outcome::Refused);
    QCOMPARE(snapshot(), before);
}

void tst_BatchModify::failedUpdateRollsBackEverything()
{
    startSession();
    refuseUpdate(QStringLiteral("Crm_Contact"), QStringLiteral("cCusCode"), QStringLiteral("C2"));
    const QStringList before = snapshot();
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("cCusCode"), QStringLiteral("C2"), codes({"k1", "k'4"})),
             Outcome::Failed);
    // The former customers' defaults, cleared before the update failed, are back.
    QCOMPARE(snapshot(), before);
    QCOMPARE(MessageBoxScript::takeShownMessages(),
             (QStringList{zh("K2.AA.CUSTOMER.FRMMULMODIFY.410_1", {"2"}),
                          zh("K2.AA.CUSTOMER.FRMMULMODIFY.436_1")}));
    QCOMPARE(heldLocks(), 0);
    QCOMPARE(logRows(), 0);
    QVERIFY(!gListDirty);
    // The connection is usable again: the next batch goes through.
    MessageBoxScript::queueAnswers({kYes});
    QCOMPARE(event.run(QStringLiteral("cCusCode"), QStringLiteral("C3"), codes({"k1"})),
             Outcome::Modified);
    QCOMPARE(contactValue(QStringLiteral("k1"), QStringLiteral("cCusCode")), QStringLiteral("C3"));
}

void tst_BatchModify::failedCustomerClearShowsItsText()
{
    startSession();
    refuseUpdate(QStringLiteral("Customer"), QStringLiteral("cCusPerson"), QString());
    const QStringList before = snapshot();
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("cCusCode"), QStringLiteral("C2"), codes({"k1"})),
             Outcome::Failed);
    QCOMPARE(snapshot(), before);
    QCOMPARE(MessageBoxScript::takeShownMessages().value(1),
             zh("K2.CRM.QZContact.frmcontactedit.00077"));
    QCOMPARE(heldLocks(), 0);
}

void tst_BatchModify::columnRefusingNullRollsBack()
{
    startSession();
    const QStringList before = snapshot();
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    // The flag column holds no NULL: the cleared value is refused and nothing is written.
    QCOMPARE(event.run(QStringLiteral("bMajor"), QString(), codes({"k1", "k2"})), Outcome::Failed);
    QCOMPARE(snapshot(), before);
    QCOMPARE(MessageBoxScript::takeShownMessages().value(1),
             zh("K2.AA.CUSTOMER.FRMMULMODIFY.436_1"));
}

void tst_BatchModify::lockHeldByAnotherOperatorStopsTheBatch()
{
    startSession();
    // Another operator's session runs a batch of its own.
    suite::SuiteLogin other;
    other.cUserId = QStringLiteral("other");
    other.qzDBName = m_db.connectionString();
    QObject *com = gClsCommon.get();
    QVERIFY(!gPubService->IsLockFun(com, &other, QStringLiteral("crm_contact"), 7));

    const QStringList before = snapshot();
    MessageBoxScript::queueAnswers({kYes});
    BatchModifyEvent event(QStringLiteral("批改"));
    QCOMPARE(event.run(QStringLiteral("cMemo"), QStringLiteral("x"), codes({"k1"})),
             Outcome::Locked);
    QCOMPARE(snapshot(), before);
    com = gClsCommon.get();
    QVERIFY(gPubService->IsLockFun(com, &other, QStringLiteral("crm_contact"), -7));
}

QTEST_MAIN(tst_BatchModify)
#include "tst_batchmodify.moc"
