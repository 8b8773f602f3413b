// The reference editor: which text names a row of its reference and which code it then keeps,
// and which changes leave the reference unchecked.

#include "suite/controls/RefEdit.h"
#include "support/FailOnWarnings.h"
#include "support/TypeText.h"

#include <QSignalSpy>
#include <QTest>

using perikon::controls::RefEdit;
using perikon::controls::RefEntry;
using perikon::controls::RefResolver;

namespace {

// A reference of "code=name" rows answering as a database would: every row whose code or name
// equals the text, codes first. Codes may carry the padding of a fixed-width column.
RefResolver resolverOver(const QStringList &rows)
{
    return [rows](const QString &text) {
        QList<RefEntry> byCode;
        QList<RefEntry> byName;
        for (const QString &row : rows) {
            const RefEntry entry{row.section(u'=', 0, 0), row.section(u'=', 1)};
            if (entry.code.trimmed() == text.trimmed())
                byCode.append(entry);
            else if (entry.name.trimmed() == text.trimmed())
                byName.append(entry);
        }
        return byCode + byName;
    };
}

} // namespace

class tst_RefEdit : public QObject
{
    Q_OBJECT

private slots:
    void init() { perikon::testing::failOnUnexpectedWarnings(); }

    void recheckKeepsTheMatchingCode_data()
    {
        QTest::addColumn<QStringList>("reference");
        QTest::addColumn<QString>("startTag");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("tag");

        const QStringList people{"P01=Zhang San", "P02=Li Si",      "P03=Wang Wu",
                                 "P04=Li Si",     "Li Si=Zhao Liu", QStringLiteral("P05=张三")};
        // clang-format off
        QTest::newRow("code") << people << "" << "P03" << true << "P03";
        QTest::newRow("name") << people << "" << "Wang Wu" << true << "P03";
        QTest::newRow("chinese name") << people << "" << QStringLiteral("张三") << true << "P05";
        QTest::newRow("two rows share the name, a third has it as code")
            << people << "P02" << "Li Si" << true << "Li Si";
        QTest::newRow("two rows share the name")
            << QStringList{"P02=Li Si", "P04=Li Si"} << "P02" << "Li Si" << false << "";
        QTest::newRow("no such row") << people << "P01" << "Nobody" << false << "";
        QTest::newRow("code differs in case") << people << "P01" << "p01" << false << "";
        QTest::newRow("trailing blanks of the text") << people << "" << "P01  " << true << "P01";
        QTest::newRow("padded code") << QStringList{"C1    =Acme"} << "" << "C1" << true << "C1    ";
        QTest::newRow("empty text clears") << people << "P01" << "" << true << "";
        QTest::newRow("blank text clears") << people << "P01" << "   " << true << "";
        // clang-format on
    }

    void recheckKeepsTheMatchingCode()
    {
        QFETCH(QStringList, reference);
        QFETCH(QString, startTag);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, tag);

        RefEdit edit;
        edit.setResolver(resolverOver(reference));
        edit.setTag(startTag);
        edit.setText(text);
        QSignalSpy edited(&edit, &RefEdit::edited);
        QCOMPARE(edit.recheck(), valid);
        QCOMPARE(edit.isValidReference(), valid);
        QCOMPARE(edit.tag(), tag);
        QCOMPARE(edit.text(), text);
        QCOMPARE(edited.count(), 0);
    }

    void withoutResolverEveryTextIsValid()
    {
        RefEdit edit;
        edit.setReferenceKey(QStringLiteral("CusDeliverAdd_AA"));
        QVERIFY(!edit.hasResolver());
        edit.setTag(QStringLiteral("kept"));
        perikon::testing::typeText(&edit, QStringLiteral("Any address"));
        QVERIFY(!edit.isValidReference());
        QVERIFY(edit.recheck());
        QVERIFY(edit.isValidReference());
        QCOMPARE(edit.tag(), QStringLiteral("kept"));
    }

    void typingLeavesTheReferenceUnchecked_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("validAfterRecheck");
        QTest::addColumn<QString>("tagAfterRecheck");

        QTest::newRow("typed another code") << "2" << true << "P02";
        QTest::newRow("typed nonsense") << "x" << false << "";
    }

    void typingLeavesTheReferenceUnchecked()
    {
        QFETCH(QString, typed);
        QFETCH(bool, validAfterRecheck);
        QFETCH(QString, tagAfterRecheck);

        RefEdit edit;
        edit.setResolver(resolverOver({"P01=Zhang San", "P02=Li Si"}));
        QSignalSpy edited(&edit, &RefEdit::edited);
        edit.setReference(QStringLiteral("P01"), QStringLiteral("P0"));
        QVERIFY(edit.isValidReference());
        QCOMPARE(edit.tag(), QStringLiteral("P01"));
        QCOMPARE(edited.count(), 0);

        edit.end(false);
        perikon::testing::typeText(&edit, typed);
        QCOMPARE(edited.count(), 1);
        QVERIFY(!edit.isValidReference());

        QCOMPARE(edit.recheck(), validAfterRecheck);
        QCOMPARE(edit.tag(), tagAfterRecheck);
        QCOMPARE(edited.count(), 1);

        // A load after that is valid again, whatever the text was.
        edit.setReference(QStringLiteral("P01"), QStringLiteral("Zhang San"));
        QVERIFY(edit.isValidReference());
        QCOMPARE(edit.text(), QStringLiteral("Zhang San"));
        QCOMPARE(edited.count(), 1);
    }
};

QTEST_MAIN(tst_RefEdit)
#include "tst_refedit.moc"
