#include "source/engine/VoiceLanes.h"

#include <cstring>

using namespace lanes;

void EnvelopeLanes::load(const ModuleADSR* e)
{
    for (int j = 0; j < 4; ++j) {
        level[j] = e[j].level;
        attackStep[j] = e[j].attackStep;
        decayCoef[j] = e[j].decayCoef;
        decayOffset[j] = e[j].decayOffset;
        releaseCoef[j] = e[j].releaseCoef;
        releaseOffset[j] = e[j].releaseOffset;
        sustainTarget[j] = e[j].sustainTarget;
        velocityGain[j] = e[j].velocityGain;
        stage[j] = e[j].stage;
    }
}

void VoiceLanes::load(const Slots& s)
{
    slots_ = s;
    const int f = s.first;
    int mayRender = 0;
    bool bandPass = true;  // the lanes' noise filter is the band-pass mode the engine sets
    visit_ = 0;
    for (int j = 0; j < 4; ++j) {
        const int slot = f + j;
        if (slot >= s.voices) continue;
        const bool renders = !s.amp[slot].idle() || !s.fb[slot].idle() || s.voice[slot].ringing();
        mayRender += renders;
        bandPass = bandPass && s.noise[slot].mode == 2;
        const bool glides = s.noteGlide && s.voiceNote[slot] != -1 && !s.voice[slot].noteGlideSettled();
        if (renders || glides) visit_ |= 1u << j;
    }
    // Nothing to do: nothing is loaded. With none rendering the lanes only
    // glide delay times, and stop once the glide has settled.
    scalar_ = visit_ == 0 || mayRender == 1 || !bandPass;
    if (scalar_) return;
    amp_.load(s.amp + f);
    fb_.load(s.fb + f);
    for (int j = 0; j < 4; ++j) {
        const SynthVoice& v = s.voice[f + j];
        const ModuleSVF& n = s.noise[f + j];
        present_[j] = f + j < s.voices ? -1 : 0;
        noteSet_[j] = s.voiceNote[f + j] != -1 ? -1 : 0;
        lastE1_[j] = s.lastE1[f + j];
        nBand1_[j] = n.band1;
        nLow1_[j] = n.low1;
        nBand2_[j] = n.band2;
        nLow2_[j] = n.low2;
        nFreq_[j] = n.freqCoef;
        nDamping_[j] = n.damping;
        harmonics_[j] = v.harmonics_;
        modulatorPm_[j] = v.modulatorPm_;
        carrierPm_[j] = v.carrierPm_;
        pmSmoothing_[j] = v.pmSmoothing_;
        carrierOut_[j] = v.carrierOut_;
        modulatorOut_[j] = v.modulatorOut_;
        carrierPhase_[j] = v.carrier_.phase;
        carrierStep_[j] = v.carrier_.step;
        carrierRatio_[j] = v.carrier_.ratio;
        modulatorPhase_[j] = v.modulator_.phase;
        modulatorStep_[j] = v.modulator_.step;
        modulatorRatio_[j] = v.modulator_.ratio;
        frequency_[j] = v.modulator_.frequency;
        invSampleRate_[j] = v.modulator_.invSampleRate;
        tune_[j] = v.modulator_.tune;
        feedbackAmount_[j] = v.feedbackAmount_;
        feedbackLow_[j] = v.feedbackLow_;
        feedbackHigh_[j] = v.feedbackHigh_;
        stereoSpread_[j] = v.stereoSpread_;
        lowCoef_[j] = v.lowCoef_;
        highCoef_[j] = v.highCoef_;
        for (int k = 0; k < 3; ++k) {
            lineLevel_[k][j] = v.lineLevel_[k];
            smoothedMod_[k][j] = v.smoothedMod_[k];
            modSmoothing_[k][j] = v.modSmoothing_[k];
            baseDelayMs_[k][j] = v.baseDelayMs_[k];
            notePeriodsMs_[k][j] = v.notePeriodsMs_[k];
            rangeMs_[k][j] = v.rangeMs_[k];
            targetDelay_[k][j] = v.targetDelay_[k];
            smoothedDelay_[k][j] = v.smoothedDelay_[k];
            lfoPhase_[k][j] = v.lfoPhase_[k];
            lfoStep_[k][j] = v.lfoStep_[k];
            lfoOutput_[k][j] = v.lfoOutput_[k];
        }
        msToFrames_[j] = v.sampleRate_ * 0.001f;
        delayGlide_[j] = v.delayGlide_;
        noteGlideKeep_[j] = v.noteGlideKeep_;
        noteGlideTake_[j] = v.noteGlideTake_;
        writeIndex_[j] = v.writeIndex_;
        history_[j] = v.history_;
        silentRun_[j] = v.silentRun_;
        reach_[j] = v.reach_;
        buffer_[j] = s.voice[f + j].buffer_;
    }
    glideMoving_ = true;
    tuned_ = false;
    live_ = present_;
    live_ = renders();
    liveAtLoad_ = bits(live_);
}

