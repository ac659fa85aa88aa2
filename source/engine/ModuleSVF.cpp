#include "source/engine/ModuleSVF.h"

#include "source/engine/Flush.h"

void ModuleSVF::reset()
{
    band1 = low1 = band2 = low2 = output = 0.0f;
}

float ModuleSVF::tick(float u)
{
    const float f = freqCoef;
    const float q = damping;
    float band = flushByExponent((u - (band1 * q + low1)) * f + band1);
    float low = flushByExponent(band * f + low1);
    low1 = low;
    band1 = band;
    float y;
    if (mode >= 2) {
        float b2 = flushByExponent((low - (band2 * q + low2)) * f + band2);
        float l2 = flushByExponent(b2 * f + low2);
        band2 = b2;
        low2 = l2;
        y = (mode == 2) ? b2 : u - b2;
    } else {
        y = (mode == 0) ? low : u - low;
    }
    output = y;
    return y;
}
