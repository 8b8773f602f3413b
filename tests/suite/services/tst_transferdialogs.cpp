// The related-persons and dimension dialogs as the card opens them through the transfer
// services' Show: what they show for a stored contact, what the operator's choices leave in the
// member XML, and that the save stores it so the next opening shows it again.

#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/services/SuiteContactDimensionTransfer.h"
#include "suite/services/SuiteRelatedPersonTransfer.h"
#include "suite/services/TransferDialogXml.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"
#include "support/TypeText.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace perikon;

namespace {

QString personsXml(const QString &code, const QString &right)
{
    return QStringLiteral("<cusstuff> <cContactCode>") + code
           + QStringLiteral("</cContactCode><RW>") + right
           + QStringLiteral("</RW><RowAuthCusR></RowAuthCusR><RowAuthCusW></RowAuthCusW>"
                            "<url>http://crm</url></cusstuff>");
}

QString dimensionXml(const QString &code, const QString &right)
{
    return QStringLiteral("<cusprivilege> <cContactCode>") + code
           + QStringLiteral("</cContactCode><RW>") + right
           + QStringLiteral("</RW><RowAuthCusR></RowAuthCusR><RowAuthCusW></RowAuthCusW>"
                            "<url>http://crm</url></cusprivilege>");
}

// The rows of a grid as "cell|cell|...", a checkable cell as "+" (checked) or "-".
QStringList gridRows(const QTableView *grid)
{
    const QAbstractItemModel *model = grid->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            const QVariant check = index.data(Qt::CheckStateRole);
            cells << (check.isValid() ? (check.toInt() == Qt::Checked ? QStringLiteral("+")
                                                                      : QStringLiteral("-"))
                                      : index.data().toString());
        }
        rows << cells.join(u'|');
    }
    return rows;
}

// The first cell of every row.
QStringList gridCodes(const QTableView *grid)
{
    QStringList codes;
    for (int row = 0; row < grid->model()->rowCount(); ++row)
        codes << grid->model()->index(row, 0).data().toString();
    return codes;
}

void clickRow(QTableView *grid, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void doubleClickRow(QTableView *grid, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    // A double click follows a press and release on the same spot, as the view expects it.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// The operator's part: `act` runs on the dialog Show opens, which is closed with Cancel if `act`
// leaves it open. `seen` stays false when no dialog of that name opened.
void whenDialogOpens(const QString &name, bool &seen, std::function<void(QDialog &)> act)
{
    QTimer::singleShot(0, qApp, [name, &seen, act = std::move(act)] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (dialog->objectName() == name) {
            seen = true;
            act(*dialog);
        }
        if (dialog->isVisible())
            dialog->reject();
    });
}

template<typename T> T *child(QDialog &dialog, const char *name)
{
    return dialog.findChild<T *>(QString::fromLatin1(name));
}

} // namespace

class tst_TransferDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void relatedPersonsPreloadChooseAndStore();
    void relatedPersonsRemovedEntirelyStayRemoved();
    void cancelLeavesXmlAndResult_data();
    void cancelLeavesXmlAndResult();
    void viewOnlyRightOffersNoChange_data();
    void viewOnlyRightOffersNoChange();
    void rowsOfAnEarlierOkAreShownNotTheStoredOnes();

    void dimensionsPreloadGrantAndStore();
    void dimensionsBuiltFromStoredGrantsAreShownAsGiven();

    void unusableInputOpensNoDialog_data();
    void unusableInputOpensNoDialog();

private:
    struct ShowResult
    {
        QString xml;
        bool result = false;
    };
    ShowResult show(ContactTransferService &service, const QString &xml, bool result = false);
    bool save(ContactTransferService &service, const char *child, const QString &xml);
    QStringList storedUsers(const QString &code);
    QStringList storedGrants(const QString &code);

    SuiteFixture m_db;
    std::unique_ptr<DataAccessStub> m_dataAccess;
};

