#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace perikon {

class IClsCommon;

namespace internal {

// The stored superior of a contact: nullopt when no contact has that code, an empty text when it
// has no superior.
using StoredSuperior = std::function<std::optional<QString>(const QString &code)>;

// Whether giving the contact `own` the superior `superior` makes it its own superior, directly or
// through the superiors stored for the chain.
bool superiorLeadsBack(const QString &own, const QString &superior,
                       const StoredSuperior &superiorOf);

QString storedSuperiorSql(QStringView code);

} // namespace internal

// CheckSuperior's chain on the account behind `ICom`. A superior that cannot be read ends the
// chain, as a missing contact does.
bool superiorLeadsBack(IClsCommon &ICom, const QString &own, const QString &superior);

} // namespace perikon
