#pragma once

// The one statement behind the contact list, built from the session's select list, the read
// authorization, the customer the list is limited to, and the window's filter and order.

#include <QString>

namespace perikon::list {

struct ListQuery
{
    QString selectCols;     // gListSelectCols
    QString rowAuthRead;    // gRowAuthRead
    QString archiveCusCode; // gArchiveCusCode
    QString extra;          // DataRefresh's argument
    QString filter;         // the window's filter condition
    QString orderText;      // the window's order text
};

// Empty when the read authorization is empty: the list then has nothing it may show.
QString listStatement(const ListQuery &query);

} // namespace perikon::list