void tst_TransferDialogs::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("insert into qzsystem..UA_User (cUser_Id, cUser_Name, bDisabled) "
                             "values (N'zhang', N'张三', 0), (N'li', N'李四', 0), "
                             "(N'o''neil', N'O''Neil & Co', 0), (N'gone', N'离职', 1)"));
    m_db.exec(QStringLiteral("insert into crm_contact_User (Contact_Id, User_Id, iUserType) values "
                             "(N'C''01', N'zhang', 0), (N'C02', N'li', 0)"));
    m_db.exec(QStringLiteral("insert into Department (cDepCode, cDepName) values "
                             "(N'D01', N'销售部'), (N'D02', N'市场部')"));
    m_db.exec(QStringLiteral(
        "insert into crm_contact_Auth (Contact_Id, Privilege_Type, Privilege_ID) values "
        "(N'C''01', 0, N'D01'), (N'C''01', 1, N'03'), (N'C02', 2, N'01')"));
    m_dataAccess = std::make_unique<DataAccessStub>(&m_db.connection());
}

tst_TransferDialogs::ShowResult tst_TransferDialogs::show(ContactTransferService &service,
                                                          const QString &xml, bool result)
{
    ShowResult shown{xml, result};
    bool sessionFlag = true;
    service.Show(nullptr, nullptr, m_dataAccess.get(), nullptr, nullptr, shown.xml, shown.result,
                 sessionFlag, nullptr);
    if (!sessionFlag)
        shown.xml = QStringLiteral("session flag changed");
    return shown;
}

// Runs the save step over a contact row carrying `xml` as its child.
bool tst_TransferDialogs::save(ContactTransferService &service, const char *child,
                               const QString &xml)
{
    pugi::xml_document document;
    const QString row = QStringLiteral("<crm_contact><ccontactcode>C'01</ccontactcode>") + xml
                        + QStringLiteral("</crm_contact>");
    if (!document.load_string(row.toUtf8().constData()))
        return false;
    pugi::xml_node element = document.document_element();
    if (!element.child(child))
        return false;
    int opt = 2;
    QObject *com = m_dataAccess.get();
    QString message;
    const bool ok = service.Trans(opt, element, com, message);
    if (!ok)
        qWarning("save refused: %s", qPrintable(message));
    return ok;
}

QStringList tst_TransferDialogs::storedUsers(const QString &code)
{
    return m_db.column(QStringLiteral("select User_Id from crm_contact_User where Contact_Id=N'")
                       + QString(code).replace(u'\'', QStringLiteral("''"))
                       + QStringLiteral("' order by User_Id"));
}

QStringList tst_TransferDialogs::storedGrants(const QString &code)
{
    QStringList grants;
    const auto cursor = m_db.connection().openCursor(
        QStringLiteral("select Privilege_Type, Privilege_ID from crm_contact_Auth where "
                       "Contact_Id=N'")
        + QString(code).replace(u'\'', QStringLiteral("''"))
        + QStringLiteral("' order by Privilege_Type, Privilege_ID"));
    while (cursor && cursor->next())
        grants << cursor->value(0).toString() + u':' + cursor->value(1).toString();
    return grants;
}

