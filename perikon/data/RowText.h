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

} // namespace perikon::internal
