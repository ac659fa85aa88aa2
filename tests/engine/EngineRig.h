// Test rig: an engine on the heap (it is several MiB), the instrument's
// default parameter values, MIDI events handed over as a host does, and
// rendering into buffers.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "source/ParameterTable.h"
#include "tests/support/Signals.h"
#include "source/engine/SynthEngine.h"

namespace enginetest {

struct Audio {
    std::vector<float> left, right;
};

// Default value of each parameter: 0.5, except Harmonics and Noise at 0.
inline float defaultValue(int index) { return (index == kHarmonics || index == kNoise) ? 0.0f : 0.5f; }

class Rig {
public:
    explicit Rig(float fs = 44100.0f) : engine(new SynthEngine)
    {
        engine->setup(fs);
        for (int i = 0; i < kNumParameters; ++i) engine->setParameter(i, defaultValue(i));
    }

    // A clean tone: no delays, noise, feedback, reverb or equalizer; sustain
    // full, instant-ish attack, unity gain, centred pan.
    void cleanPatch()
    {
        set(kWave, 0.0f);
        set(kHarmonics, 0.0f);
        set(kOn1, 0.0f);
        set(kOn2, 0.0f);
        set(kOn3, 0.0f);
        set(kNoise, 0.0f);
        set(kFdBkAmount, 0.0f);
        set(kReverbOn, 0.0f);
        set(kEQOn, 0.0f);
        set(kADSR2wave, 0.0f);
        set(kADSR2harm, 0.0f);
        set(kAttack1, 0.0f);
        set(kSustain1, 1.0f);
        set(kRepeat, 0.0f);
        set(kRelease2, 0.0f);  // a slot goes quiet with its amplitude envelope
        set(kVelosens, 0.0f);
        set(kGain_out, 1.0f);
        set(kPan, 0.5f);
        set(kPolyMono, 0.0f);
    }

    void set(int index, float value) { engine->setParameter(index, value); }

    // Queues a MIDI message at a frame of the next render() call.
    void midi(unsigned char status, unsigned char d1, unsigned char d2, int frame = 0)
    {
        MidiEvent e;
        e.frame = frame;
        e.status = status;
        e.data1 = d1;
        e.data2 = d2;
        pending_.push_back(e);
    }
    void noteOn(int note, int velocity = 100, int frame = 0)
    {
        midi(0x90, (unsigned char)note, (unsigned char)velocity, frame);
    }
    void noteOff(int note, int frame = 0) { midi(0x80, (unsigned char)note, 0, frame); }

    // Renders `frames` frames in blocks of `block`, appending to `out`.
    void render(Audio& out, int frames, int block = 256)
    {
        std::vector<float> l((size_t)block), r((size_t)block);
        bool first = true;
        while (frames > 0) {
            int n = frames < block ? frames : block;
            if (first) handOver();
            first = false;
            engine->process(l.data(), r.data(), n, publish);
            out.left.insert(out.left.end(), l.begin(), l.begin() + n);
            out.right.insert(out.right.end(), r.begin(), r.begin() + n);
            frames -= n;
        }
    }
    Audio render(int frames, int block = 256)
    {
        Audio a;
        render(a, frames, block);
        return a;
    }

    std::unique_ptr<SynthEngine> engine;
    bool publish = false;

private:
    void handOver()
    {
        for (const MidiEvent& e : pending_) engine->addEvent(e);
        pending_.clear();
    }

    std::vector<MidiEvent> pending_;
};

// Measurements.
using testing_support::allFinite;
using testing_support::peak;
using testing_support::rms;

// Fundamental frequency near `guess` Hz: the phase advance of a Hann-windowed
// single-bin transform between two consecutive windows of `window` frames.
inline double measureFrequency(const std::vector<float>& x, size_t from, size_t window, double fs, double guess)
{
    const double pi = 3.14159265358979323846;
    double re[2] = {0, 0}, im[2] = {0, 0};
    for (int w = 0; w < 2; ++w) {
        size_t start = from + w * window;
        for (size_t n = 0; n < window; ++n) {
            double h = 0.5 - 0.5 * std::cos(2.0 * pi * (double)n / (double)window);
            double a = 2.0 * pi * guess * (double)(start + n) / fs;
            re[w] += h * x[start + n] * std::cos(a);
            im[w] -= h * x[start + n] * std::sin(a);
        }
    }
    // Phase of B relative to A.
    double cr = re[1] * re[0] + im[1] * im[0];
    double ci = im[1] * re[0] - re[1] * im[0];
    double dphi = std::atan2(ci, cr);
    return guess + dphi * fs / (2.0 * pi * (double)window);
}

inline double cents(double f, double ref) { return 1200.0 * std::log2(f / ref); }

}  // namespace enginetest
