#include "source/engine/ModuleADSR.h"

#include <cmath>

void ModuleADSR::reset(float seconds, float sustainLevel, float fs)
{
    stage = kIdle;
    level = 0.0f;
    repeatCounter = 0;
    attack = decay = release = seconds;
    sustain = sustainLevel;
    sampleRate = fs;
    rateForCoefficients = fs;
    recompute();
}

void ModuleADSR::recompute()
{
    const double fs = rateForCoefficients;
    attackStep = (float)((1.0 - level) / ((double)attack * fs));
    sustainTarget = sustain;
    const double k = (double)logf(11.0f);
    // A time of 0 gives a coefficient of 0: the phase ends in one frame.
    decayCoef = (float)std::exp(-k / ((double)decay * fs));
    decayOffset = (1.0f - decayCoef) * (sustain - 0.0001f);
    releaseCoef = (float)std::exp(-k / ((double)release * fs));
    releaseOffset = (1.0f - releaseCoef) * -0.0001f;
}

void ModuleADSR::trigger(int velocity)
{
    stage = kAttack;
    rateForCoefficients = sampleRate;
    float v = (float)velocity * 0.007874016f;
    float g = v * v * velocitySensitivity + (1.0f - velocitySensitivity);
    velocityGain = g < 0.001f ? 0.0f : (g > 1.0f ? 1.0f : g);
    recompute();
}
