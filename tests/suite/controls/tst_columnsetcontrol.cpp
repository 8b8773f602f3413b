// The column-settings control as the operator works it: one row per column with its mark, Space
// and a press on the mark toggle it, rows move but the contact code stays first and shown,
// captions and widths are edited in place, and the buttons raise what the window acts on.

#include "perikon/host/contract/HostRegistry.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/controls/colset/SuiteColumnSetControl.h"
#include "support/FailOnWarnings.h"

#include "support/ColInfoReader.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <pugixml.hpp>

using namespace perikon;
using suite::SuiteColumnSetControl;
using testing::ColSet;
using testing::fields;
using testing::findColumn;
using testing::parseColInfo;

namespace {

const QString kMark = QStringLiteral("√");

// The code placed second and the mobile number hidden, as a stored layout may have them.
const QString kLayout = QStringLiteral(
    "<ColInfo cKey='Crm_Contact'>"
    "<ColSet cFld='cContactName' cOriginalCaption='联系人' cCaption='Name' bMustInput='true' "
    "bShow='true' iWidth='90' iOrder='1'/>"
    "<ColSet cFld='cContactCode' cOriginalCaption='联系人编码' cCaption='联系人编码' "
    "bMustInput='false' bShow='true' iWidth='80' iOrder='2'/>"
    "<ColSet cFld='cMobilePhone' cOriginalCaption='手机' cCaption='手机' bMustInput='false' "
    "bShow='false' iWidth='110' iOrder='3'/>"
    "<ColSet cFld='cEmail' cOriginalCaption='电子邮件' cCaption=\"O'Neil &amp; mail\" "
    "bMustInput='false' bShow='true' iWidth='150' iOrder='4'/></ColInfo>");

} // namespace

class tst_ColumnSetControl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadShowsOneRowPerColumn();
    void unreadableColumnInformationIsRefused_data();
    void unreadableColumnInformationIsRefused();
    void spaceTogglesTheMarkExceptTheCode_data();
    void spaceTogglesTheMarkExceptTheCode();
    void pressOnTheMarkTogglesOnce();
    void rowsMoveButNeverAboveTheCode_data();
    void rowsMoveButNeverAboveTheCode();
    void captionAndWidthEditsReachTheLayout();
    void badWidthIsRefused_data();
    void badWidthIsRefused();
    void okConfirmsTheLayout_data();
    void okConfirmsTheLayout();
    void buttonsAskForTheirVariant_data();
    void buttonsAskForTheirVariant();
    void hostGivesTheControlInTheSessionLanguage_data();
    void hostGivesTheControlInTheSessionLanguage();

private:
    QTableWidget *grid() const { return m_control->findChild<QTableWidget *>("GridCols"); }
    QString mark(int row) const
    {
        return grid()->item(row, SuiteColumnSetControl::ShowColumn)->text();
    }
    void click(const char *button);

    std::unique_ptr<SuiteColumnSetControl> m_control;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void tst_ColumnSetControl::initTestCase()
{
    suite::registerServices();
}

void tst_ColumnSetControl::init()
{
    testing::failOnUnexpectedWarnings();
    m_control = std::make_unique<SuiteColumnSetControl>();
    m_control->resize(600, 400);
    m_tester = std::make_unique<QAbstractItemModelTester>(
        grid()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QString error;
    QVERIFY2(m_control->Load(kLayout, error), qPrintable(error));
    m_control->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_control.get()));
    grid()->setFocus();
}

void tst_ColumnSetControl::cleanup()
{
    m_tester.reset();
    m_control.reset();
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
}

void tst_ColumnSetControl::click(const char *button)
{
    auto *found = m_control->findChild<QPushButton *>(QString::fromLatin1(button));
    QVERIFY2(found, button);
    QTest::mouseClick(found, Qt::LeftButton);
}

