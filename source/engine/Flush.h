// The two ways the engine's filters and envelopes drop tiny values, so that no
// state decays into the slow denormal range.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

// Zero or denormal (all exponent bits clear) becomes 0.
inline float flushByExponent(float x)
{
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return (bits & 0x7F800000u) ? x : 0.0f;
}

// A magnitude below 1e-29 becomes 0.
inline float flushByMagnitude(float x)
{
    return std::fabs(x) < 1e-29f ? 0.0f : x;
}
