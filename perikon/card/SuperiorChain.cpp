#include "perikon/card/SuperiorChain.h"

#include "perikon/data/IClsCommon.h"
#include "perikon/data/db/Recordset.h"
#include "perikon/data/db/SqlLiteral.h"

#include <QSet>

#include <memory>

namespace perikon {

namespace internal {

bool superiorLeadsBack(const QString &own, const QString &superior,
                       const StoredSuperior &superiorOf)
{
    if (own == superior)
        return true;
    QSet<QString> visited;
    QString current = superior;
    // A loop already stored among other contacts does not reach `own`; stop when it closes.
    while (!visited.contains(current)) {
        visited.insert(current);
        const std::optional<QString> next = superiorOf(current);
        if (!next || next->isEmpty())
            return false;
        if (*next == own)
            return true;
        current = *next;
    }
    return false;
}

QString storedSuperiorSql(QStringView code)
{
    return QStringLiteral("SELECT cSuperiorID FROM Crm_Contact WHERE cContactCode=")
           + db::sqlNQuoted(code);
}

} // namespace internal

bool superiorLeadsBack(IClsCommon &ICom, const QString &own, const QString &superior)
{
    return internal::superiorLeadsBack(
        own, superior, [&ICom](const QString &code) -> std::optional<QString> {
            std::unique_ptr<db::Recordset> rs(ICom.OpenX(internal::storedSuperiorSql(code)));
            if (!rs || rs->recordCount() == 0)
                return std::nullopt;
            const QVariant value = rs->value(0);
            return value.isNull() ? QString() : value.toString();
        });
}

} // namespace perikon
