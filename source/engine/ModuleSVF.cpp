#include "source/engine/ModuleSVF.h"

#include <cmath>

float ModuleSVF::stableCoefficient(float f, float q)
{
    const float qq = q > 0.0f ? q : 0.0f;
    const float limit = 0.73f * (std::sqrt(qq * qq + 4.0f) - qq);
    if (!(f > 0.0f)) return 0.0f;
    return f < limit ? f : limit;
}

void ModuleSVF::reset() { band1 = low1 = band2 = low2 = output = 0.0f; }
