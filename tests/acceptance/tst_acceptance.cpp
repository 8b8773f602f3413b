// Runs the acceptance scripts in scripts/: each drives the component through the automation
// bridge, as another part of the suite would, against a fresh demo database.
//
// Script lines:  "@demo N" creates the database with N demo contacts (default 0);
//                "@env NAME VALUE" sets an environment variable for every bridge of the script;
//                "> {json}" is a request ("${CNN}" stands for the database's connection string,
//                "${SCRIPTS}" for the folder of the scripts and the files they use,
//                "${WORK}" for a folder of the script's own the windows may write to);
//                "< {json}" is what the reply to the request before it must contain;
//                "2> {json}" and "2< {json}" are the same for a second bridge, another operator's
//                process on the same database, started on its first request;
//                "@kill 2" kills the second bridge as a crash would (no clean shutdown, nothing
//                released);
//                "$ NAME path" keeps a value of the reply before it (e.g. "$ TS
//                result.recordset.rows[0][0]") for later requests and expectations, which name it
//                as "${NAME}";
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

#include <array>
#include <memory>

namespace {

constexpr int kBridges = 2;

struct Step
{
    int line = 0;
    int bridge = 0; // 0: the first bridge, 1: the second
    bool kill = false;
    QString request;
    QString expected;                            // empty: the reply is not checked
    QList<std::pair<QString, QString>> captures; // name, path into the reply
};

struct Script
{
    int demo = 0;
    QList<std::pair<QString, QString>> environment;
    QList<Step> steps;
    QString error; // why a line could not be read
};

Script parse(const QString &path)
{
    Script script;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return script;
    static const QRegularExpression exchange(QStringLiteral("^([1-9]?)([<>]) (.*)$"));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const QRegularExpressionMatch m = exchange.match(line);
        const int bridge = m.hasMatch() && !m.captured(1).isEmpty() ? m.captured(1).toInt() - 1 : 0;
        if (bridge >= kBridges) {
            script.error = QStringLiteral("line %1: no bridge %2").arg(i + 1).arg(bridge + 1);
        } else if (line.startsWith(QLatin1String("@demo "))) {
            script.demo = line.mid(6).toInt();
        } else if (line.startsWith(QLatin1String("@env "))) {
            script.environment.append({line.mid(5).section(QLatin1Char(' '), 0, 0),
                                       line.mid(5).section(QLatin1Char(' '), 1).trimmed()});
        } else if (line.startsWith(QLatin1String("@kill "))) {
            const int killed = line.mid(6).toInt() - 1;
            if (killed < 1 || killed >= kBridges)
                script.error
                    = QStringLiteral("line %1: only the second bridge is killed").arg(i + 1);
            script.steps.append(Step{i + 1, killed, true, {}, {}, {}});
        } else if (m.hasMatch() && m.captured(2) == QLatin1String(">")) {
            script.steps.append(Step{i + 1, bridge, false, m.captured(3), {}, {}});
        } else if (m.hasMatch() && !script.steps.isEmpty()) {
            if (script.steps.last().bridge != bridge || script.steps.last().kill)
                script.error
                    = QStringLiteral("line %1: no request of that bridge before it").arg(i + 1);
            script.steps.last().expected = m.captured(3);
        } else if (line.startsWith(QLatin1String("$ ")) && !script.steps.isEmpty()) {
            script.steps.last().captures.append(
                {line.mid(2).section(QLatin1Char(' '), 0, 0),
                 line.mid(2).section(QLatin1Char(' '), 1).trimmed()});
        }
    }
    return script;
}

// The value at a path such as "result.recordset.rows[0][0]".
QJsonValue valueAt(QJsonValue value, const QString &path)
{
    static const QRegularExpression part(QStringLiteral("([A-Za-z_][A-Za-z0-9_]*)|\\[(\\d+)\\]"));
    for (auto it = part.globalMatch(path); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        value = m.captured(1).isEmpty() ? value.toArray().at(m.captured(2).toInt())
                                        : value.toObject().value(m.captured(1));
    }
    return value;
}

