#include "PresetRender.h"

#include "source/engine/SynthEngine.h"
#include "tools/analysis/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const float kRate = 44100.0f;
const int kBlock = 256;

float rms(const std::vector<float>& x, size_t from, size_t to)
{
    to = std::min(to, x.size());
    if (to <= from) return 0.0f;
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += (double)x[i] * x[i];
    return (float)std::sqrt(sum / (double)(to - from));
}

}  // namespace

NoteMeasure renderNotes(const float* values, const std::vector<int>& notes, int velocity, float holdSeconds,
                        float tailSeconds)
{
    auto engine = std::make_unique<SynthEngine>();
    engine->setup(kRate);
    for (int i = 0; i < SynthEngine::kNumParams; ++i) engine->setParameter(i, values[i]);
    std::vector<float> left(kBlock), right(kBlock);
    // Let the smoothers and the voice count settle before the first note.
    for (int b = 0; b < 20; ++b) engine->process(left.data(), right.data(), kBlock, false);

    const size_t holdFrames = (size_t)(holdSeconds * kRate), tailFrames = (size_t)(tailSeconds * kRate);
    std::vector<float> mono;
    mono.reserve(holdFrames + tailFrames + kBlock);
    NoteMeasure m;
    for (int note : notes) engine->midiMessage(0x90, (unsigned char)note, (unsigned char)velocity);
    bool released = false;
    while (mono.size() < holdFrames + tailFrames) {
        if (!released && mono.size() >= holdFrames) {
            for (int note : notes) engine->midiMessage(0x80, (unsigned char)note, 0);
            released = true;
        }
        engine->process(left.data(), right.data(), kBlock, false);
        for (int i = 0; i < kBlock; ++i) {
            if (!std::isfinite(left[i]) || !std::isfinite(right[i])) m.finite = false;
            m.peak = std::max(m.peak, std::max(std::fabs(left[i]), std::fabs(right[i])));
            mono.push_back(0.5f * (left[i] + right[i]));
        }
    }
    m.rmsStart = rms(mono, 0, (size_t)(0.25f * kRate));
    m.rmsHeld = rms(mono, (size_t)(0.8f * kRate), (size_t)(1.0f * kRate));
    m.rmsAfter = rms(mono, holdFrames + (size_t)(0.5f * kRate), holdFrames + (size_t)(1.0f * kRate));

    const size_t n = 32768;
    const std::vector<double> spectrum = analysis::powerSpectrum(mono.data(), mono.size(), n, analysis::Window::kHann);
    double weighted = 0.0, total = 0.0;
    for (double low = 40.0; low < 16000.0; low *= std::pow(2.0, 1.0 / 3.0)) {
        const double high = low * std::pow(2.0, 1.0 / 3.0);
        double energy = 1e-20;
        for (size_t k = (size_t)(low * n / kRate); k < (size_t)(high * n / kRate) && k < n / 2; ++k)
            energy += spectrum[k];
        m.bandsDb.push_back((float)(10.0 * std::log10(energy)));
    }
    for (size_t k = 1; k < n / 2; ++k) {
        const double e = spectrum[k];
        weighted += e * (double)k * kRate / (double)n;
        total += e;
    }
    m.centroidHz = total > 0.0 ? (float)(weighted / total) : 0.0f;

    // Odd and even harmonics of the sounding note (the octave switch moves it).
    const int shift = values[2] < 0.33333334f ? -12 : values[2] > 0.6666667f ? 12 : 0;
    const double f0 = 440.0 * std::pow(2.0, (notes.empty() ? 0 : notes[0] + shift - 69) / 12.0);
    double odd = 1e-20, even = 1e-20;
    for (int h = 1; h <= 16 && f0 * h < kRate / 2; ++h) {
        const size_t centre = (size_t)std::lround(f0 * h * n / kRate);
        double e = 0.0;
        for (size_t k = centre > 3 ? centre - 3 : 0; k <= centre + 3 && k < n / 2; ++k) e += spectrum[k];
        (h % 2 ? odd : even) += e;
    }
    m.oddEvenDb = (float)(10.0 * std::log10(odd / even));

    // Pitch by autocorrelation of 0.2..0.6 s: the first lag (from short to
    // long) whose normalised correlation comes within 10 % of the best.
    const size_t from = (size_t)(0.2f * kRate), length = (size_t)(0.4f * kRate);
    if (mono.size() >= from + length + 2048) {
        const int minLag = (int)(kRate / 2000.0f), maxLag = (int)(kRate / 25.0f);
        std::vector<double> r((size_t)maxLag + 2, 0.0);
        double energy = 0.0;
        for (size_t i = 0; i < length; ++i) energy += (double)mono[from + i] * mono[from + i];
        for (int lag = minLag; lag <= maxLag + 1; ++lag) {
            double sum = 0.0;
            for (size_t i = 0; i < length; ++i) sum += (double)mono[from + i] * mono[from + i + (size_t)lag];
            r[(size_t)lag] = energy > 0.0 ? sum / energy : 0.0;
        }
        double best = 0.0;
        for (int lag = minLag; lag <= maxLag; ++lag) best = std::max(best, r[(size_t)lag]);
        for (int lag = minLag + 1; lag <= maxLag; ++lag) {
            if (r[(size_t)lag] >= 0.9 * best && r[(size_t)lag] >= r[(size_t)lag - 1] &&
                r[(size_t)lag] >= r[(size_t)lag + 1]) {
                // Parabolic refinement of the peak.
                const double a = r[(size_t)lag - 1], b = r[(size_t)lag], c = r[(size_t)lag + 1];
                const double offset = (a - 2 * b + c) != 0.0 ? 0.5 * (a - c) / (a - 2 * b + c) : 0.0;
                const double hz = kRate / ((double)lag + offset);
                double cents = 1200.0 * std::log2(hz / f0);
                cents = std::fmod(cents, 1200.0);
                if (cents > 600.0) cents -= 1200.0;
                if (cents < -600.0) cents += 1200.0;
                m.pitchCents = (float)cents;
                break;
            }
        }
    }
    return m;
}

