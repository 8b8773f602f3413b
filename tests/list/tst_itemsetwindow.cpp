// The list's column settings as a clerk uses them: the window opens over the operator's
// columns, a confirmed layout is stored when asked and the open list takes it at once either
// way, a refused store is reported and the list still follows the layout, cancelling changes
// nothing, and the contact code stays the list's first column after the marks.

#include "perikon/entry/IContact.h"
#include "perikon/host/contract/ColumnSetControl.h"
#include "perikon/list/ListSession.h"
#include "perikon/list/frmContactList.h"
#include "perikon/list/frmItemSet.h"
#include "perikon/session/SessionGlobals.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteServices.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/SuiteColumnSetService.h"
#include "support/FailOnWarnings.h"
#include "support/ShellPortal.h"
#include "support/SuiteFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <pugixml.hpp>

#include <algorithm>
#include <functional>

using namespace perikon;
using suite::MessageBoxScript;

namespace {

constexpr int kContacts = 12;
const QString kArchive = QStringLiteral("Crm_Contact");

struct ColSet
{
    QString field, caption;
    bool show = false;
};

QList<ColSet> parseColInfo(const QString &xml)
{
    pugi::xml_document document;
    const QByteArray utf8 = xml.toUtf8();
    if (!document.load_buffer(utf8.constData(), utf8.size()))
        return {};
    QList<ColSet> columns;
    for (pugi::xml_node node : document.document_element().children("ColSet")) {
        auto text = [&](const char *name) {
            return QString::fromUtf8(node.attribute(name).value());
        };
        QString caption = text("cCaption");
        if (caption.isEmpty())
            caption = text("cOriginalCaption");
        columns.append({text("cFld"), caption, text("bShow") == u"true"});
    }
    return columns;
}

QStringList shownFields(const QList<ColSet> &columns)
{
    QStringList fields;
    for (const ColSet &column : columns) {
        if (column.show)
            fields.append(column.field);
    }
    return fields;
}

QStringList shownCaptions(const QList<ColSet> &columns)
{
    QStringList captions;
    for (const ColSet &column : columns) {
        if (column.show)
            captions.append(column.caption);
    }
    return captions;
}

// The captions of the list's field columns as the clerk sees them, left to right (the marks and
// the hidden ID left out).
QStringList listHeaders(const frmContactList &window)
{
    const controls::HostGrid *grid = window.grid();
    QList<std::pair<int, int>> placed;
    for (int col = 2; col < grid->Cols(); ++col) {
        if (grid->ColWidth(col) > 0)
            placed.append({grid->ColPosition(col), col});
    }
    std::sort(placed.begin(), placed.end());
    QStringList headers;
    for (const auto &[position, col] : placed)
        headers.append(grid->TextMatrix(0, col));
    return headers;
}

QTableWidget *gridOf(ColumnSetControl &control)
{
    return control.findChild<QTableWidget *>(QStringLiteral("GridCols"));
}

void press(ColumnSetControl &control, const char *button)
{
    auto *found = control.findChild<QAbstractButton *>(QString::fromLatin1(button));
    QVERIFY2(found, button);
    QTest::mouseClick(found, Qt::LeftButton);
}

void toggleRow(ColumnSetControl &control, int row)
{
    gridOf(control)->setCurrentCell(row, 1);
    QTest::keyClick(gridOf(control), Qt::Key_Space);
}

// Hides the second row and brings the fourth up one: a layout unlike the one the list shows.
void rearrange(ColumnSetControl &control)
{
    toggleRow(control, 1);
    gridOf(control)->setCurrentCell(3, 1);
    press(control, "cmdUp");
}

} // namespace

class tst_ItemSetWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensOverTheOperatorsColumns_data();
    void opensOverTheOperatorsColumns();
    void confirmedLayoutReachesTheOpenList_data();
    void confirmedLayoutReachesTheOpenList();
    void cancelAndExitChangeNothing_data();
    void cancelAndExitChangeNothing();
    void variantsReloadTheControl_data();
    void variantsReloadTheControl();
    void codeStaysTheListsSecondColumn_data();
    void codeStaysTheListsSecondColumn();

