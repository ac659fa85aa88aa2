// Base class of a VST 2.4 plug-in object: owns the AEffect descriptor the
// host sees, routes the host's opcodes to virtual operations, and talks back
// to the host through its callback. Every entry from the host is guarded:
// no exception ever crosses into the host.
#pragma once

#include "vst2abi.h"

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();  // deletes the editor

    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}

    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }

    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processDoubleReplacing(double**, double**, VstInt32) {}

    virtual void setParameter(VstInt32, float) {}
    virtual float getParameter(VstInt32) { return 0.0f; }
    // An edit made in the plug-in's own editor: set it, then tell the host.
    virtual void setParameterAutomated(VstInt32 index, float value);

    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char*) {}
    virtual void getProgramName(char* name)
    {
        if (name) *name = 0;
    }

    virtual void getParameterLabel(VstInt32, char* label)
    {
        if (label) *label = 0;
    }
    virtual void getParameterDisplay(VstInt32, char* text)
    {
        if (text) *text = 0;
    }
    virtual void getParameterName(VstInt32, char* text)
    {
        if (text) *text = 0;
    }

    virtual VstInt32 getChunk(void** data, bool isPreset = false)
    {
        (void)isPreset;
        if (data) *data = nullptr;
        return 0;
    }
    virtual VstInt32 setChunk(void*, VstInt32, bool isPreset = false)
    {
        (void)isPreset;
        return 0;
    }

    // Host callback wrappers.
    virtual void beginEdit(VstInt32 index);
    virtual void endEdit(VstInt32 index);

    // Descriptor set-up.
    void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
    void setNumInputs(VstInt32 n) { cEffect.numInputs = n; }
    void setNumOutputs(VstInt32 n) { cEffect.numOutputs = n; }
    void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
    void setEditor(AEffEditor* newEditor);

    AEffect* getAeffect() { return &cEffect; }
    AEffEditor* getEditor() { return editor; }

    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);

protected:
    void setFlag(VstInt32 flag, bool state)
    {
        if (state)
            cEffect.flags |= flag;
        else
            cEffect.flags &= ~flag;
    }

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram = 0;
    AEffect cEffect;
};

// Copies at most `bound` - 1 characters and always terminates within `bound` bytes.
void vstStrncpy(char* dst, const char* src, size_t bound);
