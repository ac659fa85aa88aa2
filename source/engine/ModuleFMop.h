// Sine operator with phase modulation input; the sine is a polynomial of the
// folded phase.
#pragma once

class ModuleFMop {
public:
    void setSampleRate(float fs);

    float tick()
    {
        phase = phase + tune * ratio * invSampleRate * frequency;
        phase = phase - (float)(int)(phase + 0.5f);
        float x = pmInput * 0.15915507f + phase;  // radians to cycles
        // Truncation toward zero: a phase below -0.5 is left unfolded (part of the tone).
        x = x - (float)(int)(x + 0.5f);
        float a = x < 0.0f ? -x : x;
        // Two products side by side keep the multiply chain short.
        return ((a + 0.232963f) * (a - 0.5f)) * ((a - 0.732963f) * (x * 68.5949f));
    }

    float phase = 0.0f;  // cycles, -0.5..0.5
    float frequency = 0.0f;
    float pmInput = 0.0f;  // radians, for the next tick
    float sampleRate = 44100.0f;
    float invSampleRate = 1.0f / 44100.0f;
    float ratio = 1.0f;
    float tune = 1.0f;
};
