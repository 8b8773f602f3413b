// The contact card as a clerk uses it: its editors and captions, adding and changing contacts,
// every check that stops a save, the unsaved-changes question and moving through the list. The
// card reaches the list through a fake one, so each test decides the rows it moves over.

#include "perikon/card/CardSession.h"
#include "perikon/card/frmContactEdit.h"
#include "perikon/data/DataSession.h"
#include "perikon/entry/IContact.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/UiHelper.h"
#include "perikon/list/ListSession.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteServices.h"
#include "suite/controls/DatePicker.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"
#include "suite/services/HelpViewer.h"
#include "support/FailOnWarnings.h"
#include "support/FakeCardList.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

using namespace perikon;
using controls::DatePicker;
using controls::HostEdit;

namespace {

constexpr int kContacts = 12;

using FakeList = testing::FakeCardList;

} // namespace

class tst_ContactCardWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyEditorCarriesItsName_data();
    void everyEditorCarriesItsName();
    void captionsFollowTheSessionLanguage_data();
    void captionsFollowTheSessionLanguage();
    void addSavesConsecutiveCodesAndStaysBlank();
    void modifyLoadsAndSavesValuesExactly_data();
    void modifyLoadsAndSavesValuesExactly();
    void loadConfirmsStoredCodes();
    void customerMatchFillsPersonDepartmentAndDefault();
    void unknownDutyBecomesANewBaseCode();
    void saveStopsWithTheSystemsMessage_data();
    void saveStopsWithTheSystemsMessage();
    void superiorLeadingBackIsRefused();
    void mustInputColumnStopsTheSave();
    void anotherOperatorsChangeKeepsTheTypedValues();
    void vanishedContactRefreshesTheList();
    void leavingAnEditedCardAsks_data();
    void leavingAnEditedCardAsks();
    void navigationStaysOnTheListsRows();
    void removingTheDefaultContactAsksFirst();
    void helpKeyOpensTheCardsSection();
    void lessThanReachesOnlyTheExemptFields();
    void departmentTypedByNameIsSavedByCode();

private:
    std::unique_ptr<frmContactEdit> openCard(FakeList &list, int mode, int row = 1);
    QStringList codes(int count);
    HostEdit *edit(frmContactEdit &card, int index);
    // Every contact needs a customer: the card starts with one, as from a customer's archive.
    void giveCustomer(frmContactEdit &card);
    QString stored(const QString &column, const QString &code);

    SuiteFixture m_db;
    std::unique_ptr<IContact> m_contact;
    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<testing::ShellPortal> m_portal;
};

void tst_ContactCardWindow::initTestCase()
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
}

void tst_ContactCardWindow::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(kContacts);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("update Crm_Contact set cSuperiorID=NULL"));
    m_db.exec(QStringLiteral("update Customer set ccuscontactcode=NULL"));
    m_contact = std::make_unique<IContact>();
    m_login = testing::operatorLogin(m_db, QStringLiteral("admin"), true);
    m_portal = std::make_unique<testing::ShellPortal>();
    QVERIFY(testing::showContactList(*m_contact, m_login.get(), *m_portal));
    suite::MessageBoxScript::takeShownMessages();
}

void tst_ContactCardWindow::cleanup()
{
    if (gListForm)
        delete gListForm.data();
    m_portal.reset();
    m_contact.reset();
    m_login.reset();
    gArchiveCusCode.clear();
    suite::MessageBoxScript::takeShownMessages();
}

std::unique_ptr<frmContactEdit> tst_ContactCardWindow::openCard(FakeList &list, int mode, int row)
{
    return testing::openCard(list, mode, row);
}

QStringList tst_ContactCardWindow::codes(int count)
{
    return m_db.column(QStringLiteral("select cContactCode from Crm_Contact order by cContactCode"))
        .mid(0, count);
}

HostEdit *tst_ContactCardWindow::edit(frmContactEdit &card, int index)
{
    return card.findChild<HostEdit *>(QStringLiteral("Edt_%1").arg(index));
}

void tst_ContactCardWindow::giveCustomer(frmContactEdit &card)
{
    const QString code = m_db.column(QStringLiteral("select min(cCusCode) from Customer")).first();
    card.presetCustomer(
        m_db.column(QStringLiteral("select cCusName from Customer where cCusCode=N'%1'").arg(code))
            .first(),
        code);
}

