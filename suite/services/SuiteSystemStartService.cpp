#include "suite/services/SuiteSystemStartService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/schema/SchemaInstaller.h"
#include "suite/services/SuiteSql.h"

namespace perikon::suite {

bool SuiteSystemStartService::GetAllStartedSys(const QString &connectionString,
                                               const QString &accountId, QString &started)
{
    started.clear();
    QString sql = QStringLiteral("select distinct cSub_Id from qzsystem..UA_Account_Sub "
                                 "where cAcc_Id=N'")
                  + db::sqlEscaped(accountId.trimmed())
                  + QStringLiteral("' and dSubSysUsed is not null");
    if (const auto catalog = SchemaInstaller::accountCatalogOf(connectionString);
        catalog && !catalog->year.isEmpty())
        sql += QStringLiteral(" and iYear=") + QString::number(catalog->year.toInt());
    sql += QStringLiteral(" order by cSub_Id");
    try {
        db::Connection connection;
        connection.open(connectionString);
        QStringList ids;
        for (const QStringList &row : queryRows(connection, sql))
            ids.append(row.first().trimmed());
        started = ids.join(u',');
        return true;
    } catch (const db::DbError &) {
        return false; // the caller treats false as "not started"
    }
}

} // namespace perikon::suite
