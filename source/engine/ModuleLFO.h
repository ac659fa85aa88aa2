// Sample-and-hold random source: holds a value in -1..1 and draws a new one
// 2 x rate times per second.
#pragma once

#include <cmath>

#include "source/engine/Flush.h"
#include "source/engine/RuntimeRand.h"

class ModuleLFO {
public:
    ModuleLFO() { setRate(1.0f); }
    void setSampleRate(float fs) { sampleRate = fs; }
    void setRate(float rate) { increment = incrementFor(rate, sampleRate); }
    // The phase step of one frame (4 x rate / fs; a rate below 1e-11 Hz or not
    // a number counts as 1e-11 Hz). A new value is drawn every 4 / (2 x step) frames.
    static float incrementFor(float rate, float fs);
    // New values come from the owning engine's generator.
    float tick(RuntimeRand& rand)
    {
        phase += 2.0f * increment;
        if (phase >= 2.0f) {
            phase = -2.0f;
            output = draw(rand, held);
        }
        return output;
    }
    // A new value: `held` takes the generator's draw, and a magnitude below
    // 1e-29 is given as 0.
    static float draw(RuntimeRand& rand, float& held)
    {
        held = rand.uniform();
        return flushByMagnitude(held);
    }

    float phase = -1.0f;
    float output = 0.0f;
    float increment = 0.0f;
    float held = 0.0f;
    float sampleRate = 44100.0f;
};
