// Sample-and-hold random source: holds a value in -1..1 and draws a new one
// 2 x rate times per second.
#pragma once

#include <cmath>

class ModuleLFO {
public:
    ModuleLFO() { setRate(1.0f); }
    void setSampleRate(float fs) { sampleRate = fs; }
    void setRate(float rate);
    float tick()
    {
        phase += 2.0f * increment;
        if (phase >= 2.0f) {
            phase = -2.0f;
            held = random();
        }
        output = std::fabs(held) < 1e-29f ? 0.0f : held;
        return output;
    }

    // A uniform value in -1..1 from the runtime's generator.
    static float random();

    float phase = -1.0f;
    float output = 0.0f;
    float increment = 0.0f;
    float held = 0.0f;
    float sampleRate = 44100.0f;
};