QString tst_ContactCardWindow::stored(const QString &column, const QString &code)
{
    const QStringList values = m_db.column(
        QStringLiteral("select %1 from Crm_Contact where cContactCode=N'%2'").arg(column, code));
    return values.isEmpty() ? QStringLiteral("<none>") : values.first();
}

void tst_ContactCardWindow::everyEditorCarriesItsName_data()
{
    QTest::addColumn<QString>("name");
    for (int i = 0; i <= 22; ++i)
        QTest::addRow("Edt_%d", i) << QStringLiteral("Edt_%1").arg(i);
    for (int i = 0; i <= 13; ++i)
        QTest::addRow("EdtU_%d", i) << QStringLiteral("EdtU_%1").arg(i);
    for (int i = 0; i <= 4; ++i)
        QTest::addRow("DTPicker1_%d", i) << QStringLiteral("DTPicker1_%1").arg(i);
    for (const char *name : {"cboSex", "cboMarriage", "ChkbMajor", "chkbDefaultCon", "SSTab1",
                             "flxGrid", "TLB2", "QZKeyHookCtrl1", "lblcCusCode", "lblcContactName",
                             "lblcConDepart", "lbldConEDate", "lblcCall", "lblcWechat"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_ContactCardWindow::everyEditorCarriesItsName()
{
    QFETCH(QString, name);
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    QVERIFY2(card->findChild<QObject *>(name), qPrintable(name));
}

void tst_ContactCardWindow::captionsFollowTheSessionLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("wechat");
    QTest::addColumn<QString>("contactName");
    QTest::newRow("zh-CN") << "zh-CN"
                           << "QQ号"
                           << "微信号"
                           << "联系人名称";
    QTest::newRow("en-US") << "en-US"
                           << "QQ NO."
                           << "Wechat NO."
                           << "Contact Name";
}

void tst_ContactCardWindow::captionsFollowTheSessionLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, call);
    QFETCH(QString, wechat);
    QFETCH(QString, contactName);
    qobject_cast<suite::SuiteLogin *>(m_login.get())->setLanguageRegion(language);
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    QCOMPARE(card->findChild<QLabel *>(QStringLiteral("lblcCall"))->text(), call);
    QCOMPARE(card->findChild<QLabel *>(QStringLiteral("lblcWechat"))->text(), wechat);
    QCOMPARE(card->findChild<QLabel *>(QStringLiteral("lblcContactName"))->text(), contactName);
    auto *tabs = card->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    for (int i = 0; i < tabs->count(); ++i)
        QVERIFY2(!tabs->tabText(i).isEmpty(), qPrintable(QString::number(i)));
    auto *save = card->findChild<controls::HostToolbar *>(QStringLiteral("TLB2"))
                     ->button(QStringLiteral("SaveRs"));
    QVERIFY(save);
    QVERIFY(!save->text().contains(u"K2."));
}

void tst_ContactCardWindow::addSavesConsecutiveCodesAndStaysBlank()
{
    m_db.exec(QStringLiteral("update Crm_Contact set cContactCode=N'00000041' where "
                             "cContactCode=N'%1'")
                  .arg(codes(1).first()));
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    giveCustomer(*card);
    const qint64 before = m_db.count(QStringLiteral("select count(*) from Crm_Contact"));
    testing::typeText(edit(*card, 2), QStringLiteral("First new"));
    // A code typed before the save is a proposal: the save computes its own.
    edit(*card, 1)->setText(QStringLiteral("00000001"));
    QVERIFY2(card->Operating(QStringLiteral("SaveRs")),
             qPrintable(suite::MessageBoxScript::takeShownMessages().join(u'\n')));
    QCOMPARE(list.lastSavedCode(), QStringLiteral("00000042"));
    QCOMPARE(stored(QStringLiteral("cContactName"), QStringLiteral("00000042")),
             QStringLiteral("First new"));
    // The card is blank, in add mode, and nothing asks to be saved.
    QCOMPARE(card->mode(), 1);
    QVERIFY(edit(*card, 2)->text().isEmpty());
    QVERIFY(!card->isEdited());
    giveCustomer(*card);
    testing::typeText(edit(*card, 2), QStringLiteral("Second new"));
    QVERIFY(card->Operating(QStringLiteral("saveRS")));
    QCOMPARE(list.lastSavedCode(), QStringLiteral("00000043"));
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), before + 2);
    QCOMPARE(gListDirty, true);
    QVERIFY(card->addedContacts());
    QVERIFY(suite::MessageBoxScript::takeShownMessages().isEmpty());
}

