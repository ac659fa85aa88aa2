// The two ways the engine's filters and envelopes drop tiny values, so that no
// state decays into the slow denormal range.
#pragma once

#include <cmath>

// Zero or denormal (all exponent bits clear) becomes 0. The exponent bits are
// all clear exactly when the magnitude is below the smallest normal float; the
// comparison keeps the test in the floating-point unit (no branch, no move to
// an integer register in the filters' feedback paths).
inline float flushByExponent(float x) { return std::fabs(x) < 1.17549435e-38f ? 0.0f : x; }

// A magnitude below 1e-29 becomes 0.
inline float flushByMagnitude(float x) { return std::fabs(x) < 1e-29f ? 0.0f : x; }
