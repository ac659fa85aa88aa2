// Level measurements of the rendered signal and comparison of two renders.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class LevelMeter {
public:
    void add(const float* samples, int count);
    double peak() const { return peakValue; }
    double rms() const;
    size_t nonFinite() const { return bad; }
    size_t samples() const { return count; }

    // 20 log10(x), or -inf for silence.
    static double toDb(double linear);
    // "-3.1 dBFS" or "-inf dBFS".
    static std::string dbText(double linear);

private:
    double peakValue = 0.0;
    double sumSquares = 0.0;
    size_t count = 0;
    size_t bad = 0;
};

struct Comparison {
    size_t lengthA = 0, lengthB = 0;
    double largestDifference = 0.0;  // over the common length
    double correlation = 0.0;        // Pearson's, 1 for identical signals
    double peakA = 0.0, peakB = 0.0;
};

Comparison compareSignals(const std::vector<float>& a, const std::vector<float>& b);