void tst_ContactCardWindow::modifyLoadsAndSavesValuesExactly_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::newRow("memo R&D") << 20 << "cMemo"
                              << "R&D";
    QTest::newRow("quotes in the address") << 17 << "cHomeAddress"
                                           << "O'Neil \"Tower\" > 3";
    QTest::newRow("Chinese appellation") << 3 << "cAppellation"
                                         << "王经理";
    QTest::newRow("ampersand phone") << 10 << "cOfficePhone"
                                     << "010 & 020";
    QTest::newRow("entity-looking memo") << 20 << "cMemo"
                                         << "&amp; stays";
}

void tst_ContactCardWindow::modifyLoadsAndSavesValuesExactly()
{
    QFETCH(int, index);
    QFETCH(QString, column);
    QFETCH(QString, value);
    const QString code = codes(2).at(1);
    m_db.exec(QStringLiteral("update Crm_Contact set %1=N'%2' where cContactCode=N'%3'")
                  .arg(column, QString(value).replace(u'\'', QStringLiteral("''")), code));
    FakeList list(codes(3));
    auto card = openCard(list, 2, 2);
    QCOMPARE(card->mode(), 2);
    QCOMPARE(edit(*card, index)->text(), value);
    QVERIFY(!card->isEdited());
    // Saved untouched, then with another field changed: the value stays byte for byte.
    card->findChild<QCheckBox *>(QStringLiteral("ChkbMajor"))->click();
    QVERIFY(card->isEdited());
    QVERIFY2(card->Operating(QStringLiteral("SaveRs")),
             qPrintable(suite::MessageBoxScript::takeShownMessages().join(u'\n')));
    QCOMPARE(stored(column, code), value);
    QCOMPARE(list.lastSavedCode(), code);
}

void tst_ContactCardWindow::loadConfirmsStoredCodes()
{
    const QString code = codes(1).first();
    const QString customer = m_db.column(QStringLiteral("select cCusCode from Customer")).first();
    const QString customerName
        = m_db.column(QStringLiteral("select cCusName from Customer where cCusCode=N'%1'")
                          .arg(customer))
              .first();
    m_db.exec(QStringLiteral("update Crm_Contact set cCusCode=N'%1', cConDepart=N'GONE', "
                             "bcSexID=NULL where cContactCode=N'%2'")
                  .arg(customer, code));
    const QString department
        = m_db.column(QStringLiteral("select min(cDepCode) from Department")).first();
    m_db.exec(QStringLiteral("insert into crm_contact_Auth (Contact_Id, Privilege_Type, "
                             "Privilege_ID) values (N'%1', 0, N'%2')")
                  .arg(code, department));
    FakeList list(codes(3));
    auto card = openCard(list, 2, 1);
    // The customer shows its name and keeps its code; a department its archive lost keeps its
    // text and holds no code.
    QCOMPARE(edit(*card, 0)->text(), customerName);
    QCOMPARE(edit(*card, 0)->tag(), customer);
    QCOMPARE(edit(*card, 22)->text(), QStringLiteral("GONE"));
    QCOMPARE(edit(*card, 22)->tag(), QString());
    QCOMPARE(card->findChild<QComboBox *>(QStringLiteral("cboSex"))->currentIndex(), -1);
    // The data authorization tab lists the department granted on the contact.
    auto *grants = card->findChild<controls::HostGrid *>(QStringLiteral("flxGrid"));
    QCOMPARE(grants->Rows(), 2);
    QCOMPARE(grants->TextMatrix(1, 3), department);
    QCOMPARE(grants->TextMatrix(1, 4),
             m_db.column(QStringLiteral("select cDepName from Department where cDepCode=N'%1'")
                             .arg(department))
                 .first());
    QVERIFY(!edit(*card, 1)->isEnabled());
    QVERIFY(!gContactTs.isEmpty());
}

