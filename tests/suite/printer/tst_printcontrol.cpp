// The suite's print control as a list window uses it: created by name, handed print data and a
// style, its page setup, print, preview and export dialogs driven by object name the way a clerk
// (or an acceptance script) does, and the files the export leaves.

#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/PrintControl.h"
#include "perikon/host/contract/UiHelper.h"
#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/SuiteServices.h"
#include "suite/controls/printer/PrintStyle.h"
#include "support/FailOnWarnings.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace perikon;
using perikon::suite::printer::PrintStyle;

namespace {

QString printData(int rows)
{
    QString xml = QStringLiteral(
        R"(<PrintData title="联系人档案" operator="王芳" account="001" year="2026" date="2026-12-06">)"
        R"(<Columns><Column caption="编码" width="80"/><Column caption="姓名" width="120"/>)"
        R"(<Column caption="电话" width="120"/></Columns><Rows>)");
    for (int r = 0; r < rows; ++r)
        xml += QStringLiteral(
                   "<Row><Cell>%1</Cell><Cell>联系人 %2</Cell><Cell>0755-%2</Cell></Row>")
                   .arg(r, 5, 10, QLatin1Char('0'))
                   .arg(r);
    return xml + QStringLiteral("</Rows></PrintData>");
}

// Runs `act` on the modal window that the next call opens.
void onModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        act(modal);
    });
}

template<typename T> T *child(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("%s has no %s", qPrintable(window->objectName()), name);
    return found;
}

void click(QWidget *window, const char *name)
{
    if (auto *button = child<QPushButton>(window, name))
        QTest::mouseClick(button, Qt::LeftButton);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_PrintControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void isCreatedByNameAsHiddenPrn();
    void dataThatDoesNotParseKeepsWhatWasHeld();
    void dataAndStyleAreReadFromFiles();
    void pageSetupShowsAndChangesTheStyle_data();
    void pageSetupShowsAndChangesTheStyle();
    void pageSetupRefusesMarginsLeavingNoPaper();
    void styleEventHandsTheStyleInTwoTexts();
    void exportWritesTheChosenFormat_data();
    void exportWritesTheChosenFormat();
    void cancelledExportWritesNothing();
    void replacingAFileIsAsked_data();
    void replacingAFileIsAsked();
    void unwritableTargetNamesPathAndReason();
    void browseChoosesTheFile();
    void printGoesToAFile();
    void cancelledPrintPrintsNothing();
    void printThatCannotStartSaysSo();
    void previewOpensOverTheOwnerWithAllPages();
    void dialogsSpeakTheSessionLanguage_data();
    void dialogsSpeakTheSessionLanguage();

private:
    std::unique_ptr<PrintControl> newControl(int rows = 30);
    QString exportThrough(PrintControl &control, const QString &format, const QString &fileName,
                          bool &written);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_window;
};

void tst_PrintControl::initTestCase()
{
    suite::registerServices();
}

void tst_PrintControl::init()
{
    testing::failOnUnexpectedWarnings();
    suite::setSessionLanguage(QStringLiteral("en-US"));
    suite::MessageBoxScript::takeShownMessages();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_window = std::make_unique<QWidget>();
    m_window->setObjectName(QStringLiteral("frmContactList"));
    m_window->resize(800, 600);
    m_window->show();
}

void tst_PrintControl::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

std::unique_ptr<PrintControl> tst_PrintControl::newControl(int rows)
{
    auto control = HostRegistry::createAs<PrintControl>(QStringLiteral("PrintControl"));
    if (!control)
        return nullptr;
    control->setParent(m_window.get());
    if (!control->SetDataStyleXML(printData(rows), false, QString(), false,
                                  QStringLiteral("Default")))
        return nullptr;
    return control;
}

// Exports through the dialog: picks the format, types the name, presses OK.
QString tst_PrintControl::exportThrough(PrintControl &control, const QString &format,
                                        const QString &fileName, bool &written)
{
    onModal([format, fileName](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("PrnExportDialog"));
        child<QComboBox>(dialog, "cboFormat")->setCurrentText(format);
        QLineEdit *name = child<QLineEdit>(dialog, "txtFileName");
        name->clear();
        testing::typeText(name, fileName);
        click(dialog, "cmdOK");
        if (dialog->isVisible()) // kept open: the name was refused
            click(dialog, "cmdCancel");
    });
    QString result = QStringLiteral("<untouched>");
    written = control.ExportToFile(QString(), QString(), QStringLiteral("10,20,20"),
                                   QStringLiteral("10,202,202"), result);
    return result;
}

