#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace perikon::db {
class Connection;
}

namespace perikon::suite::filter {

// The plain logic of the contact filter dialog: which columns it offers, which comparisons each
// takes, and the WHERE fragment a confirmed set of rows becomes. The fragment refers to the
// contact as `Crm_Contact` (the list's alias of v_Crm_Contact, or the table itself).

enum class FieldType { Text, Integer, Decimal, Date, Boolean };

struct FilterField
{
    QString column;  // the Crm_Contact column a condition is written over
    QString caption; // in the session language
    FieldType type = FieldType::Text;
    // For a coded column the list shows by name: a select of two columns, cCode (the value stored
    // in `column`) and cName (what the operator sees), e.g.
    // "SELECT cCusCode AS cCode, cCusName AS cName FROM Customer". A condition on the name
    // becomes Crm_Contact.<column> IN (SELECT names.cCode FROM (<nameSql>) names WHERE <on
    // names.cName>). Empty for a column compared by its own value.
    QString nameSql;
};

// The contact columns of the column dictionary, captions in `language` ("zh-CN", "en-US"), in
// dictionary order, each caption once; a coded column is offered once, by its name. Throws
// DbError.
QList<FilterField> contactFilterFields(db::Connection &connection, const QString &language);

enum class FilterOperator {
    Equals,
    NotEqual,
    Greater,
    AtLeast,
    Less,
    AtMost,
    Contains,
    StartsWith,
    IsEmpty,
    IsNotEmpty
};

QList<FilterOperator> operatorsFor(FieldType type);
QString operatorCaption(FilterOperator op, const QString &language);
bool operatorTakesValue(FilterOperator op);

struct FilterRow
{
    QString column;
    FilterOperator op = FilterOperator::Equals;
    QString value;
    bool orWithNext = false; // joins this row to the next with OR instead of AND
};

// Nullopt when `value` can be compared with `field` by `op`; else why not, in `language`.
std::optional<QString> checkValue(const FilterField &field, FilterOperator op, const QString &value,
                                  const QString &language);

// One parenthesized condition over the rows in order, AND binding tighter than OR; empty text for
// no rows. A row the dialog should have refused (a column not among `fields`, an operator its
// type does not take, a value checkValue refuses) matches nothing, so it can never widen the list.
QString filterFragment(const QList<FilterField> &fields, const QList<FilterRow> &rows);

} // namespace perikon::suite::filter
