#include "suite/services/TransferDialogXml.h"

#include "suite/services/TransferXml.h"

#include <pugixml.hpp>

#include <functional>
#include <string>

namespace perikon::suite {

namespace {

constexpr const char *kPersonsMarker = "bedited";
constexpr const char *kDimensionsMarker = "btextdata";

bool load(pugi::xml_document &document, const QString &xml)
{
    const QByteArray source = xml.toUtf8();
    // A value of blanks only is a value, as the data layer reads it.
    return document.load_buffer(source.constData(), std::size_t(source.size()),
                                pugi::parse_default | pugi::parse_ws_pcdata_single,
                                pugi::encoding_utf8)
           && document.document_element();
}

QString saved(const pugi::xml_document &document)
{
    struct Writer : pugi::xml_writer
    {
        std::string out;
        void write(const void *data, size_t size) override
        {
            out.append(static_cast<const char *>(data), size);
        }
    } writer;
    // Empty elements keep both tags: the card fills in the code of a new contact by replacing
    // "<cContactCode></cContactCode>".
    document.save(writer, "",
                  pugi::format_raw | pugi::format_no_declaration
                      | pugi::format_no_empty_element_tags,
                  pugi::encoding_utf8);
    // The record's normalization escapes every "&" once more, so an entity other than "&amp;"
    // would arrive as text; ">" needs none in element text. A text "&gt;" was written
    // "&amp;gt;", which holds no "&gt;".
    return QString::fromStdString(writer.out).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
}

void appendText(pugi::xml_node parent, const char *name, const QString &value)
{
    parent.append_child(name).text().set(value.toUtf8().constData());
}

template<typename Row>
std::optional<TransferMember<Row>>
readMember(const QString &xml, std::initializer_list<const char *> codeNames, const char *marker,
           const std::function<std::optional<Row>(const pugi::xml_node &)> &readRow)
{
    pugi::xml_document document;
    if (!load(document, xml))
        return std::nullopt;
    const pugi::xml_node root = document.document_element();
    TransferMember<Row> member;
    for (const char *name : codeNames) {
        member.contactCode = childText(root, name);
        if (!member.contactCode.isEmpty())
            break;
    }
    member.editable = childText(root, "rw") == QLatin1String("1");
    member.settled = childText(root, marker) == QLatin1String("1");
    for (const pugi::xml_node &row : childrenNoCase(root, "row")) {
        if (std::optional<Row> read = readRow(row))
            member.rows.append(*read);
    }
    return member;
}

// The document with its rows and marker removed; `appendRow` adds each new row.
template<typename Row>
std::optional<QString>
writeMember(const QString &xml, const QList<Row> &rows, const char *marker,
            const std::function<void(pugi::xml_node, const Row &)> &appendRow)
{
    pugi::xml_document document;
    if (!load(document, xml))
        return std::nullopt;
    pugi::xml_node root = document.document_element();
    for (const pugi::xml_node &old : childrenNoCase(root, "row"))
        root.remove_child(old);
    for (const pugi::xml_node &old : childrenNoCase(root, marker))
        root.remove_child(old);
    for (const Row &row : rows)
        appendRow(root.append_child("row"), row);
    appendText(root, marker, QStringLiteral("1"));
    return saved(document);
}

} // namespace

std::optional<RelatedPersonsMember> readRelatedPersonsXml(const QString &xml)
{
    return readMember<RelatedPerson>(
        xml, {"ccontactcode"}, kPersonsMarker,
        [](const pugi::xml_node &row) -> std::optional<RelatedPerson> {
            const QString userId = childText(row, "cuser_id");
            if (userId.isEmpty())
                return std::nullopt; // binds nobody; the save would refuse it
            return RelatedPerson{userId, childText(row, "cuser_name"),
                                 childText(row, "iright") != QLatin1String("0")};
        });
}

std::optional<DimensionMember> readDimensionXml(const QString &xml)
{
    return readMember<DimensionGrant>(
        xml, {"ccuscode", "ccontactcode"}, kDimensionsMarker,
        [](const pugi::xml_node &row) -> std::optional<DimensionGrant> {
            DimensionGrant grant{childText(row, "privilege_type"), childText(row, "cadtname"),
                                 childText(row, "privilege_id"), childText(row, "cadname")};
            if (grant.typeId.isEmpty() || grant.valueCode.isEmpty())
                return std::nullopt; // grants nothing; the save would refuse it
            return grant;
        });
}

std::optional<QString> writeRelatedPersonsXml(const QString &xml, const QList<RelatedPerson> &rows)
{
    return writeMember<RelatedPerson>(
        xml, rows, kPersonsMarker, [](pugi::xml_node row, const RelatedPerson &person) {
            appendText(row, "cuser_id", person.userId);
            appendText(row, "iright", person.readWrite ? QStringLiteral("1") : QStringLiteral("0"));
        });
}

std::optional<QString> writeDimensionXml(const QString &xml, const QList<DimensionGrant> &rows)
{
    return writeMember<DimensionGrant>(xml, rows, kDimensionsMarker,
                                       [](pugi::xml_node row, const DimensionGrant &grant) {
                                           appendText(row, "privilege_type", grant.typeId);
                                           appendText(row, "cadtname", grant.typeName);
                                           appendText(row, "privilege_id", grant.valueCode);
                                           appendText(row, "cadname", grant.valueName);
                                       });
}

} // namespace perikon::suite
