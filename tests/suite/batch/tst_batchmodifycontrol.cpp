// The suite's batch-modify control as the batch window uses it: created by name, handed the
// contact catalogue, a template recordset of the account and the marked rows, then driven by
// object name the way a clerk (or an acceptance script) does: pick a field, enter or look up a
// value, press Modify or F8.

#include "perikon/data/db/Recordset.h"
#include "perikon/host/contract/BatchModifyControl.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/UiHelper.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"
#include "support/TypeText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace perikon;

namespace {

// The catalogue as the contact list builds it: fixed fields, then the user-defined items in use.
QString contactCatalogue()
{
    QFile file(QStringLiteral(PERIKON_TEST_SOURCE_DIR "/contact-catalogue.xml"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

const QStringList kOffered{"cCusCode",    "cAppellation", "bcSexID",      "dBirthday",
                           "cSuperiorID", "cMemo",        "cprincipal",   "cConDepart",
                           "cConDefine1", "cConDefine2",  "cConDefine11", "cConDefine13"};

// Runs `act` on the next modal dialog once it shows.
void onDialog(std::function<void(QDialog *)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            act(dialog);
    });
}

template<typename T> T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

BatchModifyControl::Selection rowsWithKeys(const QStringList &keys)
{
    BatchModifyControl::Selection rows;
    for (const QString &key : keys)
        rows.append({QString::number(rows.size() + 1), key});
    return rows;
}

} // namespace

class tst_BatchModifyControl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void catalogueWithoutModifiableFieldIsRefused_data();
    void catalogueWithoutModifiableFieldIsRefused();
    void fieldListShowsTheModifiableFieldsInOrder();
    void editorFollowsTheFieldKind_data();
    void editorFollowsTheFieldKind();
    void switchingFieldsClearsTheValue();
    void modifyRaisesConditionFieldAndValue_data();
    void modifyRaisesConditionFieldAndValue();
    void choiceRaisesItsCode();
    void otherModesShowWithoutModifying_data();
    void otherModesShowWithoutModifying();
    void countShowsTheRowsHandedIn_data();
    void countShowsTheRowsHandedIn();
    void badDateOrNumberIsRefused_data();
    void badDateOrNumberIsRefused();
    void noRowsSaysSoInsteadOfModifying();
    void lookupPutsTheChosenValue_data();
    void lookupPutsTheChosenValue();
    void calendarPutsThePickedDate();
    void closeButtonAsksToClose();
    void looksRightInBothLanguages_data();
    void looksRightInBothLanguages();

private:
    BatchModifyControl *newControl();
    void selectField(const QString &name);
    QLineEdit *valueEdit() { return child<QLineEdit>(m_control, "EdtValue"); }

    SuiteFixture m_db;
    std::unique_ptr<QObject> m_login;
    std::unique_ptr<db::Recordset> m_template;
    std::unique_ptr<QWidget> m_window;
    BatchModifyControl *m_control = nullptr;
};

void tst_BatchModifyControl::initTestCase()
{
    suite::registerServices();
}

void tst_BatchModifyControl::init()
{
    testing::failOnUnexpectedWarnings();
    suite::setSessionLanguage(QStringLiteral("en-US"));
    suite::MessageBoxScript::takeShownMessages();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral(
        "insert into Customer (cCusCode, iId, cCusName, cCusAbbName) values "
        "(N'C01', 11, N'Acme Trading', N'AT'), (N'C02', 12, N'O''Neil Ltd', N'ON')"));
    m_db.exec(QStringLiteral("insert into Department (cDepCode, cDepName) values "
                             "(N'D01', N'Sales'), (N'D02', N'Service')"));
    m_db.exec(QStringLiteral("insert into Person (cPersonCode, cPersonName, cDepCode) values "
                             "(N'P01', N'李四', N'D01'), (N'P02', N'Hara', N'D02')"));
    m_db.exec(QStringLiteral("insert into Crm_Contact (cContactCode, cContactName, cCusCode) "
                             "values (N'CT01', N'张三', N'C01'), (N'CT02', N'Mills', N'C02')"));
    m_db.exec(QStringLiteral("insert into userdefine (cId, cValue, cAlias) values "
                             "(N'301', N'重要', N'A'), (N'301', N'一般', N'B')"));
    m_db.exec(QStringLiteral("update userdef set cItemName=N'介绍人', iDataSource=1, "
                             "cRelArchive=N'Person', cRelField=N'cPersonName' where cID=N'302'"));
    m_login = std::make_unique<QObject>();
    m_login->setProperty("qzDBName", m_db.connectionString());
    m_login->setProperty("cUserId", QStringLiteral("admin"));
    m_login->setProperty("IsAdmin", true);
    m_template = std::make_unique<db::Recordset>();
    m_template->open(
        QStringLiteral("select * from crm_contact,Person,Department,customer where 1=2"),
        &m_db.connection(), db::Recordset::OpenStatic);
    m_window = std::make_unique<QWidget>();
    m_window->setObjectName(QStringLiteral("FrmZMulModify"));
    m_control = nullptr;
}

