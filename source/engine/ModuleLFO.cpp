#include "source/engine/ModuleLFO.h"

float ModuleLFO::incrementFor(float rate, float fs)
{
    if (!(rate >= 1e-11f)) rate = 1e-11f;
    return 4.0f / (fs / rate);
}
