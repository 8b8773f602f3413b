// IClsCommon: connection state, lifecycle and the plain query operations.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/ConnectionScope.h"
#include "perikon/data/DataErrors.h"
#include "perikon/session/ClassRegistry.h"
#include "perikon/session/GlobalRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <pugixml.hpp>

namespace perikon {

PERIKON_REGISTER_CLASS("Perikon.IClsCommon", IClsCommon)

namespace {
// Automation clients pass connections and recordsets by type name.
[[maybe_unused]] const bool typesRegistered = [] {
    qRegisterMetaType<db::Recordset *>();
    qRegisterMetaType<db::Connection *>();
    return true;
}();

// The shared data-access object; one set from outside stays owned by its creator.
[[maybe_unused]] const bool published = GlobalRegistry::registerValue(
    QStringLiteral("gClsCommon"),
    [] { return QVariant::fromValue(static_cast<QObject *>(gClsCommon.get())); },
    [](const QVariant &v) {
        auto *common = qobject_cast<IClsCommon *>(v.value<QObject *>());
        gClsCommon = std::shared_ptr<IClsCommon>(common, [](IClsCommon *) {});
    });

const QString kModule = QStringLiteral("IClsCommon");
const QString kSel0511 = QStringLiteral("K2.CRM.COMMON.DBMSG.Sel0511");
} // namespace

IClsCommon::IClsCommon(QObject *parent)
    : QObject(parent)
{}

IClsCommon::~IClsCommon()
{
    // Close only a connection this instance was told it owns.
    try {
        if (m_status && m_connection && m_connection->state() == db::Connection::StateOpen)
            m_connection->close();
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("TransCnn"), internal::currentError());
    }
    m_connectionString.clear();
    m_login = nullptr;
}

db::Connection *IClsCommon::connection()
{
    if (!m_connection) {
        m_ownedConnection = std::make_unique<db::Connection>();
        m_connection = m_ownedConnection.get();
    }
    return m_connection;
}

void IClsCommon::setConnection(db::Connection *connection)
{
    if (!m_document)
        m_document = std::make_unique<pugi::xml_document>();
    if (!connection) {
        m_ownedConnection = std::make_unique<db::Connection>();
        m_connection = m_ownedConnection.get();
    } else if (connection != m_ownedConnection.get()) {
        m_connection = connection;
        m_ownedConnection.reset();
    }
    m_connectionString = m_connection->connectionString();
}

void IClsCommon::Init(QString &sCnnStr)
{
    try {
        m_status = true;
        m_document = std::make_unique<pugi::xml_document>();
        db::Connection *cnn = connection();
        // A link the server dropped is not open: it is made anew, even under a transaction,
        // whose work went with the link.
        if (cnn->state() != db::Connection::StateOpen || cnn->linkLost()) {
            cnn->setConnectionString(sCnnStr);
            cnn->setCommandTimeout(0);
            cnn->open();
            m_connectionString = sCnnStr;
        }
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("Init"), internal::currentError());
    }
}

bool IClsCommon::SetLogin(QObject *oLogin)
{
    m_login = oLogin;
    return true;
}

std::unique_ptr<db::Recordset> IClsCommon::openQuery(const QString &strSql, int cursorLocation,
                                                     int cursorType, int lockType,
                                                     const QString &procedure, bool &bFlag,
                                                     QString &sMsg)
{
    const internal::ConnectionScope scope(*this, procedure, &sMsg);
    try {
        auto rs = std::make_unique<db::Recordset>();
        rs->setCursorLocation(cursorLocation);
        rs->open(strSql, connection(), cursorType, lockType, -1);
        bFlag = true;
        return rs;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        bFlag = false;
        sMsg = error.description;
        gLastError = internal::dataMessage(kSel0511);
        internal::logDataError(kModule, procedure, error, strSql);
        return nullptr;
    }
}

db::Recordset *IClsCommon::OpenX(const QString &strSql)
{
    bool bFlag = false;
    QString sMsg;
    return OpenX(strSql, bFlag, sMsg);
}

db::Recordset *IClsCommon::OpenX(const QString &strSql, bool &bFlag)
{
    QString sMsg;
    return OpenX(strSql, bFlag, sMsg);
}

db::Recordset *IClsCommon::OpenX(const QString &strSql, bool &bFlag, QString &sMsg)
{
    return openQuery(strSql, db::Recordset::UseClient, db::Recordset::OpenStatic,
                     db::Recordset::LockOptimistic, QStringLiteral("OpenX"), bFlag, sMsg)
        .release();
}

db::Recordset *IClsCommon::OpenForward(const QString &strSql)
{
    bool bFlag = false;
    QString sMsg;
    return OpenForward(strSql, bFlag, sMsg);
}

db::Recordset *IClsCommon::OpenForward(const QString &strSql, bool &bFlag)
{
    QString sMsg;
    return OpenForward(strSql, bFlag, sMsg);
}

db::Recordset *IClsCommon::OpenForward(const QString &strSql, bool &bFlag, QString &sMsg)
{
    return openQuery(strSql, db::Recordset::UseServer, db::Recordset::OpenForwardOnly,
                     db::Recordset::LockReadOnly, QStringLiteral("OpenForward"), bFlag, sMsg)
        .release();
}

std::unique_ptr<db::Recordset> IClsCommon::OpenRs(const QString &strSql, db::Connection *&cnn,
                                                  bool &bFlag)
{
    try {
        if (!cnn)
            cnn = connection();
        auto rs = std::make_unique<db::Recordset>();
        rs->setCursorLocation(db::Recordset::UseClient);
        rs->open(strSql, cnn, db::Recordset::OpenStatic, db::Recordset::LockOptimistic, -1);
        bFlag = true;
        return rs;
    } catch (...) {
        bFlag = false;
        internal::logDataError(kModule, QStringLiteral("OpenRs"), internal::currentError());
        return nullptr;
    }
}

void IClsCommon::TransCnn(std::unique_ptr<db::Connection> &cnn, int mode)
{
    try {
        switch (mode) {
        case 1:
            cnn = std::make_unique<db::Connection>();
            cnn->open(m_connectionString);
            cnn->setCommandTimeout(0);
            break;
        case 2:
            if (!m_status)
                break;
            [[fallthrough]];
        case 3:
            if (cnn) {
                if (cnn->state() == db::Connection::StateOpen)
                    cnn->close();
                cnn.reset();
            }
            break;
        default:
            break;
        }
    } catch (...) {
        internal::logDataError(kModule, QStringLiteral("TransCnn"), internal::currentError());
    }
}

bool IClsCommon::ExecuteX(const QString &StrExec)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("ExecuteX"));
    try {
        connection()->execute(StrExec);
        return true;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        gLastError = error.description;
        internal::logDataError(QStringLiteral("IClscommon"), QStringLiteral("ExecuteX"), error);
        return false;
    }
}

void IClsCommon::Terminate()
{
    // Every error is passed over: Terminate runs on the way out.
    try {
        if (m_status && m_connection && m_connection->state() == db::Connection::StateOpen)
            m_connection->close();
    } catch (...) {
    }
    m_connection = nullptr;
    m_ownedConnection.reset();
    m_document.reset();
}

} // namespace perikon
