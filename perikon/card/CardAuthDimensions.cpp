#include "perikon/card/CardAuthDimensions.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"

#include <QSet>

#include <pugixml.hpp>

#include <array>
#include <memory>
#include <string>

namespace perikon::card {

namespace {

const QString kDeptTypeId = QStringLiteral("0");
const QString kCustTypeId = QStringLiteral("5");

std::string utf8(const QString &text)
{
    return text.toUtf8().toStdString();
}

QString text(pugi::xml_node node)
{
    return QString::fromUtf8(node.child_value());
}

// The dialog and the record write these names in either case.
pugi::xml_node childNoCase(pugi::xml_node node, const char *name)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element && qstricmp(child.name(), name) == 0)
            return child;
    }
    return {};
}

QList<pugi::xml_node> rowsOf(pugi::xml_node privileges)
{
    QList<pugi::xml_node> rows;
    for (pugi::xml_node child : privileges.children()) {
        if (child.type() == pugi::node_element && qstricmp(child.name(), "row") == 0)
            rows.append(child);
    }
    return rows;
}

// The cusprivilege element of a privilege XML; nullopt when the text is no XML document.
std::optional<pugi::xml_node> privilegesOf(pugi::xml_document &document, const QString &xml)
{
    const std::string source = utf8(xml);
    // A value of blanks only is a value, as the data layer reads it.
    if (!document.load_buffer(source.data(), source.size(),
                              pugi::parse_default | pugi::parse_ws_pcdata_single,
                              pugi::encoding_utf8))
        return std::nullopt;
    return document.document_element();
}

void setChildText(pugi::xml_node node, const char *name, const QString &value)
{
    pugi::xml_node child = childNoCase(node, name);
    if (!child)
        child = node.append_child(name);
    child.text().set(utf8(value).c_str());
}

QString xmlOf(const pugi::xml_document &document)
{
    struct Writer : pugi::xml_writer
    {
        std::string out;
        void write(const void *data, size_t size) override
        {
            out.append(static_cast<const char *>(data), size);
        }
    } writer;
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    // Escaped as privilegeXmlFromGrants escapes: a ">" stays as it is (see escaped()). A ">" of
    // the text "&gt;" was written "&amp;gt;", which holds no "&gt;".
    return QString::fromStdString(writer.out).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
}

// Only what would break element text: quotes and ">" stay as they are, since the record's
// normalization would turn their entities into text ("&quot;") on the way to the data layer.
QString escaped(const QString &value)
{
    QString text = value;
    text.replace(u'&', QStringLiteral("&amp;"));
    text.replace(u'<', QStringLiteral("&lt;"));
    return text;
}

// The dimension types in the order their names are reported, with whether each is controlled.
std::array<std::pair<QString, bool>, 6> controlledTypes(const DimensionControl &control)
{
    return {{{kDeptTypeId, control.dept},
             {QStringLiteral("1"), control.dim1},
             {QStringLiteral("2"), control.dim2},
             {QStringLiteral("3"), control.dim3},
             {QStringLiteral("4"), control.dim4},
             {kCustTypeId, control.cust}}};
}

QStringList missingOf(const QSet<QString> &granted, const DimensionControl &control,
                      const QMap<QString, QString> &typeNames)
{
    QStringList names;
    for (const auto &[typeId, controlled] : controlledTypes(control)) {
        if (controlled && !granted.contains(typeId))
            names << typeNames.value(typeId);
    }
    return names;
}

} // namespace

QString privilegeXmlFromGrants(const QString &contactCode, const QString &right, const QString &url,
                               const QList<DimensionGrant> &grants)
{
    QString xml = QStringLiteral("<cusprivilege> <ccuscode>") + escaped(contactCode)
                  + QStringLiteral("</ccuscode><RW>") + escaped(right)
                  + QStringLiteral("</RW><url>") + escaped(url) + QStringLiteral("</url>");
    for (const DimensionGrant &grant : grants) {
        xml += QStringLiteral("<row>  <privilege_type>") + escaped(grant.typeId)
               + QStringLiteral("</privilege_type> <cadtname>") + escaped(grant.typeName)
               + QStringLiteral("</cadtname> <privilege_id>") + escaped(grant.valueCode)
               + QStringLiteral("</privilege_id> <cadname>") + escaped(grant.valueName)
               + QStringLiteral("</cadname>  </row>");
    }
    xml += QStringLiteral("<btextdata>1</btextdata></cusprivilege>");
    return xml;
}

