// Signal measurements shared by the engine's, the presets' and the plug-in's tests. Header
// only: the engine tests link nothing of the plug-in.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
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

// One bin of a Hann-windowed transform of x[from, from + len) at `hz`, its
// phase taken against absolute time (frame / fs).
inline std::complex<double> hannBin(const std::vector<float>& x, size_t from, size_t len, double hz, double fs)
{
    const double pi = 3.14159265358979323846;
    std::complex<double> sum = 0.0;
    for (size_t n = 0; n < len; ++n) {
        const double h = 0.5 - 0.5 * std::cos(2.0 * pi * (double)n / (double)len);
        sum += h * x[from + n] * std::polar(1.0, -2.0 * pi * hz * (double)(from + n) / fs);
    }
    return sum;
}

}  // namespace testing_support
