// The operator's filter: the dialog's rows and checks, and the filter service that turns a
// confirmed filter into the list's condition and keeps it for the operator's next filter.

#include "suite/MessageBoxScript.h"
#include "suite/SuiteLogin.h"
#include "suite/services/filter/FilterDialog.h"
#include "suite/services/filter/SuiteFilterService.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace perikon;
using namespace perikon::suite::filter;

namespace {

template<typename T> T *child(QDialog &dialog, const QString &name)
{
    return dialog.findChild<T *>(name);
}

void onDialog(std::function<void(QDialog &)> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            act(*dialog);
    });
}

// Sets row i of the dialog: field and comparison by caption, value typed.
void setRow(QDialog &dialog, int i, const QString &field, const QString &op, const QString &value)
{
    auto *fields = child<QComboBox>(dialog, QStringLiteral("cboField_%1").arg(i));
    fields->setCurrentIndex(fields->findText(field));
    auto *ops = child<QComboBox>(dialog, QStringLiteral("cboOperator_%1").arg(i));
    ops->setCurrentIndex(ops->findText(op));
    auto *edit = child<QLineEdit>(dialog, QStringLiteral("txtValue_%1").arg(i));
    edit->clear();
    if (!value.isEmpty())
        testing::typeText(edit, value);
}

} // namespace

class tst_FilterDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void rowsOfferTheComparisonsOfTheirField();
    void okRefusesAValueItsFieldCannotTake();
    void rowsAreAddedRemovedAndCleared();
    void confirmedFilterSelectsItsContactsAndIsKept();
    void cancelledOrUnknownFilterChangesNothing();

private:
    SuiteFixture m_db;
    std::unique_ptr<suite::SuiteLogin> m_login;
    QList<FilterField> m_fields;
};

void tst_FilterDialog::initTestCase()
{
    suite::MessageBoxScript::setInteractive(false);
}

void tst_FilterDialog::init()
{
    testing::failOnUnexpectedWarnings();
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    m_db.exec(QStringLiteral("insert into Customer (cCusCode, iId, cCusName) values "
                             "(N'C1', 1, N'Acme'), (N'C2', 2, N'O''Neil & Co')"));
    m_db.exec(QStringLiteral(
        "insert into Crm_Contact (OID, cContactCode, cContactName, cCusCode, cConDefine11) values "
        "(N'o1', N'K1', N'Ann', N'C1', 5), (N'o2', N'K2', N'Bob', N'C2', 12), "
        "(N'o3', N'K3', N'Cyd 50%', N'C2', NULL)"));
    m_login = std::make_unique<suite::SuiteLogin>();
    m_login->cUserId = QStringLiteral("wang");
    m_login->qzDBName = m_db.connectionString();
    m_login->setLanguageRegion(QStringLiteral("en-US"));
    m_fields = contactFilterFields(m_db.connection(), QStringLiteral("en-US"));
    QVERIFY(!m_fields.isEmpty());
}

void tst_FilterDialog::rowsOfferTheComparisonsOfTheirField()
{
    FilterDialog dialog(m_fields, {}, QStringLiteral("en-US"));
    QCOMPARE(dialog.rowCount(), 1);
    auto *fields = child<QComboBox>(dialog, "cboField_0");
    auto *ops = child<QComboBox>(dialog, "cboOperator_0");
    auto *value = child<QLineEdit>(dialog, "txtValue_0");
    QVERIFY(fields && ops && value);
    QCOMPARE(fields->count(), int(m_fields.size()));
    for (int i = 0; i < fields->count(); ++i) {
        fields->setCurrentIndex(i);
        QStringList offered;
        for (int j = 0; j < ops->count(); ++j)
            offered << ops->itemText(j);
        QStringList expected;
        for (FilterOperator op : operatorsFor(m_fields.at(i).type))
            expected << operatorCaption(op, QStringLiteral("en-US"));
        QCOMPARE(offered, expected);
    }
    // A comparison without a value takes none.
    fields->setCurrentIndex(0);
    testing::typeText(value, QStringLiteral("x"));
    ops->setCurrentIndex(ops->findText(QStringLiteral("Is empty")));
    QVERIFY(!value->isEnabled());
    QVERIFY(value->text().isEmpty());
}

