#pragma once

#include <QHash>
#include <QString>

namespace perikon::db {

// The words of a query's first select list, keyed by their lower-case form: PostgreSQL folds
// unquoted result names to lower case, and these give them back the case the query wrote.
// Words inside string literals and quoted names are not taken.
QHash<QString, QString> selectListSpellings(QStringView sql);

} // namespace perikon::db