private:
    frmContactList *showList(const QString &language = QStringLiteral("en-US"));
    // Runs the ItemSet command; `whileOpen` works the window, which is closed after it if still
    // open. False when the window did not open.
    bool runColumnSettings(frmContactList *list,
                           const std::function<void(QDialog &, ColumnSetControl &)> &whileOpen);
    // What a new session of the operator reads as the list's columns.
    QList<ColSet> storedListColumns();

    SuiteFixture m_db;
    std::unique_ptr<IContact> m_contact;
    std::unique_ptr<suite::SuiteLogin> m_login;
    std::unique_ptr<testing::ShellPortal> m_portal;
};

void tst_ItemSetWindow::initTestCase()
{
    suite::registerServices();
    MessageBoxScript::setInteractive(false);
}

void tst_ItemSetWindow::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create(kContacts);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    MessageBoxScript::takeShownMessages();
    m_contact = std::make_unique<IContact>();
}

void tst_ItemSetWindow::cleanup()
{
    if (gListForm)
        delete gListForm.data();
    m_portal.reset();
    m_contact.reset();
    m_login.reset();
    MessageBoxScript::takeShownMessages();
}

frmContactList *tst_ItemSetWindow::showList(const QString &language)
{
    m_login = testing::operatorLogin(m_db, QStringLiteral("admin"), true, language);
    m_portal = std::make_unique<testing::ShellPortal>();
    frmContactList *window = testing::showContactList(*m_contact, m_login.get(), *m_portal);
    MessageBoxScript::takeShownMessages();
    return window;
}

bool tst_ItemSetWindow::runColumnSettings(
    frmContactList *list, const std::function<void(QDialog &, ColumnSetControl &)> &whileOpen)
{
    bool opened = false;
    QTimer::singleShot(0, list, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("frmItemSet"))
            return;
        auto *control = dialog->findChild<ColumnSetControl *>(QStringLiteral("ColSet1"));
        if (!control) {
            dialog->reject();
            return;
        }
        opened = true;
        whileOpen(*dialog, *control);
        if (dialog->isVisible())
            dialog->reject();
    });
    list->Operating(QStringLiteral("ItemSet"));
    return opened;
}

QList<ColSet> tst_ItemSetWindow::storedListColumns()
{
    suite::SuiteColumnSetService service;
    if (!service.Init(m_db.connectionString(), QStringLiteral("admin")))
        return {};
    return parseColInfo(service.getColInfo(kArchive, 1));
}

void tst_ItemSetWindow::opensOverTheOperatorsColumns_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("caption");
    QTest::newRow("zh-CN") << "zh-CN"
                           << "栏目设置";
    QTest::newRow("en-US") << "en-US"
                           << "Column Settings";
}

void tst_ItemSetWindow::opensOverTheOperatorsColumns()
{
    QFETCH(QString, language);
    QFETCH(QString, caption);
    frmContactList *list = showList(language);
    QVERIFY(list);
    QVERIFY(list->findChild<QAction *>(QStringLiteral("mFieldset"))->isVisible());
    const QStringList before = listHeaders(*list);
    QVERIFY(runColumnSettings(list, [&](QDialog &dialog, ColumnSetControl &control) {
        QVERIFY(dialog.isModal());
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(dialog.width(), 700);
        const qreal dpi = dialog.screen()->logicalDotsPerInchY();
        QCOMPARE(dialog.height(), 600 + qRound(400 * dpi / 1440.0));
        // A look at the window as it opens, for whoever asks for one.
        if (const QString dir = qEnvironmentVariable("PERIKON_GRAB_DIR"); !dir.isEmpty())
            dialog.grab().save(dir + QStringLiteral("/frmItemSet-%1.png").arg(language));
        // The control fills the window but for a small margin, and follows it.
        const QRect area = dialog.contentsRect();
        QVERIFY(area.contains(control.geometry()));
        QVERIFY(control.width() > area.width() - 20 && control.height() > area.height() - 20);
        dialog.resize(800, 700);
        QVERIFY(control.width() > dialog.contentsRect().width() - 20);
        // Every column of the archive, the list's own shown and in the list's order.
        const QList<ColSet> rows = parseColInfo(control.colInfo());
        QVERIFY(rows.size() > before.size());
        QCOMPARE(gridOf(control)->rowCount(), int(rows.size()));
        QCOMPARE(shownCaptions(rows), before);
    }));
    QCOMPARE(listHeaders(*list), before);
}

