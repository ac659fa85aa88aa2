// The instrument's parameter indices, in the order of the host's parameter
// table: how the engine, the host, programs and the editor address a value.
#pragma once

enum ParameterIndex {
    kWave = 0, kHarmonics, kOctave, kMastertuning,
    kAttack1, kDecay1, kSustain1, kRelease1, kRepeat, kVelosens,
    kADSR2wave, kADSR2harm,
    kSpeed1, kRange1, kLag1, kOn1,
    kSpeed2, kRange2, kLag2, kOn2,
    kSpeed3, kRange3, kLag3, kOn3,
    kStereo, kPolyMono, kMemory, kFdBkAmount, kFdBkPhase, kAttack2, kRelease2,
    kReverbSize, kReverbMix, kReverbOn,
    kEQHPHz, kEQLPHz, kEQBRHz, kEQBRBW, kEQBRGain, kEQOn,
    kGain_out, kPan, kNoise,
    kNumParameters
};
static_assert(kNoise == 42 && kNumParameters == 43, "parameter table size");