bool VoiceLanes::shrunk() const
{
    if (!scalar_) return bits(live_) != liveAtLoad_;
    // Left to the scalar code: a visited slot has stopped rendering (it may
    // still glide its delay times; the load finds out).
    for (int j = 0; j < 4; ++j) {
        const int slot = slots_.first + j;
        if ((visit_ >> j & 1u) && slots_.amp[slot].idle() && slots_.fb[slot].idle() && !slots_.voice[slot].ringing())
            return true;
    }
    return false;
}

// The lanes of slots that stopped rendering were stored when they stopped;
// every slot's base delay times (which glide whether it renders or not) are
// stored here.
void VoiceLanes::store() const
{
    if (scalar_) return;
    const unsigned live = bits(live_);
    for (int j = 0; j < 4; ++j) {
        if (live >> j & 1u) storeLane(j);
        SynthVoice& v = slots_.voice[slots_.first + j];
        for (int k = 0; k < 3; ++k) v.baseDelayMs_[k] = baseDelayMs_[k][j];
        v.noteGlideMoving_ = true;
    }
}

void VoiceLanes::storeLane(int j) const
{
    const int slot = slots_.first + j;
    amp_.store(slots_.amp[slot], j);
    fb_.store(slots_.fb[slot], j);
    SynthVoice& v = slots_.voice[slot];
    ModuleSVF& n = slots_.noise[slot];
    slots_.lastE1[slot] = lastE1_[j];
    n.band1 = nBand1_[j];
    n.low1 = nLow1_[j];
    n.band2 = nBand2_[j];
    n.low2 = nLow2_[j];
    n.output = nBand2_[j];
    v.harmonics_ = harmonics_[j];
    v.modulatorPm_ = v.modulator_.pmInput = modulatorPm_[j];
    v.carrierPm_ = v.carrier_.pmInput = carrierPm_[j];
    v.carrierOut_ = carrierOut_[j];
    v.modulatorOut_ = modulatorOut_[j];
    v.carrier_.phase = carrierPhase_[j];
    v.carrier_.step = carrierStep_[j];
    v.carrier_.tune = tune_[j];
    v.modulator_.phase = modulatorPhase_[j];
    v.modulator_.step = modulatorStep_[j];
    v.modulator_.ratio = modulatorRatio_[j];
    v.modulator_.tune = tune_[j];
    v.feedbackAmount_ = feedbackAmount_[j];
    v.feedbackLow_ = feedbackLow_[j];
    v.feedbackHigh_ = feedbackHigh_[j];
    v.stereoSpread_ = stereoSpread_[j];
    for (int k = 0; k < 3; ++k) {
        v.lineLevel_[k] = lineLevel_[k][j];
        v.smoothedMod_[k] = smoothedMod_[k][j];
        v.targetDelay_[k] = targetDelay_[k][j];
        v.smoothedDelay_[k] = smoothedDelay_[k][j];
        v.lfoPhase_[k] = lfoPhase_[k][j];
        v.lfoOutput_[k] = lfoOutput_[k][j];
    }
    v.writeIndex_ = writeIndex_[j];
    v.history_ = history_[j];
    v.silentRun_ = silentRun_[j];
    v.reach_ = reach_[j];
}