void tst_BatchModifyControl::cleanup()
{
    m_window.reset();
    m_control = nullptr;
    m_template.reset();
    m_login.reset();
}

BatchModifyControl *tst_BatchModifyControl::newControl()
{
    std::unique_ptr<BatchModifyControl> control
        = HostRegistry::createAs<BatchModifyControl>(QStringLiteral("BatchModifyControl"));
    if (!control)
        return nullptr;
    control->setParent(m_window.get());
    m_control = control.release();
    QString error;
    if (!m_control->Initialize(m_login.get(), contactCatalogue(), m_template.get(), error,
                               QStringLiteral("Modify"), QStringLiteral("(F8)")))
        qWarning("Initialize refused: %s", qPrintable(error));
    m_control->setMode(2);
    m_control->SetSelection(QStringLiteral("cContactCode"),
                            rowsWithKeys({QStringLiteral("CT01"), QStringLiteral("O'Neil")}),
                            QStringLiteral("crm_contact"));
    m_window->resize(m_window->sizeHint().expandedTo(m_control->sizeHint()));
    m_control->resize(m_window->size());
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("the window did not become active");
    return m_control;
}

void tst_BatchModifyControl::selectField(const QString &name)
{
    auto *fields = child<QComboBox>(m_control, "cboField");
    const int index = fields->findData(name);
    QVERIFY2(index >= 0, qPrintable(name));
    fields->setCurrentIndex(index);
}

void tst_BatchModifyControl::catalogueWithoutModifiableFieldIsRefused_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QString>("errorStart");

    // clang-format off
    QTest::newRow("not xml") << "<Crm_contact><cMemo bmulmodify='1'>" << "The list of fields to modify could not be read: ";
    QTest::newRow("every field withheld") << "<Crm_contact noauthflds='cmemo'><cMemo reftype='char' bmulmodify='1'/></Crm_contact>" << "There is no field you may modify in a batch.";
    QTest::newRow("none modifiable") << "<Crm_contact><cContactCode reftype='ref' bmulmodify='0'/></Crm_contact>" << "There is no field you may modify in a batch.";
    // clang-format on
}

void tst_BatchModifyControl::catalogueWithoutModifiableFieldIsRefused()
{
    QFETCH(QString, catalogue);
    QFETCH(QString, errorStart);
    std::unique_ptr<BatchModifyControl> control
        = HostRegistry::createAs<BatchModifyControl>(QStringLiteral("BatchModifyControl"));
    QVERIFY(control);
    // Before a catalogue is taken there is nothing to modify.
    QVERIFY(!child<QPushButton>(control.get(), "cmdModify")->isEnabled());
    QString error;
    QVERIFY(!control->Initialize(m_login.get(), catalogue, m_template.get(), error,
                                 QStringLiteral("Modify"), QStringLiteral("(F8)")));
    QVERIFY2(error.startsWith(errorStart), qPrintable(error));
    control->setMode(2);
    QVERIFY(!child<QPushButton>(control.get(), "cmdModify")->isEnabled());
}

void tst_BatchModifyControl::fieldListShowsTheModifiableFieldsInOrder()
{
    newControl();
    auto *fields = child<QComboBox>(m_control, "cboField");
    QStringList names;
    QStringList captions;
    for (int i = 0; i < fields->count(); ++i) {
        names.append(fields->itemData(i).toString());
        captions.append(fields->itemText(i));
    }
    QCOMPARE(names, kOffered);
    QCOMPARE(captions.first(), QStringLiteral("所属客户"));
    QVERIFY(captions.contains(QStringLiteral("备注 & 说明")));
    QCOMPARE(fields->currentIndex(), 0);
    auto *modify = child<QPushButton>(m_control, "cmdModify");
    QCOMPARE(modify->text(), QStringLiteral("Modify(F8)"));
    QVERIFY(modify->isEnabled());
}

