#include "Spectrum.h"

#include <cmath>

namespace analysis {

void fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * M_PI / (double)len;
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0);
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

std::vector<double> powerSpectrum(const float* x, size_t count, size_t n, Window window)
{
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n && i < count; ++i) {
        double w;
        if (window == Window::kHann) {
            w = 0.5 - 0.5 * std::cos(2.0 * M_PI * (double)i / (double)n);
        } else {
            const double t = 2.0 * M_PI * (double)i / (double)(n - 1);
            w = 0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t);
        }
        a[i] = w * x[i];
    }
    fft(a);
    std::vector<double> p(n / 2);
    for (size_t k = 0; k < n / 2; ++k) p[k] = std::norm(a[k]);
    return p;
}

}  // namespace analysis
