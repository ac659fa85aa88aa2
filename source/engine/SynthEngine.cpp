#include "source/engine/SynthEngine.h"

#include <cmath>
#include <cstring>

#include "source/engine/EngineConstants.h"
#include "source/engine/Flush.h"
#include "source/engine/Lanes.h"
#include "source/engine/NoteManager.h"
#include "source/engine/NoteTable.h"
#include "source/engine/ParameterInfo.h"

namespace {

static_assert(kNumParameters == SynthEngine::kNumParams, "parameter count");

// Slots 0..8 take part in releases (slot 9 never sounds).
constexpr int kReleasedSlots = 9;
constexpr float kFeedbackSensitivity = 0.7746496f;

// The parameters the slots' state or their per-block settings are made of: a
// change of one of them hands the settings to the slots again.
constexpr uint64_t slotParameterBits()
{
    const int indices[] = {kWave,   kMastertuning, kAttack1,   kDecay1,   kSustain1, kRelease1, kRepeat,  kVelosens,
                           kSpeed1, kRange1,       kLag1,      kSpeed2,   kRange2,   kLag2,     kSpeed3,  kRange3,
                           kLag3,   kADSR2wave,    kADSR2harm, kPolyMono, kMemory,   kAttack2,  kRelease2};
    uint64_t bits = 0;
    for (int i : indices) bits |= uint64_t(1) << i;
    return bits;
}
constexpr uint64_t kSlotParameters = slotParameterBits();

// Memory mode's delay times glide one step every 256 frames at 44.1 kHz (the
// same time at other rates), counted across blocks, so the glide sounds the
// same whatever block size the host uses.
constexpr int kMemoryGlideFrames = 256;

// Pitch bend: 14-bit values from 8189 to 8195 are the centre, and the bend
// is linear in frequency between the centre and the ends.
constexpr int kBendCentre = 8192;
constexpr int kBendDeadLow = 8189, kBendDeadHigh = 8195;
constexpr double kBendScale = 1.0 / 8192.0;

// The reverb's fade in or out: 20 steps of this many seconds (127 ms in all).
constexpr float kReverbFadeStepSeconds = 0.0063492064f;
// The output DC blocker's one-pole: 2 pi x 14 Hz.
constexpr float kDcBlockerRadians = 87.96466f;
// The noise band's centre: half the note's frequency plus 2100 Hz, with 2 pi
// as the band was tuned with.
constexpr float kNoiseBandTwoPi = 6.28319f;
constexpr float kNoiseBandOffsetHz = 2100.0f;

// Magnitudes no healthy stage reaches. A voice's output stays below about 20
// and the mix below a few hundred at any setting; a stage whose output passes
// these has gone non-finite or is running away, and is cleared.
constexpr float kVoiceLimit = 1e5f;
constexpr float kMixLimit = 1e6f;
// The output handed to the host never exceeds +-16 (+24 dBFS).
constexpr float kOutputLimit = 16.0f;

// The equalizer and reverb fall asleep once nothing has been heard from them
// for kQuietFrames frames: no voice input, their mix and every value they hold
// below a step of a 24-bit sample. Asleep they give +0 instead of the noise
// the dither (about -220 dBFS) would keep circulating in them for ever.
constexpr float kQuietLevel = 5.9604645e-8f;  // 2^-24
constexpr int kQuietFrames = 4096;

bool healthy(float a, float b, float limit) { return std::fabs(a) + std::fabs(b) < limit; }

// Also for samples side by side (each lane on its own).
template <class T>
T limitOutput(T x)
{
    return x > kOutputLimit ? kOutputLimit : (x < -kOutputLimit ? -kOutputLimit : x);
}

bool on(float v) { return v >= 0.5f; }

// A frame's two draws: the dither (about +-5e-12) and the white noise (-1..1).
float ditherOf(int draw) { return ((float)draw / 32768.0f - 0.5f) * 1e-11f; }
float noiseOf(int draw) { return (float)draw * 6.1035156e-05f - 1.0f; }

// The modulator's ratio with the envelope driving Wave: floor((0.5 e1 + Wave)
// x 4 + 1), the truncation of a value of at least 1.
float envelopeRatio(float e1, float wave) { return (float)(int)((0.5f * e1 + wave) * 4.0f + 1.0f); }

// The feedback envelope's velocity: stays within 79..99 over the MIDI range.
int feedbackVelocity(int v)
{
    double dv = v;
    return (int)((79.473 - 0.579 * dv) / (1.0 - 0.009444 * dv + 0.0000163 * dv * dv));
}

}  // namespace

SynthEngine::SynthEngine()
{
    for (int s = 0; s < kVoiceSlots; ++s) {
        noiseFilter_[s].setSampleRate(kBaseRate);
        noiseFilter_[s].setFrequencyCoefficient(kTwoPi * 6500.0f / kBaseRate);
        noiseFilter_[s].setDamping(1.0f);
        voiceNote_[s] = -1;
    }
}

void SynthEngine::setup(float sampleRate)
{
    releaseLanes();
    noteFrequencyTable();
    numVoices_ = 8;
    requestedVoices_.store(8);
    noteManager_.clear();
    noteManager_.setVoiceCount(8);
    for (std::atomic<float>& v : scopeBuffer_) v.store(0.0f, std::memory_order_relaxed);
    scopeWriteIndex_.store(0);
    scopeLength_ = kScopeLength;
    peakFrameCount_ = 0;
    peakRunL_ = peakRunR_ = 0.0f;
    peakL_.store(0.0f);
    peakR_.store(0.0f);
    peakReady_.store(false);
    reverbFade_ = 0.0f;
    pitchBend_ = 1.0f;
    bendRange_ = 12.0;
    bendFactor_ = std::pow(1.059463094359, bendRange_);
    for (int& n : voiceNote_) n = -1;
    if (!(sampleRate >= kBaseRate) || !std::isfinite(sampleRate)) sampleRate = kBaseRate;
    rate_.store(sampleRate);
    adoptSampleRate(sampleRate);
    publishEqCurve();
}

void SynthEngine::resetEnvelopes()
{
    for (int s = 0; s < kVoiceSlots; ++s) {
        ampEnv_[s].reset(0.5f, 0.5f, fs_);
        fbEnv_[s].reset(0.5f, 1.0f, fs_);
    }
}

void SynthEngine::setSampleRate(float rate)
{
    // Below the minimum, not a number or infinite: the minimum.
    if (!(rate >= kBaseRate) || !std::isfinite(rate)) rate = kBaseRate;
    rate_.store(rate, std::memory_order_relaxed);
    pendingRate_.store(rate, std::memory_order_release);
}

