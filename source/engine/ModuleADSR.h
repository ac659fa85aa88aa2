// Envelope: linear attack, exponential decay and release, optional repeat of the
// attack-decay cycle, velocity through a squared curve with a sensitivity.
#pragma once

#include <cmath>

class ModuleADSR {
public:
    enum Stage { kAttack = 0, kDecay, kSustain, kRelease, kIdle };

    // Idle at level 0 with the given times (s), sustain and rate.
    void reset(float seconds, float sustainLevel, float fs);

    void setAttack(float s)
    {
        attack = s;
        recompute();
    }
    void setDecay(float s)
    {
        decay = s;
        recompute();
    }
    void setSustain(float v)
    {
        sustain = v;
        recompute();
    }
    void setRelease(float s)
    {
        release = s;
        recompute();
    }
    void setRepeat(bool loopOn, int count)
    {
        loop = loopOn;
        repeatCount = count;
    }
    void setVelocitySensitivity(float s) { velocitySensitivity = s; }
    void setSampleRate(float fs) { sampleRate = fs; }

    void recompute();
    void trigger(int velocity);
    // Release phase, or idle at once when the level is 0 or less.
    void noteOff() { stage = level > 0.0f ? kRelease : kIdle; }
    bool idle() const { return stage == kIdle; }

    float tick()
    {
        if (stage != kSustain && stage != kIdle) {  // sustain and idle hold the level
            level = advanced();
            settle();
        }
        level = std::fabs(level);
        if (level < 1e-29f) level = 0.0f;
        return velocityGain * level;
    }
    // The level one step on within the current stage (no stage change).
    float advanced() const
    {
        switch (stage) {
        case kAttack:
            return level + attackStep;
        case kDecay:
            return decayCoef * level + decayOffset;
        case kRelease:
            return releaseCoef * level + releaseOffset;
        default:
            return level;
        }
    }
    // The stage changes that the level just reached calls for.
    void settle()
    {
        switch (stage) {
        case kAttack:
            if (level >= 1.0f) {
                level = 1.0f;
                stage = kDecay;
            }
            break;
        case kDecay:
            settleDecay();
            break;
        case kRelease:
            if (level <= 0.0001f) {
                level = 0.0f;
                stage = kIdle;
                repeatCounter = 0;
            }
            break;
        default:
            break;
        }
    }

    float attack = 0.001f;
    float decay = 0.0f;
    float sustain = 1.0f;
    float release = 0.001f;
    float attackStep = 0.0f;
    float velocityGain = 1.27f;
    float level = 0.0f;
    bool loop = false;
    int repeatCount = 0;  // 3: endless
    int repeatCounter = 0;
    int stage = kIdle;
    float velocitySensitivity = 1.0f;
    double rateForCoefficients = 44100.0;
    float sustainTarget = 1.0f;
    float decayCoef = 0.0f, releaseCoef = 0.0f;
    float decayOffset = 0.0f, releaseOffset = 0.0f;
    float sampleRate = 44100.0f;

private:
    void settleDecay()
    {
        if (level <= sustainTarget + 0.001f) {
            level = sustainTarget;
            stage = kSustain;
            if (loop) {
                ++repeatCounter;
                stage = kAttack;
            }
            if (repeatCount != 3 && repeatCounter == repeatCount + 1) {
                stage = kSustain;
                --repeatCounter;
            }
        }
        if (!loop && level <= 0.0001f) {
            level = 0.0f;
            stage = kIdle;
        }
    }
};