namespace {

// ModuleFMop::tick of each lane: the phase advanced and folded, the
// modulation added in cycles and folded, the polynomial sine.
inline F4 operatorTick(F4& phase, F4 step, F4 pm)
{
    phase = phase + step;
    const F4 p = phase - toFloat(truncate(phase + 0.5f));
    F4 x = pm * 0.15915507f + p;
    x = x - toFloat(truncate(x + 0.5f));
    const F4 a = abs(x);
    phase = p;
    return ((a + 0.232963f) * (a - 0.5f)) * ((a - 0.732963f) * (x * 68.5949f));
}

// Four neighbours of a read at `at` (index of y0) in each lane's line, as
// (y[-1], y[0], y[1], y[2]) across the lanes. Every lane reads (a lane that
// does not render reads its own line harmlessly and its result is not used).
// `inside`: no lane's neighbours wrap past the start of its memory.
inline void gather(float* const* buffer, I4 at, bool inside, F4& ym1, F4& y0, F4& y1, F4& y2)
{
    constexpr int kMask = SynthVoice::kLineMask;
    F4 r[4];
    if (inside) {
        for (int j = 0; j < 4; ++j) std::memcpy(&r[j], buffer[j] + at[j] - 1, sizeof r[j]);
    } else {
        for (int j = 0; j < 4; ++j) {
            const float* b = buffer[j];
            const int i = at[j];
            r[j] = F4{b[(i - 1) & kMask], b[i & kMask], b[(i + 1) & kMask], b[(i + 2) & kMask]};  // indices wrap
        }
    }
    transpose(r[0], r[1], r[2], r[3], ym1, y0, y1, y2);
}

}  // namespace

unsigned VoiceLanes::render(const Frame& f, RuntimeRand& rand, F4& left, F4& right)
{
    if (!visit_) {
        on_ = I4{};
        left = right = F4{};
        return 0;
    }
    const I4 on = renders();
    on_ = on;
    const unsigned onBits = bits(on);
    // Slots that stop rendering keep their state from here to the next load:
    // it goes back to them now, and their lanes are not read again.
    if (bits(live_) != onBits) return stopThenRender(f, rand, left, right);
    if (!onBits) {
        left = right = F4{};
        return 0;
    }
    return onBits == 0xF ? renderLanes<true>(f, rand, on, left, right) : renderLanes<false>(f, rand, on, left, right);
}

unsigned VoiceLanes::stopThenRender(const Frame& f, RuntimeRand& rand, F4& left, F4& right)
{
    const unsigned stopped = bits(live_) & ~bits(renders());
    for (int j = 0; j < 4; ++j)
        if (stopped >> j & 1u) storeLane(j);
    live_ = renders();
    return render(f, rand, left, right);
}

