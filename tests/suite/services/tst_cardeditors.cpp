// The public service's card editors: what the card's number and text edits take once set up, how
// wide a caption is made, the must-input look, and the card window's geometry kept per operator.

#include "suite/SuiteLogin.h"
#include "suite/controls/HostEdit.h"
#include "suite/controls/LinkLabel.h"
#include "suite/services/SuitePubService.h"
#include "support/FailOnWarnings.h"
#include "support/SuiteFixture.h"
#include "support/TypeText.h"

#include <QLabel>
#include <QTest>

using namespace perikon;
using controls::HostEdit;

class tst_CardEditors : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void integerLength_data();
    void integerLength();
    void decimalLength_data();
    void decimalLength();
    void forbiddenCharactersLifted_data();
    void forbiddenCharactersLifted();
    void otherWidgetsAreLeftAlone();
    void captionWidthShowsTheText_data();
    void captionWidthShowsTheText();
    void mustInputLooksLikeALink();
    void userItemCaptionsNameTheirEditors();
    void geometryKeptPerOperatorAndWindow_data();
    void geometryKeptPerOperatorAndWindow();

private:
    std::unique_ptr<suite::SuiteLogin> login(const QString &user);
    suite::SuitePubService m_service;
    SuiteFixture m_db;
};

void tst_CardEditors::init()
{
    testing::failOnUnexpectedWarnings();
}

std::unique_ptr<suite::SuiteLogin> tst_CardEditors::login(const QString &user)
{
    auto login = std::make_unique<suite::SuiteLogin>();
    login->cUserId = user;
    login->qzDBName = m_db.connectionString();
    login->setLanguageRegion(QStringLiteral("zh-CN"));
    return login;
}

void tst_CardEditors::integerLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("four digits") << 4 << "123456"
                                 << "1234";
    QTest::newRow("zero means ten") << 0 << "123456789012"
                                    << "1234567890";
    QTest::newRow("negative means ten") << -3 << "123456789012"
                                        << "1234567890";
    QTest::newRow("no point") << 6 << "12.5"
                              << "125";
    QTest::newRow("no letters") << 6 << "a1b2"
                                << "12";
    QTest::newRow("one digit") << 1 << "98"
                               << "9";
}

void tst_CardEditors::integerLength()
{
    QFETCH(int, length);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    HostEdit edit;
    testing::typeText(&edit, QStringLiteral("x1.5"));
    QCOMPARE(edit.text(), QStringLiteral("x1.5")); // a text edit until set up
    edit.clear();
    m_service.SetIntLen(&edit, length);
    testing::typeText(&edit, typed);
    QCOMPARE(edit.text(), shown);
}

void tst_CardEditors::decimalLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ten with two decimals") << 10 << 2 << "12345678.999"
                                           << "1234567.99";
    QTest::newRow("whole length without point") << 10 << 2 << "123456789"
                                                << "1234567";
    QTest::newRow("four decimals") << 8 << 4 << "1234.56789"
                                   << "123.5678";
    QTest::newRow("no decimals") << 5 << 0 << "123456"
                                 << "12345";
    QTest::newRow("zero length means ten") << 0 << 2 << "123456789.123"
                                           << "1234567.12";
    QTest::newRow("no letters") << 6 << 2 << "1a.b5"
                                << "1.5";
}

void tst_CardEditors::decimalLength()
{
    QFETCH(int, length);
    QFETCH(int, decimals);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    HostEdit edit;
    m_service.SetDblLen(&edit, length, decimals);
    testing::typeText(&edit, typed);
    QCOMPARE(edit.text(), shown);
    QVERIFY(edit.text().size() <= (length > 0 ? length : 10));
}

void tst_CardEditors::forbiddenCharactersLifted_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filtered");
    QTest::newRow("less than") << "a<b"
                               << "ab";
    QTest::newRow("tag") << "<b>x</b>"
                         << "b>x/b>";
    QTest::newRow("nothing forbidden") << "R&D"
                                       << "R&D";
}

void tst_CardEditors::forbiddenCharactersLifted()
{
    QFETCH(QString, typed);
    QFETCH(QString, filtered);
    HostEdit edit;
    testing::typeText(&edit, typed);
    QCOMPARE(edit.text(), filtered);
    edit.clear();
    m_service.SetBadStrException(&edit);
    testing::typeText(&edit, typed);
    QCOMPARE(edit.text(), typed);
}

