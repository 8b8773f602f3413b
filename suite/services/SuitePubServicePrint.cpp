// The public service's print services: the operator's print styles, the print data of a list
// grid, the export's column types and the export's report.

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/ConnectionString.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/UiHelper.h"
#include "suite/SuiteLogin.h"
#include "suite/controls/HostGrid.h"
#include "suite/services/GridPrintData.h"
#include "suite/services/HelpViewer.h"
#include "suite/services/LocalText.h"
#include "suite/services/SuitePubService.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/SuiteUiHelper.h"

#include <QDate>
#include <QHash>

namespace perikon::suite {

namespace {

// The operator of the last GetPrnStyle of each key (lower case), for a SavePrnStyle whose
// data-access object has no login.
QHash<QString, QString> &lastStyleReader()
{
    thread_local QHash<QString, QString> readers;
    return readers;
}

QString styleKey(const QString &key)
{
    return key.trimmed().toLower();
}

} // namespace

void SuitePubService::HelpHide(QWidget *window, const QString &key, bool web)
{
    Q_UNUSED(key)
    Q_UNUSED(web)
    if (!window)
        return;
    // The print dialogs open over the window; its help would stand in front of them.
    if (auto *viewer = window->findChild<HelpViewer *>(QString(), Qt::FindDirectChildrenOnly))
        viewer->hide();
}

QString SuitePubService::GetPrnStyle(const QString &key, const QString &userId)
{
    m_lastError.clear();
    SuiteLogin *login = currentLogin();
    if (!login || userId.trimmed().isEmpty()) {
        m_lastError = QStringLiteral("No operator is logged in.");
        return {};
    }
    lastStyleReader().insert(styleKey(key), userId.trimmed());
    try {
        const QList<QStringList> rows = queryRows(
            login->accountConnection(),
            QStringLiteral("select cStyle from qz_PrintStyle where cUser_Id=%1 and cKey=%2")
                .arg(db::sqlNQuoted(userId.trimmed()), db::sqlNQuoted(styleKey(key))));
        return rows.isEmpty() ? QString() : rows.first().value(0);
    } catch (const db::DbError &error) {
        m_lastError = error.description();
        return {};
    }
}

bool SuitePubService::SavePrnStyle(QObject *ICom, const QString &key, const QString &style)
{
    m_lastError.clear();
    QObject *login = ICom ? ICom->property("login").value<QObject *>() : nullptr;
    QString userId = hostlogin::text(login, "cUserId").trimmed();
    if (userId.isEmpty())
        userId = lastStyleReader().value(styleKey(key));
    db::Connection *connection = connectionOf(ICom);
    if (!connection) {
        if (SuiteLogin *current = currentLogin())
            connection = &current->accountConnection();
    }
    if (userId.isEmpty() || !connection || styleKey(key).isEmpty()) {
        m_lastError = QStringLiteral("No operator to keep the print style for.");
        return false;
    }
    const QString where = QStringLiteral(" where cUser_Id=%1 and cKey=%2")
                              .arg(db::sqlNQuoted(userId), db::sqlNQuoted(styleKey(key)));
    try {
        qint64 updated = 0;
        connection->execute(
            QStringLiteral("update qz_PrintStyle set cStyle=%1").arg(db::sqlNQuoted(style)) + where,
            &updated);
        if (updated == 0)
            connection->execute(
                QStringLiteral("insert into qz_PrintStyle (cUser_Id, cKey, cStyle) values (%1, "
                               "%2, %3)")
                    .arg(db::sqlNQuoted(userId), db::sqlNQuoted(styleKey(key)),
                         db::sqlNQuoted(style)));
        return true;
    } catch (const db::DbError &error) {
        m_lastError = error.description();
        return false;
    }
}

QString SuitePubService::InitParameter(QObject *ICom, const QString &name)
{
    if (name.trimmed().compare(QLatin1String("iYear"), Qt::CaseInsensitive) != 0)
        return {};
    QString connectionText = ICom ? ICom->property("m_CnnString").toString() : QString();
    if (connectionText.isEmpty()) {
        if (SuiteLogin *login = currentLogin())
            connectionText = login->qzDBName;
    }
    // The account database is named QZDATA_<account>_<year>.
    const QString catalog = db::ConnectionString(connectionText).accountCatalog();
    const QString year = catalog.section(QLatin1Char('_'), -1);
    bool numeric = false;
    year.toInt(&numeric);
    return numeric && year.size() == 4 ? year : QString();
}

QString SuitePubService::GetData(QObject *ICom, QWidget *printControl, const QString &title,
                                 const QString &userName, const QString &userId,
                                 const QString &account, const QString &year)
{
    Q_UNUSED(ICom)
    QWidget *window = printControl ? printControl->parentWidget() : nullptr;
    auto *grid = window ? window->findChild<controls::HostGrid *>(QStringLiteral("Grid")) : nullptr;
    if (!grid)
        return {};
    PrintHeading heading;
    heading.title = title;
    heading.operatorName = userName.trimmed().isEmpty() ? userId : userName;
    heading.account = account;
    heading.year = year;
    heading.date = QDate::currentDate().toString(u"yyyy-MM-dd");
    return printDataXml(*grid, heading);
}

void SuitePubService::GetTypeSize(QObject *probe, QWidget *grid, QString &types, QString &sizes)
{
    types.clear();
    sizes.clear();
    auto *recordset = qobject_cast<db::Recordset *>(probe);
    auto *hostGrid = qobject_cast<controls::HostGrid *>(grid);
    if (!recordset || !hostGrid)
        return;
    QStringList typeList;
    QStringList sizeList;
    for (const int col : printedColumns(*hostGrid)) {
        const int field = col - 1;
        if (field >= recordset->fieldCount()) {
            typeList.append(QStringLiteral("1"));
            sizeList.append(QStringLiteral("0"));
            continue;
        }
        const db::ColumnInfo info = recordset->columnInfo(field);
        typeList.append(QString::number(exportTypeCode(info.type)));
        const qint64 size = info.precision > 0 && !db::ColumnType::isText(info.type)
                                ? info.precision
                                : info.definedSize;
        sizeList.append(QString::number(std::max<qint64>(size, 0)));
    }
    types = typeList.join(QLatin1Char(','));
    sizes = sizeList.join(QLatin1Char(','));
}

void SuitePubService::PrintMsg(const QString &key, bool written, const QString &result)
{
    Q_UNUSED(key)
    if (result.trimmed().isEmpty())
        return; // the operator cancelled
    const QString text = written ? localText(QStringLiteral("已导出到文件：%1").arg(result),
                                             QStringLiteral("Exported to the file %1").arg(result))
                                 : result;
    SuiteUiHelper().ShowMsgBox(
        text, MsgBoxStyle::OKOnly | (written ? MsgBoxStyle::Information : MsgBoxStyle::Exclamation),
        {}, {}, 0, 0);
}

} // namespace perikon::suite
