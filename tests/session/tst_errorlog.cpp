// The two error logs: exact entry layout, size resets, and logs that cannot be written.

#include "perikon/session/ErrorLog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace perikon;

class tst_ErrorLog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("PERIKON_LOG_DIR", m_dir->path().toLocal8Bit());
    }

    void cleanup() { qunsetenv("PERIKON_LOG_DIR"); }

    void srvTransEntryHasSixLines()
    {
        WriteSrvTransLog(QStringLiteral("IClsCommon"), QStringLiteral("OpenX"), -2147217900,
                         QStringLiteral("select * from nowhere 没有这个表"));
        const QStringList lines = readLines(QStringLiteral("SrvTransLog.log"));
        QCOMPARE(lines.size(), 6);
        QVERIFY2(QRegularExpression(
                     QStringLiteral(R"(^\*\*\* Error Time \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\*\*\*$)"))
                     .match(lines[0])
                     .hasMatch(),
                 qPrintable(lines[0]));
        QCOMPARE(lines[1], QStringLiteral("Error:-2147217900"));
        QCOMPARE(lines[2], QStringLiteral("Discript:select * from nowhere 没有这个表"));
        QCOMPARE(lines[3], QStringLiteral("Procedure:OpenX"));
        QCOMPARE(lines[4], QStringLiteral("Module:IClsCommon"));
        QCOMPARE(lines[5], QString());
    }

    void entriesAppend()
    {
        WriteSrvTransLog(QStringLiteral("IClscommon"), QStringLiteral("ExecuteX"), 1,
                         QStringLiteral("a"));
        WriteSrvTransLog(QStringLiteral("commonFun"), QStringLiteral("ConvertFromHex"), 2,
                         QStringLiteral("b"));
        const QStringList lines = readLines(QStringLiteral("SrvTransLog.log"));
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[4], QStringLiteral("Module:IClscommon"));
        QCOMPARE(lines[10], QStringLiteral("Module:commonFun"));
    }

    void windowReportLayout()
    {
        WriteErrorLog(
            QStringLiteral("frmContactList.Operating()"), true,
            ErrorInfo{91, QStringLiteral("Object variable not set"), QStringLiteral("Perikon")});
        QFile file(m_dir->filePath(QStringLiteral("error.log")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(file.readAll());
        QVERIFY(content.endsWith(QStringLiteral("\r\n")));
        const QStringList lines = content.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 10); // nine lines, each ended by CR LF
        QCOMPARE(lines[0], QString(70, QLatin1Char('-')));
        QVERIFY(QRegularExpression(
                    QStringLiteral(R"(^Time             : \d{4}-\d\d-\d\d \d\d:\d\d:\d\d$)"))
                    .match(lines[1])
                    .hasMatch());
        QCOMPARE(lines[2], QStringLiteral("[Program Information]"));
        QCOMPARE(lines[3], QStringLiteral("  Name           : Perikon"));
        QCOMPARE(lines[4], QStringLiteral("  Function       : frmContactList.Operating()"));
        QCOMPARE(lines[5], QStringLiteral("[VB Error]"));
        QCOMPARE(lines[6], QStringLiteral("  Source         : Perikon"));
        QCOMPARE(lines[7], QStringLiteral("  Number         : 91"));
        QCOMPARE(lines[8], QStringLiteral("  Description    : Object variable not set"));
    }

    void windowReportOnlyWhenAsked()
    {
        WriteErrorLog(QStringLiteral("x"), false,
                      ErrorInfo{1, QStringLiteral("d"), QStringLiteral("s")});
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("error.log"))));
    }

    void oversizedLogStartsAfresh_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<qint64>("existing");
        QTest::addColumn<bool>("kept");
        QTest::newRow("data log at its limit is kept")
            << "SrvTransLog.log" << 102400LL << 102400LL << true;
        QTest::newRow("data log past its limit is deleted")
            << "SrvTransLog.log" << 102400LL << 102401LL << false;
        QTest::newRow("window log at its limit is kept")
            << "error.log" << 2097152LL << 2097152LL << true;
        QTest::newRow("window log past its limit is deleted")
            << "error.log" << 2097152LL << 2097153LL << false;
    }

    void oversizedLogStartsAfresh()
    {
        QFETCH(QString, file);
        QFETCH(qint64, existing);
        QFETCH(bool, kept);
        {
            QFile f(m_dir->filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(existing, 'x'));
        }
        if (file == QLatin1String("error.log"))
            WriteErrorLog(QStringLiteral("p"), true,
                          ErrorInfo{5, QStringLiteral("d"), QStringLiteral("s")});
        else
            WriteSrvTransLog(QStringLiteral("IClsCommon"), QStringLiteral("p"), 5,
                             QStringLiteral("d"));
        QFile f(m_dir->filePath(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray content = f.readAll();
        QCOMPARE(content.startsWith(QByteArray(16, 'x')), kept);
        QVERIFY(content.size() < existing || kept);
        QVERIFY(content.contains("5"));
    }

    void unwritableLogIsPassedOver()
    {
        // A log folder that is really a file cannot take a log, whoever runs the test.
        const QString notAFolder = m_dir->filePath(QStringLiteral("plain-file"));
        QFile f(notAFolder);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        qputenv("PERIKON_LOG_DIR", notAFolder.toLocal8Bit());
        WriteSrvTransLog(QStringLiteral("IClsCommon"), QStringLiteral("Init"), 1,
                         QStringLiteral("d"));
        WriteErrorLog(QStringLiteral("p"), true,
                      ErrorInfo{1, QStringLiteral("d"), QStringLiteral("s")});
        QCOMPARE(QFileInfo(notAFolder).size(), 0);
    }

    void defaultFolderIsTheLibrarysFolder()
    {
        qunsetenv("PERIKON_LOG_DIR");
        const QString folder = componentLogFolder();
        QVERIFY2(QFile::exists(folder + QStringLiteral("/libperikon.so")), qPrintable(folder));
    }

private:
    QStringList readLines(const QString &name)
    {
        QFile file(m_dir->filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(tst_ErrorLog)
#include "tst_errorlog.moc"
