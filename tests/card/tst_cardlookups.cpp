// The card's lookups as a clerk uses them: the reference buttons of the customer, superior, duty,
// taste and person, the drop-downs of the reference editors, the user-defined and extended items'
// values (lists, other archives, dependent and multiple values, the calculator, item classes),
// and the photo. Each pick is saved and read back from the database.

#include "perikon/card/frmContactEdit.h"
#include "perikon/entry/IContact.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/PictureControl.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/RefEdit.h"
#include "support/FailOnWarnings.h"
#include "support/FakeCardList.h"
#include "support/RefDialogDriver.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace perikon;
using controls::HostEdit;
using testing::answerLookup;
using testing::Visit;

namespace {

QString writeImage(const QString &path, const QColor &color)
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(color);
    image.save(path, "PNG");
    return path;
}

} // namespace

class tst_CardLookups : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void customerButtonPicksAndMatches();
    void superiorButtonOffersTheCustomersContacts_data();
    void superiorButtonOffersTheCustomersContacts();
    void dutyTastePersonButtons();
    void workAddressDropDownOffersTheCustomersAddresses();
    void userItemsPickFromTheirSources();
    void dependentItemFollowsItsParent();
    void multipleValuesKeepTheEarlierChoices();
    void numberItemUsesTheCalculator();
    void extendedItemPicksAnOpenItemOfItsClass();
    void keyF2OpensTheFocusedFieldsReference();
    void referenceThatCannotOpenLeavesTheEditor();
    void pictureIsStoredReplacedAndCleared();
    void relatedPersonsAndDimensionsComeFromTheirDialogs();

private:
    std::unique_ptr<frmContactEdit> openCard(testing::FakeCardList &list, int mode, int row = 1);
    HostEdit *editor(frmContactEdit &card, const QString &name);
    void click(frmContactEdit &card, const QString &button);
    bool save(frmContactEdit &card);
    QString stored(const QString &column, const QString &code);
    QString customerWithContacts(int atLeast);

    SuiteFixture m_db;
    std::unique_ptr<IContact> m_contact;
    std::unique_ptr<QObject> m_login;
    std::unique_ptr<testing::ShellPortal> m_portal;
    QTemporaryDir m_files;
};

void tst_CardLookups::initTestCase()
{
    suite::registerServices();
    suite::MessageBoxScript::setInteractive(false);
    QVERIFY(m_files.isValid());
    qputenv("PERIKON_LOG_DIR", m_files.path().toLocal8Bit());
}

void tst_CardLookups::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(40);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("update Crm_Contact set cSuperiorID=NULL"));
    m_contact = std::make_unique<IContact>();
    m_login = testing::operatorLogin(m_db, QStringLiteral("admin"), true);
    m_portal = std::make_unique<testing::ShellPortal>();
    QVERIFY(testing::showContactList(*m_contact, m_login.get(), *m_portal));
    suite::MessageBoxScript::takeShownMessages();
}

void tst_CardLookups::cleanup()
{
    if (gListForm)
        delete gListForm.data();
    m_portal.reset();
    m_contact.reset();
    m_login.reset();
    suite::MessageBoxScript::takeShownMessages();
}

std::unique_ptr<frmContactEdit> tst_CardLookups::openCard(testing::FakeCardList &list, int mode,
                                                          int row)
{
    return testing::openCard(list, mode, row);
}

HostEdit *tst_CardLookups::editor(frmContactEdit &card, const QString &name)
{
    return card.findChild<HostEdit *>(name);
}

void tst_CardLookups::click(frmContactEdit &card, const QString &button)
{
    auto *found = card.findChild<QToolButton *>(button);
    QVERIFY2(found && !found->isHidden(), qPrintable(button));
    found->click();
}

bool tst_CardLookups::save(frmContactEdit &card)
{
    const bool saved = card.Operating(QStringLiteral("SaveRs"));
    if (!saved)
        qWarning("%s", qPrintable(suite::MessageBoxScript::takeShownMessages().join(u'\n')));
    return saved;
}

QString tst_CardLookups::stored(const QString &column, const QString &code)
{
    const QStringList values = m_db.column(
        QStringLiteral("select %1 from Crm_Contact where cContactCode=N'%2'").arg(column, code));
    return values.isEmpty() ? QStringLiteral("<none>") : values.first();
}

