// Signal measurements shared by the engine's and the plug-in's tests. Header
// only: the engine tests link nothing of the plug-in.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace testing_support {

inline double peak(const std::vector<float>& x, size_t from = 0, size_t to = (size_t)-1)
{
    double p = 0;
    for (size_t i = from; i < std::min(to, x.size()); ++i) p = std::max(p, (double)std::fabs(x[i]));
    return p;
}

inline double rms(const std::vector<float>& x, size_t from = 0, size_t to = (size_t)-1)
{
    to = std::min(to, x.size());
    double s = 0;
    for (size_t i = from; i < to; ++i) s += (double)x[i] * x[i];
    return to > from ? std::sqrt(s / (double)(to - from)) : 0.0;
}

inline bool allFinite(const std::vector<float>& x)
{
    return std::all_of(x.begin(), x.end(), [](float v) { return std::isfinite(v); });
}

// Index of the first sample whose magnitude exceeds `threshold`, or -1.
inline long firstAbove(const std::vector<float>& x, double threshold, size_t from = 0)
{
    for (size_t i = from; i < x.size(); ++i)
        if (std::fabs(x[i]) > threshold) return (long)i;
    return -1;
}

}  // namespace testing_support