void tst_ColumnSetControl::loadShowsOneRowPerColumn()
{
    QTableWidget *cols = grid();
    QVERIFY(cols);
    QCOMPARE(cols->rowCount(), 4);
    QCOMPARE(cols->columnCount(), 4);
    // The code first, whatever place the layout gave it; the rest in their order.
    const QStringList captions{QStringLiteral("联系人编码"), QStringLiteral("Name"),
                               QStringLiteral("手机"), QStringLiteral("O'Neil & mail")};
    const QStringList originals{QStringLiteral("联系人编码"), QStringLiteral("联系人"),
                                QStringLiteral("手机"), QStringLiteral("电子邮件")};
    const QStringList marks{kMark, kMark, QString(), kMark};
    const QStringList widths{"80", "90", "110", "150"};
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(mark(row), marks.at(row));
        QCOMPARE(cols->item(row, SuiteColumnSetControl::CaptionColumn)->text(), captions.at(row));
        QCOMPARE(cols->item(row, SuiteColumnSetControl::OriginalColumn)->text(), originals.at(row));
        QCOMPARE(cols->item(row, SuiteColumnSetControl::WidthColumn)->text(), widths.at(row));
    }
    QVERIFY(m_control->findChild<QCheckBox *>("chkSave")->isChecked());
    // Every widget the operator works has a name scripts can find.
    for (QWidget *child : m_control->findChildren<QWidget *>()) {
        if (qobject_cast<QPushButton *>(child) || qobject_cast<QCheckBox *>(child))
            QVERIFY(!child->objectName().isEmpty());
    }
}

void tst_ColumnSetControl::unreadableColumnInformationIsRefused_data()
{
    QTest::addColumn<QString>("xml");
    QTest::newRow("not XML") << "<ColInfo cKey='Crm_Contact'><ColSet cFld='cEmail'";
    QTest::newRow("empty") << "";
    QTest::newRow("a column without its field")
        << "<ColInfo cKey='Crm_Contact'><ColSet cCaption='x'/></ColInfo>";
}