float soundDistance(const NoteMeasure& a, const NoteMeasure& b)
{
    // Spectral shape: band levels relative to each sound's loudest band.
    auto shape = [](const NoteMeasure& m) {
        std::vector<float> s = m.bandsDb;
        float top = -1e30f;
        for (float v : s) top = std::max(top, v);
        for (float& v : s) v = std::max(v - top, -60.0f);
        return s;
    };
    const std::vector<float> sa = shape(a), sb = shape(b);
    double spectral = 0.0;
    for (size_t i = 0; i < sa.size() && i < sb.size(); ++i) spectral += (sa[i] - sb[i]) * (sa[i] - sb[i]);
    spectral = std::sqrt(spectral / (double)std::max<size_t>(1, sa.size()));
    // Envelope: held and released levels relative to the start, in dB.
    auto db = [](float x, float ref) { return 20.0f * std::log10((x + 1e-6f) / (ref + 1e-6f)); };
    const float envelope = std::fabs(db(a.rmsHeld, a.rmsStart) - db(b.rmsHeld, b.rmsStart)) +
                           std::fabs(db(a.rmsAfter, a.rmsStart) - db(b.rmsAfter, b.rmsStart));
    return (float)spectral + 0.5f * std::min(envelope, 80.0f);
}

namespace {

struct Played {
    int note, velocity;
    float on, off;  // seconds
};

struct Stereo {
    std::vector<float> left, right;
    bool finite = true;
    float peak = 0.0f;
};

Stereo play(const float* values, const std::vector<Played>& notes, float seconds)
{
    auto engine = std::make_unique<SynthEngine>();
    engine->setup(kRate);
    for (int i = 0; i < SynthEngine::kNumParams; ++i) engine->setParameter(i, values[i]);
    std::vector<float> l(kBlock), r(kBlock);
    for (int b = 0; b < 20; ++b) engine->process(l.data(), r.data(), kBlock, false);
    const int total = (int)(seconds * kRate);
    Stereo s;
    s.left.reserve((size_t)total + kBlock);
    s.right.reserve((size_t)total + kBlock);
    for (int at = 0; at < total; at += kBlock) {
        for (const Played& p : notes) {
            const int on = (int)(p.on * kRate), off = (int)(p.off * kRate);
            if (on >= at && on < at + kBlock)
                engine->addEvent(MidiEvent{on - at, 0x90, (unsigned char)p.note, (unsigned char)p.velocity});
            if (off >= at && off < at + kBlock) engine->addEvent(MidiEvent{off - at, 0x80, (unsigned char)p.note, 0});
        }
        engine->process(l.data(), r.data(), kBlock, false);
        for (int i = 0; i < kBlock; ++i) {
            if (!std::isfinite(l[(size_t)i]) || !std::isfinite(r[(size_t)i])) s.finite = false;
            s.peak = std::max(s.peak, std::max(std::fabs(l[(size_t)i]), std::fabs(r[(size_t)i])));
        }
        s.left.insert(s.left.end(), l.begin(), l.end());
        s.right.insert(s.right.end(), r.begin(), r.end());
    }
    return s;
}

float toDb(double power) { return (float)(10.0 * std::log10(power + 1e-30)); }

// Levels (dB) of windows of `window` seconds every `hop` seconds (a whole
// number of hops), summed from the energies of the hops.
std::vector<float> windowsDb(const Stereo& s, float window, float hop)
{
    const size_t step = (size_t)(hop * kRate), hops = (size_t)std::lround(window / hop);
    std::vector<double> energy;
    for (size_t at = 0; at + step <= s.left.size(); at += step) {
        double e = 0.0;
        for (size_t i = at; i < at + step; ++i) e += (double)s.left[i] * s.left[i] + (double)s.right[i] * s.right[i];
        energy.push_back(e);
    }
    std::vector<float> db;
    double sum = 0.0;
    for (size_t k = 0; k < energy.size(); ++k) {
        sum += energy[k];
        if (k >= hops) sum -= energy[k - hops];
        if (k + 1 >= hops) db.push_back(toDb(std::max(sum, 0.0) / (2.0 * (double)(hops * step))));
    }
    return db;
}

float loudestDb(const Stereo& s)
{
    const std::vector<float> db = windowsDb(s, 0.4f, 0.05f);
    return db.empty() ? -300.0f : *std::max_element(db.begin(), db.end());
}

// Power spectrum (Hann window) of both channels' mean from `from` seconds.
std::vector<double> powerSpectrum(const Stereo& s, float from, size_t n)
{
    const size_t start = std::min((size_t)(from * kRate), s.left.size());
    std::vector<float> mono(s.left.size() - start);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (s.left[start + i] + s.right[start + i]);
    return analysis::powerSpectrum(mono.data(), mono.size(), n, analysis::Window::kHann);
}

double bandEnergy(const std::vector<double>& p, double low, double high, size_t n)
{
    double e = 0.0;
    for (size_t k = (size_t)std::max(1.0, low * (double)n / kRate);
         k <= (size_t)(high * (double)n / kRate) && k < p.size(); ++k)
        e += p[k];
    return e;
}

// Repeats after the note-off at `off` seconds: 10 ms levels that rise 4 dB or
// more above the lowest level since the last repeat, peak there, and are
// within 45 dB of the loudest level.
int countEchoes(const Stereo& s, float off)
{
    const std::vector<float> db = windowsDb(s, 0.01f, 0.01f);
    const float top = *std::max_element(db.begin(), db.end());
    int count = 0;
    float low = 1e9f;
    for (size_t i = (size_t)(off * 100.0f); i + 2 < db.size(); ++i) {
        low = std::min(low, db[i]);
        const bool peak = db[i] >= db[i - 1] && db[i] >= db[i - 2] && db[i] >= db[i + 1] && db[i] >= db[i + 2];
        if (peak && db[i] >= low + 4.0f && db[i] >= top - 45.0f) {
            ++count;
            low = db[i];
        }
    }
    return count;
}

}  // namespace

