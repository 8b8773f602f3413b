#pragma once

#include "perikon/data/transXML.h"

#include <string>
#include <string_view>

namespace perikon::internal {

// The text of a row's child, empty when the row has no such child. Unlike GetNodeText it reports
// nothing: the save steps look up many children that a row may well leave out.
inline QString childText(pugi::xml_node row, const QString &name)
{
    const std::string lower = transXML::utf8(name.toLower());
    return transXML::text(row.child(lower.c_str()).child_value());
}

// A carriage return written into text as it is reads back as a line feed, as XML wants of every
// parser; a character reference keeps it. Attribute values come escaped already, and CDATA stays
// as written (parsed CDATA holds no carriage return).
inline std::string withCarriageReturnsEscaped(const std::string &xml)
{
    if (xml.find('\r') == std::string::npos)
        return xml;
    constexpr std::string_view cdataStart = "<![CDATA[";
    constexpr std::string_view cdataEnd = "]]>";
    std::string escaped;
    escaped.reserve(xml.size() + 32);
    for (std::size_t i = 0; i < xml.size();) {
        if (std::string_view(xml).substr(i, cdataStart.size()) == cdataStart) {
            const std::size_t end = xml.find(cdataEnd, i + cdataStart.size());
            const std::size_t stop = end == std::string::npos ? xml.size() : end + cdataEnd.size();
            escaped.append(xml, i, stop - i);
            i = stop;
            continue;
        }
        if (xml[i] == '\r')
            escaped += "&#13;";
        else
            escaped += xml[i];
        ++i;
    }
    return escaped;
}

// The XML text of a node, or of a whole document, without declaration or indentation; it parses
// back to the same values.
inline QString xmlText(const pugi::xml_node &node)
{
    struct Writer : pugi::xml_writer
    {
        std::string out;
        void write(const void *data, size_t size) override
        {
            out.append(static_cast<const char *>(data), size);
        }
    } writer;
    node.print(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return QString::fromStdString(withCarriageReturnsEscaped(writer.out));
}

// A normalized record document, trimmed and wrapped in its data root when it has none.
inline QString wrapInDataRoot(const QString &normalized)
{
    const QString text = normalized.trimmed();
    if (text.left(6).toLower() == QLatin1String("<data>"))
        return text;
    return QStringLiteral("<data>") + text + QStringLiteral("</data>");
}

} // namespace perikon::internal