void tst_ColumnSetControl::unreadableColumnInformationIsRefused()
{
    QFETCH(QString, xml);
    const QString before = m_control->colInfo();
    QString error;
    QVERIFY(!m_control->Load(xml, error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(grid()->rowCount(), 4);
    QCOMPARE(m_control->colInfo(), before);
}

void tst_ColumnSetControl::spaceTogglesTheMarkExceptTheCode_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("shownAfter");
    QTest::newRow("hidden column shown") << 2 << "cMobilePhone" << true;
    QTest::newRow("shown column hidden") << 1 << "cContactName" << false;
    QTest::newRow("the code stays shown") << 0 << "cContactCode" << true;
}

void tst_ColumnSetControl::spaceTogglesTheMarkExceptTheCode()
{
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(bool, shownAfter);
    grid()->setCurrentCell(row, SuiteColumnSetControl::CaptionColumn);
    QTest::keyClick(grid(), Qt::Key_Space);
    QCOMPARE(mark(row), shownAfter ? kMark : QString());
    // Space does not start an edit.
    QVERIFY(!grid()->findChild<QLineEdit *>(QStringLiteral("EdtCaption")));
    const QList<ColSet> columns = parseColInfo(m_control->colInfo());
    QCOMPARE(columns.at(row).field, field);
    QCOMPARE(columns.at(row).show, shownAfter);
}

void tst_ColumnSetControl::pressOnTheMarkTogglesOnce()
{
    QTableWidget *cols = grid();
    const QPoint cell = cols->visualRect(cols->model()->index(2, 0)).center();
    QTest::mouseClick(cols->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(mark(2), kMark);
    QTest::mouseDClick(cols->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(mark(2), QString());
    // A press elsewhere in the row leaves the mark alone.
    QTest::mouseClick(cols->viewport(), Qt::LeftButton, {},
                      cols->visualRect(cols->model()->index(2, 2)).center());
    QCOMPARE(mark(2), QString());
}

void tst_ColumnSetControl::rowsMoveButNeverAboveTheCode_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<int>("currentAfter");
    const QString code = QStringLiteral("cContactCode");
    QTest::newRow("last row up") << 3 << "cmdUp"
                                 << QStringList{code, "cContactName", "cEmail", "cMobilePhone"}
                                 << 2;
    QTest::newRow("second row down")
        << 1 << "cmdDown" << QStringList{code, "cMobilePhone", "cContactName", "cEmail"} << 2;
    QTest::newRow("second row cannot go above the code")
        << 1 << "cmdUp" << QStringList{code, "cContactName", "cMobilePhone", "cEmail"} << 1;
    QTest::newRow("the code does not move")
        << 0 << "cmdDown" << QStringList{code, "cContactName", "cMobilePhone", "cEmail"} << 0;
    QTest::newRow("last row stays last")
        << 3 << "cmdDown" << QStringList{code, "cContactName", "cMobilePhone", "cEmail"} << 3;
}

void tst_ColumnSetControl::rowsMoveButNeverAboveTheCode()
{
    QFETCH(int, row);
    QFETCH(QString, button);
    QFETCH(QStringList, order);
    QFETCH(int, currentAfter);
    grid()->setCurrentCell(row, SuiteColumnSetControl::CaptionColumn);
    click(button.toLatin1().constData());
    const QList<ColSet> columns = parseColInfo(m_control->colInfo());
    QCOMPARE(fields(columns), order);
    for (int i = 0; i < columns.size(); ++i)
        QCOMPARE(columns.at(i).order, i + 1);
    QCOMPARE(grid()->currentRow(), currentAfter);
    // The grid shows the rows as the layout has them, marks moving with their rows.
    QCOMPARE(mark(currentAfter), columns.at(currentAfter).show ? kMark : QString());
}

void tst_ColumnSetControl::captionAndWidthEditsReachTheLayout()
{
    QTableWidget *cols = grid();
    cols->setCurrentCell(1, SuiteColumnSetControl::CaptionColumn);
    QTest::keyClick(cols, Qt::Key_F2);
    auto *editor = cols->findChild<QLineEdit *>(QStringLiteral("EdtCaption"));
    QVERIFY(editor);
    editor->selectAll();
    editor->insert(QStringLiteral("联系人姓名")); // typed through an input method
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(cols->item(1, SuiteColumnSetControl::CaptionColumn)->text(),
                 QStringLiteral("联系人姓名"));
    cols->setCurrentCell(3, SuiteColumnSetControl::WidthColumn);
    QTest::keyClick(cols, Qt::Key_F2);
    editor = cols->findChild<QLineEdit *>(QStringLiteral("EdtWidth"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("180"));
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor hands its text over once it has closed.
    QTRY_COMPARE(cols->item(3, SuiteColumnSetControl::WidthColumn)->text(), QStringLiteral("180"));

    const QList<ColSet> columns = parseColInfo(m_control->colInfo());
    QCOMPARE(columns.at(1).caption, QStringLiteral("联系人姓名"));
    QCOMPARE(columns.at(3).width, 180);
    QCOMPARE(cols->item(3, SuiteColumnSetControl::WidthColumn)->text(), QStringLiteral("180"));
}

void tst_ColumnSetControl::badWidthIsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("letters") << "wide";
    QTest::newRow("negative") << "-5";
    QTest::newRow("empty") << "";
    QTest::newRow("fraction") << "12.5";
}

void tst_ColumnSetControl::badWidthIsRefused()
{
    QFETCH(QString, text);
    QTableWidget *cols = grid();
    // Set through the model, as a script may: refused, the cell shows the width kept.
    cols->item(2, SuiteColumnSetControl::WidthColumn)->setText(text);
    QCOMPARE(parseColInfo(m_control->colInfo()).at(2).width, 110);
    QCOMPARE(cols->item(2, SuiteColumnSetControl::WidthColumn)->text(), QStringLiteral("110"));
    // Typed: the editor takes no letters, so nothing but the old width can come of them.
    cols->setCurrentCell(3, SuiteColumnSetControl::WidthColumn);
    QTest::keyClick(cols, Qt::Key_F2);
    auto *editor = cols->findChild<QLineEdit *>(QStringLiteral("EdtWidth"));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, QStringLiteral("wide"));
    QCOMPARE(editor->text(), QString());
    // Enter does not take an empty width: the editor stays until Escape gives up the edit.
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QVERIFY(editor->isVisible());
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(parseColInfo(m_control->colInfo()).at(3).width, 150);
    QCOMPARE(cols->item(3, SuiteColumnSetControl::WidthColumn)->text(), QStringLiteral("150"));
}

void tst_ColumnSetControl::okConfirmsTheLayout_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("kept as the operator's layout") << true;
    QTest::newRow("for this time only") << false;
}

