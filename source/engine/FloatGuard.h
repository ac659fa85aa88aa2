// Output guard: a NaN or infinite sample is replaced by +0 and reported. The
// report never blocks the audio thread: it is recorded in lock-free fields and
// taken later by a user-interface thread, which decides how to show it.
#pragma once

#include <atomic>
#include <cmath>

class FloatGuard {
public:
    enum Class { kFinite = 0, kSignalingNaN, kQuietNaN, kNegativeInfinity, kPositiveInfinity };

    static Class classify(float sample);

    // Neither NaN nor infinite.
    static bool finite(float sample) { return std::fabs(sample) <= 3.40282347e38f; }

    // Replaces a bad sample by 0 and records the first report not yet taken.
    // Returns true when the sample was replaced.
    bool check(float& sample, int stage)
    {
        if (finite(sample)) return false;
        Class c = classify(sample);
        sample = 0.0f;
        record(c, stage);
        return true;
    }

    // Copies the pending report ("/* quiet NaN */stage1", title "float is") and
    // frees the slot for the next one. False when nothing is pending.
    bool takeReport(char* text, int textSize, char* title, int titleSize);

    static constexpr const char* kTitle = "float is";

private:
    void record(Class c, int stage);

    enum { kEmpty = 0, kWriting, kReady, kReading };
    std::atomic<int> state_{kEmpty};
    char text_[48] = {};
};
