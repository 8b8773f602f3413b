#pragma once

// The card's lookups that are not the window's own: the statements and conditions behind its
// reference buttons, and the references of fields by column (ShowFieldReference) and of
// user-defined items (SelRef).

#include <QString>
#include <QStringList>

class QWidget;

namespace perikon::controls {
class HostEdit;
}

namespace perikon::card {

// A value as the text of a single-quoted XML attribute: & < > ' and " escaped.
QString xmlAttributeValue(QString value);

// The superior lookup's rows: contacts with their customers, narrowed to the customer's contacts
// when `condition` is given and to those whose code or name contains `typed` when it is not
// empty. No WHERE when neither narrows.
QString superiorReferenceSql(const QString &condition, const QString &typed);

// " and (field like N'%typed%')", empty for an empty text.
QString CreateMatchStr(const QString &field, const QString &typed);

// The rows of an item whose values come from another archive: the filled values of `field` of
// `archive` that contain `typed`. The contact archive brings its base codes' names, persons their
// departments. Empty when the archive or the field is not a plain (optionally qualified) name.
QString archiveValuesSql(const QString &archive, const QString &field, const QString &typed);

// A column of a reference's rows as a choice names it: the part after a qualifier's dot.
QString resultColumnOf(const QString &field);

// The rows of an item's own value list.
QString valueListSql(const QString &itemId);

// The conditions of a dependent item: its id and its parent's value, filtering the item's values
// by the parent's value. `xml` and `filter` stay empty for an item without a parent.
struct RefConditionTexts
{
    QString xml;
    QString filter;
};
RefConditionTexts dependentItemConditions(const QString &itemId, const QString &parentId,
                                          const QString &parentValue);

// The reference settings of an item that takes several values: each value already chosen
// preselected ("a,b" -> two items).
QString multiSelectSettings(const QString &currentValues);

// Opens the reference of card column `column` for `editor` and fills it with the choice: the
// code into text and Tag for the archive references, the name for base codes, the value for
// user-defined items. `condition` narrows the archive's rows. Answers whether the operator chose;
// a reference that cannot open shows the system's message first.
bool ShowFieldReference(const QString &column, const QString &codeColumn, const QString &nameColumn,
                        const QString &condition, controls::HostEdit *editor, QWidget *window,
                        const RefConditionTexts &conditions = {}, bool multiSelect = false);

// The reference of user-defined column cConDefine<n>: another archive's values, the calculator
// for the number items, else the item's own values. `value` is the editor's text on entry and
// the choice on a true answer. Failures go to the error log.
// `failed` (when given) tells a reference that could not open from a cancelled one.
bool SelRef(const QString &column, QString &value, controls::HostEdit *editor, QWidget *window,
            const RefConditionTexts &conditions = {}, bool multiSelect = false,
            bool *failed = nullptr);

} // namespace perikon::card
