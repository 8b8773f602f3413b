// perikon-db: database chores for the reference suite. One function per subcommand, listed in
// kCommands; main() only dispatches.

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "suite/schema/DemoDataGenerator.h"
#include "suite/schema/SchemaInstaller.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <array>
#include <optional>

namespace {

using perikon::suite::SchemaInstaller;

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int fail(const QString &message, int code = kFailed)
{
    err() << "perikon-db: " << message << Qt::endl;
    return code;
}

// Where the account database of a connection string lives.
struct SqliteTarget
{
    QString folder;
    perikon::suite::AccountCatalog catalog;
};

std::optional<SqliteTarget> sqliteTargetOf(const QString &text, QString &error)
{
    const perikon::db::ConnectionString connection(text);
    if (connection.isEmpty()) {
        error
            = QStringLiteral(
                  "\"%1\" is not a connection string (expected key=value pairs separated by \";\").")
                  .arg(text);
        return std::nullopt;
    }
    const QString provider = connection.provider().trimmed();
    if (provider.isEmpty()) {
        error = QStringLiteral("The connection string names no Provider (Provider=SQLite).");
        return std::nullopt;
    }
    if (provider.compare(u"SQLite", Qt::CaseInsensitive) != 0) {
        error = QStringLiteral(
                    "Unsupported provider \"%1\"; perikon-db creates SQLite (Provider=SQLite) and "
                    "PostgreSQL (Provider=PostgreSQL) databases.")
                    .arg(provider);
        return std::nullopt;
    }
    const auto catalog = SchemaInstaller::accountCatalogOf(text);
    if (!catalog) {
        error = QStringLiteral("The connection string must name the account database as "
                               "Initial Catalog=QZDATA_<account>_<year>, e.g. QZDATA_001_2026.");
        return std::nullopt;
    }
    const QString dataSource = connection.dataSource().trimmed();
    if (dataSource.isEmpty()) {
        error = QStringLiteral(
            "The connection string names no Data Source (the account database file).");
        return std::nullopt;
    }
    const QFileInfo source(dataSource);
    if (source.isDir())
        return SqliteTarget{source.absoluteFilePath(), *catalog};
    const QString expected = SchemaInstaller::accountDatabaseName(catalog->account, catalog->year)
                             + QStringLiteral(".db");
    if (source.fileName().compare(expected, Qt::CaseInsensitive) != 0) {
        error
            = QStringLiteral(
                  "Data Source \"%1\" does not match the catalog: the account database file must be "
                  "named %2.")
                  .arg(dataSource, expected);
        return std::nullopt;
    }
    return SqliteTarget{source.absolutePath(), *catalog};
}

int reportDemo(const perikon::suite::SchemaResult<perikon::suite::DemoDataSummary> &summary,
               qint64 elapsedMs)
{
    if (!summary)
        return fail(summary.error());
    out() << QStringLiteral("Demo data: %1 contacts, %2 customers, %3 employees, %4 departments, "
                            "%5 opportunities in %6 s")
                 .arg(summary->contacts)
                 .arg(summary->customers)
                 .arg(summary->persons)
                 .arg(summary->departments)
                 .arg(summary->opportunities)
                 .arg(double(elapsedMs) / 1000.0, 0, 'f', 2)
          << Qt::endl;
    return 0;
}

// The account, meta and system databases as schemas of the connection string's PostgreSQL database.
int createPostgres(const QString &connectionText, std::optional<int> demoContacts, quint64 seed,
                   bool replace)
{
    const auto created = SchemaInstaller::createPostgresDatabases(connectionText, replace);
    if (!created)
        return fail(created.error()
                    + (replace ? QString() : QStringLiteral(" Use --replace to recreate it.")));
    const perikon::db::ConnectionString connection(connectionText);
    out() << "Created schema " << connection.catalog().toLower() << " in database "
          << connection.database() << Qt::endl;
    if (!demoContacts)
        return 0;
    QElapsedTimer timer;
    timer.start();
    const auto summary
        = perikon::suite::DemoDataGenerator(seed).generatePostgres(connectionText, *demoContacts);
    return reportDemo(summary, timer.elapsed());
}

int createCommand(const QStringList &args)
{
    QString connectionText;
    std::optional<int> demoContacts;
    quint64 seed = 1;
    bool replace = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--demo" || arg == u"--seed") {
            if (i + 1 >= args.size())
                return fail(QStringLiteral("%1 needs a number.").arg(arg), kUsage);
            bool ok = false;
            const QString value = args[++i];
            if (arg == u"--demo") {
                demoContacts = value.toInt(&ok);
                if (!ok || *demoContacts < 0)
                    return fail(
                        QStringLiteral("--demo needs a number of contacts, not \"%1\".").arg(value),
                        kUsage);
            } else {
                seed = value.toULongLong(&ok);
                if (!ok)
                    return fail(
                        QStringLiteral("--seed needs a whole number, not \"%1\".").arg(value),
                        kUsage);
            }
        } else if (arg == u"--replace") {
            replace = true;
        } else if (arg.startsWith(u"--")) {
            return fail(QStringLiteral("Unknown option %1.").arg(arg), kUsage);
        } else if (connectionText.isEmpty()) {
            connectionText = arg;
        } else {
            return fail(QStringLiteral("Unexpected argument \"%1\".").arg(arg), kUsage);
        }
    }
    if (connectionText.isEmpty())
        return fail(QStringLiteral("create needs a connection string."), kUsage);

    if (perikon::db::ConnectionString(connectionText)
            .provider()
            .trimmed()
            .compare(u"PostgreSQL", Qt::CaseInsensitive)
        == 0)
        return createPostgres(connectionText, demoContacts, seed, replace);

    QString error;
    const auto target = sqliteTargetOf(connectionText, error);
    if (!target)
        return fail(error);

    const auto files = SchemaInstaller::createSqliteDatabases(
        target->folder, target->catalog.account, target->catalog.year, replace);
    if (!files)
        return fail(files.error()
                    + (replace ? QString() : QStringLiteral(" Use --replace to recreate it.")));
    out() << "Created " << QDir::toNativeSeparators(files->account) << Qt::endl
          << "  meta   " << QDir::toNativeSeparators(files->meta) << Qt::endl
          << "  system " << QDir::toNativeSeparators(files->system) << Qt::endl;

    if (demoContacts) {
        QElapsedTimer timer;
        timer.start();
        // Read the clock only once the data is in: argument order is not evaluation order.
        const auto summary = perikon::suite::generateDemoData(files->account, *demoContacts, seed);
        return reportDemo(summary, timer.elapsed());
    }
    return 0;
}