// Audio thread (or construction): every stage restarts at the new rate.
void SynthEngine::adoptSampleRate(float rate)
{
    fs_ = rate;
    reverbMixSmoother_.setup(rate);
    reverbSendSmoother_.setup(rate);
    outputGainSmoother_.setup(rate);
    for (SynthVoice& v : voices_) v.setSampleRate(rate);
    eq_.resetDefaults(rate);
    resetEnvelopes();
    for (ModuleSVF& f : noiseFilter_) {
        f.setSampleRate(rate);
        f.setMode(2);
        f.reset();
    }
    // The envelopes start idle, so the notes held until now have ended: the
    // note manager forgets them, and the next note (also a legato one in mono
    // mode) starts its envelopes.
    noteManager_.clear();
    // Every other stage starts clean at the new rate too; the reverb's lines
    // and Memory mode's glide steps keep their lengths in seconds.
    reverb_.setSampleRate(rate);
    memoryGlideFrames_ = (int)std::lround(kMemoryGlideFrames * (double)rate / kBaseRate);
    const int glideFrames = (int)std::lround(0.01 * (double)rate);
    for (LinearGlide& g : levelGlide_) g.setLength(glideFrames);
    stereoGlide_.setLength(glideFrames);
    harmonicsGlide_.setLength(glideFrames);
    panGlide_.setLength(glideFrames);
    memoryGlidePhase_ = 0;
    dcState_[0] = dcState_[1] = 0.0f;
    wakeChain();
    for (float& e : lastE1_) e = 0.0f;
}

float SynthEngine::sampleRate() const { return rate_.load(std::memory_order_relaxed); }

void SynthEngine::setParameter(int index, float value)
{
    if (index < 0 || index >= kNumParams) return;
    params_[index].store(value, std::memory_order_relaxed);
    const uint64_t bit = uint64_t(1) << index;
    setParams_.fetch_or(bit, std::memory_order_relaxed);
    pendingParams_.fetch_or(bit, std::memory_order_release);
    if (index == kPolyMono) requestedVoices_.store(on(value) ? 1 : 8, std::memory_order_release);
    if (index >= kEQHPHz && index <= kEQBRGain) publishEqCurve();
}

// The equalizer's response for the editor, from the parameters as they are
// now, computed on the calling thread with sections of its own.
void SynthEngine::publishEqCurve()
{
    Equalizer e;
    e.resetDefaults(rate_.load(std::memory_order_relaxed));
    e.setHighPassValue(params_[kEQHPHz].load(std::memory_order_relaxed));
    e.setLowPassValue(params_[kEQLPHz].load(std::memory_order_relaxed));
    e.setNotchValue(params_[kEQBRHz].load(std::memory_order_relaxed));
    e.setNotchWidthValue(params_[kEQBRBW].load(std::memory_order_relaxed));
    e.setNotchDepthValue(params_[kEQBRGain].load(std::memory_order_relaxed));
    e.design();
    e.computeCurve();
    for (int i = 0; i < kEqCurvePoints; ++i) eqCurve_[i].store(e.curve()[i], std::memory_order_relaxed);
}

// Audio thread, at a block's start: a new rate, a resume, the voice count and
// the parameters changed since the last block are taken over whole.
SynthEngine::Adopted SynthEngine::adoptChanges()
{
    uint64_t changed = pendingParams_.exchange(0, std::memory_order_acquire);
    const float rate = pendingRate_.exchange(0.0f, std::memory_order_acquire);
    const bool resume = pendingResume_.exchange(false, std::memory_order_acquire);
    const int requested = requestedVoices_.load(std::memory_order_acquire);
    const bool slotsChange = rate > 0.0f || resume || requested != numVoices_ || (changed & kSlotParameters) != 0;
    const bool any = slotsChange || changed != 0;
    if (slotsChange) releaseLanes();
    if (rate > 0.0f) {
        adoptSampleRate(rate);
        changed |= setParams_.load(std::memory_order_relaxed);
    }
    if (resume) {
        noteManager_.clear();
        for (SynthVoice& v : voices_) v.clearLines();
    }
    for (int i = 0; changed != 0; ++i, changed >>= 1)
        if (changed & 1u) applyParameter(i, params_[i].load(std::memory_order_relaxed));
    if (requested != numVoices_) applyVoiceCount(requested);
    return Adopted{any, slotsChange};
}

void SynthEngine::applyParameter(int index, float value)
{
    switch (index) {
    case kWave:
        waveValue_ = value;
        break;
    case kHarmonics:
        harmonicsGlide_.setTarget(value);
        glidesMoving_ = true;
        break;
    case kOn1:
    case kOn2:
    case kOn3:
        levelGlide_[(index - kOn1) / (kOn2 - kOn1)].setTarget(value);
        glidesMoving_ = true;
        break;
    case kStereo:
        stereoGlide_.setTarget(value);
        glidesMoving_ = true;
        break;
    case kPan:
        panGlide_.setTarget(value);
        glidesMoving_ = true;
        break;
    case kMastertuning:
        masterTune_ = parameterValue(index, value);
        break;
    case kAttack1:
        for (ModuleADSR& e : ampEnv_) e.setAttack(parameterValue(index, value));
        break;
    case kDecay1:
        for (ModuleADSR& e : ampEnv_) e.setDecay(parameterValue(index, value));
        break;
    case kSustain1:
        for (ModuleADSR& e : ampEnv_) e.setSustain(parameterValue(index, value));
        break;
    case kRelease1:
        for (ModuleADSR& e : ampEnv_) e.setRelease(parameterValue(index, value));
        break;
    case kRepeat:
        for (ModuleADSR& e : ampEnv_) e.setRepeat(value > 0.1f, (int)parameterValue(index, value));
        break;
    case kVelosens:
        for (ModuleADSR& e : ampEnv_) e.setVelocitySensitivity(parameterValue(index, value));
        for (ModuleADSR& e : fbEnv_) e.setVelocitySensitivity(kFeedbackSensitivity);
        break;
    case kAttack2:
        for (ModuleADSR& e : fbEnv_) e.setAttack(parameterValue(index, value));
        break;
    case kRelease2:
        for (ModuleADSR& e : fbEnv_) e.setRelease(parameterValue(index, value));
        break;
    case kReverbSize:
        reverb_.roomSize = parameterValue(index, value);
        reverb_.damp = (2.0f - value) * 0.4f;
        reverb_.update();
        break;
    case kReverbMix:
        reverbMixTarget_ = parameterValue(index, value);
        break;
    case kEQHPHz:
        eq_.setHighPassValue(value);
        eq_.design();
        break;
    case kEQLPHz:
        eq_.setLowPassValue(value);
        eq_.design();
        break;
    case kEQBRHz:
        eq_.setNotchValue(value);
        eq_.design();
        break;
    case kEQBRBW:
        eq_.setNotchWidthValue(value);
        eq_.design();
        break;
    case kEQBRGain:
        eq_.setNotchDepthValue(value);
        eq_.design();
        break;
    default:
        break;  // read by the block loop
    }
}