// Every lane runs; what a lane that does not render (`on`) computes is never
// used: its slot's state was stored when it stopped. Only what leaves the
// lanes is masked: the random draws, envelope stage changes, line writes and
// the output. kAll: all four render.
template <bool kAll>
unsigned VoiceLanes::renderLanes(const Frame& f, RuntimeRand& rand, I4 on, F4& left, F4& right)
{
    const unsigned onBits = bits(on);
    // Per-frame settings: line levels, spread, harmonics, feedback amount.
    for (int k = 0; k < 3; ++k) lineLevel_[k] = splat(f.levels[k]);
    stereoSpread_ = splat(f.stereo);
    if (!f.envToHarm) harmonics_ = splat(f.harmonics);
    const F4 e2 = fb_.tick(on, slots_.fb + slots_.first);
    feedbackAmount_ = e2 * f.feedbackScale;
    const F4 e1 = amp_.tick(on, slots_.amp + slots_.first);
    e1_ = e1;

    // Noise: ModuleSVF::tick in band-pass mode, then the dither added.
    //   band = flushE((u - (band1 q + low1)) f + band1), low = flushE(band f + low1),
    //   and the same again on low for the second stage; the output is its band.
    const F4 u = splat(f.noiseIn);
    const F4 band = flushByExponent((u - (nBand1_ * nDamping_ + nLow1_)) * nFreq_ + nBand1_);
    const F4 low = flushByExponent(band * nFreq_ + nLow1_);
    const F4 band2 = flushByExponent((low - (nBand2_ * nDamping_ + nLow2_)) * nFreq_ + nBand2_);
    const F4 low2 = flushByExponent(band2 * nFreq_ + nLow2_);
    nBand1_ = band;
    nLow1_ = low;
    nBand2_ = band2;
    nLow2_ = low2;
    const F4 noise = band2 + f.dither;

    // Modulation sources (ModuleLFO::tick): phase += 2 x increment; past 2 it
    // restarts at -2 with a new value, drawn in slot order, then line order.
    I4 draws[3];
    for (int k = 0; k < 3; ++k) {
        const F4 phase = lfoPhase_[k] + lfoStep_[k];
        lfoPhase_[k] = phase;
        draws[k] = kAll ? phase >= 2.0f : on & (phase >= 2.0f);
    }
    if (bits(draws[0] | draws[1] | draws[2])) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 3; ++k) {
                if (!draws[k][j]) continue;
                lfoPhase_[k][j] = -2.0f;
                float held;
                lfoOutput_[k][j] = ModuleLFO::draw(rand, held);
            }
        }
    }

    // Delay times: |source| through a 2 Hz one-pole, times the range, plus the
    // base time; in frames, within 0.01 .. kLineLength - 1 (a NaN gives 0.01).
    constexpr float kLongest = (float)(kLineLength - 1);
    for (int k = 0; k < 3; ++k) {
        const F4 m = lfoOutput_[k];
        const F4 rectified = abs(m);  // m is never -0 or NaN: the same as m < 0 ? -m : m
        const F4 smoothed = smoothedMod_[k] + (rectified - smoothedMod_[k]) * modSmoothing_[k];
        smoothedMod_[k] = smoothed;
        F4 target = (smoothed * rangeMs_[k] + baseDelayMs_[k]) * msToFrames_;
        target = atLeast(target, splat(0.01f));    // target >= 0.01 ? target : 0.01
        target = atMost(target, splat(kLongest));  // target > longest ? longest : target
        targetDelay_[k] = target;
    }

    // Each line read before this frame's write, at writeIndex - delay (at
    // least one frame back), with 4-point Hermite interpolation; a neighbour
    // past the last written frame takes its value, and frames older than the
    // slot's sound (its history) read as silence.
    I4 whole[3];
    F4 t[3];
    for (int k = 0; k < 3; ++k) {
        const F4 delay = atLeast(smoothedDelay_[k], splat(1.0f));
        whole[k] = truncate(delay);
        t[k] = 1.0f - (delay - toFloat(whole[k]));
    }
    const I4 w01 = whole[0] > whole[1] ? whole[0] : whole[1];
    const I4 farthest = w01 > whole[2] ? w01 : whole[2];
    reach_ = farthest + 3;
    // Lanes whose history is shorter than the farthest read: older frames are masked.
    const I4 young = (history_ < kLineLength) & (history_ < farthest + 2);
    const bool masking = bits(young & on) != 0;
    const I4 h = young ? history_ : splat(kLineLength * 2);
    // A read at writeIndex - 1 - whole takes frames back to writeIndex - 2 -
    // whole and forward to writeIndex + 1 - whole (never past the last
    // written frame): it wraps only when the farthest reaches before index 0.
    const bool inside = bits(farthest > writeIndex_ - 2) == 0;
    F4 out[3];
    for (int k = 0; k < 3; ++k) {
        F4 ym1, y0, y1, y2;
        gather(buffer_, (writeIndex_ - 1) - whole[k], inside, ym1, y0, y1, y2);
        y2 = whole[k] < 2 ? y1 : y2;
        if (masking) {
            ym1 = whole[k] + 2 <= h ? ym1 : F4{};
            y0 = whole[k] + 1 <= h ? y0 : F4{};
            y1 = whole[k] <= h ? y1 : F4{};
            y2 = whole[k] - 1 <= h ? y2 : F4{};
        }
        const F4 tk = t[k];
        const F4 v =
            ((((2.0f * y1 + ym1) - 0.5f * (5.0f * y0 + y2)) + 0.5f * tk * ((3.0f * (y0 - y1) - ym1) + y2)) * tk +
             0.5f * (y1 - ym1)) *
                tk +
            y0;
        const F4 glided = smoothedDelay_[k] + (targetDelay_[k] - smoothedDelay_[k]) * delayGlide_;
        smoothedDelay_[k] = glided;
        out[k] = v * lineLevel_[k];
    }

    // Feedback: tanh of the lines' sum x 0.3 x amount, band-limited to
    // 120..3800 Hz by two one-poles (flushed by magnitude); an amount within
    // +-0.001 clears both.
    const F4 s3 = lanes::tanh(((out[2] + out[1]) + out[0]) * 0.3f * feedbackAmount_);
    const F4 fbLow = flushByMagnitude(feedbackLow_ + (0.93f * s3 - feedbackLow_) * lowCoef_);
    const F4 fbHigh = flushByMagnitude(feedbackHigh_ + (fbLow - feedbackHigh_) * highCoef_);
    const I4 fbOn = ~(abs(feedbackAmount_) <= 0.001f);
    const F4 newLow = fbOn ? fbLow : F4{};
    const F4 newHigh = fbOn ? fbHigh : F4{};
    feedbackLow_ = newLow;
    feedbackHigh_ = newHigh;

    // Operators: pm += (input - pm) x smoothing before each; the modulator
    // takes harmonics x its last output, the carrier the modulator's new
    // output plus its own last one.
    const F4 modPm = modulatorPm_ + (harmonics_ * modulatorOut_ - modulatorPm_) * pmSmoothing_;
    F4 modPhase = modulatorPhase_;
    const F4 modOut = operatorTick(modPhase, modulatorStep_, modPm);
    const F4 carPm = carrierPm_ + (modOut + carrierOut_ - carrierPm_) * pmSmoothing_;
    F4 carPhase = carrierPhase_;
    const F4 carOut = operatorTick(carPhase, carrierStep_, carPm);
    modulatorPm_ = modPm;
    modulatorPhase_ = modPhase;
    modulatorOut_ = modOut;
    carrierPm_ = carPm;
    carrierPhase_ = carPhase;
    carrierOut_ = carOut;

    // The lines' common input, written at writeIndex.
    const F4 in = (carOut + noise) * e1 + (newLow - newHigh) * e2;
    for (int j = 0; j < 4; ++j)
        if (kAll || (onBits >> j & 1u)) buffer_[j][writeIndex_[j]] = in[j];
    writeIndex_ = (writeIndex_ + 1) & kLineMask;
    history_ = history_ < kLineLength ? history_ + 1 : history_;
    const I4 silent = in == 0.0f;
    const I4 run = silent ? (silentRun_ < kLineLength ? silentRun_ + 1 : silentRun_) : splat(0);
    silentRun_ = run;

    // Output: line 1 and the input in the middle, lines 2 and 3 spread.
    const F4 mid = (out[2] + out[1]) * (1.0f - stereoSpread_);
    const F4 l = stereoSpread_ * out[1] + mid + in + out[0];
    const F4 r = stereoSpread_ * out[2] + mid + in + out[0];
    const I4 healthy = abs(l) + abs(r) < 1e5f;
    const unsigned failed = onBits & ~bits(healthy);
    if (kAll && !failed) {
        left = l;
        right = r;
    } else {
        const I4 keep = on & healthy;
        left = keep ? l : F4{};
        right = keep ? r : F4{};
    }
    return failed;
}