void tst_BatchModifyControl::editorFollowsTheFieldKind_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("shown"); // of EdtValue, cboValue, cmdRef, cmdDate
    QTest::addColumn<int>("maxLength");     // of EdtValue
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text"); // what EdtValue took of it

    const QString longText(300, u'x');
    // clang-format off
    QTest::newRow("text, as long as its column") << "cAppellation" << QStringList{"EdtValue"} << 60 << "Mr<Li>" << "MrLi>";
    QTest::newRow("memo column") << "cMemo" << QStringList{"EdtValue"} << 255 << longText << longText.left(255);
    QTest::newRow("customer code") << "cCusCode" << QStringList{"EdtValue", "cmdRef"} << 20 << "C01" << "C01";
    QTest::newRow("department code") << "cConDepart" << QStringList{"EdtValue", "cmdRef"} << 12 << "D0123456789012" << "D01234567890";
    QTest::newRow("user-defined item") << "cConDefine1" << QStringList{"EdtValue", "cmdRef"} << 120 << "重要" << "重要";
    QTest::newRow("date") << "dBirthday" << QStringList{"EdtValue", "cmdDate"} << 10 << "2026-12-06T10" << "2026-12-06";
    QTest::newRow("whole number") << "cConDefine11" << QStringList{"EdtValue"} << 32767 << "-12a.3" << "-123";
    QTest::newRow("decimal") << "cConDefine13" << QStringList{"EdtValue"} << 32767 << "-12.345" << "-12.34";
    QTest::newRow("choice") << "bcSexID" << QStringList{"cboValue"} << 32767 << "" << "";
    // clang-format on
}

void tst_BatchModifyControl::editorFollowsTheFieldKind()
{
    QFETCH(QString, field);
    QFETCH(QStringList, shown);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    newControl();
    selectField(field);
    QStringList visible;
    for (const char *name : {"EdtValue", "cboValue", "cmdRef", "cmdDate"}) {
        if (child<QWidget>(m_control, name)->isVisible())
            visible.append(QLatin1String(name));
    }
    QCOMPARE(visible, shown);
    QLineEdit *edit = valueEdit();
    if (!edit->isVisible())
        return;
    QCOMPARE(edit->maxLength(), maxLength);
    edit->setFocus();
    testing::typeText(edit, typed);
    QCOMPARE(edit->text(), text);
}

void tst_BatchModifyControl::switchingFieldsClearsTheValue()
{
    newControl();
    selectField(QStringLiteral("cAppellation"));
    testing::typeText(valueEdit(), QStringLiteral("Dr"));
    selectField(QStringLiteral("cMemo"));
    QCOMPARE(valueEdit()->text(), QString());
    selectField(QStringLiteral("bcSexID"));
    auto *choices = child<QComboBox>(m_control, "cboValue");
    choices->setCurrentIndex(2);
    selectField(QStringLiteral("cMemo"));
    selectField(QStringLiteral("bcSexID"));
    QCOMPARE(choices->currentIndex(), 0);
    QCOMPARE(choices->currentData().toString(), QString());
}

void tst_BatchModifyControl::modifyRaisesConditionFieldAndValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("press"); // cmdModify, or the object F8 is pressed on
    QTest::addColumn<QString>("value");

    // clang-format off
    QTest::newRow("text trimmed") << "cAppellation" << "  经理 " << "cmdModify" << "经理";
    QTest::newRow("F8 in the editor") << "cMemo" << "VIP" << "EdtValue" << "VIP";
    QTest::newRow("F8 on the field list") << "cMemo" << "VIP" << "cboField" << "VIP";
    QTest::newRow("F8 on the window") << "cMemo" << "VIP" << "FrmZMulModify" << "VIP";
    QTest::newRow("empty clears") << "cMemo" << "" << "cmdModify" << "";
    QTest::newRow("date") << "dBirthday" << "2026-12-06" << "cmdModify" << "2026-12-06";
    QTest::newRow("whole number") << "cConDefine11" << "-3" << "cmdModify" << "-3";
    QTest::newRow("decimal") << "cConDefine13" << "12.5" << "EdtValue" << "12.5";
    QTest::newRow("typed reference code") << "cCusCode" << " C02" << "cmdModify" << "C02";
    // clang-format on
}

