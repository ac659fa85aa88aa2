// Stereo reverb: eight parallel low-pass-feedback combs per channel fed by the
// mono sum, then four series all-passes per channel. Line lengths are given in
// frames at 44.1 kHz (the right lines 23 frames longer than the left) and
// scaled with the sample rate, as is the combs' damping, so the room sounds
// the same at every rate up to kMaxScaledRate; above it the lines keep their
// lengths at that rate.
#pragma once

namespace reverb_lines {
constexpr int kCombLength[8] = {1115, 1188, 1277, 1355, 1422, 1491, 1556, 1616};
constexpr int kAllpassLength[4] = {555, 440, 340, 224};
constexpr int kRightExtra = 23;

// A line of `frames` at 44.1 kHz, at `scale` times that rate (at least 1 frame).
constexpr int scaled(int frames, double scale)
{
    const int n = (int)(frames * scale + 0.5);
    return n > 0 ? n : 1;
}

// All 24 lines at `scale` times 44.1 kHz, one after another.
constexpr int totalFrames(double scale)
{
    int total = 0;
    for (int c = 0; c < 2; ++c) {
        for (int length : kCombLength) total += scaled(length + c * kRightExtra, scale);
        for (int length : kAllpassLength) total += scaled(length + c * kRightExtra, scale);
    }
    return total;
}
}  // namespace reverb_lines

class ModuleReverb {
public:
    static constexpr int kCombs = 8;
    static constexpr int kAllpasses = 4;
    static constexpr float kMaxScaledRate = 192000.0f;

    ModuleReverb();
    ModuleReverb(const ModuleReverb&) = delete;  // the lines point into its own buffers
    ModuleReverb& operator=(const ModuleReverb&) = delete;

    // Sizes the lines for the rate (out of the audio path's way: the memory
    // is held inline) and clears them.
    void setSampleRate(float fs);
    // Derives the working gains from roomSize, damp, wet and stereoWidth.
    void update();
    // Only the wet gains (per frame, while the mix glides).
    void updateWet()
    {
        wet1 = wet * (stereoWidth + 1.0f) * 0.5f;
        wet2 = (1.0f - stereoWidth) * 0.5f * wet;
    }
    void clear();
    // True when every value the lines and combs hold is below `level` in magnitude.
    bool statesBelow(float level) const;
    void process(float inL, float inR, float& left, float& right);
    // `n` frames (at most kMaxBlock) at once, each with its own wet and dry
    // gains: the same samples as process() frame by frame with wet1, wet2
    // and dry set to wet1s[t], wet2s[t] and drys[t] before frame t (the
    // members keep their values).
    static constexpr int kMaxBlock = 64;
    void processBlock(const float* inL, const float* inR, const float* wet1s, const float* wet2s, const float* drys,
                      float* left, float* right, int n);
    // clear(), with each read position moved `frames` back (at most the
    // shortest line): the state a clear left that many frames ago.
    void clearAndRewind(int frames);

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
    // The sixteen combs side by side in four groups of four lanes (left 1..4,
    // left 5..8, right 1..4, right 5..8); all share one feedback and damping.
    typedef float Lanes __attribute__((vector_size(16)));
    typedef int IntLanes __attribute__((vector_size(16)));
    static constexpr int kCombGroups = 2 * kCombs / 4;
    float combFeedback_ = 0.84f;
    float combDamp1_ = 0.2f;
    float combDamp2_ = 0.8f;
    Lanes combStore_[kCombGroups] = {};  // the damping one-poles
    IntLanes combIndex_[kCombGroups] = {};
    IntLanes combSize_[kCombGroups] = {};
    float* combBuffer_[2 * kCombs] = {};
    struct Allpass {
        float feedback = 0.5f;
        int size = 1;
        int index = 0;
        float* buffer = nullptr;
    };
    Allpass allpasses_[2 * kAllpasses];  // left 1..4, right 1..4
    void runCombs(int group, const float* x, float (*y)[kMaxBlock], int n);
    static void runAllpass(Allpass& ap, float* s, int n);
    double rateRatio_ = 1.0;  // 44100 / the rate the lines are sized for
    int usedFrames_ = 0;      // the pool's frames the lines take at that rate
    // All 24 lines, one after another, at their longest (kMaxScaledRate).
    static constexpr int kPoolFrames = reverb_lines::totalFrames(kMaxScaledRate / 44100.0);
    float pool_[kPoolFrames];
};
