// Guards the resource texts the operator reads: both language files parse, carry the same keys
// with the same argument placeholders, hold a text for every key the code sends, and are written
// in their language.

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

#include <algorithm>

namespace {

const QString kSourceRoot = QStringLiteral(PERIKON_SOURCE_ROOT);

// A resource key: "K2" and at least two more segments. A few host keys carry a "String." prefix
// and are sent with it.
const QString kKeyPattern = QStringLiteral(R"((?:String\.)?K2\.[A-Za-z0-9_]+(?:\.[A-Za-z0-9_]+)+)");

QString textFilePath(const QString &language)
{
    return kSourceRoot + QStringLiteral("/suite/texts/") + language + QStringLiteral(".txt");
}

struct TextFile
{
    QMap<QString, QString> texts; // key -> text with escapes resolved
    QStringList problems;         // one line per fault, naming the line and the key
};

// Resolves "\n" and "\\"; any other backslash sequence would reach the screen as typed.
bool unescape(const QString &raw, QString &text)
{
    text.clear();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != u'\\') {
            text += raw[i];
            continue;
        }
        if (++i == raw.size())
            return false;
        if (raw[i] == u'n')
            text += u'\n';
        else if (raw[i] == u'\\')
            text += u'\\';
        else
            return false;
    }
    return true;
}

TextFile readTextFile(const QString &path)
{
    TextFile result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problems << QStringLiteral("cannot open %1").arg(path);
        return result;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString content = utf8.decode(file.readAll());
    if (utf8.hasError()) {
        result.problems << QStringLiteral("%1 is not valid UTF-8").arg(path);
        return result;
    }

    static const QRegularExpression keyRx(QRegularExpression::anchoredPattern(kKeyPattern));
    const QStringList lines = content.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QString where = QStringLiteral("line %1").arg(n + 1);
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) {
            result.problems << where + QStringLiteral(": no '=' in \"%1\"").arg(line);
            continue;
        }
        const QString key = line.left(eq);
        QString text;
        if (!keyRx.match(key).hasMatch())
            result.problems << where + QStringLiteral(": \"%1\" is not a resource key").arg(key);
        else if (result.texts.contains(key))
            result.problems << where + QStringLiteral(": %1 appears twice").arg(key);
        else if (!unescape(line.mid(eq + 1), text))
            result.problems << where
                                   + QStringLiteral(
                                         ": %1 has a backslash that is neither \\n nor \\\\")
                                         .arg(key);
        else if (text.trimmed().isEmpty())
            result.problems << where + QStringLiteral(": %1 has no text").arg(key);
        else
            result.texts.insert(key, text);
    }
    return result;
}

QSet<QString> placeholders(const QString &text)
{
    static const QRegularExpression rx(QStringLiteral("%[1-9]"));
    QSet<QString> found;
    for (const auto &m : rx.globalMatch(text))
        found.insert(m.captured());
    return found;
}

QString sortedJoined(const QSet<QString> &set)
{
    QStringList list(set.begin(), set.end());
    list.sort();
    return list.join(u' ');
}

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

struct Literal
{
    QString text;
    int line = 0;
};

