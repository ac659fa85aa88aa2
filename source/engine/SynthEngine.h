// The engine frame: turns MIDI events and the 43 normalised parameter values
// into two channels of audio. All state is held inline (about 5.5 MiB, most of
// it the delay memory of ten voice slots) so nothing allocates while audio
// runs.
//
// Threads: process(), addEvent() and the MIDI handling run on the host's
// audio thread. setParameter(), setSampleRate(), suspend() and resume() may
// come from any thread at any time: they only store values and requests in
// atomics, and the audio thread adopts them whole at the start of its next
// block (coefficients, envelope times, resets), so it never reads a
// half-changed state. The editor's displays are published in atomics too.
#pragma once

#include <atomic>
#include <cstdint>

#include "source/engine/Equalizer.h"
#include "source/engine/FloatGuard.h"
#include "source/engine/MidiEvent.h"
#include "source/engine/ModuleADSR.h"
#include "source/engine/ModuleReverb.h"
#include "source/engine/ModuleSVF.h"
#include "source/engine/NoteManager.h"
#include "source/engine/ParameterIndex.h"
#include "source/engine/RuntimeRand.h"
#include "source/engine/Smoother.h"
#include "source/engine/SynthVoice.h"
#include "source/engine/VoiceLanes.h"

class SynthEngine {
public:
    static constexpr int kNumParams = kNumParameters;
    static constexpr int kVoiceSlots = 10;
    static constexpr int kScopeLength = 4096;
    static constexpr int kEqCurvePoints = 512;

    SynthEngine();
    SynthEngine(const SynthEngine&) = delete;
    SynthEngine& operator=(const SynthEngine&) = delete;

    // Engine set-up at construction, with the host's rate (44100 when unknown).
    // Also applies the rate as setSampleRate() does, so the engine is complete
    // even when a host never announces a rate.
    void setup(float sampleRate);
    // Sample-rate change, taken at the next block; the caller has already
    // raised rates below 44100 (a rate below 44100 or not a number is taken
    // as 44100 here too). Every stage restarts at the new rate with the
    // parameters' current values.
    void setSampleRate(float rate);
    float sampleRate() const;

    // Engine side of a parameter change, index 0..42, value 0..1; heard from
    // the next block on.
    void setParameter(int index, float value);
    // The value the engine last received for an index (0 outside 0..42).
    float parameter(int index) const;

    void suspend();
    void resume();  // the next block starts with no notes and silent delay lines

    // Queues a MIDI message for the next process(), due at `event.frame`
    // (copied: the caller's memory is not kept). False when the block's
    // queue is full and the event is dropped.
    bool addEvent(const MidiEvent& event);
    // Renders `frames` frames into the two outputs; the displays' data are
    // published when `publishDisplays` is true (an editor exists). Queued
    // events are forgotten at the end of every call, whatever its arguments;
    // with no frames or a missing output nothing else happens.
    void process(float* outL, float* outR, int frames, bool publishDisplays);

    // One MIDI message as the block loop handles it (status, two data bytes);
    // between blocks, the audio thread's own (never during process()).
    void midiMessage(unsigned char status, unsigned char data1, unsigned char data2);

    // Values derived from parameters, shown in the host's display texts.
    float masterTune() const;  // frequency factor of Mastertuning, 1.0 at the centre
    float eqHighPassHz() const;
    float eqLowPassHz() const;
    float eqNotchHz() const;
    float eqNotchWidthHz() const;
    float eqNotchDepth() const;

    // Published for the editor's displays, read without locks.
    const std::atomic<float>* scopeBuffer() const;
    int scopeWriteIndex() const;
    int scopeLength() const;
    float peakL() const;
    float peakR() const;
    bool peakReady() const;
    void clearPeakReady();
    const std::atomic<float>* eqCurve() const;  // 512 points

