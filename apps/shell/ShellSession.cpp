#include "apps/shell/ShellSession.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/host/contract/HostRegistry.h"
#include "suite/services/SuiteSql.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace perikon::shell {

namespace {

QString text(const QString &language, const QString &chinese, const QString &english)
{
    return language == QLatin1String("en-US") ? english : chinese;
}

} // namespace

QString connectionStringFor(const QString &databaseOrConnection)
{
    const QString given = databaseOrConnection.trimmed();
    if (given.contains(u'=') || given.isEmpty())
        return given;
    const QFileInfo file(given);
    static const QRegularExpression accountFile(QStringLiteral("^QZDATA_(\\w{3})_(\\d{4})\\.db$"),
                                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = accountFile.match(file.fileName());
    // The catalog names account and year; the folder holds the account's other databases.
    return QStringLiteral("Provider=SQLite;Data Source=%1;Initial Catalog=%2")
        .arg(file.absoluteFilePath(),
             match.hasMatch() ? file.completeBaseName() : QStringLiteral("QZDATA_001_2026"));
}

LoginResult logIn(const LoginRequest &request)
{
    LoginResult result;
    const QString language = request.language;
    const QString userId = request.userId.trimmed();
    if (userId.isEmpty()) {
        result.error = text(language, QStringLiteral("请输入操作员。"),
                            QStringLiteral("Please enter an operator."));
        return result;
    }
    const QString connectionString = connectionStringFor(request.connectionString);
    if (connectionString.isEmpty()) {
        result.error = text(language, QStringLiteral("请选择账套数据库。"),
                            QStringLiteral("Please choose an account database."));
        return result;
    }
    if (!connectionString.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive)) {
        const QString file = connectionString.section(QStringLiteral("Data Source="), 1)
                                 .section(u';', 0, 0)
                                 .trimmed();
        if (!file.isEmpty() && !QFileInfo::exists(file)) {
            result.error = text(language, QStringLiteral("账套数据库不存在：%1"),
                                QStringLiteral("The account database does not exist: %1"))
                               .arg(file);
            return result;
        }
    }
    QList<QStringList> rows;
    try {
        std::unique_ptr<db::Connection> connection = suite::openConnection(connectionString);
        rows = suite::queryRows(*connection,
                                QStringLiteral("select cUser_Name, bAdmin, bDisabled from "
                                               "qzsystem..UA_User where cUser_Id=%1")
                                    .arg(db::sqlNQuoted(userId)));
    } catch (const db::DbError &error) {
        result.error = text(language, QStringLiteral("账套数据库无法打开：%1"),
                            QStringLiteral("The account database cannot be opened: %1"))
                           .arg(error.description());
        return result;
    }
    if (rows.isEmpty()) {
        result.error = text(language, QStringLiteral("操作员 %1 不存在。"),
                            QStringLiteral("There is no operator %1."))
                           .arg(userId);
        return result;
    }
    const QStringList &user = rows.first();
    const auto flag = [](const QString &value) {
        return value == QLatin1String("1")
               || value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    };
    if (flag(user.value(2))) {
        result.error = text(language, QStringLiteral("操作员 %1 已停用。"),
                            QStringLiteral("Operator %1 is disabled."))
                           .arg(userId);
        return result;
    }
    std::unique_ptr<QObject> login = HostRegistry::create(QStringLiteral("Suite.Login"));
    if (!login) {
        result.error = QStringLiteral("The suite's login is not available.");
        return result;
    }
    login->setProperty("cUserId", userId);
    login->setProperty("cUserName", user.value(0));
    login->setProperty("qzDBName", connectionString);
    login->setProperty("IsAdmin", flag(user.value(1)));
    login->setProperty("LanguageRegion", language);
    result.login = std::move(login);
    return result;
}

} // namespace perikon::shell
