#include "perikon/data/ContactStatements.h"

#include "perikon/data/db/SqlLiteral.h"

namespace perikon::internal {

QString nextContactCodeSql(int trailingBlanks)
{
    return QStringLiteral("Select max(cContactCode) FROM Crm_Contact")
           + QStringLiteral(" WHERE  LEN(cContactCode)=8 and LEFT(cContactCode,1) in "
                            "(N'0',N'1',N'2',N'3',N'4',N'5',N'6',N'7',N'8',N'9')")
           + QString(trailingBlanks, u' ');
}

QString duplicationNoteSql(QStringView code, QStringView operation)
{
    const QString probe = QStringLiteral("if exists (select 1 from sysobjects where id = "
                                         "object_id('tc_tmp_duplication')) insert into "
                                         "tc_tmp_duplication ");
    if (operation.isEmpty())
        return probe + QStringLiteral("(obj_type,code)values(2,") + db::sqlQuoted(code) + u')';
    return probe + QStringLiteral("(obj_type,code,oper)values(2,") + db::sqlQuoted(code) + u','
           + db::sqlQuoted(operation) + u')';
}

} // namespace perikon::internal
