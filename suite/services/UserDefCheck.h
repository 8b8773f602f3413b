#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace perikon::db {
class Connection;
}

namespace perikon::suite::userdef {

// A user-defined item's definition, as userdef holds it.
struct Definition
{
    QString item;    // CItem, e.g. "自定义项3"
    QString caption; // cItemName; the item's name when it has none
    QString type;    // cType: 文本, 整数, 数值, 日期
    int length = 0;  // iLength: characters of a text, digits of a number (the point included)
    int decimals = 0;
    bool fixedLength = false;
    bool checksValues = false; // bCheckVal
    QString listId;            // cID: the item's values in userdefine
    bool fromArchive = false;  // iDataSource 1: values of another archive
    QString relatedArchive;
    QString relatedField;
    bool takesNewValues = false; // bArchive
    bool multiSelect = false;    // bMultiSel: values joined by commas
};

// Why a value does not suit its item: the resource key of the message and its arguments.
struct Refusal
{
    QString key;
    QStringList args;
};

// The userdef item a caller names: "cConDefine<n>" (any case) is "自定义项<n>"; any other name is
// the item itself.
QString itemOf(const QString &name);

// A date as a clerk types it: year-month-day with a four-digit year and one- or two-digit month
// and day ("2026-03-05", "2026-3-5"), a day the calendar has, from 1753 on (earlier years are
// typing slips, and the datetime columns start there).
bool isEnteredDate(const QString &text);

// The definition of `item` of `className`, or nothing when userdef has none. Throws DbError.
std::optional<Definition> readDefinition(db::Connection &connection, const QString &className,
                                         const QString &item);

// Type, length and, when the item checks values, its value list or archive. An empty value suits
// every item. An item that takes new values accepts one that is not listed yet (the card adds it
// to the list when it saves). Throws DbError when the values cannot be read.
std::optional<Refusal> check(db::Connection &connection, const Definition &definition,
                             const QString &value, const QString &languageId);

} // namespace perikon::suite::userdef
