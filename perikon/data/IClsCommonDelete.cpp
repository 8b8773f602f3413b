// IClsCommon: deleting a contact with its companion rows, and the reference checks before it.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/ConnectionScope.h"
#include "perikon/data/ContactStatements.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon {
namespace {
const QString kModule = QStringLiteral("IClsCommon");

// Whether `name` is exactly a column of `table`: the key name goes into the statement as written,
// so nothing but a column name may pass.
bool isColumnOf(db::Connection &connection, const QString &table, const QString &name)
{
    db::Recordset columns;
    columns.open(QStringLiteral("SELECT TOP 0 * FROM ") + table, &connection,
                 db::Recordset::OpenForwardOnly, db::Recordset::LockReadOnly, -1);
    return columns.hasField(name);
}
} // namespace

bool IClsCommon::Delete(const QVariant &ID, const QString &IDName, const QString &TableName,
                        QString &sMsg, const QString &sUserId)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("Delete"), &sMsg);
    gLastError.clear();
    sMsg.clear();
    try {
        const QString id = ID.isNull() ? QString() : ID.toString();
        if (id.isEmpty()) {
            gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.NoKeyID"));
            FailWithMessage(sMsg);
            return false;
        }
        if (TableName.compare(QLatin1String("Crm_Contact"), Qt::CaseInsensitive) != 0) {
            gLastError
                = internal::dataMessage(QStringLiteral("K2.CRM.QZBaseCodeRefer.clscommon.00083"));
            FailWithMessage(sMsg);
            return false;
        }
        // The duplicate detection hears of the delete even when it fails later.
        connection()->execute(internal::duplicationNoteSql(id, u"del"));
        if (IDName.trimmed().isEmpty()) {
            gLastError
                = internal::dataMessage(QStringLiteral("K2.CRM.QZCompetitor.iclscommon.00059"));
            FailWithMessage(sMsg);
            return false;
        }
        if (!isColumnOf(*connection(), TableName, IDName.trimmed())) {
            internal::logDataError(kModule, QStringLiteral("Delete"),
                                   {db::DbError::ProviderError,
                                    QStringLiteral("not a column of %1: %2").arg(TableName, IDName),
                                    QStringLiteral("Perikon")});
            gLastError
                = internal::dataMessage(QStringLiteral("K2.CRM.QZCompetitor.iclscommon.00059"));
            FailWithMessage(sMsg);
            return false;
        }

        std::unique_ptr<db::Recordset> stored(
            OpenX(QStringLiteral("SELECT OID,cContactCode FROM Crm_Contact WHERE ") + IDName
                  + QStringLiteral("= N'") + db::sqlEscaped(id) + QStringLiteral("'")));
        if (!stored)
            throw db::DbError(db::DbError::ProviderError, gLastError);
        if (stored->recordCount() == 0) {
            gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Sel0512"));
            FailWithMessage(sMsg);
            return false;
        }
        const QString oid
            = transXML::NullTo(stored->value(QStringLiteral("OID")), QString()).toString();
        const QString code
            = transXML::NullTo(stored->value(QStringLiteral("cContactCode")), QString()).toString();

        // Both keys are checked, so the message names every object that refers to the contact.
        const bool freeByOid = referencesFree(oid, TableName, true, sMsg);
        const bool freeByCode = referencesFree(code, TableName, true, sMsg);
        if (!freeByOid || !freeByCode) {
            sMsg = GetResFormat(
                QStringLiteral("K2.CRM.COMMON.CheckRef02"),
                {GetResText(QStringLiteral("K2.CRM.BizObjDic.WordContactMng")), sMsg});
            FailWithMessage(sMsg);
            return false;
        }

        const bool numericKey = ID.metaType().id() == QMetaType::Int
                                || ID.metaType().id() == QMetaType::LongLong
                                || ID.metaType().id() == QMetaType::Short;
        const QString deleteRow
            = numericKey
                  ? QStringLiteral("Delete FROM ") + TableName + QStringLiteral(" WHERE ") + IDName
                        + QStringLiteral("=") + id
                  : QStringLiteral("Delete FROM ") + TableName + QStringLiteral(" WHERE ") + IDName
                        + QStringLiteral("=N'") + db::sqlEscaped(id) + QStringLiteral("'");
        db::Connection *cnn = connection();
        cnn->execute(QStringLiteral("Delete FROM crm_contact_User where Contact_Id = N'")
                     + db::sqlEscaped(id) + QStringLiteral("'"));
        cnn->execute(QStringLiteral("Delete FROM crm_contact_Auth where Contact_Id = N'")
                     + db::sqlEscaped(id) + QStringLiteral("'"));
        cnn->execute(QStringLiteral("Delete FROM Crm_Contact_extradefine where OID = N'")
                     + db::sqlEscaped(oid) + QStringLiteral("'"));
        cnn->execute(QStringLiteral("update customer set ccuscontactcode=null,cCusPerson=N'' WHERE "
                                    "customer.cCusContactCode = N'")
                     + db::sqlEscaped(oid) + QStringLiteral("'"));
        qint64 deleted = 0;
        cnn->execute(deleteRow, &deleted);
        if (deleted == 1)
            return true;
        gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Sel0512"));
        FailWithMessage(sMsg);
        return false;
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("Delete"), internal::currentError());
        return false;
    }
}

