#include "tools/render/SignalStats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

void LevelMeter::add(const float* samples, int n)
{
    for (int i = 0; i < n; ++i) {
        double x = samples[i];
        if (!std::isfinite(x)) {
            ++bad;
            continue;
        }
        peakValue = std::max(peakValue, std::fabs(x));
        sumSquares += x * x;
        ++count;
    }
}

double LevelMeter::rms() const { return count ? std::sqrt(sumSquares / (double)count) : 0.0; }

double LevelMeter::toDb(double linear)
{
    return linear > 0.0 ? 20.0 * std::log10(linear) : -std::numeric_limits<double>::infinity();
}

std::string LevelMeter::dbText(double linear)
{
    if (!(linear > 0.0)) return "-inf dBFS";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", toDb(linear));
    return text;
}

Comparison compareSignals(const std::vector<float>& a, const std::vector<float>& b)
{
    Comparison c;
    c.lengthA = a.size();
    c.lengthB = b.size();
    size_t n = std::min(a.size(), b.size());
    double meanA = 0.0, meanB = 0.0;
    for (size_t i = 0; i < n; ++i) {
        meanA += a[i];
        meanB += b[i];
    }
    if (n) {
        meanA /= (double)n;
        meanB /= (double)n;
    }
    double sab = 0.0, saa = 0.0, sbb = 0.0;
    for (size_t i = 0; i < n; ++i) {
        double x = a[i] - meanA, y = b[i] - meanB;
        sab += x * y;
        saa += x * x;
        sbb += y * y;
        c.largestDifference = std::max(c.largestDifference, std::fabs((double)a[i] - (double)b[i]));
        c.peakA = std::max(c.peakA, std::fabs((double)a[i]));
        c.peakB = std::max(c.peakB, std::fabs((double)b[i]));
    }
    if (saa > 0.0 && sbb > 0.0)
        c.correlation = sab / std::sqrt(saa * sbb);
    else
        c.correlation = (saa == 0.0 && sbb == 0.0) ? 1.0 : 0.0;  // both silent count as equal
    return c;
}
