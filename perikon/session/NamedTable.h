#pragma once

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <optional>

namespace perikon::internal {

// A name-keyed table shared by every thread; registrations run during static initialisation of
// whichever library or executable carries them, lookups from any thread afterwards.
template<typename Value> class NamedTable
{
public:
    bool insert(const QString &name, Value value)
    {
        QMutexLocker lock(&m_mutex);
        m_entries.insert(name, std::move(value));
        return true;
    }
    std::optional<Value> find(const QString &name) const
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_entries.constFind(name);
        if (it == m_entries.constEnd())
            return std::nullopt;
        return *it;
    }
    QStringList names() const
    {
        QMutexLocker lock(&m_mutex);
        QStringList list = m_entries.keys();
        list.sort();
        return list;
    }

private:
    mutable QMutex m_mutex;
    QHash<QString, Value> m_entries;
};

} // namespace perikon::internal
