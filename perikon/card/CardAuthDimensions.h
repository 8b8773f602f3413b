#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace perikon {
class IClsCommon;
}

namespace perikon::card {

// One authorization dimension granted on a contact: its type and the value within it.
struct DimensionGrant
{
    QString typeId, typeName, valueCode, valueName;
};

// Which dimensions the contacts' authorization controls (aa_busobject_base).
struct DimensionControl
{
    bool dept = false, dim1 = false, dim2 = false, dim3 = false, dim4 = false, cust = false;
};

// The privilege XML of a contact's grants, as the card's dialog and the save read it:
// "<cusprivilege> <ccuscode>code</ccuscode><RW>right</RW><url>url</url>" then per grant
// "<row>  <privilege_type>..</privilege_type> <cadtname>..</cadtname> <privilege_id>..
// </privilege_id> <cadname>..</cadname>  </row>" and "<btextdata>1</btextdata></cusprivilege>".
// "&" and "<" in the texts are escaped, so any name keeps the XML well-formed.
QString privilegeXmlFromGrants(const QString &contactCode, const QString &right, const QString &url,
                               const QList<DimensionGrant> &grants);

// The grants a privilege XML carries, in its order; nullopt when the XML cannot be parsed.
std::optional<QList<DimensionGrant>> grantsOfPrivilegeXml(const QString &xml);

// Makes sure the XML has a row whose privilege_type is deptTypeId: update its
// privilege_id/cadname, or append one. nullopt when the XML cannot be parsed.
std::optional<QString> withDepartmentRow(const QString &xml, const QString &deptTypeId,
                                         const QString &deptTypeName, const QString &depCode,
                                         const QString &depName);

// Names (from typeNames: type id "0".."5" -> name) of the controlled types ("0" dept, "1".."4"
// dims, "5" customer dimension, in that order) that have no row in the XML; nullopt when the XML
// cannot be parsed.
std::optional<QStringList> missingDimensions(const QString &xml, const DimensionControl &control,
                                             const QMap<QString, QString> &typeNames);

// text00026 + names joined by "，" + text00027
QString missingDimensionsMessage(const QStringList &names, const QString &text00026,
                                 const QString &text00027);

// The contacts' dimension control in the session's language; a row only when it is in effect.
QString dimensionControlSql();
// The dimension types by id and name.
QString dimensionTypesSql();
// The grants of a stored contact (also the rows of the card's grid), deptTypeId/deptTypeName
// quoted as the first two select values of the department row.
QString contactGrantsSql(const QString &contactCode, const QString &deptTypeId,
                         const QString &deptTypeName);

// What the card shows and names in the check.
struct AuthDimensionTexts
{
    QString text00026;    // before the missing names
    QString text00027;    // after them
    QString deptTypeName; // type "0" (no row of V_AA_AuthDimen_Type)
    QString custTypeName; // type "5" (no row of V_AA_AuthDimen_Type)
};

// The save-time check on the account behind ICom: nullopt when every controlled dimension of the
// contact has a value, else the message to show. An empty privilegeXml is first built from the
// contact's stored grants; a department in the card's department editor (depCode) becomes the
// department row when the department is controlled. privilegeXml leaves with both, ready to save.
// A check that cannot read the control, the types or the grants refuses with the data layer's
// message; XML that does not parse refuses with nothing better than the missing names.
std::optional<QString> authDimensionsFailure(IClsCommon &ICom, const QString &contactCode,
                                             QString &privilegeXml, const QString &depCode,
                                             const QString &depName,
                                             const AuthDimensionTexts &texts);

} // namespace perikon::card
