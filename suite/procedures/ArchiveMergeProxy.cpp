#include "suite/procedures/ArchiveMergeProxy.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Driver.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/LocalText.h"
#include "suite/services/SuiteSql.h"

namespace perikon::suite {
namespace {

const QString kSource = QStringLiteral("Perikon.Suite.sp_UniteArchiveProxy");

// Runs the named procedure through the connection, so it is dispatched like any EXECUTE the
// component writes. Gives the reason of a failure, or an empty text.
QString runProcedure(db::Connection &connection, const QString &procedure,
                     const QStringList &arguments)
{
    if (!isPlainName(procedure))
        return localText(QStringLiteral("合并过程名“%1”无效。"),
                         QStringLiteral("\"%1\" is not a valid merge procedure name."))
            .arg(procedure);
    QStringList literals;
    for (const QString &argument : arguments)
        literals.append(db::sqlNQuoted(argument));
    try {
        connection.execute(QStringLiteral("EXECUTE ") + procedure + u' '
                           + literals.join(QStringLiteral(", ")));
        return {};
    } catch (const db::DbError &error) {
        return error.description().isEmpty() ? procedure : error.description();
    }
}

} // namespace

void ArchiveMergeProxy::run(db::Connection &connection, const QStringList &arguments)
{
    if (arguments.size() < 3)
        throw db::DbError(db::DbError::ProviderError,
                          QStringLiteral("sp_UniteArchiveProxy needs a procedure name, a scratch "
                                         "table and a return column."),
                          kSource);
    const QString procedure = arguments.first().trimmed();
    const QString scratchTable = arguments.at(arguments.size() - 2).trimmed();
    QString textColumn = arguments.last().trimmed();
    if (textColumn.isEmpty())
        textColumn = QStringLiteral("cRetVal");
    if (!isPlainName(scratchTable) || !isPlainName(textColumn))
        throw db::DbError(db::DbError::ProviderError,
                          QStringLiteral("sp_UniteArchiveProxy: \"%1\" and \"%2\" must be plain "
                                         "table and column names.")
                              .arg(scratchTable, textColumn),
                          kSource);

    const QString reason
        = runProcedure(connection, procedure, arguments.mid(1, arguments.size() - 3));

    connection.executeText(QStringLiteral("create table tempdb..[%1] (iStatus int, [%2] "
                                          "nvarchar(400))")
                               .arg(scratchTable, textColumn));
    db::Driver &driver = connection.driver();
    const QString table = driver.qualifiedTable(QStringLiteral("tempdb"), scratchTable);
    driver.execute(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (iStatus, ")
                       + driver.quoteIdentifier(textColumn) + QStringLiteral(") VALUES (")
                       + driver.placeholder(0) + QStringLiteral(", ") + driver.placeholder(1)
                       + u')',
                   {reason.isEmpty() ? 0 : -1, reason.left(400)});
}

} // namespace perikon::suite
