#include "suite/services/TransferDialogData.h"

#include "perikon/data/db/SqlLiteral.h"
#include "suite/services/SuiteSql.h"

#include <algorithm>

namespace perikon::suite {

namespace {

bool flag(const QString &value)
{
    return value == u"1" || value.compare(u"true", Qt::CaseInsensitive) == 0;
}

// A type id goes into a statement as a number: only whole numbers are let through.
QString typeNumber(const QString &typeId)
{
    bool numeric = false;
    const int type = typeId.trimmed().toInt(&numeric);
    return QString::number(numeric ? type : 0);
}

} // namespace

QList<DimensionValue> DimensionCatalogue::valuesOf(const QString &typeId) const
{
    QList<DimensionValue> found;
    std::copy_if(values.cbegin(), values.cend(), std::back_inserter(found),
                 [&typeId](const DimensionValue &value) { return value.typeId == typeId; });
    return found;
}

QString DimensionCatalogue::typeName(const QString &typeId) const
{
    const auto found
        = std::find_if(types.cbegin(), types.cend(),
                       [&typeId](const DimensionType &type) { return type.id == typeId; });
    return found == types.cend() ? QString() : found->name;
}

QString DimensionCatalogue::valueName(const QString &typeId, const QString &code) const
{
    const auto found
        = std::find_if(values.cbegin(), values.cend(), [&](const DimensionValue &value) {
              return value.typeId == typeId && value.code == code;
          });
    return found == values.cend() ? QString() : found->name;
}

QString suiteUsersSql()
{
    return QStringLiteral("select cUser_Id, cUser_Name, bDisabled from qzsystem..UA_User "
                          "order by cUser_Id");
}

QString storedRelatedPersonsSql(const QString &contactCode)
{
    return QStringLiteral(
               "select c.User_Id, u.cUser_Name, c.iRight from crm_contact_User c left join "
               "qzsystem..UA_User u on u.cUser_Id=c.User_Id where c.Contact_Id=")
           + db::sqlNQuoted(contactCode) + QStringLiteral(" order by c.User_Id");
}

QString dimensionTypesSql()
{
    return QStringLiteral("select iADTID, cADTName from V_AA_AuthDimen_Type order by iADTID");
}

QString departmentsSql()
{
    return QStringLiteral("select cDepCode, cDepName from Department order by cDepCode");
}

QString dimensionValuesSql()
{
    return QStringLiteral("select iADTID, cADCode, cADName from V_AA_AuthDimen_Sub "
                          "order by iADTID, cADCode");
}

QString storedGrantsSql(const QString &contactCode, const DimensionType &department)
{
    const QString code = db::sqlNQuoted(contactCode);
    const QString departmentType = typeNumber(department.id);
    // A grant whose type or value has gone from the views is still shown, without its name, so
    // the operator can remove it.
    return QStringLiteral("select c.Privilege_Type, t.cADTName, c.Privilege_ID, s.cADName "
                          "from crm_contact_Auth c left join V_AA_AuthDimen_Type t on "
                          "t.iADTID=c.Privilege_Type left join V_AA_AuthDimen_Sub s on "
                          "s.iADTID=c.Privilege_Type and s.cADCode=c.Privilege_ID "
                          "where c.Contact_Id=")
           + code + QStringLiteral(" and c.Privilege_Type<>") + departmentType
           + QStringLiteral(" union all select c.Privilege_Type, ")
           + db::sqlNQuoted(department.name)
           + QStringLiteral(", c.Privilege_ID, d.cDepName from crm_contact_Auth c left join "
                            "Department d on d.cDepCode=c.Privilege_ID where c.Contact_Id=")
           + code + QStringLiteral(" and c.Privilege_Type=") + departmentType
           + QStringLiteral(" order by 1, 3");
}

QList<SuiteUser> loadSuiteUsers(db::Connection &connection)
{
    QList<SuiteUser> users;
    for (const QStringList &row : queryRows(connection, suiteUsersSql()))
        users.append({row.value(0), row.value(1), flag(row.value(2))});
    return users;
}

QList<RelatedPerson> loadStoredRelatedPersons(db::Connection &connection,
                                              const QString &contactCode)
{
    QList<RelatedPerson> persons;
    for (const QStringList &row : queryRows(connection, storedRelatedPersonsSql(contactCode)))
        persons.append({row.value(0), row.value(1), row.value(2) != QLatin1String("0")});
    return persons;
}

DimensionCatalogue loadDimensionCatalogue(db::Connection &connection,
                                          const DimensionType &department)
{
    DimensionCatalogue catalogue;
    catalogue.types.append(department);
    for (const QStringList &row : queryRows(connection, dimensionTypesSql()))
        catalogue.types.append({row.value(0), row.value(1)});
    for (const QStringList &row : queryRows(connection, departmentsSql()))
        catalogue.values.append({department.id, row.value(0), row.value(1)});
    for (const QStringList &row : queryRows(connection, dimensionValuesSql()))
        catalogue.values.append({row.value(0), row.value(1), row.value(2)});
    return catalogue;
}

QList<DimensionGrant> loadStoredGrants(db::Connection &connection, const QString &contactCode,
                                       const DimensionType &department)
{
    QList<DimensionGrant> grants;
    for (const QStringList &row : queryRows(connection, storedGrantsSql(contactCode, department)))
        grants.append({row.value(0), row.value(1), row.value(2), row.value(3)});
    return grants;
}

} // namespace perikon::suite
