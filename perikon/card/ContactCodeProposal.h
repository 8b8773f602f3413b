#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>

#include <functional>
#include <optional>

namespace perikon {

class IClsCommon;

namespace internal {

// The code that follows `maximum`, the highest stored code of the card's numbering (eight
// characters starting with a digit; a null value when there is none). nullopt when no code follows
// (a maximum that ends in no digit), and the card then keeps the code it shows.
std::optional<QString> contactCodeAfter(const QVariant &maximum);

// Whether a code is already used; nullopt when that cannot be told.
using ContactCodeTaken = std::function<std::optional<bool>(const QString &)>;

// The code proposed from `maximum`: the code after it, and past every code `isTaken` reports as
// already used. nullopt when no code follows or `isTaken` cannot tell.
std::optional<QString> proposedContactCode(const QVariant &maximum,
                                           const ContactCodeTaken &isTaken);

// "Select top 1 * ..." on the contact `code`: a row means the code is used.
QString contactCodeUsedSql(QStringView code);

} // namespace internal

// ProposeContactCode's query and rule on the account behind `ICom`: nullopt when the highest code
// cannot be read or has no successor (the card's code is then left as it is).
std::optional<QString> proposeContactCode(IClsCommon &ICom);

// Whether a contact with `code` is stored; nullopt when the query fails.
std::optional<bool> contactCodeUsed(IClsCommon &ICom, QStringView code);

} // namespace perikon
