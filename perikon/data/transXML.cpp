// Module transXML: node helpers over record XML, the date-range check, the archive function ids
// and the table display names.

#include "perikon/data/transXML.h"

#include "perikon/data/DataErrors.h"
#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/SqlLiteral.h"
#include "perikon/data/db/ValueConversion.h"
#include "perikon/host/ResText.h"
#include "perikon/session/ModuleRegistry.h"
#include "perikon/session/SessionGlobals.h"

#include <QDate>

#include <array>
#include <memory>
#include <string_view>

namespace perikon::transXML {

QString text(const pugi::char_t *value)
{
    return value ? QString::fromUtf8(value) : QString();
}

std::string utf8(const QString &value)
{
    return value.toStdString();
}

namespace {

pugi::xml_node childNamed(pugi::xml_node node, const QString &name, bool keepCase = false)
{
    return node.child(utf8(keepCase ? name : name.toLower()).c_str());
}

// Gives an element exactly `value` as its text, as assigning a DOM node's text does.
void replaceText(pugi::xml_node element, const QString &value)
{
    while (pugi::xml_node child = element.first_child())
        element.remove_child(child);
    if (!value.isEmpty())
        element.append_child(pugi::node_pcdata).set_value(utf8(value).c_str());
}

} // namespace

QString GetNodeText(pugi::xml_node node, const QString &name, const QString &defaultText,
                    bool *found, bool keepCase)
{
    if (found)
        *found = false;
    if (!node || name.isEmpty())
        return defaultText;
    const pugi::xml_node child = childNamed(node, name, keepCase);
    if (!child) {
        gLastError = GetResFormat(QStringLiteral("K2.AA.SRVTRANS.XML.node_noexist"), {name});
        return defaultText;
    }
    if (found)
        *found = true;
    return text(child.text().get());
}

bool SetNodeText(pugi::xml_node node, const QString &name, const QString &value)
{
    const pugi::xml_node child = node ? childNamed(node, name) : pugi::xml_node();
    if (!child) {
        gLastError = GetResFormat(QStringLiteral("K2.CRM.COMMON.XMLMSG001"), {name});
        return false;
    }
    replaceText(child, value);
    return true;
}

void SetOrAddNodeText(pugi::xml_node node, const QString &name, const QString &value)
{
    if (!node)
        return;
    pugi::xml_node child = childNamed(node, name);
    if (!child) {
        // Built by parsing so that only a well-formed element name is ever appended; the name is
        // lower-cased like every name of a normalized document, so later lookups find it.
        pugi::xml_document fresh;
        const std::string source = "<" + utf8(name.toLower()) + "/>";
        if (!fresh.load_string(source.c_str()))
            return; // not an element name: no column can carry it
        child = node.append_copy(fresh.document_element());
    }
    replaceText(child, value);
}

QString GetAttrValue(pugi::xml_node node, const QString &name)
{
    if (!node)
        return {};
    for (const pugi::xml_attribute attribute : node.attributes()) {
        if (text(attribute.name()).compare(name, Qt::CaseInsensitive) == 0)
            return text(attribute.value()).trimmed();
    }
    return {};
}

void RemoveChildNode(pugi::xml_node node, const QString &name)
{
    if (!node)
        return;
    if (const pugi::xml_node child = childNamed(node, name))
        node.remove_child(child);
}

QVariant NullTo(const QVariant &value, const QVariant &defaultValue)
{
    return !value.isValid() || value.isNull() ? defaultValue : value;
}

bool CheckDateRange(const QString &value, const QString &caption)
{
    if (value.trimmed().isEmpty())
        return false;
    const auto parsed = db::ValueConversion::parseDateTime(value);
    if (!parsed) {
        gLastError = GetResFormat(QStringLiteral("K2.CRM.COMMON.CheckDate01"), {caption});
        return false;
    }
    const QDate date = parsed->date();
    if (date < QDate(1760, 1, 1)) {
        gLastError = GetResFormat(QStringLiteral("K2.CRM.COMMON.CheckDate11"), {caption});
        return false;
    }
    if (date >= QDate(2300, 1, 1)) {
        gLastError = GetResFormat(QStringLiteral("K2.CRM.COMMON.CheckDate12"), {caption});
        return false;
    }
    return true;
}

namespace {

// Function ids per archive: query (1), edit (2) and the special operations 3, 4, 8 and 11.
// An empty entry means the operation needs no check.
struct ArchiveFunctions
{
    std::string_view archive;
    std::string_view query;
    std::string_view edit;
    std::string_view op3 = {};
    std::string_view op4 = {};
    std::string_view op8 = {};
    std::string_view op11 = {};
};

constexpr std::array kArchiveFunctions{
    ArchiveFunctions{"Crm_Contact", "CS020202", "CS020201", "CS020203", {}, "CS020205", "CS020204"},
    ArchiveFunctions{"Department", "AS021Q", "AS021"},
    ArchiveFunctions{"Person", "AS020Q", "AS020"},
    ArchiveFunctions{"DistrictClass", "AS007Q", "AS007"},
    ArchiveFunctions{"Customer", "AS011Q", "AS011", "AS011"},
    ArchiveFunctions{"VendorClass", "AS004Q", "AS004"},
    ArchiveFunctions{"Vendor", "AS005Q", "AS005", "AS005"},
    ArchiveFunctions{"InventoryClass", "AS008Q", "AS008"},
    ArchiveFunctions{"Inventory", "AS009Q", "AS009", "AS009H"},
    ArchiveFunctions{"SettleStyle", "AS018Q", "AS018"},
    ArchiveFunctions{"PayCondition", "AS003Q", "AS003"},
    ArchiveFunctions{"Bank", "AS013Q", "AS013"},
    ArchiveFunctions{"Warehouse", "AS002Q", "AS002"},
    ArchiveFunctions{"Rd_Style", "AS016Q", "AS016"},
    ArchiveFunctions{"PurchaseType", "AS022Q", "AS022"},
    ArchiveFunctions{"SaleType", "AS023Q", "AS023"},
    ArchiveFunctions{"Accessaries", "AS014Q", "AS014"},
    ArchiveFunctions{"ExpenseItem", "AS024Q", "AS024"},
    ArchiveFunctions{"Wastage", "AS031Q", "AS031"},
    ArchiveFunctions{"ShippingChoice", "AS006Q", "AS006"},
    ArchiveFunctions{"Position", "AS030Q", "AS030"},
    ArchiveFunctions{"UserDef", "AS025Q", "AS035"},
    ArchiveFunctions{"UserDefine", "AS025Q", "AS036"},
    ArchiveFunctions{"VenAndInv", "AS120102", "AS120101"},
    ArchiveFunctions{"WhInvContrapose", "AS120202", "AS120201"},
    ArchiveFunctions{"InvPosContrapose", "AS120302", "AS120301"},
    ArchiveFunctions{"UA_Account_Sub", "AS01302", "AS01301"},
    ArchiveFunctions{"GradeDef", "AS019Q", "AS019"},
    ArchiveFunctions{"ExpItemClass", "AS702Q", "AS702E"},
    ArchiveFunctions{"Company", "AS201Q", "AS201E"},
    ArchiveFunctions{"Reason", "AS701Q", "AS701E"},
    // Company groups have one function for looking and changing alike.
    ArchiveFunctions{"CompanyGroup", "AS14", "AS14"},
    ArchiveFunctions{"VouchUserDefContra", "AS1002Q", "AS1002E"},
    ArchiveFunctions{"AutoSetTableInf", "AS100102", "AS100101"},
    ArchiveFunctions{"AutoSetFieldInf", "AS100102", "AS100101"},
    ArchiveFunctions{"ComputationGroup", "AS001Q", "AS001", {}, "AS001H"},
    ArchiveFunctions{"ComputationUnit", "AS001Q", "AS001", {}, "AS001H"},
    ArchiveFunctions{"ProductStructure", "AS032Q", "AS032M"},
    ArchiveFunctions{"ProductStructures", "AS032Q", "AS032M"},
};

QString latin1(std::string_view value)
{
    return QString::fromLatin1(value.data(), qsizetype(value.size()));
}

} // namespace

QString ArchFuncId(const QString &sArch, int OptId)
{
    const QString archive = sArch.trimmed();
    for (const ArchiveFunctions &entry : kArchiveFunctions) {
        if (latin1(entry.archive).compare(archive, Qt::CaseInsensitive) != 0)
            continue;
        switch (OptId) {
        case 1:
            return latin1(entry.query);
        case 2:
            return latin1(entry.edit);
        case 3:
            return latin1(entry.op3);
        case 4:
            return latin1(entry.op4);
        case 8:
            return latin1(entry.op8);
        case 11:
            return latin1(entry.op11);
        default:
            return {};
        }
    }
    return {};
}

QString GetTableDefine(IClsCommon &ICom, const QString &tableName)
{
    std::unique_ptr<db::Recordset> rs(ICom.OpenX(QStringLiteral(
        "SELECT TableName,TableDefine FROM Rpt_GRPDef ORDER BY SystemId, TableName")));
    if (!rs)
        return {};
    try {
        rs->setFilter(QStringLiteral("TableName='") + db::sqlEscaped(tableName)
                      + QLatin1Char('\''));
        if (rs->eof())
            return {};
        const QVariant define = rs->value(QStringLiteral("TableDefine"));
        if (!define.isValid() || define.isNull())
            return GetResText(QStringLiteral("K2.CRM.QZBaseCodeRefer.transxml.00009"));
        return define.toString();
    } catch (...) {
        internal::logDataError(QStringLiteral("transXML"), QStringLiteral("GetTableDefine"),
                               internal::currentError());
        return {};
    }
}

namespace {
const bool registered = [] {
    ModuleRegistry::registerFunction(
        QStringLiteral("transXML"), QStringLiteral("CheckDateRange"), [](QVariantList &args) {
            return QVariant(CheckDateRange(args.value(0).toString(), args.value(1).toString()));
        });
    ModuleRegistry::registerFunction(
        QStringLiteral("transXML"), QStringLiteral("ArchFuncId"), [](QVariantList &args) {
            return QVariant(ArchFuncId(args.value(0).toString(), args.value(1).toInt()));
        });
    ModuleRegistry::registerFunction(
        QStringLiteral("transXML"), QStringLiteral("NullTo"),
        [](QVariantList &args) { return NullTo(args.value(0), args.value(1)); });
    return true;
}();
} // namespace

} // namespace perikon::transXML
