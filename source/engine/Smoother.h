// One-pole glide of a control value towards its target (gain, reverb mix and send).
#pragma once

#include "source/engine/Flush.h"

class Smoother {
public:
    // Sets the rate and a 43 ms time to fall to -60 dB.
    void setup(float fs);
    float tick(float target)
    {
        // Flushed: a glide towards 0 never lingers in the denormal range.
        value = flushByMagnitude(value + (target - value) * coefficient);
        return value;
    }

    float sampleRate = 44100.0f;
    float value = 0.0f;
    float coefficient = 1.0f;  // 1: follows the target at once
    float timeMs = 22.0f;
};