void tst_ItemSetWindow::confirmedLayoutReachesTheOpenList_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("storeRefuses");
    QTest::newRow("stored and shown") << true << false;
    QTest::newRow("shown, not stored") << false << false;
    QTest::newRow("store refused, still shown") << true << true;
}

void tst_ItemSetWindow::confirmedLayoutReachesTheOpenList()
{
    QFETCH(bool, save);
    QFETCH(bool, storeRefuses);
    frmContactList *list = showList();
    QVERIFY(list);
    const QStringList before = listHeaders(*list);
    QList<ColSet> confirmed;
    QList<ColSet> storedWhileOpen;
    QVERIFY(runColumnSettings(list, [&](QDialog &, ColumnSetControl &control) {
        storedWhileOpen = storedListColumns();
        rearrange(control);
        gridOf(control)->item(2, 1)->setText(QStringLiteral("Renamed here"));
        if (!save)
            QTest::mouseClick(control.findChild<QAbstractButton *>(QStringLiteral("chkSave")),
                              Qt::LeftButton);
        if (storeRefuses)
            m_db.exec(QStringLiteral("drop table qz_ColumnLayout"));
        confirmed = parseColInfo(control.colInfo());
        press(control, "cmdOK");
    }));
    const QStringList messages = MessageBoxScript::takeShownMessages();
    QVERIFY(confirmed.size() > 3);
    QVERIFY(shownCaptions(confirmed) != before);
    QVERIFY(shownCaptions(confirmed).contains(QStringLiteral("Renamed here")));
    // The open list shows the confirmed layout at once, stored or not.
    QCOMPARE(listHeaders(*list), shownCaptions(confirmed));
    QVERIFY(list->grid()->Rows() > 1);
    QCOMPARE(parseColInfo(gListColInfoXml).size(), shownFields(confirmed).size());
    if (storeRefuses) {
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().startsWith(QStringLiteral("The column settings were not saved")),
                 qPrintable(messages.first()));
        return;
    }
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'|')));
    const QList<ColSet> stored = storedListColumns();
    if (save) {
        QCOMPARE(shownFields(stored), shownFields(confirmed));
        QCOMPARE(shownCaptions(stored), shownCaptions(confirmed));
    } else {
        QCOMPARE(shownFields(stored), shownFields(storedWhileOpen));
        QVERIFY(shownFields(stored) != shownFields(confirmed));
    }
}

void tst_ItemSetWindow::cancelAndExitChangeNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("cancel button") << "cmdCancel";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("ExitForm") << "ExitForm";
}

void tst_ItemSetWindow::cancelAndExitChangeNothing()
{
    QFETCH(QString, how);
    frmContactList *list = showList();
    QVERIFY(list);
    const QStringList before = listHeaders(*list);
    const QString listInfo = gListColInfoXml;
    QList<ColSet> storedWhileOpen;
    int result = -1;
    QVERIFY(runColumnSettings(list, [&](QDialog &dialog, ColumnSetControl &control) {
        storedWhileOpen = storedListColumns();
        rearrange(control);
        if (how == QLatin1String("cmdCancel"))
            press(control, "cmdCancel");
        else if (how == QLatin1String("Escape"))
            QTest::keyClick(gridOf(control), Qt::Key_Escape);
        else
            QMetaObject::invokeMethod(&dialog, "ExitForm");
        QVERIFY(!dialog.isVisible());
        result = dialog.result();
    }));
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(listHeaders(*list), before);
    QCOMPARE(gListColInfoXml, listInfo);
    QCOMPARE(shownFields(storedListColumns()), shownFields(storedWhileOpen));
    QVERIFY(MessageBoxScript::takeShownMessages().isEmpty());
}