void tst_CardEditors::otherWidgetsAreLeftAlone()
{
    QLineEdit plain;
    m_service.SetIntLen(&plain, 2);
    m_service.SetDblLen(&plain, 4, 1);
    m_service.SetBadStrException(nullptr);
    testing::typeText(&plain, QStringLiteral("abc<"));
    QCOMPARE(plain.text(), QStringLiteral("abc<"));
}

void tst_CardEditors::captionWidthShowsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pointSize");
    QTest::newRow("latin") << "Mobile phone" << 9;
    QTest::newRow("chinese") << "联系人编码" << 9;
    QTest::newRow("mixed, large") << "E-mail 电子邮件" << 20;
    QTest::newRow("empty") << "" << 9;
}

void tst_CardEditors::captionWidthShowsTheText()
{
    QFETCH(QString, text);
    QFETCH(int, pointSize);
    QLabel label(text);
    QFont font = label.font();
    font.setPointSize(pointSize);
    label.setFont(font);
    label.setIndent(3);
    label.setContentsMargins(2, 0, 5, 0);
    const int width = m_service.GetStrLen(text, &label);
    QVERIFY(width >= label.sizeHint().width());
    QVERIFY(width >= label.fontMetrics().horizontalAdvance(text) + 10);
    // The same text twice needs more room; a larger font too.
    QVERIFY(text.isEmpty() || m_service.GetStrLen(text + text, &label) > width);
    font.setPointSize(pointSize * 2);
    label.setFont(font);
    QVERIFY(text.isEmpty() || m_service.GetStrLen(text, &label) > width);
}

void tst_CardEditors::mustInputLooksLikeALink()
{
    QLabel label(QStringLiteral("联系人名称"));
    const QColor plain = label.palette().color(QPalette::Active, QPalette::WindowText);
    controls::LinkLabel link(QStringLiteral("x"));
    link.setLinkLook();
    const QColor linkColor = link.palette().color(QPalette::Active, QPalette::WindowText);
    QVERIFY(plain != linkColor);
    m_service.MustInputColor(&label);
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        QCOMPARE(label.palette().color(group, QPalette::WindowText), linkColor);
    QVERIFY(!label.font().underline());
}

void tst_CardEditors::userItemCaptionsNameTheirEditors()
{
    QWidget window;
    auto *first = new QLabel(QStringLiteral("联系人级别"), &window);
    auto *second = new QLabel(QStringLiteral("&Years && months"), &window);
    auto *notALabel = new QWidget(&window);
    auto *firstEdit = new controls::HostEdit(&window);
    auto *secondEdit = new controls::HostEdit(&window);
    auto *thirdEdit = new controls::HostEdit(&window);
    // More editors than captions: the extra one is left alone, as is a caption that is no label.
    m_service.SetUserDefEle({first, second, notALabel},
                            {firstEdit, secondEdit, thirdEdit, nullptr});
    QCOMPARE(first->buddy(), firstEdit);
    QCOMPARE(second->buddy(), secondEdit);
    QCOMPARE(firstEdit->accessibleName(), QStringLiteral("联系人级别"));
    QCOMPARE(secondEdit->accessibleName(), QStringLiteral("Years & months"));
    QVERIFY(thirdEdit->accessibleName().isEmpty());
}

void tst_CardEditors::geometryKeptPerOperatorAndWindow_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("restored");
    QTest::newRow("same operator and window") << "wang"
                                              << "frmContactEdit" << true;
    QTest::newRow("another operator") << "li"
                                      << "frmContactEdit" << false;
    QTest::newRow("another window") << "wang"
                                    << "frmContactView" << false;
}

void tst_CardEditors::geometryKeptPerOperatorAndWindow()
{
    QFETCH(QString, user);
    QFETCH(QString, window);
    QFETCH(bool, restored);
    const QString error = m_db.create();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QSize initial(320, 240);
    const QSize chosen(640, 480);
    {
        auto wang = login(QStringLiteral("wang"));
        QWidget first;
        first.setObjectName(QStringLiteral("frmContactEdit"));
        first.resize(initial);
        m_service.FrmOptInit(&first, wang.get());
        QCOMPARE(first.size(), initial); // nothing stored yet
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        first.resize(chosen);
        first.close();
        QCOMPARE(m_service.LastError(), QString());
    }
    auto next = login(user);
    QWidget second;
    second.setObjectName(window);
    second.resize(initial);
    m_service.FrmOptInit(&second, next.get());
    QCOMPARE(second.size(), restored ? chosen : initial);
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QCOMPARE(second.size(), restored ? chosen : initial);
}

QTEST_MAIN(tst_CardEditors)
#include "tst_cardeditors.moc"
