#include "perikon/list/ListStatement.h"

#include "perikon/data/db/SqlLiteral.h"
#include "perikon/list/ListAuthorization.h"

namespace perikon::list {

QString listStatement(const ListQuery &query)
{
    if (query.rowAuthRead.trimmed().isEmpty())
        return {};
    QString sql = QStringLiteral("SELECT ") + query.selectCols
                  + QStringLiteral(" FROM v_Crm_Contact Crm_Contact ")
                  + Common::listJoinsBefore(query.selectCols, QStringLiteral("WHERE ("))
                  + query.rowAuthRead + QStringLiteral(")  ");
    if (!query.archiveCusCode.isEmpty())
        sql += QStringLiteral(" and Crm_Contact.cCusCode = N'")
               + db::sqlEscaped(query.archiveCusCode) + QStringLiteral("' ");
    if (!query.extra.isEmpty())
        sql += QStringLiteral(" AND ") + query.extra;
    if (!query.filter.isEmpty())
        sql += QStringLiteral(" AND ") + query.filter;
    // A bare cContactCode would be ambiguous once the superior's row is joined.
    sql += query.orderText.isEmpty() ? QStringLiteral(" ORDER BY Crm_Contact.cContactCode")
                                     : QStringLiteral(" Order by ") + query.orderText;
    return sql;
}

} // namespace perikon::list