void VoiceLanes::finish(const Frame& f)
{
    const I4 on = on_;
    if (bits(on)) {
        const F4 e1 = e1_;
        lastE1_ = e1;
        if (f.envToHarm) harmonics_ = e1 * f.harmonics * 1.6f;
        // The modulator's ratio floor((0.5 e1 + Wave) x 4 + 1) and both
        // operators' tuning; each step is tune x ratio / fs x frequency.
        if (f.envToWave) modulatorRatio_ = toFloat(truncate((0.5f * e1 + f.wave) * 4.0f + 1.0f));
        // The tuning is the same for the whole span between two loads: once
        // the rendering slots have it, it is only renewed for a new ratio.
        const bool retune = !tuned_ && bits(on & (tune_ != f.tune)) != 0;
        if (!tuned_) tune_ = splat(f.tune);
        tuned_ = true;
        if (retune) carrierStep_ = tune_ * carrierRatio_ * invSampleRate_ * frequency_;
        if (f.envToWave || retune) modulatorStep_ = tune_ * modulatorRatio_ * invSampleRate_ * frequency_;
    }
    // Note mode: base <- keep x base + take x the note's period, every slot
    // that has had a note, until the glide has settled (no lane changes).
    if (f.noteGlide && glideMoving_) {
        const I4 gliding = present_ & noteSet_;
        unsigned moved = 0;
        for (int k = 0; k < 3; ++k) {
            const F4 glided = noteGlideKeep_ * baseDelayMs_[k] + noteGlideTake_ * notePeriodsMs_[k];
            moved |= bits(gliding & (glided != baseDelayMs_[k]));
            baseDelayMs_[k] = gliding ? glided : baseDelayMs_[k];
        }
        glideMoving_ = moved != 0;
    }
}
