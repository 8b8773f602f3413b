#pragma once

#include <QString>
#include <QStringView>

namespace perikon::internal {

// Statements about contacts that more than one operation runs. Each text is built here only.

// The highest contact code of the numbering the component proposes from: eight characters that
// start with a digit. trailingBlanks: how many blanks end the text (the card and the save step
// each keep their own, so their statements read as they always have in the database's logs).
QString nextContactCodeSql(int trailingBlanks);

// Tells the duplicate detection, when its scratch table exists, that the contact `code` changed.
// operation: empty for an added contact, otherwise the operation stored with it ("del").
QString duplicationNoteSql(QStringView code, QStringView operation = {});

} // namespace perikon::internal
