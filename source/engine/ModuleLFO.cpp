#include "source/engine/ModuleLFO.h"

void ModuleLFO::setRate(float rate)
{
    if (!(rate >= 1e-11f)) rate = 1e-11f;
    increment = 4.0f / (sampleRate / rate);
}