bool IClsCommon::CheckRefed(const QVariant &IDValue, const QString &TableName, bool bShowAll,
                            QString &RetMsg, const QString &cUserId)
{
    Q_UNUSED(cUserId);
    const internal::ConnectionScope scope(*this, QStringLiteral("CheckRefed"));
    try {
        return referencesFree(IDValue, TableName, bShowAll, RetMsg);
    } catch (...) {
        // A check that cannot be made must not let a delete through.
        internal::logDataError(kModule, QStringLiteral("CheckRefed"), internal::currentError());
        return false;
    }
}

bool IClsCommon::referencesFree(const QVariant &IDValue, const QString &TableName, bool bShowAll,
                                QString &RetMsg)
{
    db::Recordset declarations;
    declarations.setCursorLocation(db::Recordset::UseClient);
    declarations.open(
        QStringLiteral("SELECT creferencedtablekey,creferencingtablecolumn,creferencingtablename,"
                       "cwherepart,cObjName")
            // Table names compare without case, as on the server the declarations were written
            // for: the list deletes from "crm_contact", the declarations name "Crm_Contact".
            + QStringLiteral(" FROM crm_ref_relation WHERE UPPER(creferencedtablename)=UPPER(N'")
            + db::sqlEscaped(TableName) + QStringLiteral("')"),
        connection(), db::Recordset::OpenStatic, db::Recordset::LockOptimistic, -1);
    declarations.setActiveConnection(nullptr);
    const QString value = IDValue.toString();
    for (; !declarations.eof(); declarations.moveNext()) {
        const auto text = [&](const char *column) {
            return transXML::NullTo(declarations.value(QString::fromLatin1(column)), QString())
                .toString();
        };
        QString query = QStringLiteral("select top 1 * from ") + text("creferencingtablename")
                        + QStringLiteral(" where ") + text("creferencingtablecolumn")
                        + QStringLiteral(" = N'") + db::sqlEscaped(value) + QStringLiteral("'");
        const QString wherePart = text("cwherepart");
        if (!wherePart.trimmed().isEmpty())
            query += QStringLiteral(" and ") + wherePart;
        db::Recordset hit;
        hit.setCursorLocation(db::Recordset::UseClient);
        hit.open(query, connection(), db::Recordset::OpenStatic, db::Recordset::LockReadOnly, -1);
        if (hit.recordCount() > 0) {
            if (!RetMsg.isEmpty())
                RetMsg += QStringLiteral("、");
            RetMsg += text("cObjName");
            if (!bShowAll)
                break;
        }
    }
    return RetMsg.isEmpty();
}

bool IClsCommon::BArchIsUsed(const QString &cTableName, const QString &cField,
                             const QString &cRetval)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("BArchIsUsed"));
    try {
        std::unique_ptr<db::Recordset> rs(OpenX(
            QStringLiteral("SELECT TOP 1 * FROM ") + cTableName + QStringLiteral(" WHERE ") + cField
            + QStringLiteral(" = N'") + db::sqlEscaped(cRetval) + QStringLiteral("'")));
        if (rs && rs->recordCount() == 1) {
            gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Ref01"));
            return true;
        }
        return false;
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("CnnExec"), internal::currentError());
        return false;
    }
}

} // namespace perikon