void tst_BatchModifyControl::modifyRaisesConditionFieldAndValue()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, press);
    QFETCH(QString, value);
    newControl();
    selectField(field);
    valueEdit()->setFocus();
    testing::typeText(valueEdit(), typed);
    QSignalSpy raised(m_control, &BatchModifyControl::modify);
    if (press == u"cmdModify") {
        QTest::mouseClick(child<QPushButton>(m_control, "cmdModify"), Qt::LeftButton);
    } else {
        QWidget *target = press == m_window->objectName() ? m_window.get()
                                                          : m_control->findChild<QWidget *>(press);
        QVERIFY(target);
        QTest::keyClick(target, Qt::Key_F8);
    }
    QCOMPARE(raised.size(), 1);
    QCOMPARE(raised.first().at(0).toString(),
             QStringLiteral("cContactCode in (N'CT01',N'O''Neil')"));
    QCOMPARE(raised.first().at(1).toString(), field);
    QCOMPARE(raised.first().at(2).toString(), value);
    QVERIFY(suite::MessageBoxScript::takeShownMessages().isEmpty());
}

void tst_BatchModifyControl::choiceRaisesItsCode()
{
    newControl();
    selectField(QStringLiteral("bcSexID"));
    auto *choices = child<QComboBox>(m_control, "cboValue");
    QCOMPARE(choices->count(), 4); // the blank that clears, then the choices
    QSignalSpy raised(m_control, &BatchModifyControl::modify);
    choices->setCurrentIndex(choices->findText(QStringLiteral("女")));
    QTest::mouseClick(child<QPushButton>(m_control, "cmdModify"), Qt::LeftButton);
    choices->setCurrentIndex(0);
    QTest::mouseClick(child<QPushButton>(m_control, "cmdModify"), Qt::LeftButton);
    QCOMPARE(raised.size(), 2);
    QCOMPARE(raised.at(0).at(1).toString(), QStringLiteral("bcSexID"));
    QCOMPARE(raised.at(0).at(2).toString(), QStringLiteral("1"));
    QCOMPARE(raised.at(1).at(2).toString(), QString());
}

void tst_BatchModifyControl::otherModesShowWithoutModifying_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("3") << 3;
}

void tst_BatchModifyControl::otherModesShowWithoutModifying()
{
    QFETCH(int, mode);
    newControl();
    m_control->setMode(mode);
    QCOMPARE(m_control->mode(), mode);
    QCOMPARE(m_control->property("mode").toInt(), mode);
    selectField(QStringLiteral("cMemo"));
    testing::typeText(valueEdit(), QStringLiteral("VIP"));
    QSignalSpy raised(m_control, &BatchModifyControl::modify);
    auto *modify = child<QPushButton>(m_control, "cmdModify");
    QVERIFY(!modify->isEnabled());
    QTest::mouseClick(modify, Qt::LeftButton);
    QTest::keyClick(valueEdit(), Qt::Key_F8);
    QCOMPARE(raised.size(), 0);
    QVERIFY(child<QComboBox>(m_control, "cboField")->count() > 0);
    m_control->setMode(2);
    QVERIFY(modify->isEnabled());
    QTest::keyClick(valueEdit(), Qt::Key_F8);
    QCOMPARE(raised.size(), 1);
}

void tst_BatchModifyControl::countShowsTheRowsHandedIn_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("text");

    QTest::newRow("en none") << "en-US" << 0 << "Contacts selected: 0";
    QTest::newRow("en one") << "en-US" << 1 << "Contacts selected: 1";
    QTest::newRow("en many") << "en-US" << 10000 << "Contacts selected: 10000";
    QTest::newRow("zh") << "zh-CN" << 3 << QStringLiteral("已选联系人：3 个");
}

void tst_BatchModifyControl::countShowsTheRowsHandedIn()
{
    QFETCH(QString, language);
    QFETCH(int, rows);
    QFETCH(QString, text);
    suite::setSessionLanguage(language);
    newControl();
    QStringList keys;
    for (int i = 0; i < rows; ++i)
        keys.append(QStringLiteral("K%1").arg(i));
    m_control->SetSelection(QStringLiteral("cContactCode"), rowsWithKeys(keys),
                            QStringLiteral("crm_contact"));
    QCOMPARE(child<QLabel>(m_control, "lblCount")->text(), text);
}

