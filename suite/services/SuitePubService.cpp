#include "suite/services/SuitePubService.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DateTimeFormat.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostLogin.h"
#include "perikon/host/contract/RowAuthService.h"
#include "perikon/host/contract/UiHelper.h"
#include "suite/ResourceTexts.h"
#include "suite/SuiteLogin.h"
#include "suite/services/FunctionLockHeartbeat.h"
#include "suite/services/FunctionLockRules.h"
#include "suite/services/LocalText.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/SuiteUiHelper.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>

#include <optional>

namespace perikon::suite {
namespace {

// Backends hand the time back in their own text form ("2026-03-01 09:05:07.123",
// "2026-03-01T09:05:07", a PostgreSQL timestamp with fractions ...).
QDateTime parseServerTime(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const QStringView format : {db::kDateTimeMillisFormat, db::kDateTimeFormat}) {
        const QDateTime parsed = QDateTime::fromString(trimmed, format);
        if (parsed.isValid())
            return parsed;
    }
    QDateTime parsed = QDateTime::fromString(trimmed, Qt::ISODateWithMs);
    if (!parsed.isValid())
        parsed = QDateTime::fromString(trimmed.left(19), db::kDateTimeFormat);
    return parsed;
}

// The seconds of a server time already written "yyyy-MM-dd HH:mm:ss[.fff...]", as they stand;
// nullopt for any other form. Every save asks for the time, and a full date parse costs more
// than the query.
std::optional<QString> plainServerSeconds(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() < 19 || (trimmed.size() > 19 && trimmed.at(19) != u'.'))
        return std::nullopt;
    static constexpr char kShape[] = "dddd-dd-dd dd:dd:dd";
    int digits[14];
    int next = 0;
    for (int i = 0; i < 19; ++i) {
        const QChar c = trimmed.at(i);
        if (kShape[i] == 'd') {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            digits[next++] = c.unicode() - u'0';
        } else if (c != QLatin1Char(kShape[i])) {
            return std::nullopt;
        }
    }
    for (qsizetype i = 20; i < trimmed.size(); ++i) {
        if (trimmed.at(i) < u'0' || trimmed.at(i) > u'9')
            return std::nullopt;
    }
    const auto number = [&digits](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i)
            value = value * 10 + digits[i];
        return value;
    };
    if (!QDate::isValid(number(0, 4), number(4, 2), number(6, 2))
        || !QTime::isValid(number(8, 2), number(10, 2), number(12, 2)))
        return std::nullopt;
    return trimmed.left(19);
}

} // namespace

QString SuitePubService::GetSrvTime(QObject *&ICom)
{
    db::Connection *connection = connectionOf(ICom);
    if (!connection)
        return {};
    try {
        const QList<QStringList> rows = queryRows(*connection, QStringLiteral("select getdate()"));
        if (rows.isEmpty() || rows.first().isEmpty())
            return {};
        if (std::optional<QString> seconds = plainServerSeconds(rows.first().first()))
            return *seconds;
        const QDateTime time = parseServerTime(rows.first().first());
        return time.isValid() ? time.toString(db::kDateTimeFormat) : QString();
    } catch (const db::DbError &) {
        return {};
    }
}