void tst_FilterDialog::okRefusesAValueItsFieldCannotTake()
{
    const auto number = std::find_if(m_fields.cbegin(), m_fields.cend(), [](const FilterField &f) {
        return f.type == FieldType::Integer || f.type == FieldType::Decimal;
    });
    QVERIFY(number != m_fields.cend());
    FilterDialog dialog(m_fields, {}, QStringLiteral("en-US"));
    setRow(dialog, 0, number->caption, QStringLiteral("Equals"), QStringLiteral("twelve"));
    bool stayed = false;
    QString message;
    onDialog([&](QDialog &shown) {
        QTest::mouseClick(child<QPushButton>(shown, "cmdOK"), Qt::LeftButton);
        stayed = shown.isVisible();
        message = child<QLabel>(shown, "lblMessage")->text();
        // Corrected, it is taken.
        setRow(shown, 0, number->caption, QStringLiteral("Equals"), QStringLiteral("12"));
        QTest::mouseClick(child<QPushButton>(shown, "cmdOK"), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(stayed);
    QVERIFY(message.contains(number->caption));
    QCOMPARE(dialog.filterRows().size(), 1);
    QCOMPARE(dialog.filterRows().first().value, QStringLiteral("12"));
}

void tst_FilterDialog::rowsAreAddedRemovedAndCleared()
{
    FilterDialog dialog(m_fields,
                        {{QStringLiteral("cContactName"), FilterOperator::Contains, "a", true},
                         {QStringLiteral("cContactName"), FilterOperator::Contains, "b", false},
                         {QStringLiteral("cContactName"), FilterOperator::Equals, "", false}},
                        QStringLiteral("en-US"));
    QCOMPARE(dialog.rowCount(), 3);
    // The last row is joined to nothing; a row without the value it needs is not set.
    QVERIFY(!child<QComboBox>(dialog, "cboJoin_2")->isVisibleTo(&dialog));
    QVERIFY(child<QComboBox>(dialog, "cboJoin_0")->isVisibleTo(&dialog));
    QCOMPARE(child<QComboBox>(dialog, "cboJoin_0")->currentText(), QStringLiteral("Or"));
    QCOMPARE(dialog.filterRows().size(), 2);
    // Removing the row the operator is in moves the later ones up.
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    child<QLineEdit>(dialog, "txtValue_0")->setFocus();
    QTRY_VERIFY(child<QLineEdit>(dialog, "txtValue_0")->hasFocus());
    QTest::mouseClick(child<QPushButton>(dialog, "cmdRemoveRow"), Qt::LeftButton);
    QCOMPARE(dialog.rowCount(), 2);
    QCOMPARE(child<QLineEdit>(dialog, "txtValue_0")->text(), QStringLiteral("b"));
    QTest::mouseClick(child<QPushButton>(dialog, "cmdAddRow"), Qt::LeftButton);
    QCOMPARE(dialog.rowCount(), 3);
    // A row added to the shown dialog shows, on the name by default.
    QVERIFY(child<QLineEdit>(dialog, "txtValue_2")->isVisible());
    QVERIFY(child<QComboBox>(dialog, "cboField_2")->isVisible());
    QCOMPARE(child<QComboBox>(dialog, "cboField_2")->currentData().toString().toLower(),
             QStringLiteral("ccontactname"));
    QTest::mouseClick(child<QPushButton>(dialog, "cmdClear"), Qt::LeftButton);
    QCOMPARE(dialog.rowCount(), 0);
    QVERIFY(dialog.filterRows().isEmpty());
    QVERIFY(!child<QPushButton>(dialog, "cmdRemoveRow")->isEnabled());
}

void tst_FilterDialog::confirmedFilterSelectsItsContactsAndIsKept()
{
    const auto customer
        = std::find_if(m_fields.cbegin(), m_fields.cend(), [](const FilterField &f) {
              return f.column.compare(QLatin1String("cCusCode"), Qt::CaseInsensitive) == 0;
          });
    const auto name = std::find_if(m_fields.cbegin(), m_fields.cend(), [](const FilterField &f) {
        return f.column.compare(QLatin1String("cContactName"), Qt::CaseInsensitive) == 0;
    });
    QVERIFY(customer != m_fields.cend() && name != m_fields.cend());
    onDialog([&](QDialog &dialog) {
        // Customer name contains "o'neil" and the contact's name contains "50%".
        setRow(dialog, 0, customer->caption, QStringLiteral("Contains"), QStringLiteral("o'neil"));
        QTest::mouseClick(child<QPushButton>(dialog, "cmdAddRow"), Qt::LeftButton);
        setRow(dialog, 1, name->caption, QStringLiteral("Contains"), QStringLiteral("50%"));
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    });
    SuiteFilterService service;
    QString error;
    QVERIFY2(service.OpenFilter(m_login.get(), QStringLiteral("AA[__]联系人档案"), {}, {}, error),
             qPrintable(error));
    QCOMPARE(m_db.column(QStringLiteral("select cContactCode from v_Crm_Contact Crm_Contact where ")
                         + service.GetSQLWhere()),
             QStringList{"K3"});

    // The next filter of the same operator starts from these rows; another operator's does not.
    QList<QStringList> shown;
    const auto readRows = [&shown](QDialog &dialog) {
        QStringList values;
        for (int i = 0; auto *edit = child<QLineEdit>(dialog, QStringLiteral("txtValue_%1").arg(i));
             ++i)
            values << edit->text();
        shown.append(values);
        dialog.reject();
    };
    onDialog(readRows);
    SuiteFilterService again;
    QVERIFY(!again.OpenFilter(m_login.get(), QStringLiteral("AA[__]联系人档案"), {}, {}, error));
    suite::SuiteLogin other;
    other.cUserId = QStringLiteral("li");
    other.qzDBName = m_db.connectionString();
    onDialog(readRows);
    QVERIFY(!again.OpenFilter(&other, QStringLiteral("AA[__]联系人档案"), {}, {}, error));
    QCOMPARE(shown, (QList<QStringList>{{"o'neil", "50%"}, {""}}));

    // Cleared and confirmed: no condition, and nothing kept.
    onDialog([](QDialog &dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, "cmdClear"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(again.OpenFilter(m_login.get(), QStringLiteral("AA[__]联系人档案"), {}, {}, error));
    QVERIFY(again.GetSQLWhere().trimmed().isEmpty());
    shown.clear();
    onDialog(readRows);
    again.OpenFilter(m_login.get(), QStringLiteral("AA[__]联系人档案"), {}, {}, error);
    QCOMPARE(shown, (QList<QStringList>{{""}}));
}

void tst_FilterDialog::cancelledOrUnknownFilterChangesNothing()
{
    SuiteFilterService service;
    QString error;
    QVERIFY(!service.OpenFilter(m_login.get(), QStringLiteral("AA[__]客户档案"), {}, {}, error));
    QVERIFY(error.contains(QStringLiteral("AA[__]客户档案")));
    onDialog([](QDialog &dialog) {
        setRow(dialog, 0, child<QComboBox>(dialog, "cboField_0")->itemText(0),
               QStringLiteral("Is empty"), {});
        QTest::mouseClick(child<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
    });
    error.clear();
    QVERIFY(!service.OpenFilter(m_login.get(), QStringLiteral("AA[__]联系人档案"), {}, {}, error));
    QVERIFY(!error.isEmpty());
    QVERIFY(service.GetSQLWhere().isEmpty());
    QCOMPARE(
        m_db.count(QStringLiteral("select count(*) from qz_UserSetting where cUser_Id=N'wang'")),
        0);
}

QTEST_MAIN(tst_FilterDialog)
#include "tst_filterdialog.moc"
