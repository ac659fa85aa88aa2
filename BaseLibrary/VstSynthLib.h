// VstSynth: the synthesizer base of the plug-in. It owns the instrument with
// its whole engine by value (one large allocation made when the host creates
// the instance), answers the host's inquiries and hands events, blocks and
// parameter values to the engine. The concrete instrument provides programs,
// names and chunks.
#pragma once

#include "AudioEffectX.h"
#include "source/OndrelInstrument.h"

class VstSynth : public AudioEffectX {
public:
    static constexpr VstInt32 kNumParams = OndrelInstrument::kNumParams;

    explicit VstSynth(audioMasterCallback audioMaster);
    ~VstSynth() override;

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 size) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    VstInt32 getNumMidiInputChannels() override { return 1; }
    VstInt32 getNumMidiOutputChannels() override { return 0; }
    VstInt32 processEvents(VstEvents* events) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1; }
    VstInt32 canDo(char* text) override;
    bool copyProgram(VstInt32 destination) override;

    SynthEngine& getEngine() { return instrument.getEngine(); }
    const SynthEngine& getEngine() const { return instrument.getEngine(); }
    OndrelInstrument& getInstrument() { return instrument; }

protected:
    // Takes a pending float-guard warning and shows it, at most once per instance.
    void reportFloatGuard();

    bool initialising = true;
    OndrelInstrument instrument;
};
