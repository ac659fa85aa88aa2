// Stereo reverb: eight parallel low-pass-feedback combs per channel fed by the
// mono sum, then four series all-passes per channel. Line lengths are fixed in
// frames; the right lines are 23 frames longer than the left.
#pragma once

class ModuleReverb {
public:
    static constexpr int kCombs = 8;
    static constexpr int kAllpasses = 4;
    static constexpr int kMaxLine = 4000;

    ModuleReverb();
    ModuleReverb(const ModuleReverb&) = delete;  // the lines point into its own buffers
    ModuleReverb& operator=(const ModuleReverb&) = delete;

    // Derives the working gains from roomSize, damp, wet and stereoWidth.
    void update();
    // Only the wet gains (per frame, while the mix glides).
    void updateWet()
    {
        wet1 = wet * (stereoWidth + 1.0f) * 0.5f;
        wet2 = (1.0f - stereoWidth) * 0.5f * wet;
    }
    void clear();
    void process(float inL, float inR, float& left, float& right);

    float inputGain = 0.015f;
    float roomSize = 0.84f;
    float roomSizeUsed = 0.84f;
    float damp = 0.2f;
    float dampUsed = 0.2f;
    float wet = 1.0f;
    float wet1 = 1.0f;
    float wet2 = 0.0f;
    float dry = 0.0f;
    float stereoWidth = 1.0f;
    float freezeMode = 0.0f;
    float outL = 0.0f, outR = 0.0f;

private:
    struct Comb {
        float feedback = 0.84f;
        float filterStore = 0.0f;
        float damp1 = 0.2f;
        float damp2 = 0.8f;
        int size = 1;
        int index = 0;
        float* buffer = nullptr;
    };
    struct Allpass {
        float feedback = 0.5f;
        int size = 1;
        int index = 0;
        float* buffer = nullptr;
    };
    Comb combs_[2 * kCombs];           // left 1..8, right 1..8
    Allpass allpasses_[2 * kAllpasses];  // left 1..4, right 1..4
    float buffers_[2 * kCombs + 2 * kAllpasses][kMaxLine];
};
