// The card's text fields: what each input rule lets in, typed or pasted, what the forbidden
// characters refuse and why, and which changes count as the operator's.

#include "suite/controls/HostEdit.h"
#include "support/FailOnWarnings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "support/TypeText.h"

using perikon::controls::HostEdit;
using Rule = HostEdit::InputRule;

namespace {

using perikon::testing::typeText;

void paste(QLineEdit *edit, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    edit->end(false);
    edit->paste();
}

} // namespace

class tst_HostEdit : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void defaults()
    {
        HostEdit edit;
        QCOMPARE(edit.inputRule(), Rule::Text);
        QCOMPARE(edit.forbiddenCharacters(), QStringLiteral("<"));
        QVERIFY(!edit.allowNegative());
        QVERIFY(edit.tag().isEmpty());
    }

    void takesWhatTheRuleAllows_data()
    {
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<int>("integerDigits");
        QTest::addColumn<int>("decimalDigits");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<QString>("forbidden");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("refused");

        const QString lt = QStringLiteral("<");
        const int wide = 32767;
        // clang-format off
        QTest::newRow("integer digits")
            << Rule::Integer << 5 << 0 << false << lt << wide << "" << "123" << false << "123" << false;
        QTest::newRow("integer letters refused")
            << Rule::Integer << 5 << 0 << false << lt << wide << "" << "1a2" << false << "12" << true;
        QTest::newRow("integer full-width digit refused")
            << Rule::Integer << 5 << 0 << false << lt << wide << "" << QStringLiteral("1２") << false << "1" << true;
        QTest::newRow("integer too many digits")
            << Rule::Integer << 3 << 0 << false << lt << wide << "" << "12345" << false << "123" << true;
        QTest::newRow("integer point refused")
            << Rule::Integer << 5 << 0 << false << lt << wide << "" << "1.5" << false << "15" << true;
        QTest::newRow("minus refused unless allowed")
            << Rule::Integer << 5 << 0 << false << lt << wide << "" << "-5" << false << "5" << true;
        QTest::newRow("leading minus when allowed")
            << Rule::Integer << 3 << 0 << true << lt << wide << "" << "-123" << false << "-123" << false;
        QTest::newRow("minus inside refused")
            << Rule::Integer << 5 << 0 << true << lt << wide << "" << "5-2" << false << "52" << true;
        QTest::newRow("second minus refused")
            << Rule::Integer << 5 << 0 << true << lt << wide << "" << "--5" << false << "-5" << true;
        QTest::newRow("decimal")
            << Rule::Decimal << 5 << 2 << false << lt << wide << "" << "12.34" << false << "12.34" << false;
        QTest::newRow("decimal second point refused")
            << Rule::Decimal << 5 << 2 << false << lt << wide << "" << "1.2.3" << false << "1.23" << true;
        QTest::newRow("decimal too many decimals")
            << Rule::Decimal << 5 << 2 << false << lt << wide << "" << "1.234" << false << "1.23" << true;
        QTest::newRow("decimal too many whole digits")
            << Rule::Decimal << 3 << 2 << false << lt << wide << "" << "1234.5" << false << "123.5" << true;
        QTest::newRow("decimal negative when allowed")
            << Rule::Decimal << 3 << 2 << true << lt << wide << "" << "-0.5" << false << "-0.5" << false;
        QTest::newRow("decimal minus refused unless allowed")
            << Rule::Decimal << 3 << 2 << false << lt << wide << "" << "-0.5" << false << "0.5" << true;
        QTest::newRow("number pasted")
            << Rule::Integer << 5 << 0 << false << lt << wide << "12" << "34" << true << "1234" << false;
        QTest::newRow("non-number pasted refused whole")
            << Rule::Integer << 5 << 0 << false << lt << wide << "12" << "3x" << true << "12" << true;
        QTest::newRow("pasted digits beyond the digits refused")
            << Rule::Integer << 3 << 0 << false << lt << wide << "12" << "34" << true << "12" << true;
        QTest::newRow("pasted decimal")
            << Rule::Decimal << 5 << 2 << false << lt << wide << "1" << ".25" << true << "1.25" << false;
        QTest::newRow("pasted second point refused")
            << Rule::Decimal << 5 << 2 << false << lt << wide << "1.2" << ".5" << true << "1.2" << true;
        QTest::newRow("forbidden typed")
            << Rule::Text << 9 << 2 << false << lt << wide << "" << "a<b" << false << "ab" << true;
        QTest::newRow("forbidden pasted refused whole")
            << Rule::Text << 9 << 2 << false << lt << wide << "ab" << "c<d" << true << "ab" << true;
        QTest::newRow("forbidden in a number edit")
            << Rule::Integer << 5 << 0 << false << lt << wide << "" << "1<" << false << "1" << true;
        QTest::newRow("lifted filter typed")
            << Rule::Text << 9 << 2 << false << QString() << wide << "" << "a<b" << false << "a<b" << false;
        QTest::newRow("lifted filter pasted")
            << Rule::Text << 9 << 2 << false << QString() << wide << "ab" << "<c>" << true << "ab<c>" << false;
        QTest::newRow("other forbidden set")
            << Rule::Text << 9 << 2 << false << "|;" << wide << "" << "a|<;b" << false << "a<b" << true;
        QTest::newRow("chinese text")
            << Rule::Text << 9 << 2 << false << lt << wide << "" << QStringLiteral("张三") << false << QStringLiteral("张三") << false;
        QTest::newRow("max length typed")
            << Rule::Text << 9 << 2 << false << lt << 3 << "" << "abcd" << false << "abc" << false;
        QTest::newRow("max length paste cut to fit")
            << Rule::Text << 9 << 2 << false << lt << 5 << "abc" << "defgh" << true << "abcde" << false;
        QTest::newRow("max length number paste cut to fit")
            << Rule::Integer << 9 << 0 << false << lt << 4 << "12" << "3456" << true << "1234" << false;
        // clang-format on
    }

    void takesWhatTheRuleAllows()
    {
        QFETCH(Rule, rule);
        QFETCH(int, integerDigits);
        QFETCH(int, decimalDigits);
        QFETCH(bool, negative);
        QFETCH(QString, forbidden);
        QFETCH(int, maxLength);
        QFETCH(QString, start);
        QFETCH(QString, input);
        QFETCH(bool, pasted);
        QFETCH(QString, expected);
        QFETCH(bool, refused);

        HostEdit edit;
        edit.setInputRule(rule);
        edit.setIntegerDigits(integerDigits);
        edit.setDecimalDigits(decimalDigits);
        edit.setAllowNegative(negative);
        edit.setForbiddenCharacters(forbidden);
        edit.setMaxLength(maxLength);
        edit.setText(start);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QSignalSpy refusals(&edit, &HostEdit::refused);
        QSignalSpy edits(&edit, &HostEdit::edited);

        if (pasted)
            paste(&edit, input);
        else
            typeText(&edit, input);

        QCOMPARE(edit.text(), expected);
        QCOMPARE(!refusals.isEmpty(), refused);
        for (const QList<QVariant> &refusal : refusals)
            QVERIFY(!refusal.at(0).toString().isEmpty());
        // A refused paste changes nothing, so it is no edit either.
        if (pasted)
            QCOMPARE(edits.size(), expected == start ? 0 : 1);
    }

    void editedOnlyForOperatorChanges()
    {
        HostEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QSignalSpy edits(&edit, &HostEdit::edited);

        edit.setText(QStringLiteral("from code"));
        edit.clear();
        QCOMPARE(edits.size(), 0);

        QTest::keyClicks(&edit, QStringLiteral("ab"));
        QCOMPARE(edits.size(), 2);
        paste(&edit, QStringLiteral("cd"));
        QCOMPARE(edits.size(), 3);
        QTest::keyClick(&edit, '<');
        QCOMPARE(edits.size(), 3);
        edit.selectAll();
        edit.cut();
        QCOMPARE(edit.text(), QString());
        QCOMPARE(edits.size(), 4);
        edit.undo();
        QCOMPARE(edit.text(), QStringLiteral("abcd"));
        QCOMPARE(edits.size(), 5);

        edit.setText(QStringLiteral("again from code"));
        QCOMPARE(edits.size(), 5);
    }

    void tagRoundTrips()
    {
        HostEdit edit;
        edit.setTag(QStringLiteral("C0042"));
        QCOMPARE(edit.property("Tag").toString(), QStringLiteral("C0042"));
        QVERIFY(edit.setProperty("Tag", QStringLiteral("客户")));
        QCOMPARE(edit.tag(), QStringLiteral("客户"));
        // The tag is not the text.
        QVERIFY(edit.text().isEmpty());
    }

    void placeholderFits_data()
    {
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<QString>("text");
        QTest::newRow("english") << "Company name"
                                 << "Northwind Trading";
        QTest::newRow("chinese") << QStringLiteral("公司名称")
                                 << QStringLiteral("北风贸易有限公司");
    }

    // With PERIKON_GRAB_DIR set, the field is also saved as a picture to look at.
    void placeholderFits()
    {
        QFETCH(QString, placeholder);
        QFETCH(QString, text);
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        auto *empty = new HostEdit(&window);
        empty->setPlaceholderText(placeholder);
        auto *filled = new HostEdit(&window);
        filled->setText(text);
        layout->addWidget(empty);
        layout->addWidget(filled);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int room = empty->contentsRect().width() - 4;
        QVERIFY2(empty->fontMetrics().horizontalAdvance(placeholder) <= room,
                 qPrintable(placeholder));
        QVERIFY2(filled->fontMetrics().horizontalAdvance(text) <= room, qPrintable(text));
        const QString dir = qEnvironmentVariable("PERIKON_GRAB_DIR");
        if (!dir.isEmpty())
            QVERIFY(window.grab().save(dir + "/hostedit-" + QTest::currentDataTag() + ".png"));
    }
};

QTEST_MAIN(tst_HostEdit)
#include "tst_hostedit.moc"
