// Texts that differ only in their string literals share one translation; whatever a text shares,
// it must come out exactly as the dialect translates it alone.

#include "perikon/data/db/DbError.h"
#include "perikon/data/db/LruCache.h"
#include "perikon/data/db/SqlDialect.h"
#include "perikon/data/db/TranslationCache.h"

#include <QTest>

using namespace perikon::db;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(perikon::db::SqlTarget)

class tst_TranslationCache : public QObject
{
    Q_OBJECT

private slots:
    void eachTextGetsItsOwnTranslation_data()
    {
        QTest::addColumn<SqlTarget>("target");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("shared"); // the second text needs no translation of its own

        struct Case
        {
            const char *name;
            QString first;
            QString second;
            bool shared;
        };
        const Case cases[] = {
            {"comparison", u"select * from Crm_Contact where cContactCode=N'00000001'"_s,
             u"select * from Crm_Contact where cContactCode=N'00000002'"_s, true},
            {"escaped quote and empty text",
             u"update customer set cCusPerson=N'O''Brien' where ccuscode=N''"_s,
             u"update customer set cCusPerson=N'' where ccuscode=N'C''1'''"_s, true},
            {"plain and national literals",
             u"select top 1 cId from userdefine where cId='a' and cValue=N'b'"_s,
             u"select top 1 cId from userdefine where cId='甲' and cValue=N'乙'"_s, true},
            {"concatenation", u"select N'<' + cName + N'>' from tc_scratch"_s,
             u"select N'[' + cName + N']' from tc_scratch"_s, true},
            {"existence probe and body",
             u"if exists (select 1 from customer where ccuscode=N'A') update customer set "
             "cCusPerson=N'x' where ccuscode=N'A'"_s,
             u"if exists (select 1 from customer where ccuscode=N'B') update customer set "
             "cCusPerson=N'y' where ccuscode=N'B'"_s,
             true},
            {"two statements",
             u"delete from tc_scratch where c='1'; insert into tc_scratch "
             "(c) values ('2')"_s,
             u"delete from tc_scratch where c='3'; insert into tc_scratch (c) values ('4')"_s,
             true},
            {"statement text inside a literal", u"select N'a; -- b' from tc_scratch"_s,
             u"select N'/* c */ d''; e' from tc_scratch"_s, true},
            {"like pattern", u"select * from userdef where cItem like N'扩展%'"_s,
             u"select * from userdef where cItem like N'[a-z]%'"_s, true},
            {"procedure arguments", u"exec qz_merge 'a', 'b'"_s, u"exec qz_merge 'c''d', 'e'"_s,
             false},
            {"default of a new table", u"create table tc_scratch (c nvarchar(40) default 'abc')"_s,
             u"create table tc_scratch (c nvarchar(40) default 'newid()')"_s, false},
            {"literal holding the shape marks",
             u"select * from tc_scratch where c=N'\uE0000\uE001'"_s,
             u"select * from tc_scratch where c=N'\uE0001\uE001'"_s, false},
            {"unterminated literal", u"select * from tc_scratch where c=N'a"_s,
             u"select * from tc_scratch where c=N'b"_s, false},
        };
        for (SqlTarget target : {SqlTarget::Sqlite, SqlTarget::Postgres}) {
            const char *targetName = target == SqlTarget::Sqlite ? "sqlite" : "postgres";
            for (const Case &c : cases)
                QTest::addRow("%s %s", targetName, c.name)
                    << target << c.first << c.second << c.shared;
        }
    }

    void eachTextGetsItsOwnTranslation()
    {
        QFETCH(SqlTarget, target);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, shared);
        const SqlDialect dialect(target);
        TranslationCache cache(16);
        int translations = 0;
        const TranslationCache::Translate translate = [&](const QString &text) {
            ++translations;
            return dialect.translate(text);
        };
        // A text the dialect refuses is refused through the cache too, every time.
        auto translated
            = [&](const QString &text) -> std::optional<std::vector<TranslatedStatement>> {
            try {
                return cache.steps(text, translate);
            } catch (const DbError &) {
                return std::nullopt;
            }
        };
        auto direct = [&](const QString &text) -> std::optional<std::vector<TranslatedStatement>> {
            try {
                return dialect.translate(text);
            } catch (const DbError &) {
                return std::nullopt;
            }
        };

        QVERIFY(translated(first) == direct(first));
        const int afterFirst = translations;
        QVERIFY(translated(second) == direct(second));
        QCOMPARE(translations == afterFirst, shared);
        // Seen again, each text still comes out the same.
        QVERIFY(translated(first) == direct(first));
        QVERIFY(translated(second) == direct(second));
    }

    void clearedCacheTranslatesAgain()
    {
        const SqlDialect dialect(SqlTarget::Sqlite);
        TranslationCache cache(16);
        int translations = 0;
        const TranslationCache::Translate translate = [&](const QString &text) {
            ++translations;
            return dialect.translate(text);
        };
        cache.steps(u"select 1 from customer where ccuscode=N'A'"_s, translate);
        cache.steps(u"select 1 from customer where ccuscode=N'B'"_s, translate);
        QCOMPARE(cache.shapeCount(), 1);
        const int before = translations;
        cache.clear();
        QCOMPARE(cache.shapeCount(), 0);
        cache.steps(u"select 1 from customer where ccuscode=N'C'"_s, translate);
        QVERIFY(translations > before);
    }

    void shapesStayWithinCapacity()
    {
        const SqlDialect dialect(SqlTarget::Postgres);
        TranslationCache cache(4);
        const TranslationCache::Translate translate = [&](const QString &text) {
            return dialect.translate(text);
        };
        for (int i = 0; i < 20; ++i) {
            const QString text = u"select c%1 from tc_scratch where c=N'x'"_s.arg(i);
            QVERIFY(cache.steps(text, translate) == dialect.translate(text));
            const QString oneShot = u"exec qz_merge '%1'"_s.arg(i);
            QVERIFY(cache.steps(oneShot, translate) == dialect.translate(oneShot));
        }
        QVERIFY(cache.shapeCount() <= 4);
        QVERIFY(cache.textCount() <= 4);
    }

    // The driver forgets a written table's kept reads in place: what stays keeps its recency, so
    // the next entry past the capacity still pushes out the least recently used one.
    void forgottenEntriesLeaveTheRestInOrder()
    {
        LruCache<QString> cache(4);
        for (const QString key : {u"a"_s, u"b"_s, u"c"_s, u"d"_s})
            cache.insert(key, key == u"b"_s || key == u"d"_s ? u"x"_s : u"y"_s);
        QVERIFY(cache.find(u"a"_s)); // a is now the most recent: c, a remain after the removal
        QCOMPARE(
            cache.removeIf([](const QString &, const QString &table) { return table == u"x"_s; }),
            2);
        QCOMPARE(cache.size(), 2);
        QVERIFY(!cache.find(u"b"_s));
        QVERIFY(!cache.find(u"d"_s));
        cache.insert(u"e"_s, u"y"_s);
        cache.insert(u"f"_s, u"y"_s);
        cache.insert(u"g"_s, u"y"_s); // full at four: c, the least recently used, goes
        QStringList order;
        cache.forEach([&](const QString &key, const QString &) { order << key; });
        QCOMPARE(order, QStringList({u"a"_s, u"e"_s, u"f"_s, u"g"_s}));
        QCOMPARE(cache.removeIf([](const QString &, const QString &) { return false; }), 0);
    }
};

QTEST_GUILESS_MAIN(tst_TranslationCache)
#include "tst_translationcache.moc"