void tst_ContactCardWindow::customerMatchFillsPersonDepartmentAndDefault()
{
    const QString customer = m_db.column(QStringLiteral("select cCusCode from Customer where "
                                                        "cCusPPerson is not null and cCusDepart "
                                                        "is not null"))
                                 .first();
    const QString abbreviation
        = m_db.column(QStringLiteral("select cCusAbbName from Customer where cCusCode=N'%1'")
                          .arg(customer))
              .first();
    const QString person
        = m_db.column(QStringLiteral("select cCusPPerson from Customer where cCusCode=N'%1'")
                          .arg(customer))
              .first();
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    HostEdit *customerEdit = edit(*card, 0);
    customerEdit->setFocus();
    testing::typeText(customerEdit, abbreviation);
    QTest::keyClick(customerEdit, Qt::Key_Return);
    QCOMPARE(customerEdit->tag(), customer);
    QCOMPARE(edit(*card, 8)->text(), person);
    QVERIFY(!edit(*card, 22)->text().isEmpty());
    QVERIFY(card->findChild<QCheckBox *>(QStringLiteral("chkbDefaultCon"))->isChecked());
    QVERIFY(!edit(*card, 1)->text().isEmpty());
}

void tst_ContactCardWindow::unknownDutyBecomesANewBaseCode()
{
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    HostEdit *duty = edit(*card, 6);
    duty->setFocus();
    testing::typeText(duty, QStringLiteral("Chief R&D"));
    QTest::keyClick(duty, Qt::Key_Return);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_BaseCode where cType=N'Duty' "
                                       "and cName=N'Chief R&D'")),
             1);
    QCOMPARE(duty->tag(), QStringLiteral("Chief R&D"));
}

void tst_ContactCardWindow::saveStopsWithTheSystemsMessage_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("messageKey");
    QTest::addColumn<QString>("argument");
    QTest::newRow("empty name") << ""
                                << ""
                                << "K2.CRM.QZContact.frmcontactedit.00080"
                                << "";
    QTest::newRow("unknown customer") << "Edt_0"
                                      << "No such customer"
                                      << "K2.CRM.BF.complaintquerybf.00071"
                                      << "No such customer";
    QTest::newRow("unknown superior") << "Edt_4"
                                      << "Nobody"
                                      << "K2.CRM.QZContact.frmcontactedit.00066"
                                      << "";
    QTest::newRow("unknown person") << "Edt_8"
                                    << "Nobody"
                                    << "K2.CRM.QZContact.frmcontactedit.00066"
                                    << "";
    QTest::newRow("not a birthday") << "DTPicker1_0"
                                    << "2026-02-30"
                                    << "K2.CRM.COMMON.CheckLegal02"
                                    << "K2.CRM.LblCap.Birthday";
}

void tst_ContactCardWindow::saveStopsWithTheSystemsMessage()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, messageKey);
    QFETCH(QString, argument);
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    // Everything else is in order: only the field under test stops the save.
    giveCustomer(*card);
    if (!field.isEmpty())
        testing::typeText(edit(*card, 2), QStringLiteral("Named"));
    const qint64 before = m_db.count(QStringLiteral("select count(*) from Crm_Contact"));
    if (auto *target = card->findChild<HostEdit *>(field)) {
        target->setFocus();
        target->selectAll();
        testing::typeText(target, typed);
    } else if (auto *picker = card->findChild<DatePicker *>(field)) {
        auto *line = picker->findChild<QLineEdit *>();
        line->setFocus();
        testing::typeText(line, typed);
    }
    QVERIFY(!card->Operating(QStringLiteral("SaveRs")));
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), before);
    const QString expected
        = argument.isEmpty()
              ? GetResText(messageKey)
              : GetResFormat(messageKey,
                             {argument.startsWith(u"K2.") ? GetResText(argument) : argument});
    QVERIFY2(suite::MessageBoxScript::takeShownMessages().contains(expected), qPrintable(expected));
}

