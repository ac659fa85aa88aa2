#include "source/engine/ModuleSVF.h"

void ModuleSVF::reset()
{
    band1 = low1 = band2 = low2 = output = 0.0f;
}
