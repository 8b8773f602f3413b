#include "suite/services/SuiteContactDimensionTransfer.h"

#include "perikon/data/db/Connection.h"
#include "perikon/data/db/DbError.h"
#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/DimensionPrivilegeDialog.h"
#include "suite/services/LocalText.h"
#include "suite/services/SuiteSql.h"
#include "suite/services/TransferDialogParts.h"
#include "suite/services/TransferXml.h"
#include "suite/services/UnitOfWork.h"

#include <QSet>

#include <utility>

namespace perikon::suite {

bool SuiteContactDimensionTransfer::Trans(int &opt, pugi::xml_node &Ele, QObject *&ICom,
                                          QString &sMsg)
{
    Q_UNUSED(opt) // insert and modify store the grants alike
    pugi::xml_node privileges = childNoCase(Ele, "cusprivilege");
    if (!privileges)
        return true;

    const QString contactCode = transferContactCode(Ele, privileges, {"ccuscode", "ccontactcode"});
    if (contactCode.isEmpty()) {
        sMsg = localText(QStringLiteral("数据权限：联系人没有编码。"),
                         QStringLiteral("Dimension privileges: the contact has no code."));
        return false;
    }

    // Check every row before anything is written.
    QList<std::pair<int, QString>> grants;
    QSet<QString> seen;
    const QList<pugi::xml_node> rows = childrenNoCase(privileges, "row");
    for (int i = 0; i < rows.size(); ++i) {
        const QString typeText = childText(rows.at(i), "privilege_type");
        const QString privilegeId = childText(rows.at(i), "privilege_id");
        if (typeText.isEmpty() || privilegeId.isEmpty()) {
            sMsg = localText(QStringLiteral("数据权限：第%1行缺少权限类型（privilege_type）或"
                                            "权限值（privilege_id）。"),
                             QStringLiteral("Dimension privileges: row %1 lacks privilege_type or "
                                            "privilege_id."))
                       .arg(i + 1);
            return false;
        }
        bool numeric = false;
        const int type = typeText.toInt(&numeric);
        if (!numeric) {
            sMsg = localText(QStringLiteral("数据权限：第%1行的权限类型“%2”不是整数。"),
                             QStringLiteral("Dimension privileges: the privilege_type \"%2\" of "
                                            "row %1 is not a whole number."))
                       .arg(QString::number(i + 1), typeText);
            return false;
        }
        const QString key = QString::number(type) + u'\n' + privilegeId;
        if (!seen.contains(key)) {
            seen.insert(key);
            grants.append({type, privilegeId});
        }
    }

    db::Connection *connection = connectionOf(ICom);
    if (!connection) {
        sMsg = localText(QStringLiteral("数据权限：调用方没有打开的数据库连接。"),
                         QStringLiteral("Dimension privileges: the caller has no open database "
                                        "connection."));
        return false;
    }
    try {
        UnitOfWork work(*connection, QStringLiteral("contact_dimensions"));
        const QString code = db::sqlEscaped(contactCode);
        connection->execute(QStringLiteral("delete from crm_contact_Auth where Contact_Id=N'")
                            + code + u'\'');
        for (const auto &[type, privilegeId] : std::as_const(grants)) {
            connection->execute(
                QStringLiteral("insert into crm_contact_Auth (Contact_Id, Privilege_ID, "
                               "Privilege_Type) values (N'")
                + code + QStringLiteral("', N'") + db::sqlEscaped(privilegeId)
                + QStringLiteral("', ") + QString::number(type) + u')');
        }
        work.commit();
    } catch (const db::DbError &error) {
        sMsg = localText(QStringLiteral("联系人%1的数据权限未能保存：%2"),
                         QStringLiteral("Dimension privileges of contact %1 were not saved: %2"))
                   .arg(contactCode, error.description());
        return false;
    }
    Ele.remove_child(privileges);
    return true;
}

namespace {

// The department is dimension type 0 under the caption the resources give it.
DimensionType departmentType()
{
    using internal::dialogText;
    const QString id = dialogText("K2.AA.CUSTOMER.CusAddBank.DeptDimen_TypeID");
    return {id.isEmpty() ? QStringLiteral("0") : id,
            dialogText("K2.AA.CUSTOMER.CusAddBank.DeptDimen_TypeName")};
}

} // namespace

void SuiteContactDimensionTransfer::Show(QObject *login, QObject *pubService, QObject *ICom,
                                         QObject *listObject, QObject *columnSet, QString &xml,
                                         bool &result, bool &sessionFlag, QWidget *parent)
{
    // The session's language and the caller's connection are all the dialog needs.
    Q_UNUSED(login)
    Q_UNUSED(pubService)
    Q_UNUSED(listObject)
    Q_UNUSED(columnSet)
    Q_UNUSED(sessionFlag)
    const std::optional<DimensionMember> member = readDimensionXml(xml);
    if (!member) {
        internal::showDialogProblem("K2.Suite.Dimension.BadXml");
        return;
    }
    db::Connection *connection = connectionOf(ICom);
    if (!connection) {
        internal::showDialogProblem("K2.Suite.Dimension.NoConnection");
        return;
    }
    const DimensionType department = departmentType();
    DimensionCatalogue catalogue;
    QList<DimensionGrant> grants = member->rows;
    try {
        catalogue = loadDimensionCatalogue(*connection, department);
        if (member->needsPreload())
            grants = loadStoredGrants(*connection, member->contactCode, department);
    } catch (const db::DbError &error) {
        internal::showDialogProblem("K2.Suite.Dimension.LoadFailed", error.description());
        return;
    }
    DimensionPrivilegeDialog dialog(catalogue, grants, member->editable, parent);
    if (dialog.exec() != QDialog::Accepted || !member->editable)
        return;
    if (const std::optional<QString> rewritten = writeDimensionXml(xml, dialog.grants())) {
        xml = *rewritten;
        result = true;
    }
}

} // namespace perikon::suite