void tst_PrintControl::isCreatedByNameAsHiddenPrn()
{
    const auto control = newControl();
    QVERIFY(control);
    QCOMPARE(control->objectName(), QStringLiteral("Prn"));
    QVERIFY(!control->isVisible());
    QCOMPARE(m_window->findChild<PrintControl *>(QStringLiteral("Prn")), control.get());
}

void tst_PrintControl::dataThatDoesNotParseKeepsWhatWasHeld()
{
    const auto control = newControl(2);
    QVERIFY(control);
    QVERIFY(!control->SetDataStyleXML(QStringLiteral("<PrintData><Columns>"), false,
                                      QStringLiteral(R"(<PrnStyle paper="A3"/>)"), false,
                                      QStringLiteral("Default")));
    const QString path = m_dir->filePath(QStringLiteral("kept.csv"));
    bool written = false;
    QCOMPARE(exportThrough(*control, QStringLiteral("CSV"), path, written), path);
    QVERIFY(written);
    QVERIFY(readAll(path).contains("00001,联系人 1,0755-1\r\n"));
    // The style came with the refused data: it was not taken either.
    QSignalSpy changed(control.get(), &PrintControl::styleChanged);
    control->TriggerEvent(0);
    QCOMPARE(changed.count(), 1);
    const QString xml = changed[0][0].toString() + changed[0][1].toString();
    QCOMPARE(PrintStyle::parse(xml), PrintStyle());
}

void tst_PrintControl::dataAndStyleAreReadFromFiles()
{
    const QString data = m_dir->filePath(QStringLiteral("data.xml"));
    const QString style = m_dir->filePath(QStringLiteral("style.xml"));
    for (const auto &[path, text] :
         {std::pair{data, printData(3)},
          std::pair{style, QStringLiteral(R"(<PrnStyle paper="A3" orientation="landscape"/>)")}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }
    auto control = HostRegistry::createAs<PrintControl>(QStringLiteral("PrintControl"));
    QVERIFY(control->SetDataStyleXML(data, true, style, true, QStringLiteral("Default")));
    QSignalSpy changed(control.get(), &PrintControl::styleChanged);
    control->TriggerEvent(0);
    const PrintStyle read = PrintStyle::parse(changed[0][0].toString() + changed[0][1].toString());
    QCOMPARE(read.paper, QStringLiteral("A3"));
    QCOMPARE(read.orientation, QPageLayout::Landscape);
    QVERIFY(!control->SetDataStyleXML(m_dir->filePath(QStringLiteral("none.xml")), true, QString(),
                                      false, QStringLiteral("Default")));
}

void tst_PrintControl::pageSetupShowsAndChangesTheStyle_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("OK takes the changes") << true;
    QTest::newRow("Cancel keeps the style") << false;
}