bool matches(const QJsonValue &expected, const QJsonValue &actual, QString &why,
             const QString &path)
{
    if (expected.isObject()) {
        const QJsonObject e = expected.toObject();
        if (e.contains(QLatin1String("$any")))
            return true;
        if (e.contains(QLatin1String("$len"))) {
            if (actual.isArray()
                && actual.toArray().size() == e.value(QLatin1String("$len")).toInt())
                return true;
            why = QStringLiteral("%1: expected an array of %2 elements")
                      .arg(path)
                      .arg(e.value(QLatin1String("$len")).toInt());
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
        why = QStringLiteral("%1: %2 does not match %3")
                  .arg(path, actual.toVariant().toString(), re.pattern());
        return false;
    }
    if (expected.isDouble() && actual.isDouble() && expected.toDouble() == actual.toDouble())
        return true;
    if (expected == actual)
        return true;
    why = QStringLiteral("%1: expected %2, got %3")
              .arg(path,
                   QString::fromUtf8(
                       QJsonDocument(QJsonArray{expected}).toJson(QJsonDocument::Compact)),
                   QString::fromUtf8(
                       QJsonDocument(QJsonArray{actual}).toJson(QJsonDocument::Compact)));
    return false;
}

// The account database a script runs against: a SQLite folder, or, when PERIKON_TEST_BACKEND says
// "postgres", a database of its own on the PERIKON_TEST_PG server, dropped afterwards.
class ScriptDatabase
{
public:
    static bool onPostgres()
    {
        return qEnvironmentVariable("PERIKON_TEST_BACKEND") == QLatin1String("postgres");
    }

    ScriptDatabase()
    {
        if (!onPostgres()) {
            m_connection = QStringLiteral("Provider=SQLite;Data Source=%1/QZDATA_001_2026.db;"
                                          "Initial Catalog=QZDATA_001_2026")
                               .arg(m_dir.path());
            return;
        }
        static int counter = 0;
        m_serverDatabase = QStringLiteral("perikon_accept_%1_%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(++counter);
        if (!psql(QStringLiteral("CREATE DATABASE %1").arg(m_serverDatabase)))
            return;
        QStringList parts;
        for (const QString &part :
             qEnvironmentVariable("PERIKON_TEST_PG").split(QLatin1Char(';'))) {
            if (part.trimmed().startsWith(QLatin1String("Database="), Qt::CaseInsensitive))
                parts << QStringLiteral("Database=") + m_serverDatabase;
            else
                parts << part;
        }
        m_connection = parts.join(QLatin1Char(';'));
    }

    ~ScriptDatabase()
    {
        if (!m_connection.isEmpty() && !m_serverDatabase.isEmpty())
            psql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_serverDatabase));
    }

    // Empty when the server database could not be made.
    QString connection() const { return m_connection; }
    QString folder() const { return m_dir.path(); }

private:
    static QString serverValue(const char *key)
    {
        for (const QString &part :
             qEnvironmentVariable("PERIKON_TEST_PG").split(QLatin1Char(';'))) {
            if (part.section(QLatin1Char('='), 0, 0)
                    .trimmed()
                    .compare(QLatin1String(key), Qt::CaseInsensitive)
                == 0)
                return part.section(QLatin1Char('='), 1).trimmed();
        }
        return {};
    }

    static bool psql(const QString &statement)
    {
        QProcess process;
        process.start(QStringLiteral("psql"),
                      {QStringLiteral("-h"), serverValue("Host"), QStringLiteral("-p"),
                       serverValue("Port"), QStringLiteral("-U"), serverValue("User ID"),
                       QStringLiteral("-d"), QStringLiteral("postgres"), QStringLiteral("-v"),
                       QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-qc"), statement});
        return process.waitForFinished(60000) && process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QString m_serverDatabase;
    QString m_connection;
};

// One perikon-automate process of a script: one operator's session.
class BridgeProcess
{
public:
    bool start(const QProcessEnvironment &environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(PERIKON_AUTOMATE_BINARY));
        return m_process.waitForStarted();
    }

    // The reply line to `request`, empty when none came.
    QByteArray exchange(const QString &request)
    {
        m_process.write(request.toUtf8() + '\n');
        while (!m_process.canReadLine() && m_process.waitForReadyRead(120000)) {
        }
        return m_process.canReadLine() ? m_process.readLine().trimmed() : QByteArray();
    }

    // Gone at once, as when its machine loses power: it releases nothing.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(30000);
        m_killed = true;
    }
    bool killed() const { return m_killed; }

    // Ends the bridge as a script's end does; false when it does not end.
    bool finish()
    {
        m_process.closeWriteChannel();
        return m_process.waitForFinished(60000);
    }

    // What the bridge printed on stderr beyond the notes the offscreen platform makes.
    QStringList unexpectedErrors()
    {
        static const QRegularExpression expectedNote(
            QStringLiteral("^(This plugin does not support|QStandardPaths: XDG_RUNTIME_DIR)"));
        const QStringList errors
            = QString::fromUtf8(m_process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        QStringList unexpected;
        for (const QString &error : errors) {
            if (!expectedNote.match(error).hasMatch())
                unexpected << error;
        }
        return unexpected;
    }

private:
    QProcess m_process;
    bool m_killed = false;
};

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
            << "update Crm_Contact set cMemo=N'O''Brien' where cContactCode in (N'00000001',N'00000002')"
            << 0 << "(2 rows affected)\n";
        QTest::newRow("unknown shape is refused") << "select frobnicate(1)" << 1 << "";
        QTest::newRow("missing table") << "select * from NoSuchTable" << 1 << "";
    }

    void dbToolRunsStatementsThroughTheDialect()
    {
        QFETCH(QString, statement);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const QString cnn
            = QStringLiteral(
                  "Provider=SQLite;Data Source=%1/QZDATA_001_2026.db;Initial Catalog=QZDATA_001_2026")
                  .arg(dir.path());
        QProcess tool;
        tool.start(QStringLiteral(PERIKON_DB_BINARY),
                   {QStringLiteral("create"), cnn, QStringLiteral("--demo"), QStringLiteral("5")});
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
        QVERIFY2(script.error.isEmpty(), qPrintable(script.error));

        if (ScriptDatabase::onPostgres() && qEnvironmentVariableIsEmpty("PERIKON_TEST_PG"))
            QSKIP("PERIKON_TEST_PG names no PostgreSQL server");
        const ScriptDatabase database;
        const QString cnn = database.connection();
        QVERIFY2(!cnn.isEmpty(), "no database for the script");
        QProcess create;
        QStringList createArgs{QStringLiteral("create"), cnn};
        if (script.demo > 0)
            createArgs << QStringLiteral("--demo") << QString::number(script.demo);
        create.start(QStringLiteral(PERIKON_DB_BINARY), createArgs);
        QVERIFY(create.waitForFinished(120000));
        QVERIFY2(create.exitCode() == 0, create.readAllStandardError().constData());

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Windows make the offscreen platform note what it cannot do; any other warning a
        // bridge prints fails the script below.
        env.remove(QStringLiteral("QT_FATAL_WARNINGS"));
        for (const auto &[name, value] : script.environment)
            env.insert(name, value);
        std::array<std::unique_ptr<BridgeProcess>, kBridges> bridges;
        // Values substituted into requests, as JSON string contents.
        QHash<QString, QString> values;
        const auto jsonText = [](const QString &text) {
            const QString quoted
                = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
            return quoted.mid(2, quoted.size() - 4); // the string's JSON text without its quotes
        };
        values.insert(QStringLiteral("CNN"), jsonText(cnn));
        // Files a script hands the windows (pictures) live beside the scripts.
        values.insert(QStringLiteral("SCRIPTS"),
                      jsonText(QStringLiteral(PERIKON_TEST_SOURCE_DIR "/scripts")));
        // A folder of the script's own for the files its windows write (exports).
        values.insert(QStringLiteral("WORK"), jsonText(database.folder()));
        for (const Step &step : script.steps) {
            std::unique_ptr<BridgeProcess> &bridge = bridges[size_t(step.bridge)];
            if (!bridge) {
                QVERIFY2(!step.kill, qPrintable(QStringLiteral("line %1: kills a bridge that "
                                                               "never ran")
                                                    .arg(step.line)));
                // Each bridge logs into a folder of its own.
                const QString logDir = step.bridge == 0 ? database.folder()
                                                        : QStringLiteral("%1/bridge%2")
                                                              .arg(database.folder())
                                                              .arg(step.bridge + 1);
                QVERIFY(QDir().mkpath(logDir));
                QProcessEnvironment bridgeEnv = env;
                bridgeEnv.insert(QStringLiteral("PERIKON_LOG_DIR"), logDir);
                bridge = std::make_unique<BridgeProcess>();
                QVERIFY(bridge->start(bridgeEnv));
            }
            QVERIFY2(!bridge->killed(),
                     qPrintable(QStringLiteral("line %1: the bridge was killed").arg(step.line)));
            if (step.kill) {
                bridge->kill();
                continue;
            }
            QString request = step.request;
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                request.replace(QStringLiteral("${%1}").arg(it.key()), it.value());
            const QByteArray line = bridge->exchange(request);
            QVERIFY2(!line.isEmpty(),
                     qPrintable(QStringLiteral("line %1: no reply").arg(step.line)));
            const QJsonObject reply = QJsonDocument::fromJson(line).object();
            for (const auto &[name, path] : step.captures)
                values.insert(name, jsonText(valueAt(reply, path).toVariant().toString()));
            if (step.expected.isEmpty())
                continue;
            QString expectedText = step.expected;
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                expectedText.replace(QStringLiteral("${%1}").arg(it.key()), it.value());
            const QJsonDocument expected = QJsonDocument::fromJson(expectedText.toUtf8());
            QVERIFY2(expected.isObject(),
                     qPrintable(QStringLiteral("line %1: bad expectation").arg(step.line)));
            QString why;
            QVERIFY2(matches(expected.object(), reply, why, QStringLiteral("reply")),
                     qPrintable(QStringLiteral("line %1: %2\n  reply: %3")
                                    .arg(step.line)
                                    .arg(why, QString::fromUtf8(line))));
        }
        for (const std::unique_ptr<BridgeProcess> &bridge : bridges) {
            if (!bridge || bridge->killed())
                continue;
            QVERIFY(bridge->finish());
            const QStringList unexpected = bridge->unexpectedErrors();
            QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Acceptance)
#include "tst_acceptance.moc"