float SynthEngine::parameter(int index) const
{
    return (index >= 0 && index < kNumParams) ? params_[index].load(std::memory_order_relaxed) : 0.0f;
}

void SynthEngine::suspend()
{
    peakL_.store(0.0f, std::memory_order_relaxed);
    peakR_.store(0.0f, std::memory_order_relaxed);
}

void SynthEngine::resume()
{
    suspend();
    pendingResume_.store(true, std::memory_order_release);
}

void SynthEngine::applyVoiceCount(int n)
{
    numVoices_ = n;
    noteManager_.setVoiceCount(n);
    for (int s = 0; s < kReleasedSlots; ++s) ampEnv_[s].noteOff();
}

bool SynthEngine::addEvent(const MidiEvent& event) { return events_.add(event); }

void SynthEngine::dispatchEventsAt(int frame)
{
    while (const MidiEvent* e = events_.due(frame)) midiMessage(e->status, e->data1, e->data2);
}

void SynthEngine::midiMessage(unsigned char status, unsigned char data1, unsigned char data2)
{
    releaseLanes();
    const int note = data1 & 0x7F;
    const int value = data2 & 0x7F;
    switch (status & 0xF0) {
    case 0x90:
        noteEvent(note, value, value > 0);
        break;
    case 0x80:
        noteEvent(note, value, false);
        break;
    case 0xE0:
        pitchBendMessage(value * 128 + note);
        break;
    case 0xB0:
        if (note == 123) allNotesOff();
        break;
    default:
        break;
    }
}

void SynthEngine::pitchBendMessage(int value)
{
    const double r = bendFactor_;
    if (value > kBendDeadHigh) {
        double x = value * kBendScale - 1.0;
        pitchBend_ = (float)(r * x + 1.0 - x);
    } else if (value < kBendDeadLow) {
        double x = (kBendCentre - value) * kBendScale;
        pitchBend_ = (float)(1.0 / (r * x + 1.0 - x));
    } else {
        pitchBend_ = 1.0f;
    }
}

void SynthEngine::releaseSlot(int slot, bool feedbackToo)
{
    ampEnv_[slot].noteOff();
    if (feedbackToo) fbEnv_[slot].noteOff();
}

void SynthEngine::allNotesOff()
{
    for (int s = 0; s < kReleasedSlots; ++s) releaseSlot(s, true);
    for (SynthVoice& v : voices_) v.clearLines();
    noteManager_.clear();
}

unsigned SynthEngine::idleSlots() const
{
    unsigned mask = 0;
    for (int s = 0; s < 8; ++s)
        if (ampEnv_[s].idle()) mask |= 1u << s;
    return mask;
}

void SynthEngine::tuneSlot(int slot, int note, bool noiseFilter)
{
    const float f = noteFrequencyTable()[note];
    voices_[slot].setNoteFrequency(f);
    // A slot that was silent takes the bend of this moment, not the one its
    // block started with.
    voices_[slot].setTune(pitchBend_ * masterTune_);
    if (noiseFilter)
        noiseFilter_[slot].setFrequencyCoefficient((1.0f / fs_) * kNoiseBandTwoPi * (0.5f * f + kNoiseBandOffsetHz));
}

void SynthEngine::noteEvent(int note, int velocity, bool noteOn)
{
    // Fold into 12..116, then the octave switch: 0..128 (entry 128 is one step
    // past the MIDI range in the frequency table).
    if (note < 12)
        note += 12;
    else if (note > 116)
        note -= 12;
    const float octave = params_[kOctave];
    if (octave < 0.33333334f)
        note -= 12;
    else if (octave > 0.6666667f)
        note += 12;

    const bool mono = numVoices_ == 1;
    if (noteOn) {
        // A slot that has fallen quiet starts this note without its earlier
        // notes' echoes.
        for (int s = 0; s < numVoices_; ++s)
            if (!slotSounding(s)) voices_[s].startFresh();
        int slot = noteManager_.noteOn(note, velocity, idleSlots());
        if (slot >= 0) {
            int v = noteManager_.velocity(slot);
            ampEnv_[slot].trigger(v);
            fbEnv_[slot].trigger(feedbackVelocity(v));
        }
        if (mono) slot = 0;
        if (slot < 0 || slot >= kVoiceSlots) return;
        tuneSlot(slot, note, false);
        voiceNote_[slot] = note;
        voices_[slot].setNotePeriods(notePeriodMsTable(), note, lagSemitones_);
        tuneSlot(slot, note, true);
    } else {
        bool found = false;
        int slot = noteManager_.noteOff(note, &found);
        if (slot >= 0 && slot < kVoiceSlots) releaseSlot(slot, true);
        if (mono && found) {
            // The pitch returns to the note now on top (envelopes untouched).
            int top = noteManager_.topNote();
            if (top >= 0 && top < kNoteTableSize) tuneSlot(0, top, false);
        }
    }
}

// True when this frame's output is +0 whatever the dither: no slot renders or
// glides its delay times, the equalizer and reverb are off (with no fade
// left) or asleep, the parameter glides rest and the DC blocker holds 0. The sum of no
// voices is +0, and +0 passes the gain, pan, guard, limit and DC blocker as +0.
inline bool SynthEngine::silentFrame(const Block& b, const VoiceLanes* lanes) const
{
    // The DC blocker's state is the first to tell that something sounds.
    if (dcState_[0] != 0.0f || dcState_[1] != 0.0f || !chainSilent(b)) return false;
    for (int h = 0; h < kLaneGroups; ++h)
        if (!lanes[h].quiet(!b.memoryOn)) return false;
    for (const LinearGlide& glide : levelGlide_)
        if (!glide.settled()) return false;
    return stereoGlide_.settled() && harmonicsGlide_.settled() && panGlide_.settled();
}

