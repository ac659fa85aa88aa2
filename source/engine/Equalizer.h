// Stereo equalizer on the summed voices: Butterworth low-pass, a notch run twice
// in series mixed with its input by a depth, Butterworth high-pass. Also
// computes a 512-point magnitude curve for the editor's display.
#pragma once

#include "source/engine/ModuleBiquad.h"

class Equalizer {
public:
    static constexpr int kCurvePoints = 512;

    Equalizer();

    // Parameter values (0..1), turned into frequencies and depth by the
    // parameter table's curves, for the next design(); call design() after.
    void setHighPassValue(float v);
    void setLowPassValue(float v);
    void setNotchValue(float v);
    void setNotchWidthValue(float v);
    void setNotchDepthValue(float v);

    // Designs all six sections from the five fields (the curve stays).
    void design();
    // Clears the states, stores the rate and designs the sections with the
    // defaults (low-pass 8000 Hz, high-pass 111 Hz, notch 2000 Hz, 280 Hz wide);
    // fields and curve stay.
    void resetDefaults(float fs);
    void computeCurve();
    // Clears the six sections' states (coefficients stay).
    void clearStates();
    // True when every value the sections hold is below `level` in magnitude.
    bool statesBelow(double level) const;

    // Frames one after another until `stop(left, right)` holds for a frame's
    // output (that frame included); returns the frames run. Each frame takes
    // inL[t] + add[t] and inR[t] + add[t]. Both channels run at once: each
    // lane of a pair is one channel and runs the same double-precision
    // arithmetic as ModuleBiquad::process, with the states rounded to float
    // after every frame as a section's are. Per channel:
    //   l = lowPass(x); n = notch(notch(l)); out = highPass((1 - depth) n + depth l)
    // The states and coefficients stay in locals for the run (written back at
    // its end) rather than going through the members every frame.
    template <class Stop>
    int process(const float* inL, const float* inR, const float* add, float* outL, float* outR, int n, Stop stop)
    {
        const Section lowPass(lowPass_[0]), notch(notch_[0]), highPass(highPass_[0]);
        PairState lowPassState = lowPassState_, notchState0 = notchState_[0], notchState1 = notchState_[1],
                  highPassState = highPassState_;
        const float depth = notchDepth_;
        int t = 0;
        while (t < n) {
            const Floats x = {inL[t] + add[t], inR[t] + add[t]};
            // A section's input is the last one's output, which its state
            // already holds in double.
            const Floats l = run(lowPass, lowPassState, __builtin_convertvector(x, Doubles));
            run(notch, notchState0, lowPassState.y1);
            const Floats m = run(notch, notchState1, notchState0.y1);
            const Floats y =
                run(highPass, highPassState, __builtin_convertvector((1.0f - depth) * m + depth * l, Doubles));
            outL[t] = y[0];
            outR[t] = y[1];
            ++t;
            if (stop(y[0], y[1])) break;
        }
        lowPassState_ = lowPassState;
        notchState_[0] = notchState0;
        notchState_[1] = notchState1;
        highPassState_ = highPassState;
        return t;
    }

    float highPassHz() const { return highPassHz_; }
    float lowPassHz() const { return lowPassHz_; }
    float notchHz() const { return notchHz_; }
    float notchWidthHz() const { return notchWidthHz_; }
    float notchDepth() const { return notchDepth_; }
    float sampleRate() const { return sampleRate_; }
    const float* curve() const { return curve_; }
    // The frequency of curve point i (26 Hz .. 20 kHz, evenly in log frequency).
    static float curveFrequency(int i);

    // Left sections, for measurements.
    const ModuleBiquad& lowPassLeft() const { return lowPass_[0]; }
    const ModuleBiquad& notchLeft() const { return notch_[0]; }
    const ModuleBiquad& highPassLeft() const { return highPass_[0]; }

private:
    typedef float Floats __attribute__((vector_size(8)));
    typedef double Doubles __attribute__((vector_size(16)));
    // One section's input and output history, left and right.
    struct PairState {
        Doubles x1 = {0.0, 0.0}, x2 = {0.0, 0.0}, y1 = {0.0, 0.0}, y2 = {0.0, 0.0};
    };
    // A section's coefficients, each in both lanes.
    struct Section {
        explicit Section(const ModuleBiquad& c)
            : b0{c.b0, c.b0}, b1{c.b1, c.b1}, b2{c.b2, c.b2}, a1{c.a1, c.a1}, a2{c.a2, c.a2}
        {}
        Doubles b0, b1, b2, a1, a2;
    };
    static Floats run(const Section& c, PairState& s, Doubles x)
    {
        const Floats y =
            __builtin_convertvector(((c.b2 * s.x2 + c.b1 * s.x1 + c.b0 * x) - c.a1 * s.y1 - c.a2 * s.y2), Floats);
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = __builtin_convertvector(y, Doubles);
        return y;
    }

    // The sections' coefficients (left and right the same); the states that
    // process() runs on are the pairs below.
    ModuleBiquad lowPass_[2], highPass_[2], notch_[2];
    PairState lowPassState_, notchState_[2], highPassState_;
    float highPassHz_, lowPassHz_, notchHz_, notchWidthHz_, notchDepth_;
    float sampleRate_ = 44100.0f;
    float curve_[kCurvePoints] = {};
};