void tst_ColumnSetControl::okConfirmsTheLayout()
{
    QFETCH(bool, save);
    QSignalSpy confirmed(m_control.get(), &ColumnSetControl::confirmed);
    QSignalSpy closed(m_control.get(), &ColumnSetControl::closeRequested);
    grid()->setCurrentCell(2, SuiteColumnSetControl::CaptionColumn);
    QTest::keyClick(grid(), Qt::Key_Space);
    click("cmdUp");
    if (!save)
        QTest::mouseClick(m_control->findChild<QCheckBox *>("chkSave"), Qt::LeftButton);
    click("cmdOK");
    QCOMPARE(confirmed.size(), 1);
    QCOMPARE(closed.size(), 0);
    QCOMPARE(confirmed.at(0).at(0).toBool(), save);
    QString key;
    const QList<ColSet> columns = parseColInfo(confirmed.at(0).at(1).toString(), &key);
    QCOMPARE(key, QStringLiteral("Crm_Contact"));
    QCOMPARE(fields(columns),
             (QStringList{"cContactCode", "cMobilePhone", "cContactName", "cEmail"}));
    QCOMPARE(columns.at(1).show, true);
    QCOMPARE(columns.at(1).width, 110);
    QCOMPARE(columns.at(2).mustInput, true); // must-input columns keep their flag
    QCOMPARE(columns.at(3).caption, QStringLiteral("O'Neil & mail"));
    for (int i = 0; i < columns.size(); ++i)
        QCOMPARE(columns.at(i).order, i + 1);
}

void tst_ColumnSetControl::buttonsAskForTheirVariant_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::newRow("the operator's layout") << "cmdMine" << 0;
    QTest::newRow("every column") << "cmdAll" << 15;
    QTest::newRow("the default layout") << "cmdDefault" << 2;
    QTest::newRow("close") << "cmdCancel" << -1;
}

void tst_ColumnSetControl::buttonsAskForTheirVariant()
{
    QFETCH(QString, button);
    QFETCH(int, mode);
    QSignalSpy variant(m_control.get(), &ColumnSetControl::variantRequested);
    QSignalSpy closed(m_control.get(), &ColumnSetControl::closeRequested);
    QSignalSpy confirmed(m_control.get(), &ColumnSetControl::confirmed);
    click(button.toLatin1().constData());
    QCOMPARE(confirmed.size(), 0);
    if (mode < 0) {
        QCOMPARE(closed.size(), 1);
        QCOMPARE(variant.size(), 0);
        return;
    }
    QCOMPARE(closed.size(), 0);
    QCOMPARE(variant.size(), 1);
    QCOMPARE(variant.at(0).at(0).toInt(), mode);
}

void tst_ColumnSetControl::hostGivesTheControlInTheSessionLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("showHeader");
    QTest::addColumn<QString>("okText");
    QTest::addColumn<QString>("failureLead");
    QTest::newRow("zh-CN") << "zh-CN"
                           << "显示"
                           << "确定"
                           << "栏目设置无法显示：";
    QTest::newRow("en-US") << "en-US"
                           << "Show"
                           << "OK"
                           << "The column settings cannot be shown: ";
}

void tst_ColumnSetControl::hostGivesTheControlInTheSessionLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, showHeader);
    QFETCH(QString, okText);
    QFETCH(QString, failureLead);
    suite::setSessionLanguage(language);
    std::unique_ptr<ColumnSetControl> control
        = HostRegistry::createAs<ColumnSetControl>(QStringLiteral("ColumnSetControl"));
    QVERIFY(control);
    auto *cols = control->findChild<QTableWidget *>("GridCols");
    QCOMPARE(cols->horizontalHeaderItem(0)->text(), showHeader);
    QCOMPARE(control->findChild<QPushButton *>("cmdOK")->text(), okText);
    for (const char *name : {"cmdUp", "cmdDown", "cmdMine", "cmdAll", "cmdDefault", "cmdCancel"})
        QVERIFY2(!control->findChild<QPushButton *>(name)->text().startsWith(u"K2."), name);
    // A failure to show reaches the clerk in his language, the reason after it.
    QString error;
    QVERIFY(!control->Load(QStringLiteral("<ColInfo"), error));
    QVERIFY2(error.startsWith(failureLead) && error.size() > failureLead.size(), qPrintable(error));
}

QTEST_MAIN(tst_ColumnSetControl)
#include "tst_columnsetcontrol.moc"
