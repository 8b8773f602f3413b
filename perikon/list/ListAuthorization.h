#pragma once

// Module Common: the row authorization of the contact list, and the joins its select list needs.

#include <QString>

namespace perikon::Common {

// Fills gColAuthRead, gColAuthWrite, gColAuthN, gRowAuthRead ("1=1" when nothing restricts) and
// gRowAuthWrite from the session's authorization services.
void InitAuthStrings();

// The WHERE fragment over Crm_Contact for a function ("R", "W" or "D"); empty means no
// restriction (an administrator). Without a row-authorization service no row is reached.
QString BuildContactAuthWhere(const QString &functionId);

// The LEFT JOIN clauses the columns of a select list need.
QString BuildListJoins(const QString &selectList);
// The joins followed by what comes next in a statement: some clauses end without a blank, and
// "...cSuperiorIDWHERE" would not parse.
QString listJoinsBefore(const QString &selectList, const QString &next);

// Whether the operator may apply the function to the contact: false for an empty code or
// function, a contact outside the operator's rows or outside the customer the list shows.
bool ContactRowAllowed(const QString &contactCode, const QString &functionId);

// The statement ContactRowAllowed runs.
QString contactRowAllowedSql(const QString &contactCode, const QString &authWhere);

} // namespace perikon::Common
