#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tannbuch {

// A small pseudo-random generator (SplitMix64) that gives the same sequence
// on every machine and compiler, so the demo data never changes between
// builds. Only integer arithmetic and exact conversions are used; the
// standard library's distributions are avoided because their results are
// left to each library.
class Random
{
public:
    explicit Random(quint64 seed)
        : m_state(seed)
    { }

    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // A whole number from low to high, both included.
    int between(int low, int high) { return low + int(next() % quint64(high - low + 1)); }

    // A real number in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

    double uniform(double low, double high) { return low + (high - low) * unit(); }

    bool chance(double probability) { return unit() < probability; }

    // Roughly normally distributed (sum of twelve uniforms), cut off at
    // three standard deviations.
    double normal(double mean, double deviation)
    {
        double sum = 0.0;
        for (int i = 0; i < 12; ++i)
            sum += unit();
        const double z = std::clamp(sum - 6.0, -3.0, 3.0);
        return mean + deviation * z;
    }

    template <typename T> const T &pick(const std::vector<T> &items)
    {
        return items[std::size_t(between(0, int(items.size()) - 1))];
    }

private:
    quint64 m_state;
};

} // namespace tannbuch