std::optional<QList<DimensionGrant>> grantsOfPrivilegeXml(const QString &xml)
{
    pugi::xml_document document;
    std::optional<pugi::xml_node> privileges = privilegesOf(document, xml);
    if (!privileges)
        return std::nullopt;
    QList<DimensionGrant> grants;
    for (pugi::xml_node row : rowsOf(*privileges)) {
        grants.append({text(childNoCase(row, "privilege_type")).trimmed(),
                       text(childNoCase(row, "cadtname")).trimmed(),
                       text(childNoCase(row, "privilege_id")).trimmed(),
                       text(childNoCase(row, "cadname")).trimmed()});
    }
    return grants;
}

std::optional<QString> withDepartmentRow(const QString &xml, const QString &deptTypeId,
                                         const QString &deptTypeName, const QString &depCode,
                                         const QString &depName)
{
    pugi::xml_document document;
    std::optional<pugi::xml_node> privileges = privilegesOf(document, xml);
    if (!privileges)
        return std::nullopt;
    pugi::xml_node department;
    for (pugi::xml_node row : rowsOf(*privileges)) {
        if (text(childNoCase(row, "privilege_type")).trimmed() == deptTypeId) {
            department = row;
            break;
        }
    }
    if (!department) {
        // Among the other rows, before the closing flag the dialog reads last.
        const pugi::xml_node flag = childNoCase(*privileges, "btextdata");
        department
            = flag ? privileges->insert_child_before("row", flag) : privileges->append_child("row");
        setChildText(department, "privilege_type", deptTypeId);
        setChildText(department, "cadtname", deptTypeName);
    }
    setChildText(department, "privilege_id", depCode);
    setChildText(department, "cadname", depName);
    return xmlOf(document);
}

std::optional<QStringList> missingDimensions(const QString &xml, const DimensionControl &control,
                                             const QMap<QString, QString> &typeNames)
{
    pugi::xml_document document;
    const std::optional<pugi::xml_node> privileges = privilegesOf(document, xml);
    if (!privileges)
        return std::nullopt;
    QSet<QString> granted;
    for (pugi::xml_node row : rowsOf(*privileges)) {
        // A row without a value grants nothing; the save would refuse it anyway.
        if (!text(childNoCase(row, "privilege_id")).isEmpty())
            granted.insert(text(childNoCase(row, "privilege_type")).trimmed());
    }
    return missingOf(granted, control, typeNames);
}

QString missingDimensionsMessage(const QStringList &names, const QString &text00026,
                                 const QString &text00027)
{
    return text00026 + names.join(QChar(0xFF0C)) + text00027;
}

QString dimensionControlSql()
{
    return QStringLiteral(
               "SELECT cBusObId,bDeptControl,bPersonControl,bAuthDim1Control,bAuthDim2Control,")
           + QStringLiteral(" bAuthDim3Control,bAuthDim4Control,bCustDimControl FROM "
                            "aa_busobject_base ")
           + QStringLiteral(" WHERE bAuthDimControl=1 and iAuthType=0 AND bAuthControl=1 AND "
                            "cBusObId='Crm_Contact'")
           + QStringLiteral(" AND langid= dbo.UDF_GetLocaleID() ");
}

QString dimensionTypesSql()
{
    return QStringLiteral("SELECT iADTID,cADTName FROM V_AA_AuthDimen_Type ORDER BY iADTID ");
}