void tst_ContactCardWindow::superiorLeadingBackIsRefused()
{
    const QStringList shown = codes(3);
    // shown[1] reports to shown[2], which reports to shown[0]: shown[0] cannot report to shown[1].
    m_db.exec(QStringLiteral("update Crm_Contact set cSuperiorID=N'%1' where cContactCode=N'%2'")
                  .arg(shown[2], shown[1]));
    m_db.exec(QStringLiteral("update Crm_Contact set cSuperiorID=N'%1' where cContactCode=N'%2'")
                  .arg(shown[0], shown[2]));

    FakeList list(shown);
    auto card = openCard(list, 2, 1);
    HostEdit *superior = edit(*card, 4);
    superior->setFocus();
    testing::typeText(superior, shown[1]);
    QTest::keyClick(superior, Qt::Key_Return);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
             QStringList{GetResText(QStringLiteral("K2.CRM.FrameCaption.Contact01"))});
    QCOMPARE(superior->tag(), QString());
    QCOMPARE(superior->text(), QString());
    // Once shown[2] reports elsewhere, the chain ends in a code no contact has.
    m_db.exec(QStringLiteral("update Crm_Contact set cSuperiorID=N'GONE' where cContactCode=N'%1'")
                  .arg(shown[2]));
    testing::typeText(superior, shown[1]);
    QTest::keyClick(superior, Qt::Key_Return);
    QCOMPARE(superior->tag(), shown[1]);
    QVERIFY(card->Operating(QStringLiteral("SaveRs")));
    QCOMPARE(stored(QStringLiteral("cSuperiorID"), shown[0]), shown[1]);
}

void tst_ContactCardWindow::mustInputColumnStopsTheSave()
{
    m_db.exec(QStringLiteral("insert into qz_ColumnLayout (cUser_Id, cKey, cFieldName, bShow, "
                             "iWidth, iOrder, bMustInput) values (N'admin', N'crm_contact', "
                             "N'cMobilePhone', 1, 100, 5, 1)"));
    gCardColInfoXml.clear();
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    giveCustomer(*card);
    testing::typeText(edit(*card, 2), QStringLiteral("Needs a mobile"));
    const qint64 before = m_db.count(QStringLiteral("select count(*) from Crm_Contact"));
    QVERIFY(!card->Operating(QStringLiteral("SaveRs")));
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), before);
    const QStringList messages = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(messages.size(), 1);
    const QString suffix = GetResText(QStringLiteral("K2.AA.ARCHIVE.COMMON.bMustInput"));
    QVERIFY2(messages.first().endsWith(suffix) && messages.first().size() > suffix.size(),
             qPrintable(messages.first()));
    // The label of the must-input column has the must-input look from the start.
    QCOMPARE(card->findChild<QLabel *>(QStringLiteral("lblcMobilePhone"))
                 ->palette()
                 .color(QPalette::Active, QPalette::WindowText),
             card->findChild<QLabel *>(QStringLiteral("lblcContactName"))
                 ->palette()
                 .color(QPalette::Active, QPalette::WindowText));
    QVERIFY(card->findChild<QLabel *>(QStringLiteral("lblcMobilePhone"))
                ->palette()
                .color(QPalette::Active, QPalette::WindowText)
            != card->findChild<QLabel *>(QStringLiteral("lblcHomePhone"))
                   ->palette()
                   .color(QPalette::Active, QPalette::WindowText));
    testing::typeText(edit(*card, 12), QStringLiteral("13800000000"));
    QVERIFY(card->Operating(QStringLiteral("SaveRs")));
    gCardColInfoXml.clear();
}

void tst_ContactCardWindow::anotherOperatorsChangeKeepsTheTypedValues()
{
    const QString code = codes(1).first();
    FakeList list(codes(3));
    auto card = openCard(list, 2, 1);
    m_db.exec(QStringLiteral("update Crm_Contact set cNative=N'changed elsewhere' where "
                             "cContactCode=N'%1'")
                  .arg(code));
    HostEdit *name = edit(*card, 2);
    name->selectAll();
    testing::typeText(name, QStringLiteral("Typed here"));
    QVERIFY(!card->Operating(QStringLiteral("SaveRs")));
    QCOMPARE(name->text(), QStringLiteral("Typed here"));
    QVERIFY(card->isEdited());
    QCOMPARE(stored(QStringLiteral("cNative"), code), QStringLiteral("changed elsewhere"));
    QCOMPARE(suite::MessageBoxScript::takeShownMessages().size(), 1);
}

