#include "source/engine/ModuleBiquad.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kSqrt2 = 1.41421356237309504880;

// The bilinear designs hold for frequencies below half the rate; anything
// asked above 0.48 of the rate is designed at 0.48.
double belowNyquist(double f, double fs) { return f < 0.48 * fs ? f : 0.48 * fs; }
}  // namespace

void ModuleBiquad::reset()
{
    first_ = State();
    second_ = State();
}

void ModuleBiquad::designLowPass(double fc)
{
    fc = belowNyquist(fc, sampleRate);
    double k = std::tan(kPi * fc / sampleRate);
    double w = 1.0 / k;
    double n = 1.0 / (1.0 + kSqrt2 * w + w * w);
    b0 = n;
    b1 = 2.0 * n;
    b2 = n;
    a1 = 2.0 * (1.0 - w * w) * n;
    a2 = (1.0 - kSqrt2 * w + w * w) * n;
}

void ModuleBiquad::designHighPass(double fc)
{
    fc = belowNyquist(fc, sampleRate);
    double k = std::tan(kPi * fc / sampleRate);
    double n = 1.0 / (1.0 + kSqrt2 * k + k * k);
    b0 = n;
    b1 = -2.0 * n;
    b2 = n;
    a1 = 2.0 * (k * k - 1.0) * n;
    a2 = (1.0 - kSqrt2 * k + k * k) * n;
}

void ModuleBiquad::designNotch(double f0, double bandwidth)
{
    bandwidth = belowNyquist(bandwidth, sampleRate);
    double t = std::tan(kPi * bandwidth / sampleRate);
    double c = std::cos(2.0 * kPi * f0 / sampleRate);
    double n = 1.0 / (1.0 + t);
    b0 = n;
    b1 = -2.0 * c * n;
    b2 = n;
    a1 = -2.0 * c * n;
    a2 = (1.0 - t) * n;
}

double ModuleBiquad::magnitude(double f, double fs, double b0, double b1, double b2, double a1, double a2)
{
    double w = 2.0 * kPi * f / fs;
    double c1 = std::cos(w);
    double c2 = std::cos(2.0 * w);
    double num = b0 * b0 + b1 * b1 + b2 * b2 + 2.0 * b1 * (b0 + b2) * c1 + 2.0 * b0 * b2 * c2;
    double den = 1.0 + a1 * a1 + a2 * a2 + 2.0 * a1 * (1.0 + a2) * c1 + 2.0 * a2 * c2;
    if (!(den > 0.0)) return 0.0;
    double r = num / den;
    return r > 0.0 ? std::sqrt(r) : 0.0;
}
