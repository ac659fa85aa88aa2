// One-pole glide of a control value towards its target (gain, reverb mix and send).
#pragma once

#include <cmath>

#include "source/engine/Flush.h"

class Smoother {
public:
    // Sets the rate and a 43 ms time to fall to -60 dB.
    void setup(float fs);
    // tick(target) would leave the value as it is, bit for bit (and so would
    // every later tick towards the same target).
    bool settled(float target) const
    {
        const float next = flushByMagnitude(value + (target - value) * coefficient);
        return next == value && std::signbit(next) == std::signbit(value);
    }
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

// Glides a parameter to each new target in a straight line over a fixed time,
// then holds the target exactly, so a setting the host sends once per block
// moves without steps and a steady setting is the value itself.
class LinearGlide {
public:
    // Glide time in frames (at least 1).
    void setLength(int frames) { length_ = frames > 0 ? frames : 1; }
    // The first value is taken at once.
    void setTarget(float target)
    {
        if (!primed_) {
            value_ = target_ = target;
            primed_ = true;
            return;
        }
        if (target == target_) return;
        target_ = target;
        step_ = (target - value_) / (float)length_;
        left_ = length_;
    }
    // This frame's value.
    float tick()
    {
        if (left_ > 0) value_ = --left_ == 0 ? target_ : value_ + step_;
        return value_;
    }
    float value() const { return value_; }
    // At the target: tick() changes nothing.
    bool settled() const { return left_ == 0; }

private:
    float value_ = 0.0f, target_ = 0.0f, step_ = 0.0f;
    int length_ = 1, left_ = 0;
    bool primed_ = false;
};