void tst_ContactCardWindow::vanishedContactRefreshesTheList()
{
    const QStringList shown = codes(3);
    FakeList list(shown);
    auto card = openCard(list, 2, 1);
    m_db.exec(QStringLiteral("delete from Crm_Contact where cContactCode=N'%1'").arg(shown[1]));
    suite::MessageBoxScript::takeShownMessages();
    QVERIFY(card->Operating(QStringLiteral("Next")));
    // Not there any more: the card says so and keeps the contact it showed, on its row.
    QCOMPARE(edit(*card, 1)->text(), shown[0]);
    QCOMPARE(card->currentRow(), 1);
    const QStringList messages = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.first().contains(shown[1]));
}

void tst_ContactCardWindow::leavingAnEditedCardAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("nameGiven");
    QTest::addColumn<bool>("staysOpen");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes saves and closes") << int(MsgBoxButton::Yes) << true << false << true;
    QTest::newRow("yes with a failing save stays")
        << int(MsgBoxButton::Yes) << false << true << false;
    QTest::newRow("no closes without saving") << int(MsgBoxButton::No) << true << false << false;
    QTest::newRow("cancel stays") << int(MsgBoxButton::Cancel) << true << true << false;
}

void tst_ContactCardWindow::leavingAnEditedCardAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, nameGiven);
    QFETCH(bool, staysOpen);
    QFETCH(bool, saved);
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    giveCustomer(*card);
    edit(*card, 3)->setFocus();
    testing::typeText(edit(*card, 3), QStringLiteral("Dr."));
    if (nameGiven)
        testing::typeText(edit(*card, 2), QStringLiteral("Leaving"));
    const qint64 before = m_db.count(QStringLiteral("select count(*) from Crm_Contact"));
    suite::MessageBoxScript::queueAnswers({answer});
    QTest::keyClick(edit(*card, 3), Qt::Key_Escape);
    QCOMPARE(card->isVisible(), staysOpen);
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")),
             before + (saved ? 1 : 0));
    const QStringList messages = suite::MessageBoxScript::takeShownMessages();
    QVERIFY(!messages.isEmpty());
    QCOMPARE(messages.first(),
             GetResFormat(QStringLiteral("K2.CRM.COMMON.MsgExitSave"),
                          {GetResText(QStringLiteral("K2.CRM.BizObjDic.WordContact"))}));
}

void tst_ContactCardWindow::navigationStaysOnTheListsRows()
{
    const QStringList shown = codes(3);
    FakeList list(shown);
    auto card = openCard(list, 2, 1);
    auto *tlb = card->findChild<controls::HostToolbar *>(QStringLiteral("Tlb"));
    QVERIFY(!tlb->isButtonEnabled(QStringLiteral("Previous")));
    QVERIFY(tlb->isButtonEnabled(QStringLiteral("Next")));
    edit(*card, 2)->setFocus();
    // Moves before the first row are ignored.
    QTest::keyClick(edit(*card, 2), Qt::Key_PageUp);
    QCOMPARE(card->currentRow(), 1);
    QTest::keyClick(edit(*card, 2), Qt::Key_PageDown);
    QCOMPARE(card->currentRow(), 2);
    QCOMPARE(edit(*card, 1)->text(), shown[1]);
    QTest::keyClick(edit(*card, 2), Qt::Key_PageDown, Qt::AltModifier);
    QCOMPARE(card->currentRow(), 3);
    QCOMPARE(edit(*card, 1)->text(), shown[2]);
    QVERIFY(!tlb->isButtonEnabled(QStringLiteral("Last")));
    QTest::keyClick(edit(*card, 2), Qt::Key_PageDown);
    QCOMPARE(card->currentRow(), 3);
    QVERIFY(card->Operating(QStringLiteral("First")));
    QCOMPARE(edit(*card, 1)->text(), shown[0]);
    QVERIFY(suite::MessageBoxScript::takeShownMessages().isEmpty());
}

