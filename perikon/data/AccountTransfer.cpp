#include "perikon/data/AccountTransfer.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/RowText.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/ResText.h"
#include "perikon/session/SessionGlobals.h"

namespace perikon::internal {

namespace {

// IClsCommon::TransCnn's modes.
constexpr int kOpen = 1;
constexpr int kCloseWhenOwned = 2;
constexpr int kRelease = 3;

} // namespace

AccountTransfer::AccountTransfer(IClsCommon &com, const QString &tableName)
    : m_com(com)
    , m_tableName(tableName)
{}

AccountTransfer::~AccountTransfer() = default;

bool AccountTransfer::run(pugi::xml_node root, const QStringList &statements,
                          const QString &database, QString &sMsg)
{
    openConnections();
    if (!writeRows(root, sMsg))
        return false;
    runStatements(statements, database);
    m_com.TransCnn(m_system, kCloseWhenOwned);
    m_com.TransCnn(m_account, kCloseWhenOwned);
    return true;
}

void AccountTransfer::openConnections()
{
    m_connecting = true;
    m_com.TransCnn(m_system, kOpen);
    m_com.TransCnn(m_account, kOpen);
    if (!m_system || !m_account)
        throw db::DbError(
            db::DbError::ProviderError,
            QStringLiteral("cannot open a second connection to the account database"));
    m_system->execute(QStringLiteral("use qzsystem"));
}

bool AccountTransfer::writeRows(pugi::xml_node root, QString &sMsg)
{
    const std::string rowName = transXML::utf8(m_tableName.toLower());
    for (pugi::xml_node row = root.child(rowName.c_str()); row;
         row = row.next_sibling(rowName.c_str())) {
        if (m_tableName.compare(QLatin1String("UA_Account_Sub"), Qt::CaseInsensitive) != 0) {
            gLastError
                = GetResFormat(QStringLiteral("K2.CRM.COMMON.DBMSG.NoTableParam"), {m_tableName});
            IClsCommon::FailWithMessage(sMsg);
            m_com.TransCnn(m_system, kRelease);
            m_com.TransCnn(m_account, kRelease);
            return false;
        }
        if (!writeRow(row, sMsg))
            return false;
    }
    return true;
}

// One subsystem row of an account year, added when the system database has none yet.
bool AccountTransfer::writeRow(pugi::xml_node row, QString &sMsg)
{
    // The year is placed into the statement as a number, so it must be one.
    const QString yearText = childText(row, QStringLiteral("iyear")).trimmed();
    bool isYear = false;
    const int year = yearText.toInt(&isYear);
    if (!isYear)
        throw db::DbError(db::DbError::ProviderError,
                          QStringLiteral("iyear is not a number: \"%1\"").arg(yearText));
    db::Connection *systemCnn = m_system.get();
    bool opened = false;
    std::unique_ptr<db::Recordset> rs = m_com.OpenRs(
        QStringLiteral("SELECT TOP 1 * FROM ") + m_tableName + QStringLiteral(" WHERE cAcc_Id=N'")
            + db::sqlEscaped(childText(row, QStringLiteral("cAcc_Id"))) + QStringLiteral("'")
            + QStringLiteral(" AND iyear=") + QString::number(year)
            + QStringLiteral(" AND cSub_Id=N'")
            + db::sqlEscaped(childText(row, QStringLiteral("cSub_Id"))) + QStringLiteral("'"),
        systemCnn, opened);
    if (!rs)
        throw db::DbError(db::DbError::ProviderError, gLastError);
    if (rs->recordCount() == 0)
        rs->addNew();
    if (!m_com.SetFieldValue(*rs, row)) {
        IClsCommon::FailWithMessage(sMsg);
        m_com.TransCnn(m_system, kRelease);
        m_com.TransCnn(m_account, kRelease);
        return false;
    }
    rs->update();
    rs->close();
    return true;
}

void AccountTransfer::runStatements(const QStringList &statements, const QString &database)
{
    // Begun only now that the system row is written: a write transaction on the account
    // connection holds the system database too (it is attached there), so the system connection
    // could not write while it was open.
    m_account->beginTrans();
    m_account->execute(QStringLiteral("use ") + database);
    for (const QString &statement : statements) {
        if (!statement.trimmed().isEmpty())
            m_account->execute(statement);
    }
    m_account->commitTrans();
}

bool AccountTransfer::connectionFailed() const
{
    const auto unusable = [](const std::unique_ptr<db::Connection> &connection) {
        return !connection || connection->state() != db::Connection::StateOpen;
    };
    return m_connecting && (unusable(m_system) || unusable(m_account));
}

void AccountTransfer::abandon()
{
    try {
        if (m_account && m_account->inTransaction())
            m_account->rollbackTrans();
    } catch (...) {
        // The error that brought us here is the one reported; a failed rollback adds nothing.
    }
    m_com.TransCnn(m_system, kRelease);
    m_com.TransCnn(m_account, kRelease);
}

} // namespace perikon::internal