void SynthEngine::process(float* outL, float* outR, int frames, bool publishDisplays)
{
    if (frames <= 0 || !outL || !outR) {
        events_.clear();
        return;
    }
    Block b;
    startBlock(b);
    // The slots' running state lives in the lanes; events see it in the slots.
    VoiceLanes* const lanes = lanes_;
    // Chunks of frames: the voices frame by frame, then the master chain over
    // the chunk (its reverb several frames at a time).
    for (int i0 = 0; i0 < frames;) {
        // Chunks end on multiples of kChunk frames counted from the engine's
        // start, whatever the block size, so the chain falls asleep at the
        // same frame at every block size.
        const int n = frames - i0 < kChunk - chunkPhase_ ? frames - i0 : kChunk - chunkPhase_;
        // A stage switched on while the chain sleeps may hold sound of its own.
        if (chainAsleep_ && ((b.eqOn && !sleptWithEq_) || (b.reverbOn && !sleptWithReverb_))) wakeChain();
        // With nothing sounding and no event to come in the chunk, it stays silent.
        const bool silent = !events_.dueBy(i0 + n - 1) && silentFrame(b, lanes);
        Chunk c;
        // The slot that renders on its own, if only one does (it changes only
        // when the lanes load again, at an event): the frames in which nothing
        // else happens go to renderAlone. (A member, not a local: a register
        // held across the frame loop costs more than the load.)
        lone_ = silent ? -1 : loneSlot();
        for (int t = 0; t < n; ++t) {
            if (lone_ >= 0 && !glidesMoving_) {
                if (const int rendered = renderAlone(lone_, b, i0 + t, t, n, c)) {
                    t += rendered - 1;
                    continue;
                }
            }
            frame(b, silent, i0 + t, t, c);
        }
        // An asleep chain wakes at the first frame a voice gives something.
        int from = 0;
        if (!silent && chainAsleep_) {
            while (from < n && c.left[from] == 0.0f && c.right[from] == 0.0f) ++from;
            if (from < n) wakeChain();
        }
        if (silent) from = n;
        restingFrames(b, 0, from, outL + i0, outR + i0, publishDisplays);
        if (from < n) masterChain(b, c, from, n, outL + i0, outR + i0, publishDisplays);
        chunkPhase_ = (chunkPhase_ + n) % kChunk;
        if (chunkPhase_ == 0 && !chainAsleep_ && quietFrames_ >= kQuietFrames && !fallAsleep(b)) quietFrames_ = 0;
        i0 += n;
    }
    events_.clear();
}

VoiceLanes::Slots SynthEngine::laneSlots(int group)
{
    return VoiceLanes::Slots{voices_,    ampEnv_,   fbEnv_,     noiseFilter_,         lastE1_,
                             voiceNote_, 4 * group, numVoices_, voiceFrame_.noteGlide};
}

void SynthEngine::loadLanes()
{
    for (int h = 0; h < kLaneGroups; ++h) lanes_[h].load(laneSlots(h));
    lanesHold_ = true;
}

// Writes the slots through the lanes' own pointers: the slots are a copy of
// the state the lanes hold, brought up to date here.
void SynthEngine::syncSlots() const
{
    if (!lanesHold_) return;
    for (const VoiceLanes& group : lanes_) group.store();
}

// The block's constants, and the slots' per-block settings when what they
// are made of changed.
void SynthEngine::startBlock(Block& b)
{
    const Adopted adopted = adoptChanges();
    // Nothing adopted, and the lanes still hold the slots: the last block's
    // constants and the slots' settings stay.
    const bool fresh = !lanesHold_;
    if (adopted.any || fresh) blockConstants(block_);
    b = block_;
    const float harmonics = harmonicsGlide_.value();
    if (adopted.slots || fresh || harmonics != handedHarmonics_) {
        handOver(b, harmonics);
        loadLanes();
        return;
    }
    // The lanes carry on; a group in which slots stopped rendering looks again
    // at which still do (fewer lanes, or the scalar code).
    for (int h = 0; h < kLaneGroups; ++h) {
        if (!lanes_[h].shrunk()) continue;
        lanes_[h].store();
        lanes_[h].load(laneSlots(h));
    }
}

void SynthEngine::blockConstants(Block& b)
{
    float p[kNumParams];
    for (int i = 0; i < kNumParams; ++i) p[i] = params_[i].load(std::memory_order_relaxed);

    b.memoryOn = on(p[kMemory]);
    b.envToWave = on(p[kADSR2wave]);
    b.envToHarm = on(p[kADSR2harm]);
    b.wave = waveValue_;
    const int lagIndex[3] = {kLag1, kLag2, kLag3};
    for (int k = 0; k < 3; ++k) {
        b.lag[k] = p[lagIndex[k]];
        lagSemitones_[k] = (int)(24.0f * b.lag[k] + 0.5f);
    }
    b.sendTarget = (1.0f - 0.25f * p[kReverbSize]) - 0.25f * p[kReverbMix];
    const float fadeWhole = fs_ * kReverbFadeStepSeconds;
    const int fadeFrames = fadeWhole < 1e9f ? (int)fadeWhole : 1000000000;
    b.fadeStep = 0.05f / (float)(fadeFrames > 0 ? fadeFrames : 1);
    b.dcCoef = kDcBlockerRadians / fs_;
    b.eqOn = on(p[kEQOn]);
    b.reverbOn = on(p[kReverbOn]);
    b.feedbackScale = p[kFdBkAmount] * 1.6f * 5.0f * (on(p[kFdBkPhase]) ? -1.0f : 1.0f);
    b.noiseLevel = p[kNoise];
    b.gainTarget = parameterValue(kGain_out, p[kGain_out]);

    // What every frame hands to the slots that stays for the block.
    voiceFrame_.feedbackScale = b.feedbackScale;
    voiceFrame_.wave = b.wave;
    voiceFrame_.envToHarm = b.envToHarm;
    voiceFrame_.envToWave = b.envToWave;
    voiceFrame_.noteGlide = !b.memoryOn;
}

// The per-block settings of all ten slots. Line levels and stereo spread are
// handed over with every rendered frame. With the envelope driving Wave or
// Harmonics, a slot keeps the value its envelope gave it at its last frame, so
// block boundaries leave no trace in the sound.
void SynthEngine::handOver(const Block& b, float harmonics)
{
    releaseLanes();
    handedHarmonics_ = harmonics;
    const float ratio = parameterValue(kWave, parameter(kWave));
    float rangeMs[3], rate[3];
    for (int k = 0; k < 3; ++k) {
        rangeMs[k] = parameterValue(kRange1, parameter(kRange1 + k * (kRange2 - kRange1)));
        rate[k] = parameterValue(kSpeed1, parameter(kSpeed1 + k * (kSpeed2 - kSpeed1)));
    }
    for (int s = 0; s < kVoiceSlots; ++s) {
        SynthVoice& v = voices_[s];
        v.setRatio(b.envToWave ? envelopeRatio(lastE1_[s], b.wave) : ratio);
        v.setHarmonics(b.envToHarm ? lastE1_[s] * harmonics * 1.6f : harmonics);
        for (int k = 0; k < 3; ++k) {
            v.setRangeMs(k, rangeMs[k]);
            v.setModulationRate(k, rate[k]);
        }
        v.setTune(pitchBend_ * masterTune_);
        if (voiceNote_[s] != -1) v.setNotePeriods(notePeriodMsTable(), voiceNote_[s], lagSemitones_);
    }
}

