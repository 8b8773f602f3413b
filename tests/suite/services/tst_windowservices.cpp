// The public service's window services: a toolbar built from its definition with the operator's
// rights, and the list grid's columns laid out from the column information.

#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/controls/HostToolbar.h"
#include "suite/services/SuiteColumnSetService.h"
#include "suite/services/SuitePubService.h"
#include "suite/services/ToolbarDefinitions.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QTest>

using namespace perikon;

class tst_WindowServices : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void toolbarFollowsTheRights_data();
    void toolbarFollowsTheRights();
    void unknownToolbarDefinition();
    void everyToolbarCaptionIsTranslated_data();
    void everyToolbarCaptionIsTranslated();
    void columnsFitTheirCaptions();

private:
    SuiteFixture m_db;
};

void tst_WindowServices::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral(
        "insert into qz_UserFunction (cUser_Id, cFuncId) values (N'reader', N'CS020202')"));
}

void tst_WindowServices::toolbarFollowsTheRights_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("admin");
    QTest::addColumn<bool>("refreshAllowed");
    QTest::newRow("administrator") << "admin" << true << true;
    QTest::newRow("clerk with the right") << "reader" << false << true;
    QTest::newRow("clerk without it") << "other" << false << false;
}

void tst_WindowServices::toolbarFollowsTheRights()
{
    QFETCH(QString, user);
    QFETCH(bool, admin);
    QFETCH(bool, refreshAllowed);
    suite::SuiteLogin login;
    login.cUserId = user;
    login.IsAdmin = admin;
    login.qzDBName = m_db.connectionString();
    login.setLanguageRegion(QStringLiteral("en-US"));
    suite::SuitePubService service;
    controls::HostToolbar bar;
    QVERIFY(service.InitToolbar(&bar, QStringLiteral("cs_other_linkmanmanage"),
                                QStringLiteral("cs"), &login));
    QCOMPARE(bar.keys(),
             (QStringList{"Add", "Modify", "Del", "MulModify", "General", "SendMail", "SendMsg",
                          "Filter", "Preview", "Print", "SaveFile", "Refresh", "Help", "Exit"}));
    QCOMPARE(bar.isButtonAllowed(QStringLiteral("Refresh")), refreshAllowed);
    QVERIFY(!bar.isButtonAllowed(QStringLiteral("Del")) || admin); // nobody granted the clerks it
    QVERIFY(bar.isButtonAllowed(QStringLiteral("Help")));          // needs no right
    QCOMPARE(bar.button(QStringLiteral("Refresh"))->text(), QStringLiteral("Refresh"));
}

void tst_WindowServices::unknownToolbarDefinition()
{
    suite::SuitePubService service;
    controls::HostToolbar bar;
    QVERIFY(
        !service.InitToolbar(&bar, QStringLiteral("CS_NoSuchBar"), QStringLiteral("CS"), nullptr));
    QVERIFY(bar.keys().isEmpty());
}

void tst_WindowServices::everyToolbarCaptionIsTranslated_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("definition");
    QTest::addColumn<QString>("language");
    for (const auto &[module, definition] : suite::toolbarDefinitionKeys()) {
        for (const char *language : {"zh-CN", "en-US"}) {
            QTest::addRow("%s %s", qPrintable(definition), language)
                << module << definition << QString::fromLatin1(language);
        }
    }
}

void tst_WindowServices::everyToolbarCaptionIsTranslated()
{
    QFETCH(QString, module);
    QFETCH(QString, definition);
    QFETCH(QString, language);
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("admin");
    login.IsAdmin = true;
    login.qzDBName = m_db.connectionString();
    login.setLanguageRegion(language);
    suite::SuitePubService service;
    controls::HostToolbar bar;
    QVERIFY(service.InitToolbar(&bar, definition, module, &login));
    const auto buttons = suite::toolbarDefinition(module, definition);
    QVERIFY(buttons && !buttons->isEmpty());
    QCOMPARE(bar.keys().size(), buttons->size());
    for (const controls::ToolbarButtonDef &def : *buttons) {
        const QString text = suite::ResourceTexts::text(language, def.captionKey);
        QVERIFY2(!text.isEmpty(), qPrintable(def.captionKey));
        QCOMPARE(bar.button(def.key)->text(), text);
    }
}

void tst_WindowServices::columnsFitTheirCaptions()
{
    suite::SuiteLogin login;
    login.cUserId = QStringLiteral("admin");
    login.IsAdmin = true;
    login.qzDBName = m_db.connectionString();
    login.setLanguageRegion(QStringLiteral("en-US"));
    suite::SuiteColumnSetService columns;
    QVERIFY(columns.Init(m_db.connection(), QStringLiteral("admin")));
    // A layout that is narrower than its caption.
    m_db.exec(QStringLiteral("insert into qz_ColumnLayout (cUser_Id, cKey, cFieldName, cCaption, "
                             "bShow, iWidth, iOrder) values (N'admin', N'crm_contact', "
                             "N'cContactName', N'A rather long caption', 1, 20, 1)"));
    const QString info = columns.getColInfo(QStringLiteral("Crm_Contact"), 1);
    suite::SuitePubService service;
    controls::HostGrid grid;
    QString selectList, orderText, message;
    int fixedCols = 0, reserved = 0;
    QVERIFY2(service.getColSet(info, selectList, fixedCols, orderText, reserved, &grid, message),
             qPrintable(message));
    const QStringList header = grid.headerTexts();
    const int col = int(header.indexOf(QStringLiteral("A rather long caption")));
    QVERIFY2(col > 0, qPrintable(header.join(u'|')));
    QVERIFY(
        grid.ColWidth(col)
        >= QFontMetrics(grid.font()).horizontalAdvance(QStringLiteral("A rather long caption")));
    QVERIFY(selectList.contains(QLatin1String("cContactName"), Qt::CaseInsensitive));
    QVERIFY(!service.getColSet(QStringLiteral("<not xml"), selectList, fixedCols, orderText,
                               reserved, &grid, message));
    QVERIFY(!message.isEmpty());
}

QTEST_MAIN(tst_WindowServices)
#include "tst_windowservices.moc"