    // The float guard's last report (stage 1 left, 2 right), taken once from a
    // non-audio thread; returns false when nothing is pending. `text` receives
    // the warning text, `title` its title.
    bool takeFloatGuardReport(char* text, int textSize, char* title, int titleSize);

    // Voice slot state, for displays and tests, from the audio thread or
    // between blocks (the slots first take their running state back from
    // the lanes that render them).
    int numVoices() const { return numVoices_; }
    int voiceNote(int slot) const;      // note last given to the slot, -1 before
    bool slotActive(int slot) const;    // either envelope running
    bool slotSounding(int slot) const;  // active, or its echoes still playing out
    const ModuleADSR& ampEnvelope(int slot) const;
    const ModuleADSR& feedbackEnvelope(int slot) const;
    const SynthVoice& voice(int slot) const;
    float pitchBend() const { return pitchBend_; }
    float reverbFade() const { return reverbFade_; }

private:
    // What one block reads of the parameters, fixed at its start.
    struct Block {
        bool memoryOn, envToWave, envToHarm, eqOn, reverbOn;
        float lag[3];
        float wave, feedbackScale, noiseLevel;
        float sendTarget, fadeStep, dcCoef, gainTarget;
    };
    // The parameters that glide to new values, at one frame.
    struct Glided {
        F4 levels;  // On1..On3, lane 3 0
        float stereo, harmonics, pan;
    };
    // What adoptChanges() took over: anything, and whether the slots change
    // (then the lanes have given their state back).
    struct Adopted {
        bool any, slots;
    };
    Adopted adoptChanges();
    void adoptSampleRate(float rate);
    void applyParameter(int index, float value);
    void publishEqCurve();
    void startBlock(Block& b);
    void blockConstants(Block& b);
    void tickGlides(Glided& g);
    // Slots 0..7 (the most a voice count renders) run as two groups of four lanes.
    static constexpr int kLaneGroups = 2;
    VoiceLanes::Slots laneSlots(int group);
    bool silentFrame(const Block& b, const VoiceLanes* lanes) const;
    void handOver(const Block& b, float harmonics);
    void loadLanes();
    // The slots' running state back from the lanes, which keep rendering
    // from it (the slots are then up to date; harmless when they are).
    void syncSlots() const;
    // The slots up to date and about to change: the lanes load again before
    // they render.
    void releaseLanes()
    {
        syncSlots();
        lanesHold_ = false;
    }
    void renderVoices(VoiceLanes* lanes, const Block& b, const Glided& g, float w, float d, float& sumL, float& sumR);
    void renderSlot(int slot, const VoiceLanes::Frame& f, float& sumL, float& sumR);
    int loneSlot() const;
    // A chunk of frames: the voices' sums, each frame's dither and pan.
    static constexpr int kChunk = ModuleReverb::kMaxBlock;
    struct Chunk {
        float left[kChunk], right[kChunk], dither[kChunk], pan[kChunk];
    };
    void frame(const Block& b, bool silent, int i, int t, Chunk& c);
    int renderAlone(int slot, const Block& b, int i, int t, int n, Chunk& c);
    void masterChain(const Block& b, const Chunk& c, int from, int n, float* outL, float* outR, bool publishDisplays);
    bool reverbSettled(const Block& b) const;
    bool tickReverbGlides(const Block& b, float& mix, float& send);
    // Frames the chain leaves at +0: only the glides that run every frame move.
    void restingFrames(const Block& b, int from, int to, float* outL, float* outR, bool publishDisplays);
    bool chainSilent(const Block& b) const;
    bool fallAsleep(const Block& b);
    void wakeChain();
    void publishFrames(const float* left, const float* right, int n);
    void resetEnvelopes();
    void applyVoiceCount(int n);
    void dispatchEventsAt(int frame);
    void recoverSlot(int slot);
    void noteEvent(int note, int velocity, bool on);
    void tuneSlot(int slot, int note, bool noiseFilter);
    void releaseSlot(int slot, bool feedbackToo);
    void allNotesOff();
    void pitchBendMessage(int value);
    unsigned idleSlots() const;

