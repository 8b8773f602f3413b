#pragma once

#include <QHash>
#include <QString>

#include <list>
#include <optional>
#include <utility>

namespace perikon::db {

// A map of at most `capacity` entries by text that forgets the least recently used one first.
template<typename Value> class LruCache
{
public:
    explicit LruCache(qsizetype capacity)
        : m_capacity(capacity)
    {}

    // The entry for key, now the most recently used; nullptr when there is none.
    Value *find(const QString &key)
    {
        const auto found = m_index.constFind(key);
        if (found == m_index.cend())
            return nullptr;
        m_entries.splice(m_entries.begin(), m_entries, *found);
        return &m_entries.front().second;
    }

    // Removes the entry for key and gives it.
    std::optional<Value> take(const QString &key)
    {
        const auto found = m_index.find(key);
        if (found == m_index.end())
            return std::nullopt;
        std::optional<Value> value(std::move((*found)->second));
        m_entries.erase(*found);
        m_index.erase(found);
        return value;
    }

    // Adds or replaces the entry for key; the least recently used one goes when the cache is full.
    void insert(const QString &key, Value value)
    {
        take(key);
        if (m_entries.size() >= std::size_t(m_capacity) && !m_entries.empty()) {
            m_index.remove(m_entries.back().first);
            m_entries.pop_back();
        }
        m_entries.emplace_front(key, std::move(value));
        m_index.insert(key, m_entries.begin());
    }

    // Calls f(key, value) for each entry, least recently used first.
    template<typename F> void forEach(F f) const
    {
        for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it)
            f(it->first, it->second);
    }

    // Removes every entry for which drop(key, value) holds, in place; gives how many went.
    template<typename F> qsizetype removeIf(F drop)
    {
        qsizetype removed = 0;
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (drop(it->first, it->second)) {
                m_index.remove(it->first);
                it = m_entries.erase(it);
                ++removed;
            } else {
                ++it;
            }
        }
        return removed;
    }

    void clear()
    {
        m_index.clear();
        m_entries.clear();
    }

    qsizetype size() const { return m_index.size(); }
    qsizetype capacity() const { return m_capacity; }

private:
    using Entries = std::list<std::pair<QString, Value>>;
    qsizetype m_capacity;
    Entries m_entries; // most recently used first
    QHash<QString, typename Entries::iterator> m_index;
};

} // namespace perikon::db
