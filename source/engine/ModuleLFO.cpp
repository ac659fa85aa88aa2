#include "source/engine/ModuleLFO.h"

#include "source/engine/RuntimeRand.h"

void ModuleLFO::setRate(float rate)
{
    if (!(rate >= 1e-11f)) rate = 1e-11f;
    increment = 4.0f / (sampleRate / rate);
}

float ModuleLFO::random()
{
    return (float)runtimeRand() * 6.103702e-05f - 1.0f;
}