// The string literals of a C++ source, comments left out. Knows escapes, raw strings,
// character literals and digit separators; enough for our own sources.
QList<Literal> stringLiterals(const QString &src)
{
    QList<Literal> result;
    const qsizetype n = src.size();
    int line = 1;
    // Start of the identifier or number that ends just before position i.
    const auto tokenStart = [&](qsizetype i) {
        while (i > 0 && isIdentifierChar(src[i - 1]))
            --i;
        return i;
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = src[i];
        if (c == u'\n') {
            ++line;
            ++i;
        } else if (c == u'/' && i + 1 < n && src[i + 1] == u'/') {
            while (i < n && src[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && src[i + 1] == u'*') {
            i += 2;
            while (i < n && !(src[i] == u'*' && i + 1 < n && src[i + 1] == u'/')) {
                if (src[i] == u'\n')
                    ++line;
                ++i;
            }
            i += 2;
        } else if (c == u'\'') {
            const qsizetype start = tokenStart(i);
            ++i;
            if (start < i - 1 && src[start].isDigit())
                continue; // digit separator, as in 1'000
            while (i < n && src[i] != u'\'' && src[i] != u'\n')
                i += src[i] == u'\\' ? 2 : 1;
            ++i;
        } else if (c == u'"') {
            const QStringView prefix = QStringView(src).mid(tokenStart(i), i - tokenStart(i));
            const bool raw = prefix == u"R" || prefix == u"u8R" || prefix == u"uR"
                             || prefix == u"UR" || prefix == u"LR";
            Literal literal{{}, line};
            if (raw) {
                const qsizetype open = src.indexOf(u'(', i + 1);
                if (open < 0)
                    break;
                const QString close = u')' + src.mid(i + 1, open - i - 1) + u'"';
                qsizetype end = src.indexOf(close, open + 1);
                if (end < 0)
                    end = n;
                literal.text = src.mid(open + 1, end - open - 1);
                line += int(literal.text.count(u'\n'));
                i = end + close.size();
            } else {
                ++i;
                while (i < n && src[i] != u'"' && src[i] != u'\n') {
                    if (src[i] == u'\\' && i + 1 < n)
                        literal.text += src[i++];
                    literal.text += src[i++];
                }
                ++i;
            }
            result << literal;
        } else {
            ++i;
        }
    }
    return result;
}

// Keys inside one literal. A key followed by a point is a prefix that the code completes at
// run time ("K2.CRM.LblCap." + name), not a key of its own.
QStringList keysInLiteral(const QString &literal)
{
    static const QRegularExpression rx(QStringLiteral(R"((?<![A-Za-z0-9_.]))") + kKeyPattern
                                       + QStringLiteral(R"((?![A-Za-z0-9_.]))"));
    QStringList keys;
    for (const auto &m : rx.globalMatch(literal))
        keys << m.captured();
    return keys;
}

struct KeyUse
{
    QString key;
    QString where; // first use, "path:line"
};

QList<KeyUse> keysUsedInCode(int &filesScanned)
{
    QMap<QString, QString> firstUse;
    filesScanned = 0;
    for (const char *folder : {"/perikon", "/suite", "/apps"}) {
        QDirIterator it(kSourceRoot + QLatin1String(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            ++filesScanned;
            const QString relative = path.mid(kSourceRoot.size() + 1);
            for (const Literal &literal : stringLiterals(QString::fromUtf8(file.readAll()))) {
                for (const QString &key : keysInLiteral(literal.text)) {
                    if (!firstUse.contains(key))
                        firstUse.insert(key, relative + u':' + QString::number(literal.line));
                }
            }
        }
    }
    QList<KeyUse> uses;
    for (auto it = firstUse.cbegin(); it != firstUse.cend(); ++it)
        uses.append({it.key(), it.value()});
    return uses;
}

bool isHanCharacter(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF)
           || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3134F);
}

// Han characters plus the full-width punctuation that comes with Chinese typing.
bool isCjkCharacter(char32_t c)
{
    return isHanCharacter(c) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF)
           || c == 0x201C || c == 0x201D || c == 0x2026 || c == 0x2014;
}

template<typename Pred> bool containsAny(const QString &text, Pred pred)
{
    const QList<uint> chars = text.toUcs4();
    return std::any_of(chars.begin(), chars.end(), [&](uint c) { return pred(char32_t(c)); });
}

} // namespace

class TestResourceTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_zh = readTextFile(textFilePath(QStringLiteral("zh-CN")));
        m_en = readTextFile(textFilePath(QStringLiteral("en-US")));
    }

    void fileFollowsTheFormat_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("zh-CN") << QStringLiteral("zh-CN");
        QTest::newRow("en-US") << QStringLiteral("en-US");
    }

    void fileFollowsTheFormat()
    {
        QFETCH(QString, language);
        const TextFile &file = language == u"zh-CN" ? m_zh : m_en;
        QVERIFY2(file.problems.isEmpty(), qPrintable(file.problems.join(u'\n')));
        QVERIFY2(!file.texts.isEmpty(), qPrintable(language + QStringLiteral(" holds no texts")));
    }

    void bothLanguagesHaveTheSameKeys()
    {
        const QList<QString> zhKeys = m_zh.texts.keys();
        const QList<QString> enKeys = m_en.texts.keys();
        QSet<QString> onlyZh(zhKeys.begin(), zhKeys.end());
        QSet<QString> onlyEn(enKeys.begin(), enKeys.end());
        onlyZh.subtract(QSet<QString>(enKeys.begin(), enKeys.end()));
        onlyEn.subtract(QSet<QString>(zhKeys.begin(), zhKeys.end()));
        QVERIFY2(onlyZh.isEmpty(), qPrintable("missing in en-US: " + sortedJoined(onlyZh)));
        QVERIFY2(onlyEn.isEmpty(), qPrintable("missing in zh-CN: " + sortedJoined(onlyEn)));
    }

    // A formatted text fills in its arguments by number, so a placeholder that one language
    // lacks drops an argument for that language's operators.
    void placeholdersMatchAcrossLanguages()
    {
        QStringList mismatches;
        for (auto it = m_zh.texts.cbegin(); it != m_zh.texts.cend(); ++it) {
            if (!m_en.texts.contains(it.key()))
                continue; // reported by bothLanguagesHaveTheSameKeys
            const QSet<QString> zh = placeholders(it.value());
            const QSet<QString> en = placeholders(m_en.texts.value(it.key()));
            if (zh != en) {
                mismatches << QStringLiteral("%1: zh-CN {%2}, en-US {%3}")
                                  .arg(it.key(), sortedJoined(zh), sortedJoined(en));
            }
        }
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u'\n')));
    }

    void codeScannerFindsKeysInLiterals_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("keys");

        QTest::newRow("plain literal")
            << QStringLiteral(R"(ShowMessage(GetResText("K2.CRM.COMMON.DBMSG.0002"));)")
            << QStringList{"K2.CRM.COMMON.DBMSG.0002"};
        QTest::newRow("several per line")
            << QStringLiteral(R"(f(u"K2.A.b"_s, QStringLiteral("K2.C.d.00001"));)")
            << QStringList{"K2.A.b", "K2.C.d.00001"};
        QTest::newRow("prefixed host key")
            << QStringLiteral(R"(GetResText("String.K2.AA.Admin.6076");)")
            << QStringList{"String.K2.AA.Admin.6076"};
        QTest::newRow("raw string")
            << QStringLiteral("f(R\"x(<a k=\"K2.X.Y\"/>)x\");") << QStringList{"K2.X.Y"};
        QTest::newRow("escaped quote inside literal")
            << QStringLiteral("f(\"say \\\"K2.A.B\\\" now\");") << QStringList{"K2.A.B"};
        QTest::newRow("quote in character literal")
            << QStringLiteral("char q = '\"'; f(\"K2.A.B\");") << QStringList{"K2.A.B"};
        QTest::newRow("digit separator")
            << QStringLiteral("int n = 1'000; f(\"K2.A.B\");") << QStringList{"K2.A.B"};
        QTest::newRow("comments ignored")
            << QStringLiteral("// f(\"K2.Old.One\")\n/* \"K2.Old.Two\" */ f(\"K2.New.One\");")
            << QStringList{"K2.New.One"};
        QTest::newRow("prefix completed at run time")
            << QStringLiteral(R"(GetResText(QStringLiteral("K2.CRM.LblCap.") + name);)")
            << QStringList{};
        QTest::newRow("too short to be a key")
            << QStringLiteral(R"(f("K2.CRM"); f("XK2.A.B");)") << QStringList{};
    }

    void codeScannerFindsKeysInLiterals()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, keys);
        QStringList found;
        for (const Literal &literal : stringLiterals(source))
            found << keysInLiteral(literal.text);
        QCOMPARE(found, keys);
    }

    void everyKeyUsedInCodeHasTexts()
    {
        int filesScanned = 0;
        const QList<KeyUse> uses = keysUsedInCode(filesScanned);
        QVERIFY2(filesScanned > 0, qPrintable("no sources found under " + kSourceRoot));

        QStringList missing;
        for (const KeyUse &use : uses) {
            QStringList languages;
            if (!m_zh.texts.contains(use.key))
                languages << QStringLiteral("zh-CN");
            if (!m_en.texts.contains(use.key))
                languages << QStringLiteral("en-US");
            if (!languages.isEmpty()) {
                missing << QStringLiteral("%1 (used at %2) has no text in %3")
                               .arg(use.key, use.where, languages.join(QStringLiteral(", ")));
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u'\n')));
    }

    void chineseTextsAreChinese()
    {
        QStringList notChinese;
        for (auto it = m_zh.texts.cbegin(); it != m_zh.texts.cend(); ++it) {
            if (!containsAny(it.value(), isHanCharacter))
                notChinese << it.key() + QStringLiteral("=") + it.value();
        }
        QVERIFY(!m_zh.texts.isEmpty());
        // A few texts are codes or product words that read the same in every language.
        const double share = 1.0 - double(notChinese.size()) / double(m_zh.texts.size());
        QVERIFY2(share >= 0.9, qPrintable(QStringLiteral("only %1% of the zh-CN texts are Chinese; "
                                                         "without Chinese:\n")
                                              .arg(qRound(share * 100))
                                          + notChinese.join(u'\n')));
    }

    void englishTextsHaveNoChinese()
    {
        QStringList withCjk;
        for (auto it = m_en.texts.cbegin(); it != m_en.texts.cend(); ++it) {
            if (containsAny(it.value(), isCjkCharacter))
                withCjk << it.key() + QStringLiteral("=") + it.value();
        }
        QVERIFY2(withCjk.isEmpty(), qPrintable(withCjk.join(u'\n')));
    }

private:
    TextFile m_zh;
    TextFile m_en;
};

QTEST_GUILESS_MAIN(TestResourceTexts)
#include "tst_resourcetexts.moc"