void tst_BatchModifyControl::badDateOrNumberIsRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    // clang-format off
    QTest::newRow("day that does not exist") << "dBirthday" << "2026-02-30" << "\"2026-02-30\" is not a date for 生日. Enter it as yyyy-MM-dd, for example 2026-12-06.";
    QTest::newRow("date with slashes") << "dBirthday" << "2026/2/3" << "\"2026/2/3\" is not a date for 生日. Enter it as yyyy-MM-dd, for example 2026-12-06.";
    QTest::newRow("lone sign") << "cConDefine11" << "-" << "\"-\" is not a number 从业年限 can take.";
    QTest::newRow("beyond int") << "cConDefine11" << "9999999999" << "\"9999999999\" is not a number 从业年限 can take.";
    QTest::newRow("lone point") << "cConDefine13" << "." << "\".\" is not a number 年采购额 can take.";
    // clang-format on
}

void tst_BatchModifyControl::badDateOrNumberIsRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    newControl();
    selectField(field);
    testing::typeText(valueEdit(), typed);
    QCOMPARE(valueEdit()->text(), typed);
    QSignalSpy raised(m_control, &BatchModifyControl::modify);
    suite::MessageBoxScript::queueAnswers({MsgBoxButton::OK});
    QTest::mouseClick(child<QPushButton>(m_control, "cmdModify"), Qt::LeftButton);
    QCOMPARE(raised.size(), 0);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList{message});
    // The operator corrects the value where it stands.
    QCOMPARE(valueEdit()->text(), typed);
    QVERIFY(valueEdit()->hasFocus());
}

void tst_BatchModifyControl::noRowsSaysSoInsteadOfModifying()
{
    newControl();
    m_control->SetSelection(QStringLiteral("cContactCode"), {}, QStringLiteral("crm_contact"));
    selectField(QStringLiteral("cMemo"));
    testing::typeText(valueEdit(), QStringLiteral("VIP"));
    QSignalSpy raised(m_control, &BatchModifyControl::modify);
    QTest::keyClick(valueEdit(), Qt::Key_F8);
    QCOMPARE(raised.size(), 0);
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(),
             QStringList{QStringLiteral(
                 "No contacts are selected. Mark the contacts to modify in the list first.")});
}

void tst_BatchModifyControl::lookupPutsTheChosenValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("filter"); // typed in the lookup's filter line
    QTest::addColumn<QString>("value");

    // clang-format off
    QTest::newRow("customer by name") << "cCusCode" << "acme" << "C01";
    QTest::newRow("customer with a quote") << "cCusCode" << "O'Neil" << "C02";
    QTest::newRow("superior contact gives its code") << "cSuperiorID" << "Mills" << "CT02";
    QTest::newRow("responsible person") << "cprincipal" << "李四" << "P01";
    QTest::newRow("department") << "cConDepart" << "Service" << "D02";
    QTest::newRow("user-defined value list") << "cConDefine1" << "B" << "一般";
    QTest::newRow("user-defined item of another archive") << "cConDefine2" << "Hara" << "Hara";
    // clang-format on
}

void tst_BatchModifyControl::lookupPutsTheChosenValue()
{
    QFETCH(QString, field);
    QFETCH(QString, filter);
    QFETCH(QString, value);
    newControl();
    selectField(field);
    int rowsShown = -1;
    onDialog([&](QDialog *dialog) {
        QCOMPARE(dialog->metaObject()->className(), "perikon::suite::RefDialog");
        auto *line = dialog->findChild<QLineEdit *>(QStringLiteral("RefFilter"));
        QVERIFY(line);
        testing::typeText(line, filter);
        // The filter narrows in the database after a short pause.
        QTimer::singleShot(500, dialog, [&rowsShown, dialog] {
            auto *grid = dialog->findChild<QTableView *>(QStringLiteral("RefGrid"));
            rowsShown = grid ? grid->model()->rowCount() : -1;
            if (grid && rowsShown > 0)
                grid->selectRow(0);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("RefOK")),
                              Qt::LeftButton);
            if (dialog->isVisible())
                dialog->reject();
        });
    });
    QTest::mouseClick(child<QAbstractButton>(m_control, "cmdRef"), Qt::LeftButton);
    QCOMPARE(rowsShown, 1);
    QCOMPARE(valueEdit()->text(), value);
    QVERIFY(suite::MessageBoxScript::takeShownMessages().isEmpty());
    QSignalSpy raised(m_control, &BatchModifyControl::modify);
    QTest::mouseClick(child<QPushButton>(m_control, "cmdModify"), Qt::LeftButton);
    QCOMPARE(raised.size(), 1);
    QCOMPARE(raised.first().at(2).toString(), value);
}

