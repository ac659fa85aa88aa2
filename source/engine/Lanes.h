// Four floats (or ints) side by side in one SSE2 register, and the lane-wise
// operations the voices use. Each helper does in every lane what the scalar
// code it stands for does (stated beside it), so vector and scalar code give
// the same samples bit for bit.
#pragma once

#include <emmintrin.h>

typedef float F4 __attribute__((vector_size(16)));
typedef int I4 __attribute__((vector_size(16)));

namespace lanes {
inline F4 splat(float x) { return F4{x, x, x, x}; }
inline I4 splat(int x) { return I4{x, x, x, x}; }
// std::fabs of each lane (the sign bit cleared).
inline F4 abs(F4 x) { return (F4)((I4)x & 0x7FFFFFFF); }
inline F4 toFloat(I4 x) { return __builtin_convertvector(x, F4); }
// (int)x of each lane: truncation toward zero.
inline I4 truncate(F4 x) { return __builtin_convertvector(x, I4); }
// x >= floor ? x : floor (a NaN gives floor), and x > ceiling ? ceiling : x,
// each one instruction.
inline F4 atLeast(F4 x, F4 floor) { return (F4)_mm_max_ps((__m128)x, (__m128)floor); }
inline F4 atMost(F4 x, F4 ceiling) { return (F4)_mm_min_ps((__m128)x, (__m128)ceiling); }
// Lane j's mask as bit j.
inline unsigned bits(I4 mask) { return (unsigned)_mm_movemask_ps((__m128)mask); }
// flushByExponent and flushByMagnitude of each lane.
inline F4 flushByExponent(F4 x) { return abs(x) < 1.17549435e-38f ? F4{} : x; }
inline F4 flushByMagnitude(F4 x) { return abs(x) < 1e-29f ? F4{} : x; }
// fastTanh of each lane.
inline F4 tanh(F4 x)
{
    const F4 y = 0.5f * x;
    const F4 y2 = y * y;
    const F4 n = y * (135135.0f + y2 * (17325.0f + y2 * (378.0f + y2)));
    const F4 d = 135135.0f + y2 * (62370.0f + y2 * (3150.0f + 28.0f * y2));
    const F4 inside = (2.0f * n * d) / (d * d + n * n);
    const F4 outside = x > 0.0f ? splat(1.0f) : (x < 0.0f ? splat(-1.0f) : x);
    return abs(x) < 9.0f ? inside : outside;
}
// Rows r0..r3 as columns: c0 = {r0[0], r1[0], r2[0], r3[0]}, and so on.
inline void transpose(F4 r0, F4 r1, F4 r2, F4 r3, F4& c0, F4& c1, F4& c2, F4& c3)
{
    const F4 t0 = __builtin_shufflevector(r0, r1, 0, 4, 1, 5);
    const F4 t1 = __builtin_shufflevector(r2, r3, 0, 4, 1, 5);
    const F4 t2 = __builtin_shufflevector(r0, r1, 2, 6, 3, 7);
    const F4 t3 = __builtin_shufflevector(r2, r3, 2, 6, 3, 7);
    c0 = __builtin_shufflevector(t0, t1, 0, 1, 4, 5);
    c1 = __builtin_shufflevector(t0, t1, 2, 3, 6, 7);
    c2 = __builtin_shufflevector(t2, t3, 0, 1, 4, 5);
    c3 = __builtin_shufflevector(t2, t3, 2, 3, 6, 7);
}
}  // namespace lanes