QString tst_CardLookups::customerWithContacts(int atLeast)
{
    return m_db
        .column(QStringLiteral("select cCusCode from Crm_Contact group by cCusCode having "
                               "count(*) >= %1 order by cCusCode")
                    .arg(atLeast))
        .value(0);
}

void tst_CardLookups::customerButtonPicksAndMatches()
{
    const QString code = customerWithContacts(1);
    const QString name
        = m_db.column(
                  QStringLiteral("select cCusName from Customer where cCusCode=N'%1'").arg(code))
              .first();
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    Visit visit;
    answerLookup(visit, code, name.left(4));
    click(*card, QStringLiteral("Cmd_0"));
    QVERIFY(visit.seen);
    QVERIFY(visit.offered.contains(code));
    // The pick is matched as a typed code: the name shows, the code is kept, a code is proposed.
    QCOMPARE(editor(*card, "Edt_0")->text(), name);
    QCOMPARE(editor(*card, "Edt_0")->tag(), code);
    QVERIFY(!editor(*card, "Edt_1")->text().isEmpty());
    QVERIFY(card->isEdited());
    testing::typeText(editor(*card, "Edt_2"), QStringLiteral("Picked"));
    QVERIFY(save(*card));
    QCOMPARE(stored("cCusCode", list.lastSavedCode()), code);

    // Cancelling changes nothing.
    const QString before = editor(*card, "Edt_0")->text();
    answerLookup(visit, QStringLiteral("no such key"));
    click(*card, QStringLiteral("Cmd_0"));
    QCOMPARE(editor(*card, "Edt_0")->text(), before);
}

void tst_CardLookups::superiorButtonOffersTheCustomersContacts_data()
{
    QTest::addColumn<bool>("withCustomer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed"); // by the operator, else shown by a load or a pick
    QTest::newRow("the customer's contacts") << true << "" << false;
    QTest::newRow("no customer: every contact") << false << "" << false;
    QTest::newRow("typed quote narrows, never breaks") << false << "x' or 'a'='a" << true;
    QTest::newRow("a shown superior does not narrow") << false << "00000001" << false;
    QTest::newRow("a typed code narrows") << false << "00000001" << true;
}

void tst_CardLookups::superiorButtonOffersTheCustomersContacts()
{
    QFETCH(bool, withCustomer);
    QFETCH(QString, text);
    QFETCH(bool, typed);
    const QString customer = customerWithContacts(2);
    const QStringList expected
        = withCustomer ? m_db.column(QStringLiteral("select cContactCode from Crm_Contact where "
                                                    "cCusCode=N'%1' order by cContactCode")
                                         .arg(customer))
          : !typed     ? m_db.column(QStringLiteral("select cContactCode from Crm_Contact order by "
                                                        "cContactCode"))
                       : m_db.column(QStringLiteral("select cContactCode from Crm_Contact where "
                                                        "cContactCode like N'%%%1%%' order by "
                                                        "cContactCode")
                                         .arg(QString(text).replace(u'\'', QLatin1String("''"))));
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    if (withCustomer)
        card->presetCustomer(QStringLiteral("x"), customer);
    if (typed)
        testing::typeText(editor(*card, "Edt_4"), text);
    else
        editor(*card, "Edt_4")->setText(text);
    Visit visit;
    answerLookup(visit, expected.value(1, expected.value(0)));
    click(*card, QStringLiteral("Cmd_1"));
    QVERIFY(visit.seen);
    QCOMPARE(visit.offered, expected);
    QVERIFY(suite::MessageBoxScript::takeShownMessages().isEmpty());
    if (!expected.isEmpty()) {
        QCOMPARE(editor(*card, "Edt_4")->tag(), expected.value(1, expected.value(0)));
        QCOMPARE(editor(*card, "Edt_4")->text(), editor(*card, "Edt_4")->tag());
    }
}