// Glides at their targets hold their values: no ticks until a target changes.
void SynthEngine::tickGlides(Glided& g)
{
    if (glidesMoving_) {
        for (int k = 0; k < 3; ++k) glided_.levels[k] = levelGlide_[k].tick();
        glided_.stereo = stereoGlide_.tick();
        glided_.harmonics = harmonicsGlide_.tick();
        glided_.pan = panGlide_.tick();
        glidesMoving_ = !(levelGlide_[0].settled() && levelGlide_[1].settled() && levelGlide_[2].settled() &&
                          stereoGlide_.settled() && harmonicsGlide_.settled() && panGlide_.settled());
    }
    g = glided_;
}

// Frame t of the chunk (frame i of the block): the Memory-mode glide step
// when due, the frame's events, its two draws, the parameter glides and the
// voices' sums.
__attribute__((always_inline)) inline void SynthEngine::frame(const Block& b, bool silent, int i, int t, Chunk& c)
{
    if (memoryGlidePhase_ == 0 && b.memoryOn) {
        const float add[3] = {25.0f * b.lag[0], 25.0f * b.lag[1], 25.0f * b.lag[2]};
        for (VoiceLanes& group : lanes_) group.glideBaseDelays(add);
        for (int s = kLaneGroups * 4; s < kVoiceSlots; ++s) voices_[s].glideBaseDelays(add[0], add[1], add[2]);
    }
    if (++memoryGlidePhase_ >= memoryGlideFrames_) memoryGlidePhase_ = 0;

    if (events_.dueBy(i)) {
        dispatchEventsAt(i);
        loadLanes();
        lone_ = silent ? -1 : loneSlot();
    }
    if (silent) {
        rand_.next();  // the frame's dither and noise draws
        rand_.next();
        return;
    }
    const float d = ditherOf(rand_.next());
    const float w = noiseOf(rand_.next());
    Glided g;
    tickGlides(g);
    renderVoices(lanes_, b, g, w, d, c.left[t], c.right[t]);
    c.dither[t] = d;
    c.pan[t] = g.pan;
}

// The slot to render on its own (renderAlone) when it is the only one to
// visit, and its group is left to the scalar code; -1 otherwise.
int SynthEngine::loneSlot() const
{
    int slot = -1;
    for (int h = 0; h < kLaneGroups; ++h) {
        const unsigned visit = lanes_[h].visit();
        if (!visit) continue;
        if (slot >= 0 || !lanes_[h].scalar() || (visit & (visit - 1)) != 0) return -1;
        slot = 4 * h + __builtin_ctz(visit);
    }
    return slot;
}

// Frames t.. of the chunk (frame i of the block on) while slot s renders on
// its own and nothing else happens: no event, no Memory-mode glide step, no
// parameter glide (the caller checks), the same tuning. Each frame is the
// one that the frame loop and renderSlot give, with the same operations in
// the same order. Returns the frames rendered: 0 when the span cannot start
// here, fewer than asked when the slot stops rendering (the frame loop takes
// over) or its output runs away (it is cleared after that frame).
int SynthEngine::renderAlone(int s, const Block& b, int i, int t, int n, Chunk& c)
{
    // The span ends before the next event and, in Memory mode, before the
    // next glide step (at the frame where the counter is back at 0). The
    // counter is advanced by the frames rendered, as every frame advances it.
    const int phase = memoryGlidePhase_, period = memoryGlideFrames_;
    if (phase >= period || (b.memoryOn && phase == 0)) return 0;
    int frames = events_.framesBefore(i, n - t);
    if (b.memoryOn && period - phase < frames) frames = period - phase;
    // renderSlot sets the tuning after each frame; a span starts only when
    // that changes nothing.
    SynthVoice& slot = voices_[s];
    if (frames <= 0 || !slot.tunedTo(pitchBend_ * masterTune_)) return 0;

    // The slot's running state in locals for the span: stores through float
    // pointers (the delay memory, the chunk) would otherwise force every
    // float member to be loaded again in each frame.
    VoiceCore voice = slot;
    ModuleADSR amp = ampEnv_[s], fb = fbEnv_[s];
    ModuleSVF noise = noiseFilter_[s];
    RuntimeRand rand = rand_;
    float* const lines = slot.lines();
    const VoiceLanes::Frame& f = voiceFrame_;  // the block's constants
    const Glided g = glided_;                  // the glides rest
    // What renderSlot sets before every frame is the same in every frame of
    // the span: set once.
    voice.setLineLevels(g.levels);
    voice.setStereoSpread(g.stereo);
    if (!f.envToHarm) voice.setHarmonics(g.harmonics);
    const bool glide = f.noteGlide && voiceNote_[s] != -1;
    float e1 = lastE1_[s];
    int k = t;
    for (const int end = t + frames; k < end;) {
        if (amp.idle() && fb.idle() && !voice.ringing()) break;
        const float d = ditherOf(rand.next());
        const float w = noiseOf(rand.next());
        const float e2 = fb.tick();
        voice.setFeedbackAmount(e2 * f.feedbackScale);
        e1 = amp.tick();
        const float nz = noise.tick(w * b.noiseLevel + d) + d;
        float l, r;
        voice.renderFrameTo(lines, &l, &r, e1, e2, nz, rand);
        const bool failed = !healthy(l, r, kVoiceLimit);
        if (failed) {
            // The slot is cleared (from its own state) and renders on from there.
            static_cast<VoiceCore&>(slot) = voice;
            noiseFilter_[s] = noise;
            recoverSlot(s);
            voice = slot;
            noise = noiseFilter_[s];
            l = r = 0.0f;
        }
        // The sums of this one slot, started at 0 as the frame loop starts them.
        c.left[k] = 0.0f + l;
        c.right[k] = 0.0f + r;
        c.dither[k] = d;
        c.pan[k] = g.pan;
        if (f.envToHarm) voice.setHarmonics(e1 * g.harmonics * 1.6f);
        if (f.envToWave) voice.setRatio(envelopeRatio(e1, f.wave));
        if (glide) voice.glideToNote();
        ++k;
        if (failed) break;
    }
    static_cast<VoiceCore&>(slot) = voice;
    ampEnv_[s] = amp;
    fbEnv_[s] = fb;
    noiseFilter_[s] = noise;
    rand_ = rand;
    lastE1_[s] = e1;
    memoryGlidePhase_ = (phase + k - t) % period;
    return k - t;
}

