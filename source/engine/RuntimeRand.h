// The runtime's pseudo-random numbers (0..32767) with one process-wide state.
// Every build draws the same sequence from the same seed, so the noise, the
// dither and the delay modulation render identically on every platform.
#pragma once

constexpr int kRuntimeRandMax = 32767;

// Next value, 0..32767.
int runtimeRand();
// Restarts the sequence (the runtime starts with seed 1).
void runtimeRandSeed(unsigned seed);
