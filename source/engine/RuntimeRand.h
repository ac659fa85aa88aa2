// Pseudo-random numbers 0..32767: the linear congruential sequence of the
// Windows C runtime's rand(), starting from its seed 1. Each engine owns one,
// so an instance's noise, dither and delay wander depend only on what that
// instance played (never on other instances or on the host's threads), and
// every build renders the same samples.
#pragma once

#include <cstdint>

class RuntimeRand {
public:
    static constexpr int kMax = 32767;

    explicit RuntimeRand(uint32_t seed = 1u) : state_(seed) {}
    void seed(uint32_t seed) { state_ = seed; }
    int next()
    {
        state_ = state_ * 214013u + 2531011u;
        return (int)((state_ >> 16) & 0x7FFFu);
    }
    // A uniform value in -1..1 (both ends included).
    float uniform() { return (float)next() * 6.103702e-05f - 1.0f; }

private:
    uint32_t state_;
};
