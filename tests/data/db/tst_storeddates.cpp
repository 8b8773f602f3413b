// Dates as the account database keeps them: text without a zone. Reading one back gives the same
// calendar date and clock time in any time zone, including the hours a zone skips or repeats when
// daylight saving time starts or ends.

#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/ValueConversion.h"

#include <QDateTime>
#include <QTest>

#include <ctime>

using namespace perikon::db;

namespace {

ColumnInfo column(int type)
{
    ColumnInfo info;
    info.name = QStringLiteral("dValue");
    info.type = type;
    info.definedSize = 16;
    return info;
}

// The text as a driver hands it over.
QVariant readStored(const QByteArray &utf8, int type = ColumnType::DBTimeStamp)
{
    CellRef cell;
    cell.kind = CellKind::Text;
    cell.data = utf8.constData();
    cell.size = utf8.size();
    return ValueConversion::toCallerValue(column(type), cell);
}

} // namespace

class tst_StoredDates : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_zone = qgetenv("TZ"); }

    void cleanup() { useZone(m_zone); }

    void storedTextReadsAsItsDateAndTime_data()
    {
        QTest::addColumn<QByteArray>("zone"); // empty: the zone the test runs in
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");

        auto row = [](const char *name, const char *zone, const char *text, QDate date,
                      QTime time) {
            QTest::newRow(name) << QByteArray(zone) << QString::fromUtf8(text) << date << time;
        };
        const QDate march1(2024, 3, 1);
        row("date and time", "", "2024-03-01 08:30:00", march1, QTime(8, 30));
        row("T between date and time", "", "2024-03-01T10:11:12", march1, QTime(10, 11, 12));
        row("slashes and single digits", "", "2024/3/1 8:05:09", march1, QTime(8, 5, 9));
        row("dots", "", "2024.03.01", march1, QTime(0, 0));
        row("compact", "", "20240301", march1, QTime(0, 0));
        row("minutes without seconds", "", "2024-03-01 08:30", march1, QTime(8, 30));
        row("milliseconds", "", "2024-03-01 08:30:00.123", march1, QTime(8, 30, 0, 123));
        row("tenths", "", "2024-03-01 08:30:00.5", march1, QTime(8, 30, 0, 500));
        row("seven fraction digits", "", "2024-03-01 08:30:00.1239999", march1,
            QTime(8, 30, 0, 123));
        row("blanks around", "", " \t2024-03-01 08:30:00 ", march1, QTime(8, 30));
        row("midnight", "", "2024-03-01 00:00:00", march1, QTime(0, 0));
        row("last second of a century", "", "1999-12-31 23:59:59", QDate(1999, 12, 31),
            QTime(23, 59, 59));
        row("before 1970", "", "1969-07-20 20:17:40", QDate(1969, 7, 20), QTime(20, 17, 40));
        row("earliest datetime", "", "1753-01-01", QDate(1753, 1, 1), QTime(0, 0));
        row("year one", "", "0001-01-01", QDate(1, 1, 1), QTime(0, 0));
        row("leap day", "", "2024-02-29 12:00:00", QDate(2024, 2, 29), QTime(12, 0));
        row("leap day of a century", "", "2000-02-29", QDate(2000, 2, 29), QTime(0, 0));
        row("hour Berlin skips", "Europe/Berlin", "2024-03-31 02:30:00", QDate(2024, 3, 31),
            QTime(2, 30));
        row("hour Berlin repeats", "Europe/Berlin", "2024-10-27 02:30:00", QDate(2024, 10, 27),
            QTime(2, 30));
        row("hour New York skips", "America/New_York", "2024-03-10 02:00:00", QDate(2024, 3, 10),
            QTime(2, 0));
        row("hour New York repeats", "America/New_York", "2024-11-03 01:30:00", QDate(2024, 11, 3),
            QTime(1, 30));
        row("midnight Santiago skips", "America/Santiago", "2023-09-03", QDate(2023, 9, 3),
            QTime(0, 0));
        row("hour Berlin skipped before 1970", "Europe/Berlin", "1945-05-24 02:30:00",
            QDate(1945, 5, 24), QTime(2, 30));
    }

    void storedTextReadsAsItsDateAndTime()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        if (!zone.isEmpty())
            useZone(zone);

        const auto parsed = ValueConversion::parseDateTime(text);
        QVERIFY(parsed);
        QCOMPARE(parsed->date(), date);
        QCOMPARE(parsed->time(), time);

        const QVariant value = readStored(text.toUtf8());
        QCOMPARE(value.typeId(), QMetaType::QDateTime);
        QCOMPARE(value.toDateTime().date(), date);
        QCOMPARE(value.toDateTime().time(), time);
        QCOMPARE(readStored(text.toUtf8(), ColumnType::Date).toDateTime().date(), date);

        // Written back, it is the same text again.
        const QString stored
            = date.toString(QStringLiteral("yyyy-MM-dd ")) + time.toString(u"HH:mm:ss");
        QCOMPARE(ValueConversion::storedDateTimeText(value.toDateTime(), ColumnType::DBTimeStamp),
                 stored);
    }

    void textThatIsNoDateStaysText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("no leap year") << "2023-02-29";
        QTest::newRow("century without a leap day") << "1900-02-29";
        QTest::newRow("day 30 of February") << "2024-02-30";
        QTest::newRow("month 13") << "2024-13-01";
        QTest::newRow("month 0") << "2024-00-10";
        QTest::newRow("year 0") << "0000-01-01";
        QTest::newRow("hour 24") << "2024-03-01 24:00:00";
        QTest::newRow("minute 60") << "2024-03-01 08:60:00";
        QTest::newRow("three-digit day") << "2024-03-001";
        QTest::newRow("eight fraction digits") << "2024-03-01 08:30:00.12345678";
        QTest::newRow("two-digit year") << "24-03-01";
        QTest::newRow("T without a time") << "2024-03-01T";
        QTest::newRow("hour without minutes") << "2024-03-01 08";
        QTest::newRow("zone suffix") << "2024-03-01 08:30:00Z";
        QTest::newRow("nine digits") << "202403011";
        QTest::newRow("words") << "tomorrow";
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
    }

    void textThatIsNoDateStaysText()
    {
        QFETCH(QString, text);
        QVERIFY(!ValueConversion::parseDateTime(text));
        QCOMPARE(readStored(text.toUtf8()), QVariant(text));
    }

    void dateIsStoredAtItsMidnight_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDate>("date");
        QTest::newRow("Santiago skips midnight")
            << QByteArray("America/Santiago") << QDate(2023, 9, 3);
        QTest::newRow("Berlin spring") << QByteArray("Europe/Berlin") << QDate(2024, 3, 31);
    }

    void dateIsStoredAtItsMidnight()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDate, date);
        useZone(zone);
        const QVariant stored
            = ValueConversion::toStorage(column(ColumnType::DBTimeStamp), QVariant(date));
        QCOMPARE(stored.toString(), date.toString(Qt::ISODate) + QStringLiteral(" 00:00:00"));
    }

private:
    static void useZone(const QByteArray &zone)
    {
        if (zone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        tzset();
    }

    QByteArray m_zone;
};

QTEST_GUILESS_MAIN(tst_StoredDates)
#include "tst_storeddates.moc"
