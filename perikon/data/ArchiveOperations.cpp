#include "perikon/data/ArchiveOperations.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/host/contract/ColumnAuthService.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/TransferServices.h"
#include "perikon/session/SessionGlobals.h"

#include <QDateTime>
#include <QRegularExpression>

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

// The classic number of an error raised by an outside component.
constexpr qint64 kColumnRulesUnreadable = 440;

// True when some text lies anywhere below the node, as with a content element of column children.
bool hasText(pugi::xml_node node)
{
    return node.find_node([](pugi::xml_node n) {
        return (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
               && !QString::fromUtf8(n.value()).trimmed().isEmpty();
    });
}

// "content" becomes "crm_contact" in the names of the element, its attributes and everything below.
void renameContent(pugi::xml_node node)
{
    auto renamed = [](const char *name) {
        return utf8(QString::fromUtf8(name).replace(QLatin1String("content"),
                                                    QLatin1String("crm_contact")));
    };
    node.set_name(renamed(node.name()).c_str());
    for (pugi::xml_attribute attribute : node.attributes())
        attribute.set_name(renamed(attribute.name()).c_str());
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element)
            renameContent(child);
    }
}

// An attribute value in quotes of either kind, as XML requires it.
QString xmlAttributeText(const QString &value)
{
    return value.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&apos;"));
}

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
    } else if (operating.toLower() == QLatin1String("unite") && hasText(row.child("content"))) {
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

// Answers through gLastError and always reports failure: the caller reads the answer from there.
// "*" lifts every restriction; anything else names withheld columns, and when the rules cannot
// be read that is every column of the table.
bool ArchiveOperations::reportAuthorizedFields(pugi::xml_node row)
{
    const ColumnAuthAnswer answer = askColumnAuth(row);
    if (answer.ok) {
        gLastError = answer.columns.isEmpty() ? QStringLiteral("*") : answer.columns.toLower();
        return false;
    }
    logDataError(kModule, QStringLiteral("GetAuthFlds"),
                 {kColumnRulesUnreadable, answer.error, QStringLiteral("ColumnAuthService")});
    gLastError = everyColumn();
    return false;
}

ColumnAuthAnswer ArchiveOperations::askColumnAuth(pugi::xml_node row)
{
    try {
        auto service
            = HostRegistry::createAs<ColumnAuthService>(QStringLiteral("ColumnAuthService"));
        if (!service)
            return ColumnAuthAnswer::failure(QStringLiteral("no column-authorization service"));
        if (!service->Init(m_com.connectionString(), childText(row, QStringLiteral("UserId"))))
            return ColumnAuthAnswer::failure(QStringLiteral("column rules unreachable"));
        return service->GetAuthString(
            QStringLiteral("<k2ColAuth cBusObId='") + xmlAttributeText(m_tableName)
            + QStringLiteral("' cFuncId='")
            + xmlAttributeText(childText(row, QStringLiteral("cFuncId"))) + QStringLiteral("'/>"));
    } catch (...) {
        return ColumnAuthAnswer::failure(currentError().description);
    }
}

// The table's columns, lower case and comma separated; empty when they cannot be read.
QString ArchiveOperations::everyColumn()
{
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plainName.match(m_tableName).hasMatch())
        return {};
    const QString reason = gLastError;
    std::unique_ptr<db::Recordset> columns(
        m_com.OpenX(QStringLiteral("SELECT * FROM ") + m_tableName + QStringLiteral(" WHERE 1=2")));
    gLastError = reason;
    if (!columns)
        return {};
    QStringList names;
    for (int i = 0; i < columns->fieldCount(); ++i)
        names.append(columns->field(i).name().toLower());
    return names.join(QLatin1Char(','));
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

// The row's content holds columns of the surviving contact: stamped with the server's time, it is
// written as a contact row.
bool ArchiveOperations::uniteContactService(pugi::xml_node row, QString &sMsg)
{
    try {
        std::unique_ptr<db::Recordset> now(
            m_com.OpenX(QStringLiteral("select curSrvtime=getdate()")));
        QString time;
        if (now && now->recordCount() > 0) {
            const QVariant value = now->value(QStringLiteral("curSrvtime"));
            time = value.metaType().id() == QMetaType::QDateTime
                       ? value.toDateTime().toString(db::kDateTimeFormat)
                       : value.toString();
        }
        // The content becomes a contact row of a document of its own. Its values were normalized
        // with the merge row already; only the names change, "content" to "crm_contact".
        pugi::xml_document document;
        pugi::xml_node data = document.append_child("data");
        pugi::xml_node contact = data.append_copy(row.child("content"));
        renameContent(contact);
        SetOrAddNodeText(contact, QStringLiteral("dmodifydate"), time);
        return m_com.modifyRows(data, m_tableName, sMsg);
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