void tst_ItemSetWindow::variantsReloadTheControl_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::newRow("every column") << "cmdAll" << 15;
    QTest::newRow("the default layout") << "cmdDefault" << 2;
    QTest::newRow("the operator's layout") << "cmdMine" << 0;
}

void tst_ItemSetWindow::variantsReloadTheControl()
{
    QFETCH(QString, button);
    QFETCH(int, mode);
    // A layout of the operator's own unlike the default: e-mail first after the code, renamed.
    {
        suite::SuiteColumnSetService service;
        QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("admin")));
        QVERIFY(service.SaveColInfo(
            kArchive, QStringLiteral("<ColInfo cKey='Crm_Contact'>"
                                     "<ColSet cFld='cContactCode' bShow='true' iOrder='1'/>"
                                     "<ColSet cFld='cEmail' cCaption='Mail' bShow='true' "
                                     "iOrder='2'/></ColInfo>")));
    }
    frmContactList *list = showList();
    QVERIFY(list);
    QList<ColSet> shown;
    QVERIFY(runColumnSettings(list, [&](QDialog &, ColumnSetControl &control) {
        rearrange(control);
        press(control, button.toLatin1().constData());
        shown = parseColInfo(control.colInfo());
    }));
    suite::SuiteColumnSetService service;
    QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("admin")));
    const QList<ColSet> expected = parseColInfo(service.getColInfo(kArchive, mode));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(shown.size(), expected.size());
    for (int i = 0; i < shown.size(); ++i) {
        QCOMPARE(shown.at(i).field, expected.at(i).field);
        QCOMPARE(shown.at(i).caption, expected.at(i).caption);
        QCOMPARE(shown.at(i).show, expected.at(i).show);
    }
}

void tst_ItemSetWindow::codeStaysTheListsSecondColumn_data()
{
    QTest::addColumn<QString>("storedLayout");
    QTest::newRow("default layout") << QString();
    QTest::newRow("stored layout with the code last and hidden")
        << "<ColInfo cKey='Crm_Contact'><ColSet cFld='cEmail' bShow='true' iOrder='1'/>"
           "<ColSet cFld='cContactName' bShow='true' iOrder='2'/>"
           "<ColSet cFld='cContactCode' bShow='false' iOrder='3'/></ColInfo>";
}

void tst_ItemSetWindow::codeStaysTheListsSecondColumn()
{
    QFETCH(QString, storedLayout);
    if (!storedLayout.isEmpty()) {
        suite::SuiteColumnSetService service;
        QVERIFY(service.Init(m_db.connectionString(), QStringLiteral("admin")));
        QVERIFY(service.SaveColInfo(kArchive, storedLayout));
    }
    frmContactList *list = showList();
    QVERIFY(list);
    QVERIFY(runColumnSettings(list, [&](QDialog &, ColumnSetControl &control) {
        QTableWidget *rows = gridOf(control);
        // Every way of taking the code out of first place or out of sight.
        toggleRow(control, 0);
        rows->setCurrentCell(0, 1);
        press(control, "cmdDown");
        for (int i = 0; i < rows->rowCount(); ++i) {
            rows->setCurrentCell(rows->rowCount() - 1, 1);
            press(control, "cmdUp");
        }
        rows->setCurrentCell(1, 1);
        press(control, "cmdUp");
        const QList<ColSet> layout = parseColInfo(control.colInfo());
        QCOMPARE(layout.first().field, QStringLiteral("cContactCode"));
        QVERIFY(layout.first().show);
        press(control, "cmdOK");
    }));
    const controls::HostGrid *grid = list->grid();
    QCOMPARE(grid->ColPosition(2), 2);
    QCOMPARE(listHeaders(*list).first(), grid->TextMatrix(0, 2));
    QVERIFY(grid->ColWidth(2) > 0);
    for (int row = 1; row < grid->Rows(); ++row) {
        const QString code = grid->TextMatrix(row, 2);
        QCOMPARE(m_db.count(QStringLiteral("select count(*) from Crm_Contact where "
                                           "cContactCode=N'%1'")
                                .arg(code)),
                 qint64(1));
    }
}

QTEST_MAIN(tst_ItemSetWindow)
#include "tst_itemsetwindow.moc"
