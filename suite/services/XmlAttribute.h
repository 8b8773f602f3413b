#pragma once

#include <QString>

#include <pugixml.hpp>

namespace perikon::suite {

// An attribute's trimmed value, its name compared without regard to case (the host's documents
// spell names as they like); empty when there is none.
inline QString attributeNoCase(const pugi::xml_node &node, const char *name)
{
    for (pugi::xml_attribute attribute : node.attributes()) {
        if (QString::fromUtf8(attribute.name()).compare(QLatin1String(name), Qt::CaseInsensitive)
            == 0)
            return QString::fromUtf8(attribute.value()).trimmed();
    }
    return {};
}

} // namespace perikon::suite
