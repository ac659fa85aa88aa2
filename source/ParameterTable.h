// The instrument's 43 parameters: their indices and the registry set-up.
#pragma once

class Parameters;

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

// Adds the 43 definitions, in index order, to an empty registry.
void fillParameterTable(Parameters& parameters);