void tst_PrintControl::pageSetupShowsAndChangesTheStyle()
{
    QFETCH(bool, confirm);
    const auto control = newControl();
    QVERIFY(control->SetDataStyleXML(
        printData(3), false,
        QStringLiteral(R"(<PrnStyle paper="Letter" marginTop="12" marginLeft="8" fontSize="10"/>)"),
        false, QStringLiteral("Default")));
    QWidget *parentSeen = nullptr;
    onModal([this, confirm, &parentSeen](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("PrnPageSetup"));
        parentSeen = dialog->parentWidget();
        // It opens on the style held.
        QCOMPARE(child<QComboBox>(dialog, "cboPaper")->currentText(), QStringLiteral("Letter"));
        QVERIFY(child<QRadioButton>(dialog, "optPortrait")->isChecked());
        QCOMPARE(child<QDoubleSpinBox>(dialog, "spnMarginTop")->value(), 12.0);
        QCOMPARE(child<QDoubleSpinBox>(dialog, "spnMarginLeft")->value(), 8.0);
        QCOMPARE(child<QDoubleSpinBox>(dialog, "spnMarginBottom")->value(), 15.0);
        QCOMPARE(child<QDoubleSpinBox>(dialog, "spnMarginRight")->value(), 10.0);

        child<QComboBox>(dialog, "cboPaper")->setCurrentText(QStringLiteral("A3"));
        QTest::mouseClick(child<QRadioButton>(dialog, "optLandscape"), Qt::LeftButton);
        child<QDoubleSpinBox>(dialog, "spnMarginRight")->setValue(22.5);
        click(dialog, confirm ? "cmdOK" : "cmdCancel");
    });
    QCOMPARE(control->PageSetup(), confirm ? 1 : 0);
    QCOMPARE(parentSeen, m_window.get());

    QSignalSpy changed(control.get(), &PrintControl::styleChanged);
    control->TriggerEvent(0);
    const PrintStyle style = PrintStyle::parse(changed[0][0].toString() + changed[0][1].toString());
    QCOMPARE(style.paper, confirm ? QStringLiteral("A3") : QStringLiteral("Letter"));
    QCOMPARE(style.orientation, confirm ? QPageLayout::Landscape : QPageLayout::Portrait);
    QCOMPARE(style.marginRight, confirm ? 22.5 : 10.0);
    QCOMPARE(style.marginTop, 12.0);
    QCOMPARE(style.fontSize, 10.0);
}

void tst_PrintControl::pageSetupRefusesMarginsLeavingNoPaper()
{
    const auto control = newControl();
    bool stayedOpen = false;
    onModal([&stayedOpen](QWidget *dialog) {
        child<QComboBox>(dialog, "cboPaper")->setCurrentText(QStringLiteral("A5"));
        child<QDoubleSpinBox>(dialog, "spnMarginLeft")->setValue(70);
        child<QDoubleSpinBox>(dialog, "spnMarginRight")->setValue(70);
        click(dialog, "cmdOK");
        stayedOpen = dialog->isVisible();
        QVERIFY(child<QLabel>(dialog, "lblMessage")->isVisible());
        QVERIFY(!child<QLabel>(dialog, "lblMessage")->text().isEmpty());
        click(dialog, "cmdCancel");
    });
    QCOMPARE(control->PageSetup(), 0);
    QVERIFY(stayedOpen);
}

void tst_PrintControl::styleEventHandsTheStyleInTwoTexts()
{
    const auto control = newControl();
    const QString style = QStringLiteral(
        R"(<PrnStyle paper="Legal" orientation="landscape" marginTop="5" marginBottom="6" marginLeft="7" marginRight="8" fontSize="12"/>)");
    QVERIFY(control->SetDataStyleXML(printData(1), false, style, false, QStringLiteral("Default")));
    QSignalSpy changed(control.get(), &PrintControl::styleChanged);
    control->TriggerEvent(1); // no such event: nothing happens
    QCOMPARE(changed.count(), 0);
    control->TriggerEvent(0);
    QCOMPARE(changed.count(), 1);
    const QString first = changed[0][0].toString();
    const QString second = changed[0][1].toString();
    QVERIFY(!first.isEmpty() && !second.isEmpty());
    QCOMPARE(PrintStyle::parse(first + second), PrintStyle::parse(style));
}

void tst_PrintControl::exportWritesTheChosenFormat_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written"); // the file name that must appear
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("PDF") << "PDF"
                         << "list.pdf"
                         << "list.pdf" << QByteArray("%PDF");
    QTest::newRow("CSV, extension added")
        << "CSV"
        << "list"
        << "list.csv" << QByteArray("\xEF\xBB\xBF编码,姓名,电话\r\n");
    QTest::newRow("Excel") << "Excel"
                           << "联系人.xlsx"
                           << "联系人.xlsx" << QByteArray("PK");
}

void tst_PrintControl::exportWritesTheChosenFormat()
{
    QFETCH(QString, format);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    const auto control = newControl();
    bool ok = false;
    const QString result = exportThrough(*control, format, m_dir->filePath(typed), ok);
    QVERIFY(ok);
    const QString path = m_dir->filePath(written);
    QCOMPARE(result, QDir::toNativeSeparators(path));
    QVERIFY2(readAll(path).startsWith(start), qPrintable(path));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{written});
    QCOMPARE(suite::MessageBoxScript::takeShownMessages(), QStringList());
}