void tst_ContactCardWindow::removingTheDefaultContactAsksFirst()
{
    const QString code = codes(1).first();
    const QString customer = m_db.column(QStringLiteral("select cCusCode from Customer")).first();
    const QString oid
        = m_db.column(
                  QStringLiteral("select OID from Crm_Contact where cContactCode=N'%1'").arg(code))
              .first();
    m_db.exec(QStringLiteral("update Crm_Contact set cCusCode=N'%1' where cContactCode=N'%2'")
                  .arg(customer, code));
    m_db.exec(QStringLiteral("update Customer set ccuscontactcode=N'%1' where cCusCode=N'%2'")
                  .arg(oid, customer));
    FakeList list(codes(3));
    auto card = openCard(list, 2, 1);
    auto *box = card->findChild<QCheckBox *>(QStringLiteral("chkbDefaultCon"));
    QVERIFY(box->isChecked());
    box->click();
    suite::MessageBoxScript::queueAnswers({MsgBoxButton::No});
    QVERIFY(!card->Operating(QStringLiteral("SaveRs")));
    QCOMPARE(suite::MessageBoxScript::takeShownMessages().size(), 1);
    QCOMPARE(m_db.column(QStringLiteral("select ccuscontactcode from Customer where cCusCode=N'%1'")
                             .arg(customer))
                 .first(),
             oid);
    suite::MessageBoxScript::queueAnswers({MsgBoxButton::Yes});
    QVERIFY(card->Operating(QStringLiteral("SaveRs")));
    QVERIFY(m_db.column(QStringLiteral("select ccuscontactcode from Customer where cCusCode=N'%1'")
                            .arg(customer))
                .first()
                .isEmpty());
}

void tst_ContactCardWindow::helpKeyOpensTheCardsSection()
{
    FakeList list(codes(3));
    auto card = openCard(list, 2, 1);
    edit(*card, 2)->setFocus();
    QTest::keyClick(edit(*card, 2), Qt::Key_F1);
    auto *help
        = qobject_cast<suite::HelpViewer *>(card->findChild<QDialog *>(QStringLiteral("frmHelp")));
    QVERIFY(help);
    QCOMPARE(help->topic(), QStringLiteral("card"));
    help->close();
}

void tst_ContactCardWindow::lessThanReachesOnlyTheExemptFields()
{
    FakeList list(codes(3));
    auto card = openCard(list, 1);
    giveCustomer(*card);
    // A filtered field refuses the character; Enter only moves on, the card stays open.
    HostEdit *appellation = edit(*card, 3);
    appellation->setFocus();
    testing::typeText(appellation, QStringLiteral("a<b"));
    QCOMPARE(appellation->text(), QStringLiteral("ab"));
    QTest::keyClick(appellation, Qt::Key_Return);
    QVERIFY(card->isVisible());
    QVERIFY(!appellation->hasFocus());
    // The name takes it, and the data layer refuses the record with its own message.
    testing::typeText(edit(*card, 2), QStringLiteral("A<B"));
    QCOMPARE(edit(*card, 2)->text(), QStringLiteral("A<B"));
    const qint64 before = m_db.count(QStringLiteral("select count(*) from Crm_Contact"));
    suite::MessageBoxScript::takeShownMessages();
    QVERIFY(!card->Operating(QStringLiteral("SaveRs")));
    QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact")), before);
    const QStringList messages = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(
        messages.first().startsWith(GetResText(QStringLiteral("K2.CRM.COMMON.XMLMSGParseErr01"))),
        qPrintable(messages.first()));
    QCOMPARE(edit(*card, 2)->text(), QStringLiteral("A<B"));
}

void tst_ContactCardWindow::departmentTypedByNameIsSavedByCode()
{
    const QString department
        = m_db.column(QStringLiteral("select max(cDepCode) from Department")).first();
    const QString name = m_db.column(QStringLiteral("select cDepName from Department where "
                                                    "cDepCode=N'%1'")
                                         .arg(department))
                             .first();
    const QString code = codes(1).first();
    FakeList list(codes(3));
    auto card = openCard(list, 2, 1);
    HostEdit *edit22 = edit(*card, 22);
    edit22->setFocus();
    edit22->selectAll();
    testing::typeText(edit22, name);
    QVERIFY2(card->Operating(QStringLiteral("SaveRs")),
             qPrintable(suite::MessageBoxScript::takeShownMessages().join(u'\n')));
    QCOMPARE(stored(QStringLiteral("cConDepart"), code), department);
}

QTEST_MAIN(tst_ContactCardWindow)
#include "tst_contactcardwindow.moc"
