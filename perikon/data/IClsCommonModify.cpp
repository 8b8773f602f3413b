// IClsCommon: writing changed rows back with the row-version check, completing partial rows, and
// the archive operations a row may ask for instead.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/Common.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/DataSession.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/entry/IContact.h"
#include "perikon/entry/SessionGlobals.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/TransferServices.h"

#include <QDateTime>

namespace perikon {

using namespace transXML;

namespace {

const QString kModule = QStringLiteral("IClsCommon");

bool isTable(const QString &tableName, const char *name)
{
    return tableName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QString cutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// The unite steps, each with the text shown when it fails without a reason of its own.
struct UniteStep
{
    const char *procedure;
    const char *failureKey;
};

constexpr UniteStep kUniteSteps[] = {
    {"sp_UniteArchive_EX", "K2.AA.SRVTRANS.not_unite_ex"},
    {"sp_UniteArchive_IM", "K2.AA.SRVTRANS.not_unite_im"},
    {"sp_UniteArchive_CM", "K2.AA.SRVTRANS.not_unite_cm"},
    {"sp_UniteArchive_Sa", "K2.AA.SRVTRANS.not_unite_pu"},
    {"sp_UniteCustomer_CRM", "K2.AA.SRVTRANS.not_unite_crm"},
    {"sp_ContactMerg_CRM", "K2.AA.SRVTRANS.not_unite_crm"},
    {"sp_UniteArchive_As", "K2.AA.SRVTRANS.not_unite_as"},
};

} // namespace

bool IClsCommon::Modify(QString &sXML, QString &TableName, QString &sMsg)
{
    sXML = cutAtNul(sXML);
    TableName = cutAtNul(TableName);
    gLastError.clear();
    sMsg.clear();
    bool result = false;
    QString rowOid; // the contact being written, for the cleanup when it vanished meanwhile
    QString rowCode;
    try {
        UTLCase(sXML, true);
        if (!LoadRecordXml(internal::wrapInDataRoot(sXML))) {
            FailWithMessage(sMsg);
            return false;
        }
        pugi::xml_node root = workingDocument()->document_element();
        const std::string rowName = utf8(TableName.toLower());
        for (pugi::xml_node row = root.child(rowName.c_str()); row;
             row = row.next_sibling(rowName.c_str())) {
            const QString operating = GetAttrValue(row, QStringLiteral("operating"));
            const QString code = internal::childText(row, QStringLiteral("ccontactcode"));
            if (!operating.isEmpty()) {
                const bool ran = RunOperating(row, TableName, operating, sMsg);
                if (!ran) {
                    FailWithMessage(sMsg);
                } else if (operating.toLower() == QLatin1String("unite")
                           && !internal::childText(row, QStringLiteral("content")).isEmpty()) {
                    if (!UniteSrv(row, TableName, sMsg))
                        sMsg = QStringLiteral("CRM客户联系人并户服务出错了！");
                }
                return ran;
            }
            if (!isTable(TableName, "Crm_Contact") && !isTable(TableName, "Crm_BaseCode")) {
                gLastError = internal::dataMessage(
                    QStringLiteral("K2.CRM.QZBaseCodeRefer.clscommon.00083"));
                FailWithMessage(sMsg);
                return false;
            }

            IContact saveSteps;
            db::Recordset rs;
            rs.setCursorLocation(db::Recordset::UseClient);
            if (isTable(TableName, "Crm_Contact")) {
                rs.open(QStringLiteral("SELECT TOP 1 * FROM  ") + TableName
                            + QStringLiteral(" WHERE cContactCode=N'") + db::sqlEscaped(code)
                            + QStringLiteral("'"),
                        connection(), db::Recordset::OpenDynamic, db::Recordset::LockOptimistic,
                        -1);
                if (rs.recordCount() == 0) {
                    gLastError = internal::dataMessage(
                        code.isEmpty() ? QStringLiteral("K2.CRM.QZContact.frmcontactedit.00079")
                                       : QStringLiteral("K2.CRM.COMMON.DBMSG.0400"));
                    FailWithMessage(sMsg);
                    return false;
                }
                if (GetAttrValue(row, QStringLiteral("oid")).isEmpty()) {
                    const QString oid = rs.value(QStringLiteral("OID")).toString();
                    pugi::xml_attribute attribute = row.attribute("oid");
                    if (!attribute)
                        attribute = row.append_attribute("oid");
                    attribute.set_value(utf8(oid).c_str());
                }
                std::unique_ptr<db::Recordset> version(
                    OpenX(QStringLiteral(
                              "select top 1 convert(char, convert(money,qzts), 2) as qzts from  ")
                          + TableName + QStringLiteral(" Where cContactCode=N'")
                          + db::sqlEscaped(code) + QStringLiteral("'")));
                QString current;
                if (version && version->recordCount() > 0)
                    current = NullTo(version->value(0), QString()).toString();
                if (!gContactTs.trimmed().isEmpty() && gContactTs.trimmed() != current.trimmed()) {
                    gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Upt01"));
                    FailWithMessage(sMsg);
                    return false;
                }
            } else {
                // A code-list row is found by its id when it has one, else by type and name.
                const QString id = internal::childText(row, QStringLiteral("id"));
                const QString where
                    = !id.isEmpty()
                          ? QStringLiteral("ID=") + QString::number(id.toLongLong())
                          : QStringLiteral("cType=N'")
                                + db::sqlEscaped(internal::childText(row, QStringLiteral("ctype")))
                                + QStringLiteral("' and cName=N'")
                                + db::sqlEscaped(internal::childText(row, QStringLiteral("cname")))
                                + QStringLiteral("'");
                rs.open(QStringLiteral("SELECT TOP 1 * FROM  ") + TableName
                            + QStringLiteral(" WHERE ") + where,
                        connection(), db::Recordset::OpenDynamic, db::Recordset::LockOptimistic,
                        -1);
                if (rs.recordCount() == 0) {
                    gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0400"));
                    FailWithMessage(sMsg);
                    return false;
                }
            }

            rowOid = GetAttrValue(row, QStringLiteral("oid"));
            rowCode = code;
            if (!saveSteps.Trans(2, row, &rs, TableName, *this)) {
                FailWithMessage(sMsg);
                return false;
            }
            if (!SetFieldValue(rs, row)) {
                FailWithMessage(sMsg);
                return false;
            }
            rs.update();
            rs.close();
            if (isTable(TableName, "Crm_Contact"))
                saveSteps.TransUpdateCustomer(2, row, *this);
            result = true;
        }
        return result;
    } catch (...) {
        const internal::CaughtError error = internal::currentError();
        if (error.number == db::DbError::RowNotLocated) {
            gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0400"));
            removeOrphanedCompanions(rowOid, rowCode);
        } else if (gLastError.trimmed().isEmpty()) {
            gLastError = error.description;
        }
        internal::logDataError(kModule, QStringLiteral("Modify"), error);
        FailWithMessage(sMsg);
        return false;
    }
}

void IClsCommon::removeOrphanedCompanions(const QString &oid, const QString &code)
{
    // The contact was deleted while its save steps ran: what they wrote for it has no owner.
    // Only rows of this contact go, and only while no contact of that OID or code exists.
    const QString byOid = QStringLiteral("=N'") + db::sqlEscaped(oid) + QStringLiteral("'");
    const QString byCode = QStringLiteral("=N'") + db::sqlEscaped(code) + QStringLiteral("'");
    try {
        connection()->execute(
            QStringLiteral("delete from Crm_Contact_extradefine where OID") + byOid
            + QStringLiteral(" and not exists (select 1 from Crm_Contact where OID") + byOid
            + QStringLiteral(")"));
        for (const char *table : {"crm_contact_Auth", "crm_contact_User"})
            connection()->execute(
                QStringLiteral("delete from ") + QString::fromLatin1(table)
                + QStringLiteral(" where Contact_Id") + byCode
                + QStringLiteral(" and not exists (select 1 from Crm_Contact where cContactCode")
                + byCode + QStringLiteral(")"));
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("Modify"), internal::currentError());
    }
}

bool IClsCommon::ModifyDifferent(QString sXML, const QString &TableName, QString &sMsg)
{
    gLastError.clear();
    sMsg.clear();
    try {
        UTLCase(sXML, m_bConvertStr);
        if (!sXML.trimmed().startsWith(QLatin1String("<data")))
            sXML = QStringLiteral("<data>") + sXML + QStringLiteral("</data>");
        if (!LoadRecordXml(sXML)) {
            FailWithMessage(sMsg);
            return false;
        }
        if (!isTable(TableName, "Crm_Contact") && !isTable(TableName, "Crm_BaseCode")) {
            gLastError
                = internal::dataMessage(QStringLiteral("K2.CRM.QZBaseCodeRefer.clscommon.00083"));
            FailWithMessage(sMsg);
            return false;
        }
        const std::string rowName = utf8(TableName.toLower());
        pugi::xml_node row = workingDocument()->document_element().child(rowName.c_str());
        const QString code = internal::childText(row, QStringLiteral("ccontactcode"));
        std::unique_ptr<db::Recordset> stored(
            OpenX(Common::ToNSqlLiterals(QStringLiteral("SELECT TOP 1 * FROM  ") + TableName
                                         + QStringLiteral(" WHERE cContactCode=N'")
                                         + db::sqlEscaped(code) + QStringLiteral("'"))));
        if (!stored || stored->recordCount() == 0) {
            gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0400"));
            FailWithMessage(sMsg);
            return false;
        }

        // The stored row as record XML, then every column the caller left out copied over.
        pugi::xml_document storedDocument;
        pugi::xml_node storedRow
            = storedDocument.append_child("data").append_child(rowName.c_str());
        for (int i = 0; i < stored->fieldCount(); ++i) {
            const db::Field field = stored->field(i);
            if (field.name().compare(QLatin1String("i_id"), Qt::CaseInsensitive) == 0
                && isTable(TableName, "inventory"))
                continue;
            const QVariant value = stored->value(i);
            QString text;
            if (field.type() == db::ColumnType::Boolean)
                text = value.isNull()
                           ? QString()
                           : (value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
            else if (value.metaType().id() == QMetaType::QDateTime)
                text = value.toDateTime().toString(db::kDateTimeFormat);
            else if (!value.isNull())
                text = value.toString();
            storedRow.append_child(utf8(field.name()).c_str()).text().set(utf8(text).c_str());
        }
        for (pugi::xml_node column : storedRow.children()) {
            const std::string lower = utf8(QString::fromUtf8(column.name()).toLower());
            // The stored picture stays as it is: a picture element would ask the save to store it
            // anew, and an absent one leaves the column alone.
            if (lower == "pictureguid")
                continue;
            if (!row.child(lower.c_str())) {
                pugi::xml_node copy = row.append_copy(column);
                copy.set_name(lower.c_str());
            }
        }

        QString merged = internal::xmlText(workingDocument()->document_element());
        QString table = TableName;
        return Modify(merged, table, sMsg);
    } catch (...) {
        const internal::CaughtError error = internal::currentError();
        internal::logDataError(
            QStringLiteral("Perikon.IClsCommon"), QStringLiteral("ModifyDifferent"),
            {error.number, QStringLiteral("\r\n") + error.description, error.source});
        FailWithMessage(sMsg);
        return false;
    }
}

bool IClsCommon::UniteSrv(pugi::xml_node row, const QString &TableName, QString &sMsg)
{
    try {
        pugi::xml_node content = row.child("content");
        std::unique_ptr<db::Recordset> now(OpenX(QStringLiteral("select curSrvtime=getdate()")));
        QString time;
        if (now && now->recordCount() > 0) {
            const QVariant value = now->value(QStringLiteral("curSrvtime"));
            time = value.metaType().id() == QMetaType::QDateTime
                       ? value.toDateTime().toString(db::kDateTimeFormat)
                       : value.toString();
        }
        SetOrAddNodeText(content, QStringLiteral("dmodifydate"), time);
        QString text = internal::xmlText(content);
        text.replace(QLatin1String("content"), QLatin1String("crm_contact"));
        QString table = TableName;
        return Modify(text, table, sMsg);
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("UniteSrv"), internal::currentError());
        return false;
    }
}

bool IClsCommon::RunOperating(pugi::xml_node row, const QString &TableName,
                              const QString &operating, QString &sMsg)
{
    const QString operation = operating.toLower();
    if (operation == QLatin1String("precompile"))
        return true;
    if (operation == QLatin1String("systemstart")) {
        auto service
            = HostRegistry::createAs<SystemStartService>(QStringLiteral("SystemStartService"));
        if (!service)
            return false;
        QString started;
        if (!service->GetAllStartedSys(
                m_connectionString, internal::childText(row, QStringLiteral("cAcc_Id")), started))
            return false;
        return started.toLower().contains(
            internal::childText(row, QStringLiteral("use")).toLower());
    }
    if (operation == QLatin1String("getauthflds")) {
        QString authString;
        if (auto service
            = HostRegistry::createAs<ColumnAuthService>(QStringLiteral("ColumnAuthService"))) {
            service->Init(m_connectionString, internal::childText(row, QStringLiteral("UserId")));
            authString = service
                             ->GetAuthString(QStringLiteral("<k2ColAuth cBusObId='") + TableName
                                             + QStringLiteral("' cFuncId='")
                                             + internal::childText(row, QStringLiteral("cFuncId"))
                                             + QStringLiteral("'/>"))
                             .toLower();
        }
        gLastError = authString.isEmpty() ? QStringLiteral("*") : authString;
        return false;
    }
    if (operation == QLatin1String("unite")) {
        const QString code1 = internal::childText(row, QStringLiteral("code1")).trimmed();
        const QString code2 = internal::childText(row, QStringLiteral("code2")).trimmed();
        if (code1.isEmpty() || code2.isEmpty()) {
            sMsg = GetNotNullMsg(GetResText(QStringLiteral("K2.AA.ARCHIVE.FIELD.unite_code")));
            gLastError = sMsg;
            return false;
        }
        for (const UniteStep &step : kUniteSteps) {
            QString returned;
            const QStringList parameters{QString::fromLatin1(step.procedure), TableName, code1,
                                         code2, QString()};
            if (!CnnExec(QStringLiteral("sp_UniteArchiveProxy"), parameters, returned,
                         QStringLiteral("-1"))) {
                sMsg = !returned.isEmpty() ? returned
                                           : GetResText(QString::fromLatin1(step.failureKey));
                gLastError = sMsg;
                return false;
            }
        }
        return true;
    }
    return false;
}

bool IClsCommon::CnnExec(const QString &procedure, const QStringList &parameters, QString &returned,
                         const QString &failureStatus)
{
    QString scratch;
    bool succeeded = false;
    bool statusRead = false; // the scratch table exists and must go
    try {
        for (int n = 1;; ++n) {
            scratch = QStringLiteral("tempK250") + QString::number(n);
            std::unique_ptr<db::Recordset> taken(
                OpenX(QStringLiteral("SELECT TOP 1 * FROM tempdb..sysobjects WHERE name=N'")
                      + scratch + QStringLiteral("' AND type=N'U'")));
            if (!taken)
                throw db::DbError(db::DbError::ProviderError, gLastError);
            if (taken->recordCount() == 0)
                break;
        }
        QString statement = QStringLiteral("EXECUTE ") + procedure;
        for (qsizetype i = 0; i + 1 < parameters.size(); ++i)
            statement
                += QStringLiteral(" '") + db::sqlEscaped(parameters[i]) + QStringLiteral("',");
        statement
            += QStringLiteral("'") + scratch + QStringLiteral("',") + QStringLiteral("'cRetVal'");
        connection()->execute(statement);

        std::unique_ptr<db::Recordset> status(
            OpenX(QStringLiteral("SELECT * FROM  tempdb..") + scratch));
        statusRead = status != nullptr;
        if (!status || status->recordCount() == 0) {
            gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Ref01"));
        } else {
            returned = NullTo(status->value(QStringLiteral("cRetVal")), QString()).toString();
            succeeded = NullTo(status->value(QStringLiteral("iStatus")), QString()).toString()
                        != failureStatus;
            if (!succeeded)
                gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Ref01"));
        }
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("CnnExec"), internal::currentError());
        if (gLastError.isEmpty())
            gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0008"));
        succeeded = false;
    }
    if (statusRead) {
        const QString reason = gLastError;
        ExecuteX(QStringLiteral("drop table tempdb..") + scratch);
        gLastError = reason;
    }
    return succeeded;
}

} // namespace perikon
