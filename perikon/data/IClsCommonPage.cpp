// IClsCommon.OpenPage: one page of a query's rows in a disconnected recordset.

#include "perikon/data/IClsCommon.h"

#include "perikon/data/ConnectionScope.h"
#include "perikon/data/DataErrors.h"

namespace perikon {
namespace {

// The statement with "top 0" after its SELECT: the query's columns without its rows.
QString schemaProbe(const QString &strSql)
{
    const QString remainder = strSql.mid(6).trimmed();
    if (remainder.left(8).toLower() == QLatin1String("distinct"))
        return QStringLiteral(" SELECT distinct ") + QStringLiteral(" top 0 ")
               + remainder.mid(8).trimmed();
    return strSql.left(6) + QStringLiteral(" top 0 ") + strSql.mid(6);
}

} // namespace

void IClsCommon::OpenPage(const QString &strSql, int lPageSize, int &lCurPage, int &lMaxPageCount,
                          db::Recordset *&RsRef)
{
    QString sMsg;
    bool bFlag = false;
    OpenPage(strSql, lPageSize, lCurPage, lMaxPageCount, RsRef, sMsg, bFlag);
}

void IClsCommon::OpenPage(const QString &strSql, int lPageSize, int &lCurPage, int &lMaxPageCount,
                          db::Recordset *&RsRef, QString &sMsg)
{
    bool bFlag = false;
    OpenPage(strSql, lPageSize, lCurPage, lMaxPageCount, RsRef, sMsg, bFlag);
}

void IClsCommon::OpenPage(const QString &strSqlIn, int lPageSize, int &lCurPage, int &lMaxPageCount,
                          db::Recordset *&RsRef, QString &sMsg, bool &bFlag)
{
    const internal::ConnectionScope scope(*this, QStringLiteral("OpenPage"), &sMsg);
    const QString strSql = strSqlIn.trimmed();
    auto page = std::make_unique<db::Recordset>();
    try {
        {
            // Runs first, in every call: a text that is no SELECT fails here, paged or not.
            db::Recordset probe;
            probe.open(schemaProbe(strSql), connection(), db::Recordset::OpenStatic,
                       db::Recordset::LockBatchOptimistic, -1);
        }

        if (lPageSize > 0) {
            // Only the wanted page of the result is stored; the page holds the result's own
            // columns and its cells as read, value for value, and no live cursor.
            qint64 wanted = lCurPage, pages = 0;
            page = db::Recordset::readPage(strSql, connection(), lPageSize, wanted, pages);
            lMaxPageCount = pages == 0 ? 1 : int(pages);
            lCurPage = int(wanted);
        } else {
            auto whole = std::make_unique<db::Recordset>();
            whole->setCursorLocation(db::Recordset::UseClient);
            whole->open(strSql, connection(), db::Recordset::OpenStatic,
                        db::Recordset::LockOptimistic, -1);
            page = std::move(whole);
        }
        bFlag = true;
        RsRef = page.release();
    } catch (...) {
        const ErrorInfo error = internal::currentError();
        bFlag = false;
        sMsg = internal::dataMessage(QStringLiteral("K2.CRM.COMMON.DBMSG.Sel0511"));
        internal::logDataError(QStringLiteral("IClsCommon"), QStringLiteral("OpenPage"), error,
                               strSql);
        RsRef = page.release();
    }
}

} // namespace perikon
