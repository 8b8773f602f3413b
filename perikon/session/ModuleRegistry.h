#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

namespace perikon {

// Module functions ("Common.ToNSqlLiterals", "transXML.CheckDateRange", ...) by module and name,
// so hosts and scripts can call them as an automation client would. A function receives its
// arguments by reference and may write results back into them.
class ModuleRegistry
{
public:
    using Function = std::function<QVariant(QVariantList &args)>;

    static bool registerFunction(const QString &module, const QString &name, Function function);
    // The function's result; std::nullopt when no such function is registered.
    static std::optional<QVariant> call(const QString &module, const QString &name,
                                        QVariantList &args);
    static QStringList names();
};

} // namespace perikon