QString contactGrantsSql(const QString &contactCode, const QString &deptTypeId,
                         const QString &deptTypeName)
{
    const QString code = db::sqlEscaped(contactCode);
    return QStringLiteral(
               "select s.iADTID,t.cADTName,s.cADCode,s.cADName from crm_contact_Auth c left join "
               "V_AA_AuthDimen_Sub s on c.Privilege_ID=s.cADCode and c.Privilege_Type=s.iADTID "
               "inner join V_AA_AuthDimen_Type t on c.Privilege_Type=t.iADTID ")
           + QStringLiteral("  where c.Privilege_Type <> 0 and c.Contact_Id=N'") + code
           + QStringLiteral("' ") + QStringLiteral(" union select '") + db::sqlEscaped(deptTypeId)
           + QStringLiteral("','") + db::sqlEscaped(deptTypeName)
           + QStringLiteral("',cDepCode,cDepName  from Department where  cDepCode in (select "
                            "Privilege_ID from crm_contact_Auth where Privilege_Type=0 and "
                            "Contact_Id=N'")
           + code + QStringLiteral("')");
}

namespace {

// The rows of a statement; nullopt with `message` set when it cannot be read.
std::optional<QList<QVariantList>> readRows(IClsCommon &ICom, const QString &sql, QString &message)
{
    bool failed = false;
    QString sMsg;
    std::unique_ptr<db::Recordset> rs(ICom.OpenX(sql, failed, sMsg));
    if (!rs) {
        IClsCommon::FailWithMessage(sMsg);
        message = sMsg;
        return std::nullopt;
    }
    QList<QVariantList> rows;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        QVariantList row;
        for (int i = 0; i < rs->fieldCount(); ++i)
            row << rs->value(i);
        rows << row;
    }
    return rows;
}

bool flag(const QVariant &value)
{
    return value.toString() == u"1" || value.toString().compare(u"true", Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<QString> authDimensionsFailure(IClsCommon &ICom, const QString &contactCode,
                                             QString &privilegeXml, const QString &depCode,
                                             const QString &depName,
                                             const AuthDimensionTexts &texts)
{
    QString message;
    const auto controlRows = readRows(ICom, dimensionControlSql(), message);
    if (!controlRows)
        return message;
    if (controlRows->isEmpty())
        return std::nullopt;
    const QVariantList &c = controlRows->first();
    // Columns: cBusObId, bDeptControl, bPersonControl, bAuthDim1..4Control, bCustDimControl.
    const DimensionControl control{flag(c.value(1)), flag(c.value(3)), flag(c.value(4)),
                                   flag(c.value(5)), flag(c.value(6)), flag(c.value(7))};

    QMap<QString, QString> typeNames{{kDeptTypeId, texts.deptTypeName},
                                     {kCustTypeId, texts.custTypeName}};
    const auto typeRows = readRows(ICom, dimensionTypesSql(), message);
    if (!typeRows)
        return message;
    for (const QVariantList &row : *typeRows)
        typeNames.insert(row.value(0).toString(), row.value(1).toString());

    if (privilegeXml.trimmed().isEmpty()) {
        const auto grantRows = readRows(
            ICom, contactGrantsSql(contactCode, kDeptTypeId, texts.deptTypeName), message);
        if (!grantRows)
            return message;
        QList<DimensionGrant> grants;
        for (const QVariantList &row : *grantRows) {
            grants.append({row.value(0).toString(), row.value(1).toString(),
                           row.value(2).toString(), row.value(3).toString()});
        }
        privilegeXml = privilegeXmlFromGrants(contactCode, QString(), QString(), grants);
    }
    if (control.dept && !depCode.isEmpty()) {
        if (std::optional<QString> withDepartment
            = withDepartmentRow(privilegeXml, kDeptTypeId, texts.deptTypeName, depCode, depName))
            privilegeXml = *withDepartment;
    }
    // Grants that cannot be read grant nothing: every controlled dimension is named.
    const QStringList missing = missingDimensions(privilegeXml, control, typeNames)
                                    .value_or(missingOf({}, control, typeNames));
    if (missing.isEmpty())
        return std::nullopt;
    return missingDimensionsMessage(missing, texts.text00026, texts.text00027);
}

} // namespace perikon::card
