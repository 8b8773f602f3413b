#pragma once

#include <QStringView>

namespace perikon::db::internal {

// The words SQL Server reserves. A reserved word that the rewrites do not translate makes the
// statement unsupported, so no T-SQL-only construct slips through as an identifier.
bool isReservedWord(QStringView word);

// Reserved words (and a few non-reserved ones) that mean the same on every target and may pass
// through unchanged.
bool isPortableKeyword(QStringView word);

// Words allowed inside a WITH (...) table hint, which the targets do not need.
bool isTableHint(QStringView word);

} // namespace perikon::db::internal
