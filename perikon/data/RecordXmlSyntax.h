#pragma once

#include <QString>

#include <optional>

namespace perikon::internal {

// Why a record document is not well-formed XML 1.0, or nothing when it is. The tree parser is
// lenient (it takes repeated attributes, "<" in attribute values, a late declaration, control
// characters and a bare "&"), so a document is checked here before it is loaded. Linear in the
// length of the text.
std::optional<QString> recordXmlProblem(const QString &xml);

} // namespace perikon::internal
