#include "GoldenCases.h"

#include "perikon/data/db/SqlTokenizer.h"

#include <QTest>

using namespace perikon::db;
using namespace Qt::StringLiterals;

class TestSqlTokenizer : public QObject
{
    Q_OBJECT

private slots:
    void joinedTokensGiveTheTextBack_data();
    void joinedTokensGiveTheTextBack();
    void splitsIntoTokens_data();
    void splitsIntoTokens();
    void literalValuesAndNames_data();
    void literalValuesAndNames();
};

void TestSqlTokenizer::joinedTokensGiveTheTextBack_data()
{
    QTest::addColumn<QString>("text");
    const auto cases = loadGoldenCases(QStringLiteral(PERIKON_TEST_SOURCE_DIR) + u"/golden"_s);
    QVERIFY(!cases.empty());
    for (const GoldenCase &c : cases)
        QTest::addRow("%s", qPrintable(c.name)) << c.sqlServer;
    QTest::newRow("unterminated string") << u"select N'abc"_s;
    QTest::newRow("unterminated bracket") << u"select [abc"_s;
    QTest::newRow("unterminated comment") << u"select 1 /* open /* nested */"_s;
    QTest::newRow("crlf and tabs") << u"select\t1\r\n from\r\n\tx"_s;
    QTest::newRow("odd characters") << u"select $1, ?, {x} from t where a !< 2"_s;
    QTest::newRow("surrogate pairs") << u"select N'𠀋𠀌' as [𠀋]"_s;
}

void TestSqlTokenizer::joinedTokensGiveTheTextBack()
{
    QFETCH(QString, text);
    QString joined;
    for (const SqlToken &token : SqlTokenizer::tokenize(text)) {
        QVERIFY(!token.text.isEmpty());
        joined += token.text;
    }
    QCOMPARE(joined.toUtf8(), text.toUtf8());
}

void TestSqlTokenizer::splitsIntoTokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("significant"); // kind letter + text of each non-blank token

    // W word, Q quoted name, S string, N number, O operator, P punctuation, C comment
    QTest::newRow("national string with doubled quote")
        << u"cName=N'O''Brien'"_s << QStringList{u"W:cName"_s, u"O:="_s, u"S:N'O''Brien'"_s};
    QTest::newRow("word starting with n is no string")
        << u"name='x'"_s << QStringList{u"W:name"_s, u"O:="_s, u"S:'x'"_s};
    QTest::newRow("keywords inside literals and names stay inside")
        << u"[select top] , N'top 5' -- top 1\n"_s
        << QStringList{u"Q:[select top]"_s, u"P:,"_s, u"S:N'top 5'"_s, u"C:-- top 1"_s};
    QTest::newRow("database dots")
        << u"tempdb..sysobjects"_s
        << QStringList{u"W:tempdb"_s, u"P:."_s, u"P:."_s, u"W:sysobjects"_s};
    QTest::newRow("numbers") << u"1.5e3 .5 0x1F 42"_s
                             << QStringList{u"N:1.5e3"_s, u"N:.5"_s, u"N:0x1F"_s, u"N:42"_s};
    QTest::newRow("two-character operators")
        << u"a<>b!=c<=d"_s
        << QStringList{u"W:a"_s, u"O:<>"_s, u"W:b"_s, u"O:!="_s, u"W:c"_s, u"O:<="_s, u"W:d"_s};
    QTest::newRow("nested block comment")
        << u"/* a /* b */ c */x"_s << QStringList{u"C:/* a /* b */ c */"_s, u"W:x"_s};
    QTest::newRow("variables and temporary names")
        << u"@n,#t"_s << QStringList{u"W:@n"_s, u"P:,"_s, u"W:#t"_s};
}

void TestSqlTokenizer::splitsIntoTokens()
{
    QFETCH(QString, text);
    QFETCH(QStringList, significant);
    static const QString kinds = u"BCWQSNOPX"_s; // in SqlToken::Kind order
    QStringList actual;
    for (const SqlToken &token : SqlTokenizer::tokenize(text)) {
        if (token.kind != SqlToken::Kind::Whitespace)
            actual << kinds[int(token.kind)] + u':' + token.text;
    }
    QCOMPARE(actual, significant);
}

void TestSqlTokenizer::literalValuesAndNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");

    QTest::newRow("string") << u"'a''b'"_s << u"a'b"_s;
    QTest::newRow("national string") << u"N'王''s'"_s << u"王's"_s;
    QTest::newRow("empty string") << u"''"_s << QString();
    QTest::newRow("bracket name") << u"[a]]b]"_s << u"a]b"_s;
    QTest::newRow("double-quoted name") << u"\"a\"\"b\""_s << u"a\"b"_s;
    QTest::newRow("plain word") << u"cContactCode"_s << u"cContactCode"_s;
}

void TestSqlTokenizer::literalValuesAndNames()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    const auto tokens = SqlTokenizer::tokenize(text);
    QCOMPARE(tokens.size(), std::size_t(1));
    const SqlToken &token = tokens[0];
    QCOMPARE(token.kind == SqlToken::Kind::String ? token.stringValue() : token.name(), value);
}

QTEST_GUILESS_MAIN(TestSqlTokenizer)
#include "tst_sqltokenizer.moc"
