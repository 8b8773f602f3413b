#include "perikon/data/ArchiveOperations.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/TransferServices.h"
#include "perikon/session/SessionGlobals.h"

#include <QDateTime>

namespace perikon::internal {

using namespace transXML;

namespace {

const QString kModule = QStringLiteral("IClsCommon");

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

ArchiveOperations::ArchiveOperations(IClsCommon &com, const QString &tableName)
    : m_com(com)
    , m_tableName(tableName)
{}

bool ArchiveOperations::perform(pugi::xml_node row, const QString &operating, QString &sMsg)
{
    const bool ran = run(row, operating.toLower(), sMsg);
    if (!ran) {
        IClsCommon::FailWithMessage(sMsg);
    } else if (operating.toLower() == QLatin1String("unite")
               && !childText(row, QStringLiteral("content")).isEmpty()) {
        if (!uniteContactService(row, sMsg))
            sMsg = QStringLiteral("CRM客户联系人并户服务出错了！");
    }
    return ran;
}

bool ArchiveOperations::run(pugi::xml_node row, const QString &operation, QString &sMsg)
{
    if (operation == QLatin1String("precompile"))
        return true;
    if (operation == QLatin1String("systemstart"))
        return systemStarted(row);
    if (operation == QLatin1String("getauthflds"))
        return reportAuthorizedFields(row);
    if (operation == QLatin1String("unite"))
        return unite(row, sMsg);
    return false;
}

// True when the subsystem the row names under "use" is among the account's started ones.
bool ArchiveOperations::systemStarted(pugi::xml_node row)
{
    auto service = HostRegistry::createAs<SystemStartService>(QStringLiteral("SystemStartService"));
    if (!service)
        return false;
    QString started;
    if (!service->GetAllStartedSys(m_com.connectionString(),
                                   childText(row, QStringLiteral("cAcc_Id")), started))
        return false;
    return started.toLower().contains(childText(row, QStringLiteral("use")).toLower());
}

// Answers through gLastError ("*" for every column) and always reports failure: the caller reads
// the answer from there.
bool ArchiveOperations::reportAuthorizedFields(pugi::xml_node row)
{
    QString authString;
    if (auto service
        = HostRegistry::createAs<ColumnAuthService>(QStringLiteral("ColumnAuthService"))) {
        service->Init(m_com.connectionString(), childText(row, QStringLiteral("UserId")));
        authString = service
                         ->GetAuthString(QStringLiteral("<k2ColAuth cBusObId='") + m_tableName
                                         + QStringLiteral("' cFuncId='")
                                         + childText(row, QStringLiteral("cFuncId"))
                                         + QStringLiteral("'/>"))
                         .toLower();
    }
    gLastError = authString.isEmpty() ? QStringLiteral("*") : authString;
    return false;
}

bool ArchiveOperations::unite(pugi::xml_node row, QString &sMsg)
{
    const QString code1 = childText(row, QStringLiteral("code1")).trimmed();
    const QString code2 = childText(row, QStringLiteral("code2")).trimmed();
    if (code1.isEmpty() || code2.isEmpty()) {
        sMsg = m_com.GetNotNullMsg(GetResText(QStringLiteral("K2.AA.ARCHIVE.FIELD.unite_code")));
        gLastError = sMsg;
        return false;
    }
    for (const UniteStep &step : kUniteSteps) {
        QString returned;
        const QStringList parameters{QString::fromLatin1(step.procedure), m_tableName, code1, code2,
                                     QString()};
        if (!runThroughProxy(QStringLiteral("sp_UniteArchiveProxy"), parameters, returned,
                             QStringLiteral("-1"))) {
            sMsg
                = !returned.isEmpty() ? returned : GetResText(QString::fromLatin1(step.failureKey));
            gLastError = sMsg;
            return false;
        }
    }
    return true;
}

// The row's content, stamped with the server's time, is written as a contact row.
bool ArchiveOperations::uniteContactService(pugi::xml_node row, QString &sMsg)
{
    try {
        pugi::xml_node content = row.child("content");
        std::unique_ptr<db::Recordset> now(
            m_com.OpenX(QStringLiteral("select curSrvtime=getdate()")));
        QString time;
        if (now && now->recordCount() > 0) {
            const QVariant value = now->value(QStringLiteral("curSrvtime"));
            time = value.metaType().id() == QMetaType::QDateTime
                       ? value.toDateTime().toString(db::kDateTimeFormat)
                       : value.toString();
        }
        SetOrAddNodeText(content, QStringLiteral("dmodifydate"), time);
        QString text = xmlText(content);
        text.replace(QLatin1String("content"), QLatin1String("crm_contact"));
        QString table = m_tableName;
        return m_com.Modify(text, table, sMsg);
    } catch (...) {
        logDataError(kModule, QStringLiteral("UniteSrv"), currentError());
        return false;
    }
}

bool ArchiveOperations::runThroughProxy(const QString &procedure, const QStringList &parameters,
                                        QString &returned, const QString &failureStatus)
{
    QString scratch;
    bool succeeded = false;
    bool statusRead = false; // the scratch table exists and must go
    try {
        scratch = freeScratchTable();
        QString statement = QStringLiteral("EXECUTE ") + procedure;
        for (qsizetype i = 0; i + 1 < parameters.size(); ++i)
            statement
                += QStringLiteral(" '") + db::sqlEscaped(parameters[i]) + QStringLiteral("',");
        statement
            += QStringLiteral("'") + scratch + QStringLiteral("',") + QStringLiteral("'cRetVal'");
        m_com.connection()->execute(statement);
        succeeded = readProxyStatus(scratch, returned, failureStatus, statusRead);
    } catch (...) {
        logDataError(kModule, QStringLiteral("CnnExec"), currentError());
        if (gLastError.isEmpty())
            gLastError = dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.0008"));
        succeeded = false;
    }
    if (statusRead) {
        const QString reason = gLastError;
        m_com.ExecuteX(QStringLiteral("drop table tempdb..") + scratch);
        gLastError = reason;
    }
    return succeeded;
}

// The first tempK250<n> that tempdb does not hold yet.
QString ArchiveOperations::freeScratchTable()
{
    for (int n = 1;; ++n) {
        const QString scratch = QStringLiteral("tempK250") + QString::number(n);
        std::unique_ptr<db::Recordset> taken(
            m_com.OpenX(QStringLiteral("SELECT TOP 1 * FROM tempdb..sysobjects WHERE name=N'")
                        + scratch + QStringLiteral("' AND type=N'U'")));
        if (!taken)
            throw db::DbError(db::DbError::ProviderError, gLastError);
        if (taken->recordCount() == 0)
            return scratch;
    }
}

bool ArchiveOperations::readProxyStatus(const QString &scratch, QString &returned,
                                        const QString &failureStatus, bool &statusRead)
{
    std::unique_ptr<db::Recordset> status(
        m_com.OpenX(QStringLiteral("SELECT * FROM  tempdb..") + scratch));
    statusRead = status != nullptr;
    if (!status || status->recordCount() == 0) {
        gLastError = dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Ref01"));
        return false;
    }
    returned = NullTo(status->value(QStringLiteral("cRetVal")), QString()).toString();
    const bool succeeded
        = NullTo(status->value(QStringLiteral("iStatus")), QString()).toString() != failureStatus;
    if (!succeeded)
        gLastError = dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Ref01"));
    return succeeded;
}

} // namespace perikon::internal
