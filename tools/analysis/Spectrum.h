// Power spectra for the measuring tools and tests: a radix-2 transform and
// two windows.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace analysis {

enum class Window {
    kHann,            // periodic: 0.5 - 0.5 cos(2 pi i / n)
    kBlackmanHarris,  // four terms over n - 1, side lobes below -92 dB
};

// In-place transform; a.size() is a power of two.
void fft(std::vector<std::complex<double>>& a);

// |X[k]|^2 for k < n / 2 of x[0, n) under the window; samples at or past
// `count` are taken as silence.
std::vector<double> powerSpectrum(const float* x, size_t count, size_t n, Window window);

}  // namespace analysis