// One frame of every slot below the voice count, summed in slot order.
__attribute__((always_inline)) inline void SynthEngine::renderVoices(VoiceLanes* lanes, const Block& b, const Glided& g,
                                                                     float w, float d, float& sumL, float& sumR)
{
    VoiceLanes::Frame& f = voiceFrame_;
    f.noiseIn = w * b.noiseLevel + d;
    f.dither = d;
    f.levels = g.levels;
    f.stereo = g.stereo;
    f.harmonics = g.harmonics;
    f.tune = pitchBend_ * masterTune_;
    sumL = sumR = 0.0f;
    for (int h = 0; h < kLaneGroups; ++h) {
        VoiceLanes& group = lanes[h];
        const unsigned visit = group.visit();
        if (!visit) continue;
        if (group.scalar()) {
            for (unsigned v = visit; v; v &= v - 1) renderSlot(4 * h + __builtin_ctz(v), f, sumL, sumR);
            continue;
        }
        F4 l, r;
        if (const unsigned failed = group.render(f, rand_, l, r)) {
            // A slot whose output ran away is cleared (its share of this frame is 0).
            group.store();
            for (int j = 0; j < 4; ++j)
                if (failed >> j & 1u) recoverSlot(4 * h + j);
            group.load(laneSlots(h));
        }
        // sumL += l[j], sumR += r[j] for j = 0..3, left and right side by side.
        F4 sum = {sumL, sumR, 0.0f, 0.0f};
        const F4 lr01 = __builtin_shufflevector(l, r, 0, 4, 1, 5), lr23 = __builtin_shufflevector(l, r, 2, 6, 3, 7);
        sum += lr01;
        sum += __builtin_shufflevector(lr01, lr01, 2, 3, 2, 3);
        sum += lr23;
        sum += __builtin_shufflevector(lr23, lr23, 2, 3, 2, 3);
        sumL = sum[0];
        sumR = sum[1];
        group.finish(f);
    }
}

// One slot's frame on its own (the one slot of its group that renders, or a
// slot that only glides its delay times): the frame that VoiceLanes renders
// for four slots at once. Inlined into the frame loop, as renderVoices is.
__attribute__((always_inline)) inline void SynthEngine::renderSlot(int s, const VoiceLanes::Frame& f, float& sumL,
                                                                   float& sumR)
{
    SynthVoice& voice = voices_[s];
    // A slot whose envelopes have ended keeps rendering silent input
    // while its lines still hold echoes within reach.
    if (!ampEnv_[s].idle() || !fbEnv_[s].idle() || voice.ringing()) {
        voice.setLineLevels(f.levels);
        voice.setStereoSpread(f.stereo);
        if (!f.envToHarm) voice.setHarmonics(f.harmonics);
        const float e2 = fbEnv_[s].tick();
        voice.setFeedbackAmount(e2 * f.feedbackScale);
        const float e1 = ampEnv_[s].tick();
        const float n = noiseFilter_[s].tick(f.noiseIn) + f.dither;
        float l, r;
        voice.renderFrame(&l, &r, e1, e2, n, rand_);
        if (!healthy(l, r, kVoiceLimit)) {
            recoverSlot(s);
            l = r = 0.0f;
        }
        sumL += l;
        sumR += r;
        lastE1_[s] = e1;
        if (f.envToHarm) voice.setHarmonics(e1 * f.harmonics * 1.6f);
        if (f.envToWave) voice.setRatio(envelopeRatio(e1, f.wave));
        voice.setTune(f.tune);
    }
    if (f.noteGlide && voiceNote_[s] != -1) voice.glideToNote();
}

