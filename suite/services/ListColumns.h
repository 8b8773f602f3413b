#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace perikon::suite {

// The columns of the contact list from its column information: what each grid column shows, the
// select list that fetches it and the order. The first entry is an empty placeholder the row marks
// are written into, the second the contact code, the last a hidden ID holding the code again, so
// commands find a row's contact whatever the operator's layout. Every entry carries an alias.
struct ListColumn
{
    QString alias;
    QString expression;
    QString caption;
    int width = 0; // pixels; 0 hides the column
    // Where the operator placed the column among the layout's columns; the grid shows the columns
    // in this order whatever their place in the select list (the mark and the code first, the ID
    // last).
    int place = 0;
};

struct ListColumns
{
    QList<ListColumn> columns;
    QString selectList;
    QString orderText; // empty: the list's default order
};

// Nullopt with `error` set when the column information is not a readable layout.
std::optional<ListColumns> listColumns(const QString &colInfoXml, QString *error = nullptr);

} // namespace perikon::suite
