// What a page from IClsCommon::OpenPage holds: the statement's stored values, exactly as the full
// result gives them, on every backend. ctest runs it in a time zone with daylight saving time, so a
// date that the zone skips or repeats shows whether a conversion went through local time.

#include "support/SessionFixture.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/session/SessionGlobals.h"

#include <QDateTime>
#include <QTest>

using namespace perikon;
using perikon::testing::Backend;
using perikon::testing::SessionFixture;

namespace {

// A value as a caller would show it, precise enough to tell any two stored values apart.
QString shown(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex());
    default:
        return value.toString();
    }
}

struct Page
{
    std::unique_ptr<db::Recordset> rs;
    int curPage = 0;
    int maxPages = 0;
    bool ok = false;
};

} // namespace

class tst_IClsCommonPage : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (SessionFixture::unavailable())
            QSKIP("PERIKON_TEST_PG names no PostgreSQL server");
        m_session = std::make_unique<SessionFixture>(40);
        QVERIFY2(m_session->ok(), qPrintable(m_session->error()));
    }

    void cleanup() { m_session.reset(); }

    void pageKeepsTheStoredValue_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QString>("literal"); // SQL text, or "0x..." bytes set through a recordset
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");

        const int dateTime = QMetaType::QDateTime;
        auto row = [](const char *name, const char *declaration, const char *literal, int type,
                      const char *expected) {
            QTest::newRow(name) << QString::fromLatin1(declaration) << QString::fromUtf8(literal)
                                << type << QString::fromUtf8(expected);
        };
        row("hour the zone skips", "datetime", "'2024-03-31 02:30:00'", dateTime,
            "2024-03-31 02:30:00.000");
        row("hour the zone repeats", "datetime", "'2024-10-27 02:30:00'", dateTime,
            "2024-10-27 02:30:00.000");
        row("last second before the switch", "datetime", "'2024-03-31 01:59:59'", dateTime,
            "2024-03-31 01:59:59.000");
        row("milliseconds", "datetime", "'2024-03-01 08:30:00.123'", dateTime,
            "2024-03-01 08:30:00.123");
        row("midnight", "datetime", "'2024-03-01 00:00:00'", dateTime, "2024-03-01 00:00:00.000");
        row("just before 1970", "datetime", "'1969-12-31 23:59:59'", dateTime,
            "1969-12-31 23:59:59.000");
        row("summer before 1970", "datetime", "'1965-07-01 12:00:00'", dateTime,
            "1965-07-01 12:00:00.000");
        row("earliest datetime", "datetime", "'1753-01-01 00:00:00'", dateTime,
            "1753-01-01 00:00:00.000");
        row("leap day", "datetime", "'2024-02-29 23:59:59'", dateTime, "2024-02-29 23:59:59.000");
        row("leap day of a century", "datetime", "'2000-02-29 00:00:00'", dateTime,
            "2000-02-29 00:00:00.000");
        row("date column", "date", "'2024-02-29'", dateTime, "2024-02-29 00:00:00.000");
        row("bit set", "bit", "1", QMetaType::Bool, "true");
        row("bit clear", "bit", "0", QMetaType::Bool, "false");
        row("money", "money", "1234.5678", QMetaType::Double, "1234.5678");
        row("decimal", "decimal(28,6)", "12345678.123456", QMetaType::Double, "12345678.123456");
        row("small negative numeric", "numeric(12,4)", "-0.0001", QMetaType::Double, "-0.0001");
        row("float", "float", "0.1", QMetaType::Double, "0.1");
        row("int", "int", "-2147483648", QMetaType::Int, "-2147483648");
        row("bigint", "bigint", "5000000000", QMetaType::LongLong, "5000000000");
        row("text with a quote", "nvarchar(20)", "N'王''s'", QMetaType::QString, "王's");
        row("empty text", "nvarchar(20)", "N''", QMetaType::QString, "");
        row("lower-case GUID", "uniqueidentifier", "'6f9619ff-8b86-d011-b42d-00c04fc964ff'",
            QMetaType::QString, "6f9619ff-8b86-d011-b42d-00c04fc964ff");
        row("varbinary", "varbinary(16)", "0x0001ff80", QMetaType::QByteArray, "0001ff80");
        row("image", "image", "0x89504e470d0a1a0a00", QMetaType::QByteArray, "89504e470d0a1a0a00");
    }

    // Rows 1 and 3 hold the value, row 2 NULL; pages of two rows split them, a page of ten holds
    // them all.
    void pageKeepsTheStoredValue()
    {
        QFETCH(QString, declaration);
        QFETCH(QString, literal);
        QFETCH(int, type);
        QFETCH(QString, expected);
        QVERIFY2(m_session->com.ExecuteX(
                     QStringLiteral("create table Rpt_PageValues (ID int primary key, cValue %1)")
                         .arg(declaration)),
                 qPrintable(gLastError));
        for (int id : {1, 2, 3}) {
            const bool bytes = literal.startsWith(QLatin1String("0x"));
            const QString value = id == 2 || bytes ? QStringLiteral("NULL") : literal;
            QVERIFY2(m_session->com.ExecuteX(
                         QStringLiteral("insert into Rpt_PageValues (ID, cValue) values (%1, %2)")
                             .arg(id)
                             .arg(value)),
                     qPrintable(gLastError));
            if (bytes && id != 2)
                storeBytes(id, QByteArray::fromHex(literal.mid(2).toLatin1()));
            if (QTest::currentTestFailed())
                return;
        }

        const QString sql = QStringLiteral("select ID, cValue from Rpt_PageValues order by ID");
        std::unique_ptr<db::Recordset> all(m_session->com.OpenX(sql));
        QVERIFY(all);
        QCOMPARE(all->value(1).typeId(), type);
        QCOMPARE(shown(all->value(1)), expected);

        const Page first = openPage(sql, 2, 1);
        QVERIFY(first.ok);
        QCOMPARE(first.rs->recordCount(), 2);
        QCOMPARE(first.rs->value(0).toInt(), 1);
        QCOMPARE(first.rs->value(1).typeId(), type);
        QCOMPARE(shown(first.rs->value(1)), expected);
        QCOMPARE(first.rs->value(1), all->value(1));
        first.rs->moveNext();
        QCOMPARE(first.rs->value(0).toInt(), 2);
        QVERIFY(first.rs->value(1).isNull());

        const Page last = openPage(sql, 2, 2);
        QVERIFY(last.ok);
        QCOMPARE(last.rs->recordCount(), 1);
        QCOMPARE(last.rs->value(0).toInt(), 3);
        QCOMPARE(shown(last.rs->value(1)), expected);

        const Page whole = openPage(sql, 10, 1);
        QVERIFY(whole.ok);
        QCOMPARE(whole.rs->recordCount(), 3);
        QVERIFY(!whole.rs->activeConnection());
        whole.rs->moveLast();
        QCOMPARE(whole.rs->value(0).toInt(), 3);
        QCOMPARE(shown(whole.rs->value(1)), expected);
    }

    void textLongerThanItsColumnStaysWhole()
    {
        if (m_session->database().backend() != Backend::Sqlite)
            QSKIP("only SQLite keeps a text longer than its declared size");
        QVERIFY(m_session->com.ExecuteX(QStringLiteral(
            "create table Rpt_PageValues (ID int primary key, cValue nvarchar(4))")));
        QVERIFY(m_session->com.ExecuteX(
            QStringLiteral("insert into Rpt_PageValues values (1, N'abcdefgh')")));
        const Page page = openPage(QStringLiteral("select cValue from Rpt_PageValues"), 10, 1);
        QVERIFY(page.ok);
        QCOMPARE(page.rs->value(0), QVariant(QStringLiteral("abcdefgh")));
    }

    void pageMatchesTheWholeResult_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<int>("askedPage");
        QTest::addColumn<int>("firstRow"); // 0-based row of the whole result the page starts at
        QTest::addColumn<int>("rows");

        const QString everyColumn
            = QStringLiteral("select * from Crm_Contact order by cContactCode");
        QTest::newRow("every column, middle page") << everyColumn << 7 << 2 << 7 << 7;
        QTest::newRow("every column, last page") << everyColumn << 7 << 0 << 35 << 5;
        QTest::newRow("joined customer")
            << QStringLiteral("select c.cContactCode, k.cCusName, c.dBirthday, c.bMajor from "
                              "Crm_Contact c left join Customer k on k.cCusCode = c.cCusCode "
                              "order by c.cContactCode")
            << 10 << 3 << 20 << 10;
        QTest::newRow("computed columns")
            << QStringLiteral("select cContactCode, len(cContactName) as nNameLength, "
                              "bcSexID * 2 as nTwice, N'x' as cFixed from Crm_Contact "
                              "order by cContactCode")
            << 15 << 2 << 15 << 15;
        // The page is read alone, but an expression column's type and size follow the whole
        // result: the one long text is on the last page.
        const QString mixed = QStringLiteral(
            "select cContactCode, case when cContactCode = (select max(cContactCode) from "
            "Crm_Contact) then N'the one long computed text' else N'x' end as cMixed from "
            "Crm_Contact order by cContactCode");
        QTest::newRow("computed text longest on another page") << mixed << 10 << 1 << 0 << 10;
        QTest::newRow("computed text, past the end of full pages") << mixed << 10 << 9 << 30 << 10;
    }

    // Same columns (name, type, size) and, row for row, the same values as the whole result.
    void pageMatchesTheWholeResult()
    {
        QFETCH(QString, sql);
        QFETCH(int, pageSize);
        QFETCH(int, askedPage);
        QFETCH(int, firstRow);
        QFETCH(int, rows);
        std::unique_ptr<db::Recordset> all(m_session->com.OpenX(sql));
        QVERIFY(all);
        const Page page = openPage(sql, pageSize, askedPage);
        QVERIFY(page.ok);
        QCOMPARE(page.rs->recordCount(), rows);
        QCOMPARE(page.rs->fieldCount(), all->fieldCount());
        for (int j = 0; j < all->fieldCount(); ++j) {
            QCOMPARE(page.rs->field(j).name(), all->field(j).name());
            QCOMPARE(page.rs->field(j).type(), all->field(j).type());
            QCOMPARE(page.rs->field(j).definedSize(), all->field(j).definedSize());
        }
        all->setAbsolutePosition(firstRow + 1);
        for (int row = 0; row < rows; ++row, all->moveNext(), page.rs->moveNext()) {
            for (int j = 0; j < all->fieldCount(); ++j) {
                const QVariant expected = all->value(j);
                const QVariant actual = page.rs->value(j);
                const QString where
                    = QStringLiteral("row %1, %2: %3 / %4")
                          .arg(row)
                          .arg(all->field(j).name(), shown(actual), shown(expected));
                QVERIFY2(actual.typeId() == expected.typeId(), qPrintable(where));
                QVERIFY2(actual.isNull() == expected.isNull(), qPrintable(where));
                QVERIFY2(actual == expected, qPrintable(where));
            }
        }
        QVERIFY(page.rs->eof());
    }

private:
    Page openPage(const QString &sql, int pageSize, int askedPage)
    {
        Page page;
        page.curPage = askedPage;
        db::Recordset *raw = nullptr;
        QString msg;
        m_session->com.OpenPage(sql, pageSize, page.curPage, page.maxPages, raw, msg, page.ok);
        page.rs.reset(raw);
        if (page.rs && page.rs->state() == 1 && page.rs->recordCount() > 0)
            page.rs->moveFirst();
        return page;
    }

    void storeBytes(int id, const QByteArray &bytes)
    {
        std::unique_ptr<db::Recordset> rs(m_session->com.OpenX(
            QStringLiteral("select ID, cValue from Rpt_PageValues where ID = %1").arg(id)));
        QVERIFY(rs);
        rs->setValue(1, bytes);
        rs->update();
    }

    std::unique_ptr<SessionFixture> m_session;
};

QTEST_GUILESS_MAIN(tst_IClsCommonPage)
#include "tst_iclscommonpage.moc"