// Equalizer, reverb with its fade, gain and pan, float guard, limit and DC
// blocker over a chunk: the voices' sums in, the host's samples out. Each
// frame gives the samples the stages give one frame at a time. The chain runs
// stage by stage over the chunk's frames: what stays the same over the chunk
// (a stage off, a glide at rest) is decided once, and the steps with no
// frame-to-frame dependency run as loops without branches, several frames at
// a time.
void SynthEngine::masterChain(const Block& b, const Chunk& c, int from, int n, float* outL, float* outR,
                              bool publishDisplays)
{
    // Equalizer, with the dither added to its input. The reverb takes its
    // output (the voices' sums while it is off); a runaway output clears the
    // equalizer after its frame and is silent in the dry path.
    float eqL[kChunk], eqR[kChunk];
    const float *sendL = c.left, *sendR = c.right;
    bool runaway = false;
    if (b.eqOn) {
        sendL = eqL;
        sendR = eqR;
        for (int t = from; t < n;) {
            t += eq_.process(c.left + t, c.right + t, c.dither + t, eqL + t, eqR + t, n - t,
                             [](float l, float r) { return !healthy(l, r, kMixLimit); });
            if (!healthy(eqL[t - 1], eqR[t - 1], kMixLimit)) {
                eq_.clearStates();
                runaway = true;
            }
        }
    } else {
        int bad = 0;
        for (int t = from; t < n; ++t) bad |= !healthy(c.left[t], c.right[t], kMixLimit);
        if (bad) {
            eq_.clearStates();
            runaway = true;
        }
    }
    float dryL[kChunk], dryR[kChunk];
    const float *L = sendL, *R = sendR;
    if (runaway) {
        for (int t = from; t < n; ++t) {
            const bool ok = healthy(sendL[t], sendR[t], kMixLimit);
            dryL[t] = ok ? sendL[t] : 0.0f;
            dryR[t] = ok ? sendR[t] : 0.0f;
        }
        L = dryL;
        R = dryR;
    }

    // The reverb's gains and input while it runs (on, or fading out: the
    // frames it runs are the chunk's frames from `from` up to `run`).
    float wet1[kChunk], wet2[kChunk], dry[kChunk], inL[kChunk], inR[kChunk], fade[kChunk];
    int run = from;
    if (reverbSettled(b)) {
        // Faded in, mix and send at rest: the same gains every frame.
        const float m = reverbMixSmoother_.value, send = reverbSendSmoother_.value;
        reverb_.wet = 3.0f * m;
        reverb_.updateWet();
        reverb_.dry = 1.0f - m;
        reverbFade_ = 1.0f;
        const float w1 = reverb_.wet1, w2 = reverb_.wet2, d = reverb_.dry;
        for (int t = from; t < n; ++t) {
            wet1[t] = w1;
            wet2[t] = w2;
            dry[t] = d;
            inL[t] = send * sendL[t] + c.dither[t];
            inR[t] = send * sendR[t] + c.dither[t];
            fade[t] = 1.0f;
        }
        run = n;
    } else if (b.reverbOn || reverbFade_ > 0.0f) {
        // Fading in or out, or its mix or send gliding: frame by frame.
        for (int t = from; t < n; ++t) {
            float m, send;
            if (tickReverbGlides(b, m, send)) {
                reverb_.wet = 3.0f * m;
                reverb_.updateWet();
                reverb_.dry = 1.0f - m;
                wet1[t] = reverb_.wet1;
                wet2[t] = reverb_.wet2;
                dry[t] = reverb_.dry;
                inL[t] = send * sendL[t] + c.dither[t];
                inR[t] = send * sendR[t] + c.dither[t];
                run = t + 1;
            }
            fade[t] = reverbFade_;
        }
    } else {
        // Off and faded out: nothing glides, the fade stays where it is.
        for (int t = from; t < n; ++t) fade[t] = reverbFade_;
    }
    // A runaway output clears the reverb after its frame (silent), and the
    // frames after it run again from the cleared state. The frames it does
    // not run give 0.
    float revL[kChunk], revR[kChunk];
    for (int t = run; t < n; ++t) revL[t] = revR[t] = 0.0f;
    for (int at = from; at < run;) {
        reverb_.processBlock(inL + at, inR + at, wet1 + at, wet2 + at, dry + at, revL + at, revR + at, run - at);
        // Flushed and checked over all the frames first (the frames after a
        // runaway one are run again and replaced).
        int failed = 0;
        for (int t = at; t < run; ++t) {
            revL[t] = flushByExponent(revL[t]);
            revR[t] = flushByExponent(revR[t]);
            failed |= !healthy(revL[t], revR[t], kMixLimit);
        }
        if (!failed) break;
        int bad = at;
        while (healthy(revL[bad], revR[bad], kMixLimit)) ++bad;
        reverb_.clearAndRewind(run - 1 - bad);
        revL[bad] = revR[bad] = 0.0f;
        at = bad + 1;
    }

    // The output gain's glide: one value for the whole chunk once it rests.
    float gain[kChunk];
    if (outputGainSmoother_.settled(b.gainTarget)) {
        const float g = outputGainSmoother_.value;
        for (int t = from; t < n; ++t) gain[t] = g;
    } else {
        for (int t = from; t < n; ++t) gain[t] = outputGainSmoother_.tick(b.gainTarget);
    }
    // The reverb's fade between the dry path and the reverb, gain and pan.
    float mixL[kChunk], mixR[kChunk], oL[kChunk], oR[kChunk];
    for (int t = from; t < n; ++t) {
        const float f = fade[t], pan = c.pan[t];
        mixR[t] = revR[t] * f + (1.0f - f) * R[t];
        mixL[t] = revL[t] * f + (1.0f - f) * L[t];
        oR[t] = mixR[t] * gain[t] * pan;
        oL[t] = mixL[t] * (1.0f - pan) * gain[t];
    }

    // Nothing heard in a frame: no voice input and the mix below the quiet
    // level. The count of such frames in a row starts again after the last
    // frame with something heard (looked for from the chunk's end).
    static_assert(kChunk < kQuietFrames, "a chunk's quiet frames never reach the count's end");
    int heard = n - 1;
    while (heard >= from && c.left[heard] == 0.0f && c.right[heard] == 0.0f && std::fabs(mixL[heard]) < kQuietLevel &&
           std::fabs(mixR[heard]) < kQuietLevel)
        --heard;
    if (heard >= from)
        quietFrames_ = n - 1 - heard;
    else
        quietFrames_ = n - from < kQuietFrames - quietFrames_ ? quietFrames_ + n - from : kQuietFrames;

    // The float guard checks the frames in order (left, then right), only in a
    // chunk where some sample is not finite.
    int nonFinite = 0;
    for (int t = from; t < n; ++t) nonFinite |= !FloatGuard::finite(oL[t]) | !FloatGuard::finite(oR[t]);
    if (nonFinite) {
        for (int t = from; t < n; ++t) {
            floatGuard_.check(oL[t], 1);
            floatGuard_.check(oR[t], 2);
        }
    }

    // DC blocker on the bounded output; what reaches the host is finite,
    // within +-2 x kOutputLimit, and never denormal.
    // Left and right side by side (lanes 0 and 1), each lane the scalar
    // arithmetic of its channel.
    F4 dc = {dcState_[0], dcState_[1], 0.0f, 0.0f};
    const float dcCoef = b.dcCoef;
    for (int t = from; t < n; ++t) {
        const F4 o = limitOutput(F4{oL[t], oR[t], 0.0f, 0.0f});
        dc = lanes::flushByMagnitude(dc + (o - dc) * dcCoef);
        const F4 out = lanes::flushByMagnitude(o - dc);
        outL[t] = out[0];
        outR[t] = out[1];
    }
    dcState_[0] = dc[0];
    dcState_[1] = dc[1];
    if (publishDisplays) publishFrames(outL + from, outR + from, n - from);
}

// True when the reverb is faded in with its mix and send at rest: its glides
// give the same values every frame.
bool SynthEngine::reverbSettled(const Block& b) const
{
    return b.reverbOn && reverbFade_ >= 1.0f && reverbMixSmoother_.settled(reverbMixTarget_) &&
           reverbSendSmoother_.settled(b.sendTarget);
}

// One frame of the reverb's mix and send glides and of its fade in or out;
// false (and nothing moves) once it is off and faded out.
bool SynthEngine::tickReverbGlides(const Block& b, float& mix, float& send)
{
    if (!b.reverbOn && reverbFade_ <= 0.0f) return false;
    mix = reverbMixSmoother_.tick(reverbMixTarget_);
    send = reverbSendSmoother_.tick(b.sendTarget);
    if (b.reverbOn) {
        reverbFade_ = reverbFade_ >= 1.0f ? 1.0f : reverbFade_ + b.fadeStep;
    } else {
        reverbFade_ -= b.fadeStep;
        if (reverbFade_ < 1e-7f) reverbFade_ = 0.0f;
    }
    return true;
}

// Frames the chain gives +0 for (silent, or asleep with no voice input): the
// output gain and the reverb's glides and fade move on as they would.
void SynthEngine::restingFrames(const Block& b, int from, int to, float* outL, float* outR, bool publishDisplays)
{
    if (from >= to) return;
    if (!chainAsleep_) quietFrames_ = to - from < kQuietFrames - quietFrames_ ? quietFrames_ + to - from : kQuietFrames;
    // Glides at rest stay where they are: nothing to tick.
    const bool reverbSteady = reverbSettled(b);
    if (reverbSteady) reverbFade_ = 1.0f;
    if (!(reverbSteady || (!b.reverbOn && reverbFade_ <= 0.0f)) || !outputGainSmoother_.settled(b.gainTarget)) {
        for (int t = from; t < to; ++t) {
            float mix, send;
            tickReverbGlides(b, mix, send);
            outputGainSmoother_.tick(b.gainTarget);
        }
    }
    for (int t = from; t < to; ++t) outL[t] = outR[t] = 0.0f;
    if (publishDisplays) publishFrames(outL + from, outR + from, to - from);
}

