// Stereo equalizer on the summed voices: Butterworth low-pass, a notch run twice
// in series mixed with its input by a depth, Butterworth high-pass. Also
// computes a 512-point magnitude curve for the editor's display.
#pragma once

#include <emmintrin.h>

#include <utility>

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
    // arithmetic as ModuleBiquad::process, with the outputs rounded to float
    // after every frame as a section's are. Per channel:
    //   l = lowPass(x); n = notch(notch(l)); out = highPass((1 - depth) n + depth l)
    // The history and coefficients stay in locals for the run (written back
    // at its end) rather than going through the members every frame. Frames
    // go in pairs: the first writes its values over the older of the two
    // frames held, the second over the other, so that the history is never
    // moved from one variable to another.
    template <class Stop>
    int process(const float* inL, const float* inR, const float* add, float* outL, float* outR, int n, Stop stop)
    {
        const Sections c(*this);
        History last = last_, older = older_;
        int t = 0;
        while (t < n) {
            Floats y = step(c, Floats{inL[t] + add[t], inR[t] + add[t], 0.0f, 0.0f}, last, older);
            outL[t] = y[0];
            outR[t] = y[1];
            if (++t == n || stop(y[0], y[1])) {
                std::swap(last, older);
                break;
            }
            y = step(c, Floats{inL[t] + add[t], inR[t] + add[t], 0.0f, 0.0f}, older, last);
            outL[t] = y[0];
            outR[t] = y[1];
            ++t;
            if (stop(y[0], y[1])) break;
        }
        last_ = last;
        older_ = older;
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
    // Left and right in the two low lanes (the others 0), in float and double.
    typedef float Floats __attribute__((vector_size(16)));
    typedef double Doubles __attribute__((vector_size(16)));
    // Rounded to float, and back to double exactly: one instruction each.
    static Floats toFloats(Doubles x) { return (Floats)_mm_cvtpd_ps((__m128d)x); }
    static Doubles toDoubles(Floats x) { return (Doubles)_mm_cvtps_pd((__m128)x); }
    // One frame's values of every section's input and output, left and
    // right. A section's input is the last one's output (the mix of the
    // notch's output and the low-pass's for the high-pass).
    struct History {
        Doubles in = {0.0, 0.0}, lowPass = {0.0, 0.0}, notch1 = {0.0, 0.0}, notch2 = {0.0, 0.0}, mix = {0.0, 0.0},
                highPass = {0.0, 0.0};
    };
    // The coefficients, each in both lanes (left and right the same).
    struct Section {
        explicit Section(const ModuleBiquad& c)
            : b0{c.b0, c.b0}, b1{c.b1, c.b1}, b2{c.b2, c.b2}, a1{c.a1, c.a1}, a2{c.a2, c.a2}
        {}
        // y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2 in ModuleBiquad's order,
        // rounded to float.
        Floats run(Doubles x, Doubles x1, Doubles x2, Doubles y1, Doubles y2) const
        {
            return toFloats((b2 * x2 + b1 * x1 + b0 * x) - a1 * y1 - a2 * y2);
        }
        Doubles b0, b1, b2, a1, a2;
    };
    struct Sections {
        explicit Sections(const Equalizer& e)
            : lowPass(e.lowPass_[0]), notch(e.notch_[0]), highPass(e.highPass_[0]), depth(e.notchDepth_)
        {}
        Section lowPass, notch, highPass;
        float depth;
    };
    // One frame: `last` holds the frame before it, `older` the one before
    // that, and takes this frame's values.
    static Floats step(const Sections& c, Floats input, const History& last, History& older)
    {
        const Doubles x = toDoubles(input);
        const Floats l = c.lowPass.run(x, last.in, older.in, last.lowPass, older.lowPass);
        const Doubles ld = toDoubles(l);
        const Doubles n1 = toDoubles(c.notch.run(ld, last.lowPass, older.lowPass, last.notch1, older.notch1));
        const Floats n2 = c.notch.run(n1, last.notch1, older.notch1, last.notch2, older.notch2);
        const Doubles m = toDoubles((1.0f - c.depth) * n2 + c.depth * l);
        const Floats y = c.highPass.run(m, last.mix, older.mix, last.highPass, older.highPass);
        older.in = x;
        older.lowPass = ld;
        older.notch1 = n1;
        older.notch2 = toDoubles(n2);
        older.mix = m;
        older.highPass = toDoubles(y);
        return y;
    }

    // The sections' coefficients (left and right the same); process() keeps
    // its history below.
    ModuleBiquad lowPass_[2], highPass_[2], notch_[2];
    History last_, older_;
    float highPassHz_, lowPassHz_, notchHz_, notchWidthHz_, notchDepth_;
    float sampleRate_ = 44100.0f;
    float curve_[kCurvePoints] = {};
};