QString cellText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().toString(perikon::db::kDateTimeFormat);
    if (value.metaType().id() == QMetaType::QByteArray)
        return QStringLiteral("<%1 bytes>").arg(value.toByteArray().size());
    return value.toString();
}

// Runs one SQL Server statement through the data layer, as the component would, and prints its
// rows (tab-separated, with a heading) or the number of rows it changed.
int sqlCommand(const QStringList &args)
{
    if (args.size() != 2)
        return fail(QStringLiteral("sql needs a connection string and one statement."), kUsage);
    try {
        perikon::db::Connection connection;
        connection.open(args[0]);
        const QString statement = args[1].trimmed();
        if (statement.startsWith(u"select", Qt::CaseInsensitive)) {
            perikon::db::Recordset rs;
            rs.setCursorLocation(perikon::db::Recordset::UseClient);
            rs.open(statement, &connection, perikon::db::Recordset::OpenStatic,
                    perikon::db::Recordset::LockReadOnly);
            QStringList heading;
            for (int i = 0; i < rs.fieldCount(); ++i)
                heading << rs.field(i).name();
            out() << heading.join(QLatin1Char('\t')) << '\n';
            for (; !rs.eof(); rs.moveNext()) {
                QStringList row;
                for (int i = 0; i < rs.fieldCount(); ++i)
                    row << cellText(rs.value(i));
                out() << row.join(QLatin1Char('\t')) << '\n';
            }
            out() << QStringLiteral("(%1 rows)").arg(rs.recordCount()) << Qt::endl;
        } else {
            qint64 affected = 0;
            connection.execute(statement, &affected);
            out() << QStringLiteral("(%1 rows affected)").arg(affected) << Qt::endl;
        }
        return 0;
    } catch (const perikon::db::DbError &e) {
        return fail(e.description());
    }
}

struct Command
{
    const char *name;
    const char *usage;
    int (*run)(const QStringList &args);
};

constexpr std::array kCommands{
    Command{
        "create",
        "create \"<connection string>\" [--demo N] [--seed S] [--replace]\n"
        "    Creates QZDATA_<acc>_<year>.db, QZMeta_<acc>.db and qzsystem.db in the folder of Data Source,\n"
        "    or on PostgreSQL the schemas qzdata_<acc>_<year>, qzmeta_<acc> and qzsystem in Database,\n"
        "    optionally with N demo contacts (deterministic for the seed, default 1).",
        createCommand},
    Command{
        "sql",
        "sql \"<connection string>\" \"<T-SQL>\"\n"
        "    Runs one statement through the SQL dialect and prints its rows or the affected count.",
        sqlCommand},
};

int usage(int code)
{
    QTextStream &stream = code == 0 ? out() : err();
    stream << "Usage: perikon-db <command> ...\n";
    for (const Command &command : kCommands)
        stream << "  perikon-db " << command.usage << '\n';
    stream
        << "Example connection strings:\n"
           "  Provider=SQLite;Data Source=/data/QZDATA_001_2026.db;Initial Catalog=QZDATA_001_2026\n"
           "  Provider=PostgreSQL;Host=127.0.0.1;Port=5432;Database=perikon;User ID=u;Password=p;"
           "Initial Catalog=QZDATA_001_2026"
        << Qt::endl;
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage(kUsage);
    const QString name = args.takeFirst();
    if (name == u"help" || name == u"--help" || name == u"-h")
        return usage(0);
    for (const Command &command : kCommands) {
        if (name == QLatin1String(command.name))
            return command.run(args);
    }
    err() << "perikon-db: unknown command \"" << name << "\"." << Qt::endl;
    return usage(kUsage);
}
