// A small deterministic random generator: the same seed gives the same sequence on every
// machine and with every standard library (the std distributions do not promise that).
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace fundlens::demo {

// SplitMix64 mixing step; also used to derive independent streams from one seed.
inline std::uint64_t MixBits(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// A seed for a named sub-stream: one stream per purpose (names, histories, quotes …), so that
// adding draws to one purpose does not shift the others.
inline std::uint64_t StreamSeed(std::uint64_t seed, std::initializer_list<std::uint64_t> keys) {
    std::uint64_t s = MixBits(seed);
    for (std::uint64_t k : keys) {
        s = MixBits(s ^ MixBits(k));
    }
    return s;
}

class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next() {
        m_state += 0x9e3779b97f4a7c15ULL;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

    double Uniform(double low, double high) { return low + (high - low) * Uniform(); }

    // Uniform integer in [low, high], both included.
    int Between(int low, int high) {
        const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low + 1);
        return low + static_cast<int>(Next() % span);
    }

    bool Chance(double p) { return Uniform() < p; }

    // Standard normal (Box-Muller; the spare value is kept for the next call).
    double Normal() {
        if (m_hasSpare) {
            m_hasSpare = false;
            return m_spare;
        }
        double u = Uniform();
        while (u <= 0.0) {
            u = Uniform();
        }
        const double v = Uniform();
        const double r = std::sqrt(-2.0 * std::log(u));
        m_spare = r * std::sin(2.0 * M_PI * v);
        m_hasSpare = true;
        return r * std::cos(2.0 * M_PI * v);
    }

    double Normal(double mean, double sd) { return mean + sd * Normal(); }

    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[Next() % items.size()];
    }

    // Fisher-Yates shuffle.
    template <typename T>
    void Shuffle(std::vector<T>& items) {
        for (std::size_t i = items.size(); i > 1; --i) {
            std::swap(items[i - 1], items[Next() % i]);
        }
    }

private:
    std::uint64_t m_state;
    double m_spare = 0.0;
    bool m_hasSpare = false;
};

} // namespace fundlens::demo
