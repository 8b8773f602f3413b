// IClsCommon: inserting record XML rows, the account-level writes, and the shared failure rule.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/AccountTransfer.h"
#include "perikon/data/ConnectionScope.h"
#include "perikon/data/ContactStatements.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/entry/IContact.h"
#include "perikon/host/ResText.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon {
namespace {

const QString kModule = QStringLiteral("IClsCommon");

bool isTable(const QString &tableName, const char *name)
{
    return tableName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

} // namespace

void IClsCommon::FailWithMessage(QString &sMsg)
{
    if (gLastError.trimmed().isEmpty() && sMsg.trimmed().isEmpty())
        sMsg = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0008"));
    else if (!gLastError.trimmed().isEmpty())
        sMsg = gLastError;
}

bool IClsCommon::Add(QString &sXML, const QString &TableName, QString &sMsg)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("Add"), &sMsg);
    gLastError.clear();
    sMsg.clear();
    bool result = false;
    try {
        UTLCase(sXML, true);
        if (!LoadRecordXml(internal::wrapInDataRoot(sXML))) {
            FailWithMessage(sMsg);
            return false;
        }
        const bool contact = isTable(TableName, "Crm_Contact");
        const bool baseCode = isTable(TableName, "Crm_BaseCode");
        // Checked before any row, so a wrong table name is reported whatever the rows are called.
        if (!contact && !baseCode) {
            gLastError
                = internal::dataMessage(QStringLiteral("K2.CRM.QZBaseCodeRefer.clscommon.00083"));
            FailWithMessage(sMsg);
            return false;
        }

        pugi::xml_node root = workingDocument()->document_element();
        const std::string rowName = transXML::utf8(TableName.toLower());
        for (pugi::xml_node row = root.child(rowName.c_str()); row;
             row = row.next_sibling(rowName.c_str())) {
            IContact saveSteps;
            db::Recordset rs;
            rs.setCursorLocation(db::Recordset::UseClient);
            rs.open(QStringLiteral("SELECT TOP 0 * FROM ") + TableName, connection(),
                    db::Recordset::OpenDynamic, db::Recordset::LockOptimistic, -1);
            rs.addNew();

            if (!saveSteps.Trans(1, row, &rs, TableName, *this)) {
                FailWithMessage(sMsg);
                return false;
            }
            if (!SetFieldValue(rs, row)) {
                FailWithMessage(sMsg);
                return false;
            }
            if (baseCode) {
                // A code list entry that exists already is not added again, and says nothing.
                db::Recordset existing;
                existing.setCursorLocation(db::Recordset::UseClient);
                existing.open(
                    QStringLiteral("select top 1 * from  ") + TableName
                        + QStringLiteral(" Where cType = N'")
                        + db::sqlEscaped(internal::childText(row, QStringLiteral("cType")))
                        + QStringLiteral("' and cName=N'")
                        + db::sqlEscaped(internal::childText(row, QStringLiteral("cName")))
                        + QStringLiteral("'"),
                    connection(), db::Recordset::OpenDynamic, db::Recordset::LockOptimistic, -1);
                if (existing.recordCount() == 1) {
                    rs.cancelUpdate();
                    break;
                }
            }
            rs.update();
            sXML = internal::xmlText(*workingDocument());
            rs.close();
            result = true;

            if (contact) {
                saveSteps.TransUpdateCustomer(1, row, *this);
                const pugi::xml_node code = root.select_node("//ccontactcode").node();
                connection()->execute(
                    internal::duplicationNoteSql(transXML::text(code.child_value())));
            }
        }
        return result;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        // The database's words (often with the statement) go to the log; the clerk reads the
        // component's message: a step's own, else the generic save failure.
        internal::logDataError(kModule, QStringLiteral("Add"), error);
        FailWithMessage(sMsg);
        return false;
    }
}

bool IClsCommon::zy_ConvertDB(const QString &CurDBName, QString &sMsg)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("zy_ConvertDB"));
    gLastError.clear();
    sMsg.clear();
    if (CurDBName.isEmpty()) {
        gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.NoDB"));
        return false;
    }
    try {
        connection()->setDefaultDatabase(CurDBName);
        connection()->execute(QStringLiteral("use ") + CurDBName);
        return true;
    } catch (...) {
        gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.ChagDBErr"));
        internal::logDataError(kModule, QStringLiteral("zy_ConvertDB"), internal::currentError());
        return false;
    }
}

bool IClsCommon::AddInDiffDB(QString &sXML, QStringList &strSql, const QString &CurDBName,
                             const QString &TableName, QString &sMsg)
{
    gLastError.clear();
    sMsg.clear();
    internal::AccountTransfer transfer(*this, TableName);
    try {
        UTLCase(sXML, true);
        if (!LoadRecordXml(internal::wrapInDataRoot(sXML))) {
            FailWithMessage(sMsg);
            return false;
        }
        return transfer.run(workingDocument()->document_element(), strSql, CurDBName, sMsg);
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("AddInDiffDB"), internal::currentError());
        if (transfer.connectionFailed())
            gLastError = internal::connectionFailedMessage();
        transfer.abandon();
        FailWithMessage(sMsg);
        return false;
    }
}

} // namespace perikon
