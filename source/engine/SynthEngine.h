// The engine frame: turns MIDI events and the 43 normalised parameter values
// into two channels of audio. All state is held inline (about 15 MiB with the
// delay memory of ten voice slots) so nothing allocates while audio runs.
//
// Threads: process(), setEvents() and the MIDI handling run on the host's
// audio thread; setParameter(), setSampleRate(), suspend() and resume() may
// come from other threads and write plain fields read without locks.
#pragma once

#include "BaseLibrary/vst2abi.h"

class SynthEngine {
public:
    static constexpr int kNumParams = 43;
    static constexpr int kVoiceSlots = 10;
    static constexpr int kScopeLength = 4096;
    static constexpr int kEqCurvePoints = 512;

    SynthEngine();
    ~SynthEngine();
    SynthEngine(const SynthEngine&) = delete;
    SynthEngine& operator=(const SynthEngine&) = delete;

    // Engine set-up at construction, with the host's rate (44100 when unknown).
    void setup(float sampleRate);
    // Sample-rate change; the caller has already raised rates below 44100.
    void setSampleRate(float rate);
    float sampleRate() const;

    // Engine side of a parameter change, index 0..42, value 0..1.
    void setParameter(int index, float value);
    // The value the engine last received for an index (0 outside 0..42).
    float parameter(int index) const;

    void suspend();
    void resume();  // clears the notes and the delay memory

    // Remembers the host's event block for the next process() (when it holds events).
    void setEvents(const VstEvents* events);
    // Renders `frames` frames into the two outputs; the displays' data are
    // published when `publishDisplays` is true (an editor exists).
    void process(float* outL, float* outR, int frames, bool publishDisplays);

    // Values derived from parameters, shown in the host's display texts.
    float masterTune() const;        // frequency factor of Mastertuning, 1.0 at the centre
    float eqHighPassHz() const;
    float eqLowPassHz() const;
    float eqNotchHz() const;
    float eqNotchWidthHz() const;
    float eqNotchDepth() const;

    // Published for the editor's displays, read without locks.
    const float* scopeBuffer() const;
    int scopeWriteIndex() const;
    int scopeLength() const;
    float peakL() const;
    float peakR() const;
    bool peakReady() const;
    void clearPeakReady();
    const float* eqCurve() const;  // 512 points

    // The float guard's last report (stage 1 left, 2 right), taken once from a
    // non-audio thread; returns false when nothing is pending. `text` receives
    // the warning text, `title` its title.
    bool takeFloatGuardReport(char* text, int textSize, char* title, int titleSize);

private:
    struct State;
    State* s_;  // placeholder layout until the engine lands
};
