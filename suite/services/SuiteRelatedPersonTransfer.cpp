#include "suite/services/SuiteRelatedPersonTransfer.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/LocalText.h"
#include "suite/services/RelatedPersonDialog.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/TransferDialogParts.h"
#include "suite/services/TransferXml.h"
#include "suite/services/UnitOfWork.h"

#include <QSet>

namespace perikon::suite {

bool SuiteRelatedPersonTransfer::Trans(int &opt, pugi::xml_node &Ele, QObject *&ICom, QString &sMsg)
{
    Q_UNUSED(opt) // insert and modify store the bindings alike
    const pugi::xml_node stuff = childNoCase(Ele, "cusstuff");
    if (!stuff)
        return true;
    const QList<pugi::xml_node> rows = childrenNoCase(stuff, "row");
    // The dialog marks the child it rewrote on OK: without rows, the operator removed every
    // binding; without rows or mark, the dialog was never confirmed.
    const bool edited = childText(stuff, "bedited") == QLatin1String("1");
    if (rows.isEmpty() && !edited)
        return true;

    const QString contactCode = transferContactCode(Ele, stuff, {"ccontactcode"});
    if (contactCode.isEmpty()) {
        sMsg = localText(QStringLiteral("相关人员：联系人没有编码。"),
                         QStringLiteral("Related persons: the contact has no code."));
        return false;
    }

    // Check every row before anything is written.
    // Each user once, with the right of its first row: 0 reads only, anything else may change.
    QList<std::pair<QString, int>> users;
    QSet<QString> seen;
    for (int i = 0; i < rows.size(); ++i) {
        const QString userId = childText(rows.at(i), "cuser_id");
        if (userId.isEmpty()) {
            sMsg = localText(QStringLiteral("相关人员：第%1行没有用户编码（cuser_id）。"),
                             QStringLiteral("Related persons: row %1 has no cuser_id."))
                       .arg(i + 1);
            return false;
        }
        const QString right = childText(rows.at(i), "iright");
        bool numeric = true;
        const int rightValue = right.isEmpty() ? 1 : right.toInt(&numeric);
        if (!numeric) {
            sMsg = localText(QStringLiteral("相关人员：用户%2的权限（iright）“%1”不是数字。"),
                             QStringLiteral("Related persons: the iright \"%1\" of user %2 is "
                                            "not a number."))
                       .arg(right, userId);
            return false;
        }
        if (!seen.contains(userId.toLower())) {
            seen.insert(userId.toLower());
            users.append({userId, rightValue == 0 ? 0 : 1});
        }
    }

    db::Connection *connection = connectionOf(ICom);
    if (!connection) {
        sMsg = localText(QStringLiteral("相关人员：调用方没有打开的数据库连接。"),
                         QStringLiteral("Related persons: the caller has no open database "
                                        "connection."));
        return false;
    }
    try {
        UnitOfWork work(*connection, QStringLiteral("related_persons"));
        const QString code = db::sqlEscaped(contactCode);
        connection->execute(QStringLiteral("delete from crm_contact_User where Contact_Id=N'")
                            + code + u'\'');
        for (const auto &[userId, right] : std::as_const(users)) {
            connection->execute(
                QStringLiteral("insert into crm_contact_User (Contact_Id, User_Id, iUserType, "
                               "iRight) values (N'")
                + code + QStringLiteral("', N'") + db::sqlEscaped(userId) + QStringLiteral("', 0, ")
                + QString::number(right) + u')');
        }
        work.commit();
    } catch (const db::DbError &error) {
        sMsg = localText(QStringLiteral("联系人%1的相关人员未能保存：%2"),
                         QStringLiteral("Related persons of contact %1 were not saved: %2"))
                   .arg(contactCode, error.description());
        return false;
    }
    return true;
}

void SuiteRelatedPersonTransfer::Show(QObject *login, QObject *pubService, QObject *ICom,
                                      QObject *listObject, QObject *columnSet, QString &xml,
                                      bool &result, bool &sessionFlag, QWidget *parent)
{
    // The session's language and the caller's connection are all the dialog needs.
    Q_UNUSED(login)
    Q_UNUSED(pubService)
    Q_UNUSED(listObject)
    Q_UNUSED(columnSet)
    Q_UNUSED(sessionFlag)
    const std::optional<RelatedPersonsMember> member = readRelatedPersonsXml(xml);
    if (!member) {
        internal::showDialogProblem("K2.Suite.RelPerson.BadXml");
        return;
    }
    db::Connection *connection = connectionOf(ICom);
    if (!connection) {
        internal::showDialogProblem("K2.Suite.RelPerson.NoConnection");
        return;
    }
    QList<SuiteUser> users;
    QList<RelatedPerson> persons = member->rows;
    try {
        users = loadSuiteUsers(*connection);
        if (member->needsPreload())
            persons = loadStoredRelatedPersons(*connection, member->contactCode);
    } catch (const db::DbError &error) {
        internal::showDialogProblem("K2.Suite.RelPerson.LoadFailed", error.description());
        return;
    }
    RelatedPersonDialog dialog(users, persons, member->editable, parent);
    if (dialog.exec() != QDialog::Accepted || !member->editable)
        return;
    if (const std::optional<QString> rewritten = writeRelatedPersonsXml(xml, dialog.persons())) {
        xml = *rewritten;
        result = true;
    }
}

} // namespace perikon::suite
