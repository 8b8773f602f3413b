#include "ProcedureRegistry.h"

#include "DbError.h"

namespace perikon::db {

void ProcedureRegistry::add(const QString &name, Procedure procedure)
{
    m_procedures.insert(name.trimmed().toLower(), std::move(procedure));
}

bool ProcedureRegistry::contains(const QString &name) const
{
    return m_procedures.contains(name.trimmed().toLower());
}

void ProcedureRegistry::call(const QString &name, Connection &connection,
                             const QStringList &arguments) const
{
    const auto it = m_procedures.constFind(name.trimmed().toLower());
    if (it == m_procedures.cend())
        throw DbError(DbError::ProviderError,
                      QStringLiteral("Could not find stored procedure '%1'.").arg(name.trimmed()));
    it.value()(connection, arguments);
}

std::shared_ptr<ProcedureRegistry> ProcedureRegistry::standard()
{
    static const auto registry = std::make_shared<ProcedureRegistry>();
    return registry;
}

} // namespace perikon::db
