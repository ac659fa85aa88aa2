#include "source/engine/Smoother.h"

#include <cmath>

void Smoother::setup(float fs)
{
    sampleRate = fs;
    timeMs = 43.0f;
    coefficient = (float)(1.0 - std::pow(0.001, 1.0 / ((double)fs * (double)timeMs * 0.001)));
}