void tst_CardLookups::dutyTastePersonButtons()
{
    const QString person
        = m_db.column(QStringLiteral("select min(cPersonCode) from Person where cDepCode is not "
                                     "null"))
              .first();
    const QString department
        = m_db.column(
                  QStringLiteral("select cDepCode from Person where cPersonCode=N'%1'").arg(person))
              .first();
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    card->presetCustomer(QStringLiteral("x"), customerWithContacts(1));
    Visit visit;
    answerLookup(visit, QStringLiteral("钓鱼"));
    click(*card, QStringLiteral("Cmd_3"));
    QCOMPARE(editor(*card, "Edt_7")->text(), QStringLiteral("钓鱼"));
    answerLookup(visit, QStringLiteral("总经理"));
    click(*card, QStringLiteral("Cmd_2"));
    QVERIFY(visit.offered.contains(QStringLiteral("总经理")));
    QVERIFY(!visit.offered.contains(QStringLiteral("钓鱼"))); // duties only
    answerLookup(visit, person);
    click(*card, QStringLiteral("Cmd_4"));
    QCOMPARE(editor(*card, "Edt_8")->text(), person);
    // The person's department fills the empty department.
    QCOMPARE(editor(*card, "Edt_22")->tag(), department);
    testing::typeText(editor(*card, "Edt_2"), QStringLiteral("Buttons"));
    QVERIFY(save(*card));
    const QString code = list.lastSavedCode();
    QCOMPARE(stored("bcTasteID", code), QStringLiteral("钓鱼"));
    QCOMPARE(stored("bcDutyID", code), QStringLiteral("总经理"));
    QCOMPARE(stored("cPrincipal", code), person);
    QCOMPARE(stored("cConDepart", code), department);
}

void tst_CardLookups::workAddressDropDownOffersTheCustomersAddresses()
{
    const QString customer
        = m_db.column(QStringLiteral("select cCusCode from CusDeliverAdd group by cCusCode having "
                                     "count(*) > 1 order by cCusCode"))
              .value(0);
    QVERIFY(!customer.isEmpty());
    const QStringList addresses = m_db.column(
        QStringLiteral("select cDeliverAdd from CusDeliverAdd where cCusCode=N'%1' order by "
                       "cDeliverAdd")
            .arg(customer));
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    card->presetCustomer(QStringLiteral("x"), customer);
    auto *address = qobject_cast<controls::RefEdit *>(editor(*card, "Edt_16"));
    QVERIFY(address && address->isDropButtonVisible());
    Visit visit;
    answerLookup(visit, addresses.last());
    QVERIFY(address->openReference());
    QCOMPARE(visit.offered, addresses);
    QCOMPARE(address->text(), addresses.last());
    testing::typeText(editor(*card, "Edt_2"), QStringLiteral("Address"));
    QVERIFY(save(*card));
    QCOMPARE(stored("cWorkAddress", list.lastSavedCode()), addresses.last());
}

void tst_CardLookups::userItemsPickFromTheirSources()
{
    const QString person
        = m_db.column(QStringLiteral("select min(cPersonName) from Person")).first();
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    card->presetCustomer(QStringLiteral("x"), customerWithContacts(1));
    Visit visit;
    // Item 1: its own list, with the aliases beside the values.
    answerLookup(visit, QStringLiteral("一般"));
    click(*card, QStringLiteral("CmdU_0"));
    QCOMPARE(visit.offered.size(), 3);
    QCOMPARE(editor(*card, "EdtU_0")->text(), QStringLiteral("一般"));
    // Item 2: the persons' names.
    answerLookup(visit, person);
    click(*card, QStringLiteral("CmdU_1"));
    QCOMPARE(visit.offered.size(),
             int(m_db.count(QStringLiteral("select count(distinct cPersonName) from Person"))));
    QCOMPARE(editor(*card, "EdtU_1")->text(), person);
    // An item without values or a source has no button.
    QVERIFY(card->findChild<QToolButton *>(QStringLiteral("CmdU_5"))->isHidden());
    testing::typeText(editor(*card, "Edt_2"), QStringLiteral("Items"));
    QVERIFY(save(*card));
    QCOMPARE(stored("cConDefine1", list.lastSavedCode()), QStringLiteral("一般"));
    QCOMPARE(stored("cConDefine2", list.lastSavedCode()), person);
}

