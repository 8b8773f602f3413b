// Runs the acceptance scripts in scripts/: each drives the component through the automation
// bridge, as another part of the suite would, against a fresh demo database.
//
// Script lines:  "@demo N" creates the database with N demo contacts (default 0);
//                "> {json}" is a request ("${CNN}" stands for the database's connection string);
//                "< {json}" is what the reply to the request before it must contain;
//                "# ..." and blank lines are comments.
// A reply matches when every key of the expected object matches: objects recursively, arrays
// element by element with equal length; {"$len": n} matches an array of n elements,
// {"$any": true} matches anything, and a string "re:<pattern>" matches a string by regular
// expression.

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Step
{
    int line = 0;
    QString request;
    QString expected; // empty: only "ok" is not checked
};

struct Script
{
    int demo = 0;
    QList<Step> steps;
};

Script parse(const QString &path)
{
    Script script;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return script;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(QLatin1String("@demo ")))
            script.demo = line.mid(6).toInt();
        else if (line.startsWith(QLatin1String("> ")))
            script.steps.append(Step{i + 1, line.mid(2), {}});
        else if (line.startsWith(QLatin1String("< ")) && !script.steps.isEmpty())
            script.steps.last().expected = line.mid(2);
    }
    return script;
}

bool matches(const QJsonValue &expected, const QJsonValue &actual, QString &why, const QString &path)
{
    if (expected.isObject()) {
        const QJsonObject e = expected.toObject();
        if (e.contains(QLatin1String("$any")))
            return true;
        if (e.contains(QLatin1String("$len"))) {
            if (actual.isArray() && actual.toArray().size() == e.value(QLatin1String("$len")).toInt())
                return true;
            why = QStringLiteral("%1: expected an array of %2 elements").arg(path).arg(e.value(QLatin1String("$len")).toInt());
            return false;
        }
        if (!actual.isObject()) {
            why = QStringLiteral("%1: expected an object").arg(path);
            return false;
        }
        const QJsonObject a = actual.toObject();
        for (auto it = e.begin(); it != e.end(); ++it) {
            if (!a.contains(it.key())) {
                why = QStringLiteral("%1.%2 is missing").arg(path, it.key());
                return false;
            }
            if (!matches(it.value(), a.value(it.key()), why, path + QLatin1Char('.') + it.key()))
                return false;
        }
        return true;
    }
    if (expected.isArray()) {
        const QJsonArray e = expected.toArray();
        const QJsonArray a = actual.toArray();
        if (!actual.isArray() || a.size() != e.size()) {
            why = QStringLiteral("%1: expected %2 elements").arg(path).arg(e.size());
            return false;
        }
        for (int i = 0; i < e.size(); ++i) {
            if (!matches(e[i], a[i], why, QStringLiteral("%1[%2]").arg(path).arg(i)))
                return false;
        }
        return true;
    }
    if (expected.isString() && expected.toString().startsWith(QLatin1String("re:"))) {
        const QRegularExpression re(expected.toString().mid(3));
        if (actual.isString() && re.match(actual.toString()).hasMatch())
            return true;
        why = QStringLiteral("%1: %2 does not match %3").arg(path, actual.toVariant().toString(), re.pattern());
        return false;
    }
    if (expected.isDouble() && actual.isDouble() && expected.toDouble() == actual.toDouble())
        return true;
    if (expected == actual)
        return true;
    why = QStringLiteral("%1: expected %2, got %3")
              .arg(path, QString::fromUtf8(QJsonDocument(QJsonArray{expected}).toJson(QJsonDocument::Compact)),
                   QString::fromUtf8(QJsonDocument(QJsonArray{actual}).toJson(QJsonDocument::Compact)));
    return false;
}

} // namespace

