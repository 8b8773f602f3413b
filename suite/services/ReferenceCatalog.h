#pragma once

#include "suite/controls/RefEdit.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace perikon::suite {

// Where the rows of a reference come from: a table, the column saved (code) and the column shown
// (name). A text is also looked up in the other name columns (a customer's abbreviation), and
// `condition` always narrows the rows.
struct ReferenceSource
{
    QString table;
    QString codeColumn;
    QString nameColumn;
    QStringList otherNameColumns;
    QString condition;
};

// The source behind a reference key, compared without regard to case; none for a key whose
// table the suite does not have.
std::optional<ReferenceSource> referenceSource(const QString &key);

// SQL Server text reading the code and the name of every row whose code or one of whose names
// equals `text` (trailing blanks do not count on either side), narrowed by `condition` when one
// is given.
QString referenceMatchSelect(const ReferenceSource &source, const QString &text,
                             const QString &condition = {});

// The function ("R", "W") whose row authorization narrows a reference, when its settings
// ("<Ref><RefSet bAuth='1' authFunID='W'/></Ref>", names without regard to case) ask for one;
// "R" when bAuth is set without a function.
std::optional<QString> referenceAuthFunction(const QString &settingsXml);

// A resolver for a RefEdit over the account database of `connectionString`, opened on first
// use; codes that equal the text come first. Empty for a key without a source, so the editor
// takes any text. A lookup that fails answers no row: a text that cannot be confirmed does not
// pass as a reference.
// The condition narrowing customers to those `login` reaches with `function` ("R", "W"): empty
// for an administrator or when customers are not controlled; a rule that cannot be read reaches
// none.
QString customerRightsCondition(QObject *login, const QString &function);
// The condition over Crm_Contact (the table, not an alias) narrowing contacts to those `login`
// reaches with `function`: empty for an administrator; a rule that cannot be read reaches none.
QString contactRightsCondition(QObject *login, const QString &function);
// The rights condition for the table behind `source` (customers, contacts); empty for a table
// without row rights.
QString rightsCondition(const ReferenceSource &source, QObject *login, const QString &function);

controls::RefResolver referenceResolver(const QString &key, const QString &connectionString,
                                        const QString &condition = {});

} // namespace perikon::suite
