// Numbers the engine's modules share.
#pragma once

// The lowest sample rate the engine runs at, and the rate at which the
// engine's frame counts (glide steps, reverb line lengths) are given.
constexpr float kBaseRate = 44100.0f;

// 2 pi as the filters' and operators' coefficients use it.
constexpr float kTwoPi = 6.2831855f;