QString SuitePubService::GetGetAuthString(QObject *rowAuth, const QString &table,
                                          const QString &funcId, const QVariant &reserved,
                                          const QString &tableAlias)
{
    Q_UNUSED(reserved)
    if (const SuiteLogin *login = currentLogin(); login && login->IsAdmin)
        return QStringLiteral("1=1");
    auto *rules = qobject_cast<RowAuthService *>(rowAuth);
    if (!rules || table.compare(QLatin1String("crm_contact"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("1=2");
    const QString fragment = rowauth::contactAuthString(*rules, funcId, tableAlias);
    return fragment.isEmpty() ? QStringLiteral("1=1") : fragment;
}

namespace {

QString sessionOf(QObject *login)
{
    const QString id = hostlogin::text(login, "SessionId");
    // A host login without a session id: the object itself names the session.
    return id.isEmpty() ? QStringLiteral("login-%1").arg(quintptr(login), 0, 16) : id;
}

struct LockHolder
{
    int lock = 0;
    QString userId;
};

// Rows whose session has not beaten within the timeout belong to a session that died. The
// server's clock decides, so operators whose machines disagree still agree.
void dropExpiredLocks(db::Connection &connection)
{
    const QList<QStringList> now = queryRows(connection, QStringLiteral("select getdate()"));
    const QDateTime serverNow = parseServerTime(now.value(0).value(0));
    if (!serverNow.isValid())
        return;
    const auto timeout = FunctionLockTimes::current().timeout;
    connection.execute(
        QStringLiteral("delete from qz_FunctionLock where dBeat < N'%1'")
            .arg(serverNow.addMSecs(-timeout.count()).toString(db::kDateTimeMillisFormat)));
}

// The first lock of another session on the archive that keeps `lock` out.
std::optional<LockHolder> conflictingHolder(db::Connection &connection, const QString &archive,
                                            const QString &session, int lock)
{
    const QList<QStringList> rows = queryRows(
        connection, QStringLiteral("select iLock, cUser_Id from qz_FunctionLock where cArchive=%1 "
                                   "and cSessionId<>%2 order by iLock, cUser_Id")
                        .arg(archive, session));
    for (const QStringList &row : rows) {
        const int held = row.value(0).toInt();
        if (locksConflict(lock, held))
            return LockHolder{held, row.value(1).trimmed()};
    }
    return std::nullopt;
}

// The decimals of the list's columns the operator set, read once per thread's settings object.
class ColumnDecimals : public QObject
{
public:
    QHash<QString, QString> digits; // lower-case column name -> decimals
};

} // namespace

bool SuitePubService::IsLockFun(QObject *&ICom, QObject *login, const QString &archive, int number)
{
    db::Connection *connection = connectionOf(ICom);
    if (!connection || !login || number == 0 || archive.trimmed().isEmpty())
        return number > 0; // nothing to hold a lock with: the function cannot run
    const QString sessionId = sessionOf(login);
    const QString session = db::sqlNQuoted(sessionId);
    const QString name = db::sqlNQuoted(archive.trimmed().toLower());
    const int lock = number > 0 ? number : -number;
    const QString ownRow = QStringLiteral(" where cArchive=%1 and iLock=%2 and cSessionId=%3")
                               .arg(name)
                               .arg(lock)
                               .arg(session);
    try {
        if (number < 0) {
            qint64 released = 0;
            connection->execute(QStringLiteral("delete from qz_FunctionLock") + ownRow, &released);
            // Lock 1 goes when the archive's list closes: whatever else the session still holds
            // on the archive (a command that ended without giving its lock back) goes with it.
            if (lock == 1)
                connection->execute(
                    QStringLiteral(
                        "delete from qz_FunctionLock where cArchive=%1 and cSessionId=%2")
                        .arg(name, session));
            return released > 0;
        }
        dropExpiredLocks(*connection);
        connection->execute(
            QStringLiteral("update qz_FunctionLock set dBeat=getdate() where cSessionId=%1")
                .arg(session));
        // Taken first and checked afterwards: of two sessions asking at once, at least one
        // sees the other's row, so two conflicting locks are never both held.
        qint64 inserted = 0;
        connection->execute(
            QStringLiteral("insert into qz_FunctionLock (cArchive, iLock, cSessionId, cUser_Id, "
                           "dBeat) select %1, %2, %3, %4, getdate() where not exists (select 1 "
                           "from qz_FunctionLock%5)")
                .arg(name)
                .arg(lock)
                .arg(session, db::sqlNQuoted(hostlogin::text(login, "cUserId").trimmed()), ownRow),
            &inserted);
        if (const auto holder = conflictingHolder(*connection, name, session, lock)) {
            if (inserted > 0)
                connection->execute(QStringLiteral("delete from qz_FunctionLock") + ownRow);
            const QString shownArchive = archive.trimmed();
            const QString activity = lockActivity(holder->lock);
            SuiteUiHelper().ShowMsgBox(
                localText(QStringLiteral("用户%1正在%2（%3），请稍后再试。")
                              .arg(holder->userId, activity, shownArchive),
                          QStringLiteral("User %1 is %2 in %3. Try again later.")
                              .arg(holder->userId, activity, shownArchive)),
                MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, {}, {}, 0, 0);
            return true;
        }
        FunctionLockHeartbeat::of(login, sessionId)->keepBeating(ICom);
        return false;
    } catch (const db::DbError &error) {
        if (number > 0)
            SuiteUiHelper().ShowMsgBox(error.description(),
                                       MsgBoxStyle::OKOnly | MsgBoxStyle::Critical, {}, {}, 0, 0);
        return number > 0;
    }
}

QString SuitePubService::GetRegEdit(const QString &key, const QString &name, bool web,
                                    const QString &userId)
{
    Q_UNUSED(web)
    m_lastError.clear();
    SuiteLogin *login = currentLogin();
    if (!login) {
        m_lastError = QStringLiteral("No operator is logged in.");
        return {};
    }
    try {
        const QList<QStringList> rows = queryRows(
            login->accountConnection(),
            QStringLiteral("select cValue from qz_UserSetting where cUser_Id=%1 and cKey=%2 and "
                           "cName=%3")
                .arg(db::sqlNQuoted(userId.trimmed()), db::sqlNQuoted(key.trimmed().toLower()),
                     db::sqlNQuoted(name.trimmed().toLower())));
        return rows.isEmpty() ? QString() : rows.first().value(0);
    } catch (const db::DbError &error) {
        m_lastError = error.description();
        return {};
    }
}

bool SuitePubService::SaveRegEdit(const QString &key, const QString &name, const QString &value,
                                  bool web, const QString &userId)
{
    Q_UNUSED(web)
    m_lastError.clear();
    SuiteLogin *login = currentLogin();
    if (!login) {
        m_lastError = QStringLiteral("No operator is logged in.");
        return false;
    }
    const QString where
        = QStringLiteral(" where cUser_Id=%1 and cKey=%2 and cName=%3")
              .arg(db::sqlNQuoted(userId.trimmed()), db::sqlNQuoted(key.trimmed().toLower()),
                   db::sqlNQuoted(name.trimmed().toLower()));
    try {
        db::Connection &connection = login->accountConnection();
        qint64 updated = 0;
        connection.execute(
            QStringLiteral("update qz_UserSetting set cValue=%1").arg(db::sqlNQuoted(value))
                + where,
            &updated);
        if (updated == 0)
            connection.execute(
                QStringLiteral("insert into qz_UserSetting (cUser_Id, cKey, cName, cValue) "
                               "values (%1, %2, %3, %4)")
                    .arg(db::sqlNQuoted(userId.trimmed()), db::sqlNQuoted(key.trimmed().toLower()),
                         db::sqlNQuoted(name.trimmed().toLower()), db::sqlNQuoted(value)));
        return true;
    } catch (const db::DbError &error) {
        m_lastError = error.description();
        return false;
    }
}

QString SuitePubService::FormatNum(const QString &text, int digits)
{
    bool numeric = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &numeric);
    if (!numeric || digits < 0)
        return text;
    return QLocale::c().toString(value, 'f', digits);
}

QString SuitePubService::GetEleVal(const QString &name, QObject *&settings)
{
    auto *decimals = dynamic_cast<ColumnDecimals *>(settings);
    if (!decimals) {
        decimals = new ColumnDecimals;
        decimals->setParent(this);
        settings = decimals;
        SuiteLogin *login = currentLogin();
        try {
            if (login) {
                const QList<QStringList> rows = queryRows(
                    login->accountConnection(),
                    QStringLiteral("select cKey, cValue from qz_UserSetting where cUser_Id=%1 and "
                                   "cName=N'decimals' and cKey like N'crm_contact.%'")
                        .arg(db::sqlNQuoted(login->cUserId.trimmed())));
                for (const QStringList &row : rows)
                    decimals->digits.insert(row.value(0).mid(int(qstrlen("crm_contact."))),
                                            row.value(1).trimmed());
            }
        } catch (const db::DbError &) {
            // Unreadable settings format nothing.
        }
    }
    return decimals->digits.value(name.trimmed().toLower());
}

QString SuitePubService::GetResString(const QString &key)
{
    return ResourceTexts::text(sessionLanguage(), key);
}

} // namespace perikon::suite