    // Written by any thread, adopted by the audio thread at a block's start.
    std::atomic<float> params_[kNumParams] = {};
    std::atomic<uint64_t> pendingParams_{0};  // one bit per changed index
    std::atomic<uint64_t> setParams_{0};      // one bit per index ever set
    std::atomic<float> pendingRate_{0.0f};    // 0: no change asked
    std::atomic<bool> pendingResume_{false};
    std::atomic<float> rate_{44100.0f};  // the rate asked last
    std::atomic<int> requestedVoices_{8};

    int numVoices_ = 8;
    float fs_ = 44100.0f;  // the rate the audio thread runs at

    ModuleADSR ampEnv_[kVoiceSlots];
    ModuleADSR fbEnv_[kVoiceSlots];
    ModuleSVF noiseFilter_[kVoiceSlots];
    SynthVoice voices_[kVoiceSlots];
    int voiceNote_[kVoiceSlots];
    int lagSemitones_[3] = {0, 0, 0};  // each line's lowering of the note (Lag1..3), this block
    NoteManager noteManager_;

    Equalizer eq_;
    float masterTune_ = 1.0f;
    float waveValue_ = 0.0f;
    Smoother reverbMixSmoother_, reverbSendSmoother_, outputGainSmoother_;
    // Line levels (On1..On3), Stereo, Harmonics and Pan glide over 10 ms.
    LinearGlide levelGlide_[3], stereoGlide_, harmonicsGlide_, panGlide_;
    Glided glided_ = {};        // their values at the last frame
    bool glidesMoving_ = true;  // some glide has not reached its target
    ModuleReverb reverb_;
    float reverbMixTarget_ = 0.0f;
    float reverbFade_ = 0.0f;
    float pitchBend_ = 1.0f;
    double bendRange_ = 12.0;
    double bendFactor_ = 2.0;  // 1.059463094359 ^ bendRange
    float dcState_[2] = {0.0f, 0.0f};
    // The equalizer and reverb asleep: their states were all below the quiet
    // level and cleared, and they are not run again until a voice gives
    // something other than +0 (or a stage that was off then is switched on).
    bool chainAsleep_ = false;
    bool sleptWithEq_ = false, sleptWithReverb_ = false;  // the stages cleared when it fell asleep
    int quietFrames_ = 0;                                 // frames in a row with nothing heard (at most kQuietFrames)
    int chunkPhase_ = 0;                                  // frames since the engine started, modulo kChunk
    float lastE1_[kVoiceSlots] = {};                      // each slot's amplitude envelope at its last rendered frame
    int memoryGlidePhase_ = 0;                            // frames since the last Memory-mode glide step
    int memoryGlideFrames_ = 256;                         // frames between two steps

    VoiceLanes::Frame voiceFrame_ = {};  // this frame's settings for the slots
    int lone_ = -1;                      // the slot that renders on its own, or -1
    // Slots 0..7's running state while they render side by side, kept from
    // block to block while nothing else changes the slots (lanesHold_).
    VoiceLanes lanes_[kLaneGroups];
    bool lanesHold_ = false;
    Block block_ = {};              // the block's constants, worked out again when a parameter changes
    float handedHarmonics_ = 0.0f;  // the Harmonics value of the last hand-over
    MidiEventQueue events_;
    RuntimeRand rand_;

    FloatGuard floatGuard_;

    std::atomic<float> scopeBuffer_[kScopeLength] = {};
    std::atomic<int> scopeWriteIndex_{0};
    int scopeLength_ = kScopeLength;
    int peakFrameCount_ = 0;
    float peakRunL_ = 0.0f, peakRunR_ = 0.0f;
    std::atomic<float> peakL_{0.0f}, peakR_{0.0f};
    std::atomic<bool> peakReady_{false};
    std::atomic<float> eqCurve_[kEqCurvePoints] = {};
};
