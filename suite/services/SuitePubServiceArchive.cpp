// The public service's archive services: texts, captions and messages of the batch modification,
// the checks of the values it writes, the archive log, and a window's unload.

#include "suite/services/SuitePubService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostRegistry.h"
#include "perikon/host/contract/UiHelper.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/schema/SchemaInstaller.h"
#include "suite/services/SuiteResourceService.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/SuiteUiHelper.h"
#include "suite/services/UserDefCheck.h"

namespace perikon::suite {

namespace {

const QString kArchiveLog = QStringLiteral("qz_ArchiveLog");

// The helper the host registered, so scripted answers and a host's own helper apply alike.
std::unique_ptr<UiHelper> uiHelper()
{
    if (auto registered = HostRegistry::createAs<UiHelper>(QStringLiteral("UiHelper")))
        return registered;
    return std::make_unique<SuiteUiHelper>();
}

// Field `name` of the dictionary, or -1 where it has no such field.
int fieldOf(const db::Recordset &rows, const QString &name)
{
    return rows.hasField(name) ? rows.fieldIndex(name) : -1;
}

QString textAt(const db::Recordset &rows, int field)
{
    return field < 0 ? QString() : rows.value(field).toString().trimmed();
}

// An account made before the log existed gets its table on first use.
void ensureArchiveLog(db::Connection &connection)
{
    const QList<QStringList> found = queryRows(
        connection, QStringLiteral("select object_id(%1)").arg(db::sqlNQuoted(kArchiveLog)));
    if (!found.value(0).value(0).isEmpty())
        return;
    const auto definition = SchemaInstaller::tableStatement(QStringLiteral("account"), kArchiveLog);
    if (!definition)
        throw db::DbError(db::DbError::InvalidState, definition.error());
    connection.execute(*definition);
}

} // namespace

QString SuitePubService::GetResFormatString(const QString &key, const QStringList &args)
{
    return ResourceTexts::format(sessionLanguage(), key, args);
}

QString SuitePubService::GetFldCaption(QObject *dictionary, const QString &key)
{
    auto *rows = qobject_cast<db::Recordset *>(dictionary);
    if (!rows || rows->state() != 1)
        return key;
    try {
        const int name = fieldOf(*rows, QStringLiteral("cFieldName"));
        if (name < 0)
            return key;
        const int chinese = fieldOf(*rows, QStringLiteral("cCaption"));
        const int english = sessionLanguage() == QLatin1String("en-US")
                                ? fieldOf(*rows, QStringLiteral("cCaptionEn"))
                                : -1;
        const QString wanted = key.trimmed();
        // A cursor of its own over the same rows: the caller's position and filter stay.
        const std::unique_ptr<db::Recordset> scan = rows->clone();
        for (; !scan->eof(); scan->moveNext()) {
            if (textAt(*scan, name).compare(wanted, Qt::CaseInsensitive) != 0)
                continue;
            QString caption = textAt(*scan, english);
            if (caption.isEmpty())
                caption = textAt(*scan, chinese);
            return caption.isEmpty() ? key : caption;
        }
    } catch (const db::DbError &) {
        // A dictionary that cannot be read names no column: the key stands for itself.
    }
    return key;
}

int SuitePubService::MsgBox(const QString &text, int style, const QString &title)
{
    return uiHelper()->ShowMsgBox(text, style, title, sessionLanguage(), 0, 0);
}

bool SuitePubService::CheckDateStyle(const QString &text, bool showMessage)
{
    if (text.trimmed().isEmpty() || userdef::isEnteredDate(text))
        return true;
    if (showMessage)
        MsgBox(GetResFormatString(QStringLiteral("K2.Suite.Archive.BadDate"), {text}),
               MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation,
               SuiteMessageTitle().GetTitle(sessionLanguage()));
    return false;
}

bool SuitePubService::CheckUserDef(const QString &item, const QString &value,
                                   const QString &className, QObject *ICom)
{
    const QString title = SuiteMessageTitle().GetTitle(sessionLanguage());
    const auto refuse = [&](const QString &key, const QStringList &args) {
        MsgBox(GetResFormatString(key, args), MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation,
               title);
        return false;
    };
    if (value.isEmpty())
        return true;
    const QString name = userdef::itemOf(item);
    db::Connection *connection = connectionOf(ICom);
    if (!connection)
        return refuse(QStringLiteral("K2.Suite.Archive.UserDefUnreadable"),
                      {name, GetResString(QStringLiteral("K2.Suite.Archive.NoConnection"))});
    QString caption = name;
    try {
        const auto definition = userdef::readDefinition(*connection, className, name);
        if (!definition)
            return true; // no definition restricts the item
        caption = definition->caption;
        if (const auto refusal = userdef::check(*connection, *definition, value, sessionLanguage()))
            return refuse(refusal->key, refusal->args);
        return true;
    } catch (const db::DbError &error) {
        return refuse(QStringLiteral("K2.Suite.Archive.UserDefUnreadable"),
                      {caption, error.description()});
    }
}

bool SuitePubService::LogArch(QObject *ICom, const QString &archive, int operation,
                              const QString &key, const QString &userId, const QString &kind,
                              const QString &description, const QString &statement)
{
    db::Connection *connection = connectionOf(ICom);
    QString reason = QStringLiteral("no open connection");
    if (connection) {
        try {
            ensureArchiveLog(*connection);
            // One pass of arg(): a value holding "%1" stays as it is.
            connection->execute(
                QStringLiteral("insert into qz_ArchiveLog (cArchive, iOperation, cKey, cUser_Id, "
                               "cKind, cDescription, cStatement, dLogTime) values (%1, %2, %3, %4, "
                               "%5, %6, %7, getdate())")
                    .arg(db::sqlNQuoted(archive), QString::number(operation), db::sqlNQuoted(key),
                         db::sqlNQuoted(userId), db::sqlNQuoted(kind), db::sqlNQuoted(description),
                         db::sqlNQuoted(statement)));
            return true;
        } catch (const db::DbError &error) {
            reason = error.description();
        }
    }
    // One line per failure: the reason may carry the statement over several lines.
    uiHelper()->WriteTrace(QStringLiteral("LogArch"),
                           QStringLiteral("%1 %2 not logged: %3")
                               .arg(archive, QString::number(operation), reason.simplified()),
                           true);
    return false;
}

void SuitePubService::FrmUnLoad(QWidget *window)
{
    if (!window)
        return;
    forgetHelp(window);
    // A delete run the window left open would keep the busy cursor for good.
    if (m_running && m_runWindow == window)
        DeleteEnded(window);
    keepGeometryNow(window);
}

} // namespace perikon::suite