void tst_CardLookups::dependentItemFollowsItsParent()
{
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    Visit visit;
    answerLookup(visit, QStringLiteral("重要"));
    click(*card, QStringLiteral("CmdU_0"));
    answerLookup(visit, QStringLiteral("重点客户"));
    click(*card, QStringLiteral("CmdU_2"));
    QCOMPARE(visit.offered, (QStringList{QStringLiteral("战略客户"), QStringLiteral("重点客户")}));
    QCOMPARE(editor(*card, "EdtU_2")->text(), QStringLiteral("重点客户"));
    // Another parent value empties the dependent item and narrows it differently.
    answerLookup(visit, QStringLiteral("普通"));
    click(*card, QStringLiteral("CmdU_0"));
    QVERIFY(editor(*card, "EdtU_2")->text().isEmpty());
    answerLookup(visit, {});
    click(*card, QStringLiteral("CmdU_2"));
    QCOMPARE(visit.offered, QStringList{QStringLiteral("偶尔联系")});
    // Typing the parent empties it too.
    answerLookup(visit, QStringLiteral("偶尔联系"));
    click(*card, QStringLiteral("CmdU_2"));
    QCOMPARE(editor(*card, "EdtU_2")->text(), QStringLiteral("偶尔联系"));
    testing::typeText(editor(*card, "EdtU_0"), QStringLiteral("x"));
    QVERIFY(editor(*card, "EdtU_2")->text().isEmpty());
}

void tst_CardLookups::multipleValuesKeepTheEarlierChoices()
{
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    card->presetCustomer(QStringLiteral("x"), customerWithContacts(1));
    editor(*card, "EdtU_3")->setText(QStringLiteral("技术"));
    Visit visit;
    answerLookup(visit, {}, {}, {QStringLiteral("市场")});
    click(*card, QStringLiteral("CmdU_3"));
    QVERIFY(visit.seen);
    const QStringList chosen = editor(*card, "EdtU_3")->text().split(u',');
    QCOMPARE(QSet<QString>(chosen.cbegin(), chosen.cend()),
             (QSet<QString>{QStringLiteral("技术"), QStringLiteral("市场")}));
    // Unchecking an earlier choice removes it.
    answerLookup(visit, {}, {}, {QStringLiteral("技术")});
    click(*card, QStringLiteral("CmdU_3"));
    QCOMPARE(editor(*card, "EdtU_3")->text(), QStringLiteral("市场"));
}

void tst_CardLookups::numberItemUsesTheCalculator()
{
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    editor(*card, "EdtU_12")->setText(QStringLiteral("12.50"));
    QString caption;
    QTimer::singleShot(0, qApp, [&caption] {
        auto *calculator = QApplication::activeModalWidget();
        if (!calculator || calculator->objectName() != QLatin1String("Calculator"))
            return;
        caption = calculator->windowTitle();
        for (const char *key : {"Calc_Mul", "Calc_3", "CalcOK"})
            QTest::mouseClick(calculator->findChild<QPushButton *>(QLatin1String(key)),
                              Qt::LeftButton);
    });
    click(*card, QStringLiteral("CmdU_12"));
    QCOMPARE(caption, GetResText(QStringLiteral("K2.CRM.COMMON.Title0020")));
    // Shown with the item's two decimals.
    QCOMPARE(editor(*card, "EdtU_12")->text(), QStringLiteral("37.50"));
    QVERIFY(card->isEdited());
}

void tst_CardLookups::extendedItemPicksAnOpenItemOfItsClass()
{
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    card->presetCustomer(QStringLiteral("x"), customerWithContacts(1));
    HostEdit *project = nullptr;
    QString button;
    for (int i = 0; auto *edit = editor(*card, QStringLiteral("EdtE_%1").arg(i)); ++i) {
        if (edit->property("refData").toString().startsWith(u"fitemss")) {
            project = edit;
            button = QStringLiteral("CmdE_%1").arg(i);
        }
    }
    QVERIFY(project);
    Visit visit;
    answerLookup(visit, QStringLiteral("P002"));
    click(*card, button);
    QCOMPARE(visit.offered, (QStringList{"P001", "P002", "P003"})); // P004 is closed
    QCOMPARE(project->text(), QStringLiteral("华南展会"));
    testing::typeText(editor(*card, "Edt_2"), QStringLiteral("Project"));
    QVERIFY(save(*card));
    QCOMPARE(m_db.column(QStringLiteral("select cLDefine2 from Crm_Contact_extradefine where "
                                        "cContactCode=N'%1'")
                             .arg(list.lastSavedCode())),
             QStringList{QStringLiteral("华南展会")});
}