// True when the chain gives +0 for +0 in: both stages off with no fade left,
// or asleep.
bool SynthEngine::chainSilent(const Block& b) const
{
    return chainAsleep_ || (!b.eqOn && !b.reverbOn && reverbFade_ == 0.0f);
}

// After kQuietFrames quiet frames, at the end of a chunk: when the DC blocker
// and every value held by the stages that run are below the quiet level, they
// are cleared and the chain sleeps. A stage that is off keeps what it holds.
bool SynthEngine::fallAsleep(const Block& b)
{
    const bool reverbRuns = b.reverbOn || reverbFade_ > 0.0f;
    if (std::fabs(dcState_[0]) >= kQuietLevel || std::fabs(dcState_[1]) >= kQuietLevel) return false;
    if ((b.eqOn && !eq_.statesBelow(kQuietLevel)) || (reverbRuns && !reverb_.statesBelow(kQuietLevel))) return false;
    if (b.eqOn) eq_.clearStates();
    if (reverbRuns) reverb_.clear();
    dcState_[0] = dcState_[1] = 0.0f;
    sleptWithEq_ = b.eqOn;
    sleptWithReverb_ = reverbRuns;
    chainAsleep_ = true;
    return true;
}

void SynthEngine::wakeChain()
{
    chainAsleep_ = false;
    quietFrames_ = 0;
}

// The scope ring and the peak meter's hand-shake over n > 0 frames of output
// (only while an editor exists), written once per chunk.
void SynthEngine::publishFrames(const float* left, const float* right, int n)
{
    // The left samples go into the ring, wrapping at its end; the write index
    // follows them with a release store, so an editor that reads it also sees
    // the samples before it.
    int at = scopeWriteIndex_.load(std::memory_order_relaxed);
    for (int t = 0; t < n;) {
        if (at >= scopeLength_ || at < 0) at = 0;
        const int end = n - t < scopeLength_ - at ? n : t + scopeLength_ - at;
        for (; t < end; ++t) scopeBuffer_[at++].store(left[t], std::memory_order_relaxed);
    }
    scopeWriteIndex_.store(at, std::memory_order_release);

    // The signed maxima of 1024 frames; the frame after them hands the pair
    // to the editor (its own samples are not counted), and the frames after
    // that wait until the editor has taken the pair.
    if (peakReady_.load(std::memory_order_acquire)) return;
    const int counted = n < 1024 - peakFrameCount_ ? n : 1024 - peakFrameCount_;
    float runL = peakRunL_, runR = peakRunR_;
    for (int t = 0; t < counted; ++t) {
        if (left[t] >= runL) runL = left[t];
        if (right[t] >= runR) runR = right[t];
    }
    peakFrameCount_ += counted;
    if (counted < n) {
        peakL_.store(runL, std::memory_order_relaxed);
        peakR_.store(runR, std::memory_order_relaxed);
        runL = runR = 0.0f;
        peakFrameCount_ = 0;
        peakReady_.store(true, std::memory_order_release);
    }
    peakRunL_ = runL;
    peakRunR_ = runR;
}

void SynthEngine::recoverSlot(int slot)
{
    voices_[slot].recover();
    noiseFilter_[slot].reset();
}

// The display values follow the parameters as set, whether or not the audio
// thread has taken them over yet.
float SynthEngine::masterTune() const
{
    const bool set = (setParams_.load(std::memory_order_relaxed) >> kMastertuning) & 1u;
    return set ? parameterValue(kMastertuning, parameter(kMastertuning)) : 1.0f;
}
float SynthEngine::eqHighPassHz() const { return parameterValue(kEQHPHz, parameter(kEQHPHz)); }
float SynthEngine::eqLowPassHz() const { return parameterValue(kEQLPHz, parameter(kEQLPHz)); }
float SynthEngine::eqNotchHz() const { return parameterValue(kEQBRHz, parameter(kEQBRHz)); }
float SynthEngine::eqNotchWidthHz() const { return parameterValue(kEQBRBW, parameter(kEQBRBW)); }
float SynthEngine::eqNotchDepth() const { return parameterValue(kEQBRGain, parameter(kEQBRGain)); }

const std::atomic<float>* SynthEngine::scopeBuffer() const { return scopeBuffer_; }
int SynthEngine::scopeWriteIndex() const { return scopeWriteIndex_.load(std::memory_order_acquire); }
int SynthEngine::scopeLength() const { return scopeLength_; }
float SynthEngine::peakL() const { return peakL_.load(std::memory_order_relaxed); }
float SynthEngine::peakR() const { return peakR_.load(std::memory_order_relaxed); }
bool SynthEngine::peakReady() const { return peakReady_.load(std::memory_order_acquire); }
void SynthEngine::clearPeakReady() { peakReady_.store(false, std::memory_order_release); }
const std::atomic<float>* SynthEngine::eqCurve() const { return eqCurve_; }

bool SynthEngine::takeFloatGuardReport(char* text, int textSize, char* title, int titleSize)
{
    return floatGuard_.takeReport(text, textSize, title, titleSize);
}

int SynthEngine::voiceNote(int slot) const { return (slot >= 0 && slot < kVoiceSlots) ? voiceNote_[slot] : -1; }

bool SynthEngine::slotActive(int slot) const
{
    if (slot < 0 || slot >= kVoiceSlots) return false;
    syncSlots();
    return !ampEnv_[slot].idle() || !fbEnv_[slot].idle();
}

bool SynthEngine::slotSounding(int slot) const
{
    return slotActive(slot) || (slot >= 0 && slot < kVoiceSlots && voices_[slot].ringing());
}

const ModuleADSR& SynthEngine::ampEnvelope(int slot) const
{
    syncSlots();
    return ampEnv_[(slot >= 0 && slot < kVoiceSlots) ? slot : 0];
}

const ModuleADSR& SynthEngine::feedbackEnvelope(int slot) const
{
    syncSlots();
    return fbEnv_[(slot >= 0 && slot < kVoiceSlots) ? slot : 0];
}

const SynthVoice& SynthEngine::voice(int slot) const
{
    syncSlots();
    return voices_[(slot >= 0 && slot < kVoiceSlots) ? slot : 0];
}
