// Four voice slots rendered side by side: lane j of every vector belongs to
// slot first + j. The engine copies the slots' running state into lanes
// (load), renders frame by frame with one vector operation where each slot did
// one scalar operation, and copies the state back (store) only when something
// else needs the slots: an event, a parameter that changes them, a test. The
// lanes keep the state from block to block. Every lane performs the
// same float operations in the same order as the scalar SynthVoice,
// ModuleADSR and ModuleSVF code it stands for (stated in the comments), so the
// samples are the same bit for bit. A slot that does not render in a frame
// keeps its state: a slot stops rendering only until the next load (it starts
// again only at a note event), so its lane is copied back to the slot when it
// stops, and from then on the lane runs on unmasked but is never read or
// stored again; no state update needs a blend.
// The modulation sources draw from the generator in slot order, then line
// order, as the slots did one after another.
#pragma once

#include "source/engine/Lanes.h"
#include "source/engine/ModuleADSR.h"
#include "source/engine/ModuleSVF.h"
#include "source/engine/RuntimeRand.h"
#include "source/engine/SynthVoice.h"

// One envelope per lane (ModuleADSR). Stage changes are rare: the lanes that
// reach one hand it to their ModuleADSR's own settle().
struct EnvelopeLanes {
    F4 level, attackStep, decayCoef, decayOffset, releaseCoef, releaseOffset, sustainTarget, velocityGain;
    I4 stage;

    void load(const ModuleADSR* e);
    // Lane j back to its envelope.
    void store(ModuleADSR& e, int j) const
    {
        e.level = level[j];
        e.stage = stage[j];
    }
    // ModuleADSR::tick in every lane, the stage changes in the rendering lanes
    // (`on`) only; returns every lane's value.
    F4 tick(I4 on, ModuleADSR* e)
    {
        // Sustain and idle hold the level (the common case while notes are held).
        const I4 holding = (stage == (int)ModuleADSR::kSustain) | (stage == (int)ModuleADSR::kIdle);
        F4 next = level;
        if (lanes::bits(holding) != 0xF) next = step(on, e);
        next = lanes::flushByMagnitude(lanes::abs(next));
        level = next;
        return velocityGain * next;
    }

private:
    // The level after this frame's step, with the stage changes it calls for.
    F4 step(I4 on, ModuleADSR* e)
    {
        const I4 attack = stage == (int)ModuleADSR::kAttack, decay = stage == (int)ModuleADSR::kDecay;
        const I4 release = stage == (int)ModuleADSR::kRelease;
        F4 next = attack ? level + attackStep : level;
        next = decay ? decayCoef * level + decayOffset : next;
        next = release ? releaseCoef * level + releaseOffset : next;
        const I4 settles =
            on & ((attack & (next >= 1.0f)) | (decay & ((next <= sustainTarget + 0.001f) | (next <= 0.0001f))) |
                  (release & (next <= 0.0001f)));
        if (lanes::bits(settles)) {
            for (int j = 0; j < 4; ++j) {
                if (!settles[j]) continue;
                e[j].level = next[j];
                e[j].stage = stage[j];
                e[j].settle();
                next[j] = e[j].level;
                stage[j] = e[j].stage;
            }
        }
        return next;
    }
};

class VoiceLanes {
public:
    // What a frame hands to every slot.
    struct Frame {
        float noiseIn;  // w x Noise + d, the noise filters' input
        float dither;
        float feedbackScale;
        F4 levels;  // glided: the three lines' levels (lane 3 0)
        float stereo, harmonics;
        float tune;  // pitch bend x master tune
        float wave;
        bool envToHarm, envToWave;
        bool noteGlide;  // note mode: the base delay times glide to the note
    };
    // The slots the engine keeps, and the first of the four.
    struct Slots {
        SynthVoice* voice;
        ModuleADSR* amp;
        ModuleADSR* fb;
        ModuleSVF* noise;
        float* lastE1;
        const int* voiceNote;
        int first;
        int voices;      // slots below this one render
        bool noteGlide;  // note mode: the delay times glide to the note's periods
    };