void tst_CardLookups::keyF2OpensTheFocusedFieldsReference()
{
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    for (const char *name : {"EdtU_0", "Edt_7", "Edt_22"}) {
        HostEdit *edit = editor(*card, QLatin1String(name));
        auto *tabs = card->findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        for (int tab = 0; tab < tabs->count(); ++tab) {
            if (tabs->widget(tab)->isAncestorOf(edit))
                tabs->setCurrentIndex(tab);
        }
        // The lookup before took the activation with it.
        QApplication::setActiveWindow(card.get());
        edit->setFocus();
        QTRY_VERIFY2(edit->hasFocus(), name);
        Visit visit;
        answerLookup(visit, {});
        QTest::keyClick(edit, Qt::Key_F2);
        QVERIFY2(visit.seen, name);
        QVERIFY2(!visit.offered.isEmpty(), name);
    }
}

void tst_CardLookups::referenceThatCannotOpenLeavesTheEditor()
{
    m_db.exec(
        QStringLiteral("update userdef set cRelArchive=N'NoSuchArchive' where cClass=N'联系人' "
                       "and CItem=N'自定义项2'"));
    QFile::remove(m_files.filePath(QStringLiteral("error.log")));
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    editor(*card, "EdtU_1")->setText(QStringLiteral("kept"));
    Visit visit;
    answerLookup(visit, {});
    click(*card, QStringLiteral("CmdU_1"));
    QVERIFY(!visit.seen);
    QCOMPARE(editor(*card, "EdtU_1")->text(), QStringLiteral("kept"));
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
             QStringList{GetResText(QStringLiteral("K2.CRM.QZContact.common.00018"))});
    QFile log(m_files.filePath(QStringLiteral("error.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(log.readAll()).contains(QStringLiteral("Perikon.Common.SelRef()")));
}

void tst_CardLookups::pictureIsStoredReplacedAndCleared()
{
    const QString first = writeImage(m_files.filePath(QStringLiteral("first.png")), Qt::red);
    const QString second = writeImage(m_files.filePath(QStringLiteral("second.png")), Qt::blue);
    const auto pictures = [this] {
        return m_db.column(QStringLiteral("select cGUID from AA_Picture"));
    };
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    card->presetCustomer(QStringLiteral("x"), customerWithContacts(1));
    auto *pic = card->findChild<PictureControl *>(QStringLiteral("Pic"));
    QVERIFY(pic);
    QVERIFY(pic->ChooseFile(first));
    QVERIFY(card->isEdited());
    testing::typeText(editor(*card, "Edt_2"), QStringLiteral("Photo"));
    QVERIFY(save(*card));
    const QString code = list.lastSavedCode();
    const QString firstGuid = stored("PictureGUID", code);
    QCOMPARE(pictures(), QStringList{firstGuid});

    // Read back, then saved without touching the photo: the same picture row. After a save the
    // card is blank, so each step opens the contact again.
    list.setCodes({code});
    const auto reopen = [&] {
        card = openCard(list, 2, 1);
        pic = card->findChild<PictureControl *>(QStringLiteral("Pic"));
    };
    reopen();
    QVERIFY(pic->HasPicture());
    testing::typeText(editor(*card, "Edt_3"), QStringLiteral("Ms"));
    QVERIFY(save(*card));
    QCOMPARE(stored("PictureGUID", code), firstGuid);
    QCOMPARE(pictures(), QStringList{firstGuid});

    // Replaced: one row, under a new GUID.
    reopen();
    QVERIFY(pic->ChooseFile(second));
    QVERIFY(save(*card));
    const QString secondGuid = stored("PictureGUID", code);
    QVERIFY(secondGuid != firstGuid);
    QCOMPARE(pictures(), QStringList{secondGuid});

    // A file the control refuses leaves the shown picture and changes nothing.
    reopen();
    QVERIFY(!pic->ChooseFile(m_files.filePath(QStringLiteral("missing.png"))));
    QCOMPARE(suite::MessageBoxScript::takeShownMessages().size(), 1);
    QVERIFY(pic->HasPicture());
    QVERIFY(!card->isEdited());

    // Cleared: no picture and no row.
    pic->ClearByOperator();
    QVERIFY(card->isEdited());
    QVERIFY(save(*card));
    QCOMPARE(stored("PictureGUID", code), QString());
    QVERIFY(pictures().isEmpty());
}

namespace {

// Selects the row of `view` whose first column reads `code`.
bool selectRow(QTableView *view, const QString &code)
{
    for (int row = 0; view && row < view->model()->rowCount(); ++row) {
        if (view->model()->index(row, 0).data().toString() == code) {
            view->setCurrentIndex(view->model()->index(row, 0));
            view->selectRow(row);
            return true;
        }
    }
    return false;
}

// Answers the next dialog named `name`: adds the row `code` of `available` (after choosing the
// `type` entry of a combo named "DimType" when given), then OK, or Cancel when `cancel`.
void answerTransfer(bool &seen, const QString &name, const QString &available, const QString &code,
                    const QString &prefix, bool cancel, const QString &type = {})
{
    QTimer::singleShot(0, qApp, [&seen, name, available, code, prefix, cancel, type] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name)
            return;
        seen = true;
        if (auto *types = dialog->findChild<QComboBox *>(QStringLiteral("DimType"));
            types && !type.isEmpty())
            types->setCurrentIndex(types->findData(type));
        if (selectRow(dialog->findChild<QTableView *>(available), code))
            QTest::mouseClick(dialog->findChild<QPushButton *>(prefix + QStringLiteral("Add")),
                              Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton *>(
                              prefix + (cancel ? QStringLiteral("Cancel") : QStringLiteral("OK"))),
                          Qt::LeftButton);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

void tst_CardLookups::relatedPersonsAndDimensionsComeFromTheirDialogs()
{
    // Two suite users to share the contact with, whatever the demo data brought.
    m_db.exec(QStringLiteral("delete from qzsystem..UA_User where cUser_Id in (N'wangfang', "
                             "N'liqiang')"));
    m_db.exec(QStringLiteral("insert into qzsystem..UA_User (cUser_Id, cUser_Name) values "
                             "(N'wangfang', N'王芳'), (N'liqiang', N'李强')"));
    testing::FakeCardList list({});
    auto card = openCard(list, 1);
    card->presetCustomer(QStringLiteral("x"), customerWithContacts(1));
    testing::typeText(editor(*card, "Edt_2"), QStringLiteral("Shared"));
    // Cancelled: nothing is kept for the save.
    bool seen = false;
    answerTransfer(seen, "RelatedPersonDialog", "RelAvailable", "wangfang", "Rel", true);
    QVERIFY(card->Operating(QStringLiteral("cPerson")));
    QVERIFY(seen);
    seen = false;
    answerTransfer(seen, "RelatedPersonDialog", "RelAvailable", "liqiang", "Rel", false);
    QVERIFY(card->Operating(QStringLiteral("cPerson")));
    QVERIFY(seen);
    seen = false;
    answerTransfer(seen, "DimensionDialog", "DimValues", "02", "Dim", false, "1");
    QVERIFY(card->Operating(QStringLiteral("Privilege")));
    QVERIFY(seen);
    QVERIFY(card->isEdited());
    // The grid shows the grant before it is saved.
    auto *grid = card->findChild<controls::HostGrid *>(QStringLiteral("flxGrid"));
    QCOMPARE(grid->Rows(), 2);
    QCOMPARE(grid->TextMatrix(1, 3), QStringLiteral("02"));
    QVERIFY(save(*card));
    const QString code = list.lastSavedCode();
    QCOMPARE(m_db.column(QStringLiteral("select User_Id from crm_contact_User where "
                                        "Contact_Id=N'%1'")
                             .arg(code)),
             QStringList{"liqiang"});
    QCOMPARE(m_db.column(QStringLiteral("select Privilege_Type from crm_contact_Auth where "
                                        "Contact_Id=N'%1' and Privilege_ID=N'02'")
                             .arg(code)),
             QStringList{"1"});

    // The next session of the contact starts from what was stored.
    list.setCodes({code});
    card = openCard(list, 2, 1);
    QCOMPARE(card->findChild<controls::HostGrid *>(QStringLiteral("flxGrid"))->Rows(), 2);
    seen = false;
    answerTransfer(seen, "RelatedPersonDialog", "RelAvailable", "wangfang", "Rel", false);
    QVERIFY(card->Operating(QStringLiteral("cPerson")));
    QVERIFY(save(*card));
    QCOMPARE(m_db.column(QStringLiteral("select User_Id from crm_contact_User where "
                                        "Contact_Id=N'%1' order by User_Id")
                             .arg(code)),
             (QStringList{"liqiang", "wangfang"}));
}

QTEST_MAIN(tst_CardLookups)
#include "tst_cardlookups.moc"