PresetSound measureSound(const float* values, bool full)
{
    PresetSound m;
    float peak = 0.0f;
    auto take = [&](const Stereo& s) {
        m.finite = m.finite && s.finite;
        peak = std::max(peak, s.peak);
        return loudestDb(s);
    };
    std::vector<Played> chord;
    for (int note : {48, 55, 60, 64}) chord.push_back({note, 100, 0.0f, 2.0f});
    m.levelDb = take(play(values, chord, 2.5f));
    std::vector<Played> eight;
    for (int note : {36, 48, 55, 60, 64, 67, 72, 76}) eight.push_back({note, 100, 0.0f, 2.0f});
    take(play(values, eight, 2.5f));
    if (full)
        for (int note = 24; note <= 96; note += 12) take(play(values, {{note, 127, 0.0f, 1.0f}}, 1.5f));

    const Stereo loud = play(values, {{60, 127, 0.0f, 1.0f}}, 1.2f);
    m.velocityDb = take(loud) - take(play(values, {{60, 20, 0.0f, 1.0f}}, 1.2f));
    for (Played& p : eight) p.velocity = 127;
    const Stereo loudest = play(values, eight, 2.5f);
    m.finite = m.finite && loudest.finite;
    m.fullChordPeakDb = 20.0f * std::log10(loudest.peak + 1e-15f);
    m.peakDb = 20.0f * std::log10(peak + 1e-15f);

    // A fifth above the sounding pitch, against the strongest partial of the note.
    const int shift = values[2] < 0.33333334f ? -12 : values[2] > 0.6666667f ? 12 : 0;
    const double f0 = 440.0 * std::pow(2.0, (60 + shift - 69 + 5.0 * values[3] - 2.5) / 12.0);
    const size_t n = 32768;
    const std::vector<double> p = powerSpectrum(loud, 0.3f, n);
    double partial = 1e-30;
    for (int h = 1; h <= 8; ++h) partial = std::max(partial, bandEnergy(p, h * f0 * 0.99, h * f0 * 1.01, n));
    const double fifth = std::max(bandEnergy(p, 1.5 * f0 * 0.99, 1.5 * f0 * 1.01, n),
                                  bandEnergy(p, 0.75 * f0 * 0.99, 0.75 * f0 * 1.01, n));
    m.fifthDb = toDb(fifth / partial);

    const Stereo staccato = play(values, {{60, 100, 0.0f, 0.1f}}, 2.0f);
    m.finite = m.finite && staccato.finite;
    m.echoes = countEchoes(staccato, 0.1f);

    const Stereo bass = play(values, {{36, 100, 0.0f, 1.0f}}, 1.0f);
    m.finite = m.finite && bass.finite;
    const std::vector<double> pb = powerSpectrum(bass, 0.05f, n);
    m.bassDb = toDb(bandEnergy(pb, 0.0, 300.0, n) / (bandEnergy(pb, 0.0, kRate / 2, n) + 1e-30));
    return m;
}