void tst_BatchModifyControl::calendarPutsThePickedDate()
{
    newControl();
    selectField(QStringLiteral("dBirthday"));
    testing::typeText(valueEdit(), QStringLiteral("2026-03-15"));
    QTest::mouseClick(child<QAbstractButton>(m_control, "cmdDate"), Qt::LeftButton);
    auto *calendar = m_control->findChild<QCalendarWidget *>(QStringLiteral("calDate"));
    QVERIFY(calendar);
    QVERIFY(calendar->isVisible());
    // The calendar opens on the date typed.
    QCOMPARE(calendar->selectedDate(), QDate(2026, 3, 15));
    calendar->setSelectedDate(QDate(2026, 4, 1));
    auto *days = calendar->findChild<QTableView *>();
    QVERIFY(days);
    QTest::keyClick(days, Qt::Key_Return);
    QVERIFY(!calendar->isVisible());
    QCOMPARE(valueEdit()->text(), QStringLiteral("2026-04-01"));
}

void tst_BatchModifyControl::closeButtonAsksToClose()
{
    newControl();
    QSignalSpy closing(m_control, &BatchModifyControl::closeRequested);
    QSignalSpy raised(m_control, &BatchModifyControl::modify);
    QTest::mouseClick(child<QPushButton>(m_control, "cmdClose"), Qt::LeftButton);
    QCOMPARE(closing.size(), 1);
    QCOMPARE(raised.size(), 0);
}

void tst_BatchModifyControl::looksRightInBothLanguages_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("close");
    QTest::addColumn<QString>("fieldLabel");
    QTest::addColumn<QString>("modify"); // the caption the window hands in

    QTest::newRow("zh-CN") << "zh-CN" << QStringLiteral("关闭") << QStringLiteral("修改项目(&F)：")
                           << QStringLiteral("修改");
    QTest::newRow("en-US") << "en-US" << QStringLiteral("Close") << QStringLiteral("&Field:")
                           << QStringLiteral("Modify");
}

void tst_BatchModifyControl::looksRightInBothLanguages()
{
    QFETCH(QString, language);
    QFETCH(QString, close);
    QFETCH(QString, fieldLabel);
    QFETCH(QString, modify);
    suite::setSessionLanguage(language);
    newControl();
    QString error;
    QVERIFY(m_control->Initialize(m_login.get(), contactCatalogue(), m_template.get(), error,
                                  modify, QStringLiteral("(F8)")));
    QCOMPARE(child<QPushButton>(m_control, "cmdModify")->text(), modify + QStringLiteral("(F8)"));
    QCOMPARE(child<QPushButton>(m_control, "cmdClose")->text(), close);
    QCOMPARE(child<QLabel>(m_control, "lblField")->text(), fieldLabel);
    // Scripts find every control the operator works by its name (the calendar's own parts aside).
    for (QWidget *widget : m_control->findChildren<QWidget *>()) {
        const bool interactive = qobject_cast<QAbstractButton *>(widget)
                                 || qobject_cast<QComboBox *>(widget)
                                 || qobject_cast<QLineEdit *>(widget);
        if (interactive && !widget->parentWidget()->inherits("QCalendarWidget")
            && !qobject_cast<QComboBox *>(widget->parentWidget())
            && !widget->parentWidget()->parentWidget()->inherits("QCalendarWidget"))
            QVERIFY2(!widget->objectName().isEmpty(), widget->metaObject()->className());
    }
    for (const QString &field : {QStringLiteral("cCusCode"), QStringLiteral("dBirthday")}) {
        selectField(field);
        QApplication::processEvents();
        // Nothing is cut: every label and button has at least the room its text needs.
        for (QWidget *widget : m_control->findChildren<QWidget *>()) {
            if (!widget->isVisible()
                || !(qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget)))
                continue;
            QVERIFY2(widget->width() >= widget->minimumSizeHint().width(),
                     qPrintable(widget->objectName()));
        }
        const QRect modifyButton = child<QWidget>(m_control, "cmdModify")->geometry();
        const QRect closeButton = child<QWidget>(m_control, "cmdClose")->geometry();
        const QRect count = child<QWidget>(m_control, "lblCount")->geometry();
        // Modify and Close side by side at the bottom right, below everything else.
        QVERIFY(modifyButton.right() < closeButton.left());
        QVERIFY(m_control->width() - closeButton.right() < 20);
        QVERIFY(modifyButton.top() > count.bottom());
        m_control->grab().save(QStringLiteral("/tmp/h1-batch-%1-%2.png").arg(language, field));
    }
}

QTEST_MAIN(tst_BatchModifyControl)
#include "tst_batchmodifycontrol.moc"
