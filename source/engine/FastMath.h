// Hyperbolic tangent for the voices' feedback saturator, about four times
// cheaper than the runtime's and the same in every build (the runtime's
// tanhf differs between platforms). Relative error below 2e-6.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

// e^y for 0 <= y <= 20: y = n ln 2 + g with |g| <= ln 2 / 2, e^g by its
// Taylor series to g^6 (error below 1.2e-7), 2^n by the exponent bits.
inline float expForTanh(float y)
{
    int n = (int)(y * 1.44269504f + 0.5f);
    float g = y - (float)n * 0.693147181f;
    float p = 1.0f + g * (1.0f + g * (0.5f + g * (1.0f / 6.0f + g * (1.0f / 24.0f + g * (1.0f / 120.0f + g * (1.0f / 720.0f))))));
    uint32_t bits = (uint32_t)(n + 127) << 23;
    float scale;
    std::memcpy(&scale, &bits, sizeof scale);
    return p * scale;
}

inline float fastTanh(float x)
{
    float a = std::fabs(x);
    if (a < 0.0625f) {
        // Taylor series; the next term is below 1e-11 here.
        float x2 = x * x;
        return x * (1.0f - x2 * (1.0f / 3.0f - x2 * (2.0f / 15.0f - x2 * (17.0f / 315.0f))));
    }
    if (!(a < 9.0f)) return x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : x);  // also passes NaN on
    float e = expForTanh(2.0f * a);
    float t = (e - 1.0f) / (e + 1.0f);
    return x < 0.0f ? -t : t;
}
