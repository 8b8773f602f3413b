#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace perikon::suite::internal {

// A small, fast generator with a fixed algorithm (SplitMix64), so a seed gives the same demo data
// on every platform and standard library.
class DemoRandom
{
public:
    explicit DemoRandom(std::uint64_t seed)
        : m_state(seed)
    {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // 0 <= result < bound (bound > 0).
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

    // from <= result <= to.
    int between(int from, int to) { return from + below(to - from + 1); }

    bool percent(int chance) { return below(100) < chance; }

    template<typename T> const T &pick(std::span<const T> items)
    {
        return items[static_cast<std::size_t>(below(int(items.size())))];
    }

    template<typename T, std::size_t N> const T &pick(const std::array<T, N> &items)
    {
        return items[static_cast<std::size_t>(below(int(N)))];
    }

private:
    std::uint64_t m_state;
};

} // namespace perikon::suite::internal