std::vector<std::string> libraryFaults(const std::vector<AuditedPreset>& library)
{
    std::vector<std::string> faults;
    auto fault = [&](const AuditedPreset& p, const std::string& what) { faults.push_back(p.name + ": " + what); };
    auto has = [](const std::string& name, const char* word) { return name.find(word) != std::string::npos; };
    std::vector<float> levels;
    for (const AuditedPreset& p : library) {
        const PresetSound& s = p.sound;
        levels.push_back(s.levelDb);
        if (!s.finite) fault(p, "non-finite output");
        if (s.peakDb > -3.0f) fault(p, "peak " + std::to_string(s.peakDb) + " dBFS");
        if (s.fullChordPeakDb > 0.0f)
            fault(p, "eight notes at full velocity peak at " + std::to_string(s.fullChordPeakDb) + " dBFS");
        if (p.velosens > 0.0f && s.velocityDb < 10.0f)
            fault(p, "velocity range " + std::to_string(s.velocityDb) + " dB");
        if ((has(p.name, "Echo") || has(p.name, "Delay")) && s.echoes < 3)
            fault(p, std::to_string(s.echoes) + " echo repeats");
        if (has(p.name, "Fifth") && s.fifthDb < -15.0f) fault(p, "fifth at " + std::to_string(s.fifthDb) + " dB");
        if (p.category == "Bass" && s.bassDb < -3.0f)
            fault(p, "energy below 300 Hz " + std::to_string(s.bassDb) + " dB");
    }
    if (!levels.empty()) {
        std::sort(levels.begin(), levels.end());
        const size_t k = levels.size();
        const float median = 0.5f * (levels[(k - 1) / 2] + levels[k / 2]);
        if (levels.back() - levels.front() > 10.0f)
            faults.push_back("levels spread over " + std::to_string(levels.back() - levels.front()) + " dB");
        if (median < -20.0f || median > -16.0f) faults.push_back("median level " + std::to_string(median) + " dBFS");
    }
    return faults;
}
