#include "source/engine/ModuleFMop.h"

void ModuleFMop::setSampleRate(float fs)
{
    sampleRate = fs;
    invSampleRate = 1.0f / fs;
    updateStep();
}
