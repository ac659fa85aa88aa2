// Test rig: an engine on the heap (it is several MiB), the parameter table's
// default values, MIDI events handed over as a host does, and
// rendering into buffers.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "source/ParameterTable.h"
#include "source/engine/ParameterInfo.h"
#include "source/engine/SynthEngine.h"
#include "tests/support/Signals.h"

namespace enginetest {

struct Audio {
    std::vector<float> left, right;
};

class Rig {
public:
    explicit Rig(float fs = 44100.0f) : engine(new SynthEngine)
    {
        engine->setup(fs);
        for (int i = 0; i < kNumParameters; ++i) engine->setParameter(i, parameterInfo(i).defaultValue);
    }

    // A clean tone: no delays, noise, feedback, reverb or equalizer; sustain
    // full, instant-ish attack, unity gain, centred pan; Release2 at 0, so
    // that a slot goes quiet with its amplitude envelope.
    void cleanPatch()
    {
        for (int p : {kWave, kHarmonics, kOn1, kOn2, kOn3, kNoise, kFdBkAmount, kReverbOn, kEQOn, kADSR2wave,
                      kADSR2harm, kAttack1, kRepeat, kRelease2, kVelosens, kPolyMono})
            set(p, 0.0f);
        set({{kSustain1, 1.0f}, {kGain_out, 1.0f}, {kPan, 0.5f}});
    }

    void set(int index, float value) { engine->setParameter(index, value); }
    void set(std::initializer_list<std::pair<int, float>> values)
    {
        for (const auto& [index, value] : values) set(index, value);
    }

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
using testing_support::firstAbove;
using testing_support::hannBin;
using testing_support::peak;
using testing_support::rms;

// Fundamental frequency near `guess` Hz: the phase advance of its bin between
// two consecutive windows of `window` frames.
inline double measureFrequency(const std::vector<float>& x, size_t from, size_t window, double fs, double guess)
{
    const std::complex<double> a = hannBin(x, from, window, guess, fs),
                               b = hannBin(x, from + window, window, guess, fs);
    return guess + std::arg(b * std::conj(a)) * fs / (2.0 * 3.14159265358979323846 * (double)window);
}

inline double cents(double f, double ref) { return 1200.0 * std::log2(f / ref); }

}  // namespace enginetest
