#include "PresetRender.h"

#include "source/engine/SynthEngine.h"

#include <cmath>
#include <complex>
#include <memory>

namespace {

const float kRate = 44100.0f;
const int kBlock = 256;

void fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * M_PI / (double)len;
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0);
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

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
    std::vector<std::complex<double>> spectrum(n);
    for (size_t i = 0; i < n && i < mono.size(); ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * M_PI * (double)i / (double)n);
        spectrum[i] = mono[i] * window;
    }
    fft(spectrum);
    double weighted = 0.0, total = 0.0;
    for (double low = 40.0; low < 16000.0; low *= std::pow(2.0, 1.0 / 3.0)) {
        const double high = low * std::pow(2.0, 1.0 / 3.0);
        double energy = 1e-20;
        for (size_t k = (size_t)(low * n / kRate); k < (size_t)(high * n / kRate) && k < n / 2; ++k)
            energy += std::norm(spectrum[k]);
        m.bandsDb.push_back((float)(10.0 * std::log10(energy)));
    }
    for (size_t k = 1; k < n / 2; ++k) {
        const double e = std::norm(spectrum[k]);
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
        for (size_t k = centre > 3 ? centre - 3 : 0; k <= centre + 3 && k < n / 2; ++k) e += std::norm(spectrum[k]);
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
            if (r[(size_t)lag] >= 0.9 * best && r[(size_t)lag] >= r[(size_t)lag - 1] && r[(size_t)lag] >= r[(size_t)lag + 1]) {
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