    // Takes the slots' state into the lanes. A group in which one slot may
    // render until the next load (a slot starts rendering only at a note
    // event) is left to the scalar code: scalar() is true, and its state
    // stays in the slots. So is a group whose noise filters are not in
    // band-pass mode (the lanes' only mode; the engine sets no other).
    void load(const Slots& s);
    // The running state back to the slots it was loaded from; the lanes carry
    // on from it (a store changes nothing in them, and storing again is harmless).
    void store() const;
    bool scalar() const { return scalar_; }
    // Fewer slots render than at the load: a new load would find less work.
    bool shrunk() const;
    // The slots (bit j for lane j) that may render or whose delay times may
    // glide until the next load; the others need no work at all.
    unsigned visit() const { return visit_; }
    // No slot renders this frame and none glides its delay times.
    bool quiet(bool noteGlide) const
    {
        if (!visit_) return true;
        if (scalar_) return false;
        return lanes::bits(renders()) == 0 && !(noteGlide && glideMoving_);
    }

    // The rendering slots' frame (SynthVoice::renderFrame with the envelopes
    // and the noise filter before it). `left`/`right` receive each slot's
    // output, 0 in lanes that do not render. Returns the lanes whose output
    // has run away (bit j for lane j): the caller clears those slots and
    // loads them again before finish().
    unsigned render(const Frame& f, RuntimeRand& rand, F4& left, F4& right);
    // The rest of a rendered frame, taking effect from the next frame on.
    void finish(const Frame& f);
    // Memory mode's glide step of all four slots (SynthVoice::glideBaseDelays).
    void glideBaseDelays(const float* add)
    {
        if (scalar_) {
            for (int j = 0; j < 4; ++j) slots_.voice[slots_.first + j].glideBaseDelays(add[0], add[1], add[2]);
            return;
        }
        for (int k = 0; k < 3; ++k) baseDelayMs_[k] = 0.9f * baseDelayMs_[k] + add[k];
        glideMoving_ = true;
    }

private:
    // The slots that render this frame: either envelope runs or the lines
    // still ring (of those that have rendered every frame since the load).
    I4 renders() const
    {
        return live_ &
               ((amp_.stage != (int)ModuleADSR::kIdle) | (fb_.stage != (int)ModuleADSR::kIdle) | (silentRun_ < reach_));
    }
    // Lane j's running state back to its slot (all but the base delay times).
    void storeLane(int j) const;
    // Some live slots have stopped rendering: their lanes go back to them,
    // then the frame is rendered (rare: kept out of line of the frame).
    __attribute__((noinline, cold)) unsigned stopThenRender(const Frame& f, RuntimeRand& rand, F4& left, F4& right);
    template <bool kAll>
    unsigned renderLanes(const Frame& f, RuntimeRand& rand, I4 on, F4& left, F4& right);

    static constexpr int kLineLength = SynthVoice::kLineLength;
    static constexpr int kLineMask = SynthVoice::kLineMask;

    Slots slots_;
    I4 present_;               // slots below the voice count
    I4 noteSet_;               // slots that have had a note
    I4 live_;                  // slots that have rendered in every frame since the load: their lanes hold their state
    unsigned liveAtLoad_ = 0;  // live_ right after the load (bit j for lane j)
    I4 on_;                    // slots rendered in the current frame
    F4 e1_;                    // their amplitude envelope in this frame
    F4 lastE1_;                // each slot's amplitude envelope at its last rendered frame
    bool glideMoving_ = true;
    bool tuned_ = false;  // the rendering slots have this span's tuning
    bool scalar_ = false;
    unsigned visit_ = 0;

    EnvelopeLanes amp_, fb_;

    // Noise band filters (ModuleSVF, band-pass mode).
    F4 nBand1_, nLow1_, nBand2_, nLow2_, nFreq_, nDamping_;

    // Operators (ModuleFMop) and their phase-modulation smoothing.
    F4 harmonics_, modulatorPm_, carrierPm_, pmSmoothing_, carrierOut_, modulatorOut_;
    F4 carrierPhase_, carrierStep_, modulatorPhase_, modulatorStep_;
    F4 carrierRatio_, modulatorRatio_, frequency_, invSampleRate_, tune_;

    // Feedback and output.
    F4 feedbackAmount_, feedbackLow_, feedbackHigh_, stereoSpread_, lowCoef_, highCoef_;

    // The three lines, one vector per line across the slots.
    F4 lineLevel_[3], smoothedMod_[3], modSmoothing_[3], baseDelayMs_[3], notePeriodsMs_[3], rangeMs_[3];
    F4 targetDelay_[3], smoothedDelay_[3];
    F4 lfoPhase_[3], lfoStep_[3], lfoOutput_[3];  // lfoStep_: 2 x the source's increment
    F4 msToFrames_, delayGlide_, noteGlideKeep_, noteGlideTake_;
    I4 writeIndex_, history_, silentRun_, reach_;
    float* buffer_[4];
};
