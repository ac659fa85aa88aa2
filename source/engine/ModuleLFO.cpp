#include "source/engine/ModuleLFO.h"

#include "source/engine/Flush.h"
#include "source/engine/RuntimeRand.h"

void ModuleLFO::setRate(float rate)
{
    if (!(rate >= 1e-11f)) rate = 1e-11f;
    increment = 4.0f / (sampleRate / rate);
}

float ModuleLFO::tick()
{
    phase += 2.0f * increment;
    if (phase >= 2.0f) {
        phase = -2.0f;
        held = random();
    }
    output = flushByMagnitude(held);
    return output;
}

float ModuleLFO::random()
{
    return (float)runtimeRand() * 6.103702e-05f - 1.0f;
}
