// Second-order filter section (direct form I) with two state sets, so one
// coefficient set can run twice in series. Coefficients are normalised (a0 = 1)
// and designed in double when a parameter or the sample rate changes.
#pragma once

class ModuleBiquad {
public:
    void setSampleRate(float fs) { sampleRate = fs; }
    void reset();  // both state sets to 0

    void designLowPass(double fc);   // Butterworth, bilinear
    void designHighPass(double fc);  // Butterworth, bilinear
    void designNotch(double f0, double bandwidth);

    float process(float x) { return run(first_, x); }
    float processSecond(float x) { return run(second_, x); }

    // Gain of the section at frequency f for rate fs.
    double magnitudeAt(double f, double fs) const { return magnitude(f, fs, b0, b1, b2, a1, a2); }
    static double magnitude(double f, double fs, double b0, double b1, double b2, double a1, double a2);

    double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    float sampleRate = 44100.0f;

private:
    struct State {
        float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    };
    float run(State& s, float x)
    {
        float y = (float)((b2 * s.x2 + b1 * s.x1 + b0 * x) - a1 * s.y1 - a2 * s.y2);
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = y;
        return y;
    }
    State first_, second_;
};