void tst_TransferDialogs::relatedPersonsPreloadChooseAndStore()
{
    suite::SuiteRelatedPersonTransfer service;
    bool seen = false;
    QStringList chosenAtStart, availableAtStart, availableFiltered, availableAfter, chosenAfter;
    bool addEnabledAtStart = true, removeEnabledAtStart = true, addEnabledFiltered = false;
    whenDialogOpens(QStringLiteral("RelatedPersonDialog"), seen, [&](QDialog &dialog) {
        auto *filter = child<QLineEdit>(dialog, "RelFilter");
        auto *available = child<QTableView>(dialog, "RelAvailable");
        auto *chosen = child<QTableView>(dialog, "RelChosen");
        auto *add = child<QPushButton>(dialog, "RelAdd");
        auto *remove = child<QPushButton>(dialog, "RelRemove");
        auto *ok = child<QPushButton>(dialog, "RelOK");
        if (!filter || !available || !chosen || !add || !remove || !ok
            || !child<QPushButton>(dialog, "RelCancel"))
            return;
        QAbstractItemModelTester availableTester(available->model());
        QAbstractItemModelTester chosenTester(chosen->model());
        chosenAtStart = gridRows(chosen);
        availableAtStart = gridRows(available);
        addEnabledAtStart = add->isEnabled();
        removeEnabledAtStart = remove->isEnabled();

        testing::typeText(filter, QStringLiteral("李"));
        availableFiltered = gridRows(available);
        addEnabledFiltered = add->isEnabled();
        QTest::mouseClick(add, Qt::LeftButton);
        filter->clear();
        // O'Neil by a double click, then made read-only in the grid.
        doubleClickRow(available, int(gridCodes(available).indexOf(QStringLiteral("o'neil"))));
        availableAfter = gridCodes(available);
        chosen->setCurrentIndex(chosen->model()->index(2, 2));
        QTest::keyClick(chosen, Qt::Key_Space);
        chosenAfter = gridRows(chosen);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    const ShowResult shown = show(service, personsXml(QStringLiteral("C'01"), QStringLiteral("1")));
    QVERIFY(seen);
    QCOMPARE(chosenAtStart, QStringList{"zhang|张三|+"});
    // Disabled users and those already bound are not offered.
    QCOMPARE(availableAtStart, (QStringList{"admin|系统管理员", "li|李四", "o'neil|O'Neil & Co"}));
    QVERIFY(!addEnabledAtStart);
    QVERIFY(!removeEnabledAtStart);
    QCOMPARE(availableFiltered, QStringList{"li|李四"});
    QVERIFY(addEnabledFiltered);
    QCOMPARE(availableAfter, QStringList{"admin"});
    QCOMPARE(chosenAfter, (QStringList{"zhang|张三|+", "li|李四|+", "o'neil|O'Neil & Co|-"}));

    QVERIFY(shown.result);
    const std::optional<suite::RelatedPersonsMember> written
        = suite::readRelatedPersonsXml(shown.xml);
    QVERIFY(written);
    QCOMPARE(written->contactCode, QStringLiteral("C'01"));
    QCOMPARE(written->rows, (QList<suite::RelatedPerson>{
                                {"zhang", "", true}, {"li", "", true}, {"o'neil", "", false}}));
    QVERIFY(shown.xml.contains(QStringLiteral("<bedited>1</bedited>")));

    QVERIFY(save(service, "cusstuff", shown.xml));
    QCOMPARE(storedUsers(QStringLiteral("C'01")), (QStringList{"li", "o'neil", "zhang"}));
    QCOMPARE(storedUsers(QStringLiteral("C02")), QStringList{"li"});

    // The next card session shows what was stored, each user with its right.
    QStringList preloaded;
    whenDialogOpens(QStringLiteral("RelatedPersonDialog"), seen, [&](QDialog &dialog) {
        preloaded = gridRows(child<QTableView>(dialog, "RelChosen"));
    });
    show(service, personsXml(QStringLiteral("C'01"), QStringLiteral("1")));
    QCOMPARE(preloaded, (QStringList{"li|李四|+", "o'neil|O'Neil & Co|-", "zhang|张三|+"}));
}

void tst_TransferDialogs::relatedPersonsRemovedEntirelyStayRemoved()
{
    suite::SuiteRelatedPersonTransfer service;
    bool seen = false;
    whenDialogOpens(QStringLiteral("RelatedPersonDialog"), seen, [](QDialog &dialog) {
        auto *chosen = child<QTableView>(dialog, "RelChosen");
        clickRow(chosen, 0);
        QTest::mouseClick(child<QPushButton>(dialog, "RelRemove"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "RelOK"), Qt::LeftButton);
    });
    const ShowResult shown = show(service, personsXml(QStringLiteral("C'01"), QStringLiteral("1")));
    QVERIFY(seen);
    QVERIFY(shown.result);
    QVERIFY(save(service, "cusstuff", shown.xml));
    QVERIFY(storedUsers(QStringLiteral("C'01")).isEmpty());

    // Opened again in the same card session, the emptied list is not refilled from the tables.
    QStringList shownAgain{QStringLiteral("not opened")};
    whenDialogOpens(QStringLiteral("RelatedPersonDialog"), seen, [&](QDialog &dialog) {
        shownAgain = gridRows(child<QTableView>(dialog, "RelChosen"));
    });
    m_db.exec(QStringLiteral("insert into crm_contact_User (Contact_Id, User_Id) values "
                             "(N'C''01', N'li')"));
    show(service, shown.xml);
    QCOMPARE(shownAgain, QStringList{});
}

void tst_TransferDialogs::cancelLeavesXmlAndResult_data()
{
    QTest::addColumn<bool>("persons");
    QTest::addColumn<bool>("result");
    QTest::newRow("related persons") << true << false;
    QTest::newRow("related persons, earlier OK") << true << true;
    QTest::newRow("dimensions") << false << false;
    QTest::newRow("dimensions, earlier OK") << false << true;
}

void tst_TransferDialogs::cancelLeavesXmlAndResult()
{
    QFETCH(bool, persons);
    QFETCH(bool, result);
    suite::SuiteRelatedPersonTransfer personService;
    suite::SuiteContactDimensionTransfer dimensionService;
    ContactTransferService &service
        = persons ? static_cast<ContactTransferService &>(personService) : dimensionService;
    const QString xml = persons ? personsXml(QStringLiteral("C'01"), QStringLiteral("1"))
                                : dimensionXml(QStringLiteral("C'01"), QStringLiteral("1"));
    bool seen = false;
    whenDialogOpens(
        persons ? QStringLiteral("RelatedPersonDialog") : QStringLiteral("DimensionDialog"), seen,
        [persons](QDialog &dialog) {
            // A change first, then Cancel.
            auto *chosen = child<QTableView>(dialog, persons ? "RelChosen" : "DimChosen");
            clickRow(chosen, 0);
            QTest::mouseClick(child<QPushButton>(dialog, persons ? "RelRemove" : "DimRemove"),
                              Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(dialog, persons ? "RelCancel" : "DimCancel"),
                              Qt::LeftButton);
        });
    const ShowResult shown = show(service, xml, result);
    QVERIFY(seen);
    QCOMPARE(shown.xml, xml);
    QCOMPARE(shown.result, result);
}

void tst_TransferDialogs::viewOnlyRightOffersNoChange_data()
{
    QTest::addColumn<bool>("persons");
    QTest::newRow("related persons") << true;
    QTest::newRow("dimensions") << false;
}

void tst_TransferDialogs::viewOnlyRightOffersNoChange()
{
    QFETCH(bool, persons);
    suite::SuiteRelatedPersonTransfer personService;
    suite::SuiteContactDimensionTransfer dimensionService;
    ContactTransferService &service
        = persons ? static_cast<ContactTransferService &>(personService) : dimensionService;
    const QString xml = persons ? personsXml(QStringLiteral("C'01"), QStringLiteral("0"))
                                : dimensionXml(QStringLiteral("C'01"), QStringLiteral("0"));
    const QString prefix = persons ? QStringLiteral("Rel") : QStringLiteral("Dim");
    bool seen = false;
    QStringList enabled;
    int shownRows = -1;
    bool cancelIsDefault = false;
    whenDialogOpens(
        persons ? QStringLiteral("RelatedPersonDialog") : QStringLiteral("DimensionDialog"), seen,
        [&](QDialog &dialog) {
            for (const char *name :
                 {"Filter", "Add", "Remove", "OK", "Cancel", "Available", "Values", "Type"}) {
                auto *widget = dialog.findChild<QWidget *>(prefix + QLatin1String(name));
                if (widget && widget->isEnabled())
                    enabled << QLatin1String(name);
            }
            auto *chosen = dialog.findChild<QTableView *>(prefix + QLatin1String("Chosen"));
            shownRows = chosen->model()->rowCount();
            auto *ok = dialog.findChild<QPushButton *>(prefix + QLatin1String("OK"));
            auto *cancel = dialog.findChild<QPushButton *>(prefix + QLatin1String("Cancel"));
            cancelIsDefault = cancel->isDefault();
            QTest::mouseClick(ok, Qt::LeftButton);
            // Enter answers like Cancel.
            if (dialog.isVisible())
                QTest::keyClick(&dialog, Qt::Key_Return);
        });
    const ShowResult shown = show(service, xml);
    QVERIFY(seen);
    QCOMPARE(enabled, QStringList{"Cancel"});
    // What is stored is still shown.
    QCOMPARE(shownRows, persons ? 1 : 2);
    QVERIFY(cancelIsDefault);
    QCOMPARE(shown.xml, xml);
    QVERIFY(!shown.result);
}

void tst_TransferDialogs::rowsOfAnEarlierOkAreShownNotTheStoredOnes()
{
    suite::SuiteRelatedPersonTransfer service;
    const QString xml = QStringLiteral(
        "<cusstuff> <cContactCode>C'01</cContactCode><RW>1</RW><RowAuthCusR></RowAuthCusR>"
        "<RowAuthCusW></RowAuthCusW><url>http://crm</url><row><cuser_id>gone</cuser_id>"
        "<iright>0</iright></row><row><cuser_id>li</cuser_id><iright>1</iright></row>"
        "<bedited>1</bedited></cusstuff>");
    bool seen = false;
    QStringList chosenRows, availableCodes;
    whenDialogOpens(QStringLiteral("RelatedPersonDialog"), seen, [&](QDialog &dialog) {
        chosenRows = gridRows(child<QTableView>(dialog, "RelChosen"));
        availableCodes = gridCodes(child<QTableView>(dialog, "RelAvailable"));
    });
    show(service, xml);
    QVERIFY(seen);
    // Names come from the users; a disabled user stays bound until removed.
    QCOMPARE(chosenRows, (QStringList{"gone|离职|-", "li|李四|+"}));
    QCOMPARE(availableCodes, (QStringList{"admin", "o'neil", "zhang"}));
}

void tst_TransferDialogs::dimensionsPreloadGrantAndStore()
{
    suite::SuiteContactDimensionTransfer service;
    bool seen = false;
    QStringList types, chosenAtStart, departmentsOffered, regionsOffered, regionsFiltered,
        chosenAfter;
    whenDialogOpens(QStringLiteral("DimensionDialog"), seen, [&](QDialog &dialog) {
        auto *type = child<QComboBox>(dialog, "DimType");
        auto *filter = child<QLineEdit>(dialog, "DimFilter");
        auto *values = child<QTableView>(dialog, "DimValues");
        auto *chosen = child<QTableView>(dialog, "DimChosen");
        auto *add = child<QPushButton>(dialog, "DimAdd");
        auto *remove = child<QPushButton>(dialog, "DimRemove");
        auto *ok = child<QPushButton>(dialog, "DimOK");
        if (!type || !filter || !values || !chosen || !add || !remove || !ok
            || !child<QPushButton>(dialog, "DimCancel"))
            return;
        QAbstractItemModelTester valuesTester(values->model());
        QAbstractItemModelTester chosenTester(chosen->model());
        for (int i = 0; i < type->count(); ++i)
            types << type->itemData(i).toString() + u':' + type->itemText(i);
        chosenAtStart = gridRows(chosen);
        departmentsOffered = gridRows(values);

        type->setCurrentIndex(type->findData(QStringLiteral("1")));
        regionsOffered = gridCodes(values);
        testing::typeText(filter, QStringLiteral("华东"));
        regionsFiltered = gridRows(values);
        QTest::keyClick(filter, Qt::Key_Return); // grants the one value left
        filter->clear();
        // The stored department is replaced by the other one.
        clickRow(chosen, 0);
        QTest::mouseClick(remove, Qt::LeftButton);
        type->setCurrentIndex(0);
        doubleClickRow(values, int(gridCodes(values).indexOf(QStringLiteral("D02"))));
        chosenAfter = gridRows(chosen);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    const ShowResult shown
        = show(service, dimensionXml(QStringLiteral("C'01"), QStringLiteral("1")));
    QVERIFY(seen);
    QCOMPARE(types, (QStringList{"0:部门", "1:区域", "2:行业", "3:产品线", "4:渠道"}));
    QCOMPARE(chosenAtStart, (QStringList{"部门|D01|销售部", "区域|03|华南"}));
    QCOMPARE(departmentsOffered, QStringList{"D02|市场部"});
    QCOMPARE(regionsOffered, (QStringList{"01", "02", "04"}));
    QCOMPARE(regionsFiltered, QStringList{"02|华东"});
    QCOMPARE(chosenAfter, (QStringList{"区域|03|华南", "区域|02|华东", "部门|D02|市场部"}));

    QVERIFY(shown.result);
    const std::optional<suite::DimensionMember> written = suite::readDimensionXml(shown.xml);
    QVERIFY(written);
    QCOMPARE(written->rows, (QList<suite::DimensionGrant>{{"1", "区域", "03", "华南"},
                                                          {"1", "区域", "02", "华东"},
                                                          {"0", "部门", "D02", "市场部"}}));
    QCOMPARE(shown.xml.count(QStringLiteral("<btextdata>1</btextdata>")), 1);

    QVERIFY(save(service, "cusprivilege", shown.xml));
    QCOMPARE(storedGrants(QStringLiteral("C'01")), (QStringList{"0:D02", "1:02", "1:03"}));
    QCOMPARE(storedGrants(QStringLiteral("C02")), QStringList{"2:01"});

    QStringList preloaded;
    whenDialogOpens(QStringLiteral("DimensionDialog"), seen, [&](QDialog &dialog) {
        preloaded = gridRows(child<QTableView>(dialog, "DimChosen"));
    });
    show(service, dimensionXml(QStringLiteral("C'01"), QStringLiteral("1")));
    QCOMPARE(preloaded, (QStringList{"部门|D02|市场部", "区域|02|华东", "区域|03|华南"}));
}

void tst_TransferDialogs::dimensionsBuiltFromStoredGrantsAreShownAsGiven()
{
    // The card's dimension check hands over the grants it read, here with a name of its own and
    // a row without names, which the dialog completes from the catalogue.
    const QString xml = QStringLiteral(
        "<cusprivilege> <ccuscode>C'01</ccuscode><RW>1</RW><url>http://crm</url>"
        "<row>  <privilege_type>0</privilege_type> <cadtname>Dept</cadtname> "
        "<privilege_id>D02</privilege_id> <cadname>Mkt</cadname>  </row>"
        "<row><privilege_type>2</privilege_type><privilege_id>04</privilege_id></row>"
        "<btextdata>1</btextdata></cusprivilege>");
    suite::SuiteContactDimensionTransfer service;
    bool seen = false;
    QStringList chosenRows, departmentsOffered;
    whenDialogOpens(QStringLiteral("DimensionDialog"), seen, [&](QDialog &dialog) {
        chosenRows = gridRows(child<QTableView>(dialog, "DimChosen"));
        departmentsOffered = gridCodes(child<QTableView>(dialog, "DimValues"));
        QTest::mouseClick(child<QPushButton>(dialog, "DimOK"), Qt::LeftButton);
    });
    const ShowResult shown = show(service, xml);
    QVERIFY(seen);
    QCOMPARE(chosenRows, (QStringList{"Dept|D02|Mkt", "行业|04|教育"}));
    QCOMPARE(departmentsOffered, QStringList{"D01"});
    QVERIFY(shown.result);
    QVERIFY(shown.xml.startsWith(QStringLiteral("<cusprivilege><ccuscode>C'01</ccuscode>")));
}

void tst_TransferDialogs::unusableInputOpensNoDialog_data()
{
    QTest::addColumn<bool>("persons");
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("message");
    QTest::newRow("related persons, no XML") << true << "<cusstuff><RW>1</RW>" << true << "XML";
    QTest::newRow("related persons, no connection")
        << true << personsXml("C01", "1") << false << "connection";
    QTest::newRow("dimensions, no XML") << false << "cusprivilege" << true << "XML";
    QTest::newRow("dimensions, no connection")
        << false << dimensionXml("C01", "1") << false << "connection";
}

void tst_TransferDialogs::unusableInputOpensNoDialog()
{
    QFETCH(bool, persons);
    QFETCH(QString, xml);
    QFETCH(bool, connected);
    QFETCH(QString, message);
    suite::setSessionLanguage(QStringLiteral("en-US"));
    suite::MessageBoxScript::takeShownMessages();
    suite::SuiteRelatedPersonTransfer personService;
    suite::SuiteContactDimensionTransfer dimensionService;
    ContactTransferService &service
        = persons ? static_cast<ContactTransferService &>(personService) : dimensionService;
    if (!connected)
        m_dataAccess->m_cnn = nullptr;
    bool seen = false;
    whenDialogOpens(persons ? QStringLiteral("RelatedPersonDialog")
                            : QStringLiteral("DimensionDialog"),
                    seen, [](QDialog &) {});
    const ShowResult shown = show(service, xml);
    // Let a dialog that did open be seen and closed before looking.
    QCoreApplication::processEvents();
    suite::setSessionLanguage(QStringLiteral("zh-CN"));
    QVERIFY(!seen);
    QCOMPARE(shown.xml, xml);
    QVERIFY(!shown.result);
    const QStringList shownMessages = suite::MessageBoxScript::takeShownMessages();
    QCOMPARE(shownMessages.size(), 1);
    QVERIFY2(shownMessages.first().contains(message), qPrintable(shownMessages.first()));
}

QTEST_MAIN(tst_TransferDialogs)
#include "tst_transferdialogs.moc"
