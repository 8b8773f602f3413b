#pragma once

#include "perikon/data/transXML.h"

namespace perikon::internal {

// The text of a row's child, empty when the row has no such child. Unlike GetNodeText it reports
// nothing: the save steps look up many children that a row may well leave out.
inline QString childText(pugi::xml_node row, const QString &name)
{
    const std::string lower = transXML::utf8(name.toLower());
    return transXML::text(row.child(lower.c_str()).child_value());
}

// The XML text of a node, or of a whole document, without declaration or indentation.
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
    return QString::fromStdString(writer.out);
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
