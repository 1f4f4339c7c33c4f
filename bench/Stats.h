// Shared by the side-by-side benchmarks: medians, spread (quartiles) and per-round ratios of
// round times, so that every comparison reports its noise next to its result.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace bench {

// The q-quantile (0..1) of v, linear between neighbours; 0 for no values.
inline double Quantile(std::vector<double> v, double q) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const double at = q * static_cast<double>(v.size() - 1);
    const std::size_t i = static_cast<std::size_t>(at);
    if (i + 1 >= v.size()) return v.back();
    return v[i] + (at - static_cast<double>(i)) * (v[i + 1] - v[i]);
}

inline double Median(const std::vector<double>& v) { return Quantile(v, 0.5); }

// Median and interquartile range of a set of round times or ratios.
struct Spread {
    double median, low, high;
};

inline Spread SpreadOf(const std::vector<double>& v) {
    return Spread{Quantile(v, 0.5), Quantile(v, 0.25), Quantile(v, 0.75)};
}

// Ratio of each round's time on one side to the same round's time on the other side: rounds
// run interleaved, so a round's ratio sees the same machine load on both sides.
inline std::vector<double> RoundRatios(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> r;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (b[i] > 0) r.push_back(a[i] / b[i]);
    return r;
}

}  // namespace bench