class tst_Acceptance : public QObject
{
    Q_OBJECT

private slots:
    void dbToolRunsStatementsThroughTheDialect_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("rows with a heading")
            << "SELECT TOP 2 cContactCode FROM Crm_Contact with(nolock) ORDER BY cContactCode" << 0
            << "cContactCode\n00000001\n00000002\n(2 rows)\n";
        QTest::newRow("affected count")
            << "update Crm_Contact set cMemo=N'O''Brien' where cContactCode in (N'00000001',N'00000002')" << 0
            << "(2 rows affected)\n";
        QTest::newRow("unknown shape is refused") << "select frobnicate(1)" << 1 << "";
        QTest::newRow("missing table") << "select * from NoSuchTable" << 1 << "";
    }

    void dbToolRunsStatementsThroughTheDialect()
    {
        QFETCH(QString, statement);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const QString cnn = QStringLiteral("Provider=SQLite;Data Source=%1/QZDATA_001_2026.db;Initial Catalog=QZDATA_001_2026")
                                .arg(dir.path());
        QProcess tool;
        tool.start(QStringLiteral(PERIKON_DB_BINARY), {QStringLiteral("create"), cnn, QStringLiteral("--demo"), QStringLiteral("5")});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        tool.start(QStringLiteral(PERIKON_DB_BINARY), {QStringLiteral("sql"), cnn, statement});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), exitCode);
        if (exitCode == 0)
            QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()), output);
        else
            QVERIFY(!tool.readAllStandardError().isEmpty());
    }

    void scripts_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(QStringLiteral(PERIKON_TEST_SOURCE_DIR "/scripts"));
        const QStringList names = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void scripts()
    {
        QFETCH(QString, path);
        const Script script = parse(path);
        QVERIFY(!script.steps.isEmpty());

        QTemporaryDir dir;
        const QString cnn = QStringLiteral("Provider=SQLite;Data Source=%1/QZDATA_001_2026.db;Initial Catalog=QZDATA_001_2026")
                                .arg(dir.path());
        QProcess create;
        QStringList createArgs{QStringLiteral("create"), cnn};
        if (script.demo > 0)
            createArgs << QStringLiteral("--demo") << QString::number(script.demo);
        create.start(QStringLiteral(PERIKON_DB_BINARY), createArgs);
        QVERIFY(create.waitForFinished(120000));
        QVERIFY2(create.exitCode() == 0, create.readAllStandardError().constData());

        QProcess bridge;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PERIKON_LOG_DIR"), dir.path());
        bridge.setProcessEnvironment(env);
        bridge.start(QStringLiteral(PERIKON_AUTOMATE_BINARY));
        QVERIFY(bridge.waitForStarted());
        QString cnnJson = QString::fromUtf8(QJsonDocument(QJsonArray{cnn}).toJson(QJsonDocument::Compact));
        cnnJson = cnnJson.mid(2, cnnJson.size() - 4); // the string's JSON text without its quotes
        for (const Step &step : script.steps) {
            QString request = step.request;
            request.replace(QLatin1String("${CNN}"), cnnJson);
            bridge.write(request.toUtf8() + '\n');
        }
        bridge.closeWriteChannel();
        QVERIFY(bridge.waitForFinished(300000));
        const QList<QByteArray> replies = bridge.readAllStandardOutput().split('\n');
        for (int i = 0; i < script.steps.size(); ++i) {
            const Step &step = script.steps[i];
            QVERIFY2(i < replies.size(), qPrintable(QStringLiteral("line %1: no reply").arg(step.line)));
            const QJsonObject reply = QJsonDocument::fromJson(replies[i]).object();
            if (step.expected.isEmpty())
                continue;
            const QJsonDocument expected = QJsonDocument::fromJson(step.expected.toUtf8());
            QVERIFY2(expected.isObject(), qPrintable(QStringLiteral("line %1: bad expectation").arg(step.line)));
            QString why;
            QVERIFY2(matches(expected.object(), reply, why, QStringLiteral("reply")),
                     qPrintable(QStringLiteral("line %1: %2\n  reply: %3").arg(step.line).arg(why, QString::fromUtf8(replies[i]))));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Acceptance)
#include "tst_acceptance.moc"
