// IClsCommon: query by example over one or more tables, and the function-authorization check.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/ConnectionScope.h"
#include "perikon/data/DataErrors.h"
#include "perikon/data/db/ColumnType.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/transXML.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/session/SessionGlobals.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace perikon {
namespace {

const QString kModule = QStringLiteral("IClsCommon");

// Numeric and byte-array columns compare with unquoted values.
namespace ct = db::ColumnType;
constexpr std::array kUnquotedTypes{
    ct::SmallInt,  ct::Integer,        ct::Single,  ct::Double,           ct::Currency,
    ct::Decimal,   ct::SignedTinyInt,  ct::TinyInt, ct::UnsignedSmallInt, ct::UnsignedInt,
    ct::BigInt,    ct::UnsignedBigInt, ct::Binary,  ct::Numeric,          ct::VarNumeric,
    ct::VarBinary, ct::LongVarBinary};

bool comparesUnquoted(int type)
{
    return std::ranges::find(kUnquotedTypes, type) != kUnquotedTypes.end();
}

// A value written without quotes must be a number (or a binary literal): anything else could
// change the statement instead of being compared.
QString unquotedValue(const QString &value, const QString &column)
{
    static const QRegularExpression literal(QStringLiteral(
        R"(^\s*(?:[+-]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][+-]?\d+)?|0[xX][0-9a-fA-F]*)\s*$)"));
    if (!literal.match(value).hasMatch())
        throw db::DbError(db::DbError::ProviderError,
                          QStringLiteral("Not a number for column %1: %2").arg(column, value),
                          QStringLiteral("Perikon.IClsCommon"));
    return value.trimmed();
}

// One comparison per child of the root: "a,b" is a range, ",b" an upper and "a," a lower bound.
// Throws DbError for a child that names no column of the probe.
QString BuildFindWhere(pugi::xml_node root, db::Recordset &probe)
{
    QString where;
    for (const pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const QString column = transXML::text(child.name());
        const QString value = transXML::text(child.text().get());
        const bool unquoted = comparesUnquoted(probe.field(column).type());
        const auto literal = [&](const QString &part) {
            return unquoted ? unquotedValue(part, column)
                            : QLatin1Char('\'') + db::sqlEscaped(part) + QLatin1Char('\'');
        };

        const qsizetype comma = value.indexOf(QLatin1Char(','));
        const qsizetype length = value.size();
        if (comma < 0)
            where += column + QLatin1Char('=') + literal(value);
        else if (comma == 0)
            where += column + QStringLiteral("<=") + literal(value.mid(1));
        else if (comma == length - 1)
            where += column + QStringLiteral(">=") + literal(value.left(length - 1));
        else
            where += column + QStringLiteral(" BETWEEN ") + literal(value.left(comma))
                     + QStringLiteral(" AND ") + literal(value.mid(comma + 1));
        where += QStringLiteral(" AND ");
    }
    where = where.trimmed();
    if (where.right(3).compare(QLatin1String("and"), Qt::CaseInsensitive) == 0)
        where.chop(3);
    return where.trimmed();
}

} // namespace

db::Recordset *IClsCommon::Find(QString sXML, const QStringList &FindTables,
                                const QStringList &ShowTables, QString &sMsg)
{
    Q_UNUSED(ShowTables)
    const internal::ConnectionScope scope(*this, QStringLiteral("Find"), &sMsg);
    gLastError.clear();
    sMsg.clear();
    UTLCase(sXML, true);

    QString tables;
    for (const QString &table : FindTables) {
        if (!table.trimmed().isEmpty())
            tables += table.trimmed() + QLatin1Char(',');
    }
    tables.chop(1);

    bool bFlag = false;
    std::unique_ptr<db::Recordset> probe(OpenX(
        QStringLiteral("SELECT * FROM ") + tables + QStringLiteral(" WHERE 1=2"), bFlag, sMsg));
    if (!probe)
        return nullptr;

    if (!LoadRecordXml(sXML)) {
        sMsg = gLastError;
        return nullptr;
    }

    QString where;
    try {
        where = BuildFindWhere(m_document->document_element(), *probe);
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        gLastError = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Sel0511"));
        sMsg = gLastError;
        internal::logDataError(kModule, QStringLiteral("Find"), error);
        return nullptr;
    }

    QString strSql = QStringLiteral("SELECT * FROM ") + tables;
    if (!where.isEmpty())
        strSql += QStringLiteral(" WHERE ") + where;
    return OpenX(strSql, bFlag, sMsg);
}

bool IClsCommon::GetFunAuth(QObject *oLogin, const QString &sArch, qint16 bIsLock, QString &sErr,
                            qint16 OptId, const QString &sAuth_Id, qint16 iYear)
{
    Q_UNUSED(sAuth_Id)
    Q_UNUSED(iYear)
    try {
        if (oLogin)
            SetLogin(oLogin);
        QObject *login = m_login.data();

        const QString funcId = transXML::ArchFuncId(sArch, OptId);
        if (funcId.isEmpty() || !login)
            return true;

        // A login without TaskExec cannot be asked: that is an error, not a refusal.
        if (login->metaObject()->indexOfMethod("TaskExec(QString,bool&)") < 0)
            throw db::DbError(438, QStringLiteral("Object doesn't support TaskExec"),
                              QStringLiteral("Perikon.IClsCommon"));

        bool state = bIsLock != 0;
        const bool granted = hostlogin::taskExec(login, funcId, state);
        if (bIsLock && !granted) {
            sErr = hostlogin::text(login, "ShareString");
            return false;
        }
        // Without the lock flag the task only announces itself: its answer does not matter.
        return true;
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        sErr = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.MsgAuthErr"));
        internal::logDataError(kModule, QStringLiteral("GetFunAuth"), error);
        return true;
    }
}

} // namespace perikon