void tst_PrintControl::cancelledExportWritesNothing()
{
    const auto control = newControl();
    onModal([this](QWidget *dialog) {
        child<QLineEdit>(dialog, "txtFileName")->setText(m_dir->filePath(QStringLiteral("x.pdf")));
        click(dialog, "cmdCancel");
    });
    QString result = QStringLiteral("<untouched>");
    QVERIFY(!control->ExportToFile(QString(), QString(), QString(), QString(), result));
    QCOMPARE(result, QString());
    QVERIFY(QDir(m_dir->path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void tst_PrintControl::replacingAFileIsAsked_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes replaces") << MsgBoxButton::Yes;
    QTest::newRow("No keeps the file") << MsgBoxButton::No;
}

void tst_PrintControl::replacingAFileIsAsked()
{
    QFETCH(int, answer);
    const QString path = m_dir->filePath(QStringLiteral("old.csv"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old content");
    }
    const auto control = newControl();
    suite::MessageBoxScript::queueAnswers({answer});
    bool written = false;
    const QString result = exportThrough(*control, QStringLiteral("CSV"), path, written);
    const QStringList asked = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().contains(QDir::toNativeSeparators(path)), qPrintable(asked.first()));
    const bool replace = answer == MsgBoxButton::Yes;
    QCOMPARE(written, replace);
    QCOMPARE(result, replace ? QDir::toNativeSeparators(path) : QString());
    QCOMPARE(readAll(path).startsWith("\xEF\xBB\xBF"), replace);
}

void tst_PrintControl::unwritableTargetNamesPathAndReason()
{
    const auto control = newControl();
    const QString path = m_dir->filePath(QStringLiteral("no-such-folder/list.xlsx"));
    bool written = true;
    const QString result = exportThrough(*control, QStringLiteral("Excel"), path, written);
    QVERIFY(!written);
    QVERIFY2(result.contains(QDir::toNativeSeparators(path)), qPrintable(result));
    QVERIFY2(result.contains(QLatin1String("No such file or directory")), qPrintable(result));
    QVERIFY(QDir(m_dir->path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void tst_PrintControl::browseChoosesTheFile()
{
    const auto control = newControl();
    const QString chosen = m_dir->filePath(QStringLiteral("chosen.csv"));
    QString nameAfterBrowse;
    onModal([&](QWidget *dialog) {
        child<QComboBox>(dialog, "cboFormat")->setCurrentText(QStringLiteral("CSV"));
        onModal([&](QWidget *files) {
            QCOMPARE(files->objectName(), QStringLiteral("PrnFileDialog"));
            auto *fileDialog = qobject_cast<QFileDialog *>(files);
            QVERIFY(fileDialog);
            fileDialog->selectFile(chosen);
            static_cast<QDialog *>(fileDialog)->accept();
        });
        click(dialog, "cmdBrowse");
        nameAfterBrowse = child<QLineEdit>(dialog, "txtFileName")->text();
        click(dialog, "cmdOK");
    });
    QString result;
    QVERIFY(control->ExportToFile(QString(), QString(), QString(), QString(), result));
    QCOMPARE(nameAfterBrowse, QDir::toNativeSeparators(chosen));
    QCOMPARE(result, QDir::toNativeSeparators(chosen));
    QVERIFY(QFile::exists(chosen));
}

void tst_PrintControl::printGoesToAFile()
{
    const auto control = newControl(300);
    const QString path = m_dir->filePath(QStringLiteral("printed.pdf"));
    QWidget *parentSeen = nullptr;
    onModal([&](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("PrnPrintDialog"));
        parentSeen = dialog->parentWidget();
        auto *print = qobject_cast<QPrintDialog *>(dialog);
        QVERIFY(print);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(path);
        print->done(QDialog::Accepted);
    });
    QVERIFY(control->DoPrint());
    QCOMPARE(parentSeen, m_window.get());
    const QByteArray pdf = readAll(path);
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page/") > 1);
}

void tst_PrintControl::cancelledPrintPrintsNothing()
{
    const auto control = newControl();
    onModal([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
    QVERIFY(!control->DoPrint());
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void tst_PrintControl::printThatCannotStartSaysSo()
{
    const auto control = newControl();
    onModal([this](QWidget *dialog) {
        auto *print = qobject_cast<QPrintDialog *>(dialog);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(m_dir->filePath(QStringLiteral("gone/printed.pdf")));
        print->done(QDialog::Accepted);
    });
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!control->DoPrint());
    const QStringList shown = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(QLatin1String("could not be printed")),
             qPrintable(shown.first()));
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

void tst_PrintControl::previewOpensOverTheOwnerWithAllPages()
{
    const auto control = newControl(400);
    QWidget owner;
    owner.setObjectName(QStringLiteral("frmOwner"));
    owner.show();
    control->SetOwner(&owner);
    int pages = 0;
    QWidget *parentSeen = nullptr;
    onModal([&](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("PrnPreview"));
        parentSeen = dialog->parentWidget();
        auto *view = dialog->findChild<QPrintPreviewWidget *>();
        QVERIFY(view);
        view->updatePreview();
        pages = view->pageCount();
        // With PERIKON_GRAB_DIR set, the preview is saved as a picture for a person to look at.
        if (const QString grabDir = qEnvironmentVariable("PERIKON_GRAB_DIR"); !grabDir.isEmpty()) {
            dialog->resize(900, 1100);
            view->setZoomFactor(1.0);
            dialog->grab().save(grabDir + QStringLiteral("/PrnPreview.png"));
        }
        qobject_cast<QDialog *>(dialog)->reject();
    });
    control->PrintPreview();
    QCOMPARE(parentSeen, &owner);
    // 400 rows at 9 pt on A4 portrait: more than 5 pages, fewer than one page per 30 rows.
    QVERIFY2(pages > 5 && pages < 400 / 30, qPrintable(QString::number(pages)));
}

void tst_PrintControl::dialogsSpeakTheSessionLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("setupTitle");
    QTest::addColumn<QString>("exportTitle");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("zh-CN") << "zh-CN"
                           << "页面设置"
                           << "输出"
                           << "取消";
    QTest::newRow("en-US") << "en-US"
                           << "Page Setup"
                           << "Export"
                           << "Cancel";
}

void tst_PrintControl::dialogsSpeakTheSessionLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, setupTitle);
    QFETCH(QString, exportTitle);
    QFETCH(QString, cancel);
    suite::setSessionLanguage(language);
    const auto control = newControl();
    // With PERIKON_GRAB_DIR set, each dialog is saved as a picture for a person to look at.
    const QString grabDir = qEnvironmentVariable("PERIKON_GRAB_DIR");
    const auto check = [&](QWidget *dialog, const QString &title) {
        QCOMPARE(dialog->windowTitle(), title);
        QCOMPARE(child<QPushButton>(dialog, "cmdCancel")->text(), cancel);
        for (QWidget *w : dialog->findChildren<QWidget *>()) {
            const bool interactive = qobject_cast<QPushButton *>(w) || qobject_cast<QComboBox *>(w)
                                     || qobject_cast<QLineEdit *>(w)
                                     || qobject_cast<QRadioButton *>(w);
            // Line edits inside spin and combo boxes belong to them.
            if (interactive && !qobject_cast<QDoubleSpinBox *>(w->parentWidget())
                && !qobject_cast<QComboBox *>(w->parentWidget()))
                QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
        }
        if (!grabDir.isEmpty())
            dialog->grab().save(grabDir + QLatin1Char('/') + dialog->objectName() + QLatin1Char('-')
                                + language + QStringLiteral(".png"));
        click(dialog, "cmdCancel");
    };
    onModal([&](QWidget *dialog) { check(dialog, setupTitle); });
    QCOMPARE(control->PageSetup(), 0);
    onModal([&](QWidget *dialog) { check(dialog, exportTitle); });
    QString result;
    QVERIFY(!control->ExportToFile(QString(), QString(), QString(), QString(), result));
}

QTEST_MAIN(tst_PrintControl)
#include "tst_printcontrol.moc"
