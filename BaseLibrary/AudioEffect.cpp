#include "AudioEffect.h"

#include "AEffEditor.h"

#include <cstring>

namespace {

AudioEffect* objectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

// The plain entry points of the descriptor. Nothing thrown inside the plug-in
// may reach the host: it would unwind through foreign frames.
VstIntPtr dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    AudioEffect* fx = objectOf(e);
    if (!fx) return 0;
    try {
        return fx->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void processReplacingEntry(AEffect* e, float** in, float** out, VstInt32 frames)
{
    if (AudioEffect* fx = objectOf(e)) {
        try {
            fx->processReplacing(in, out, frames);
        } catch (...) {}
    }
}

void processDoubleEntry(AEffect* e, double** in, double** out, VstInt32 frames)
{
    if (AudioEffect* fx = objectOf(e)) {
        try {
            fx->processDoubleReplacing(in, out, frames);
        } catch (...) {}
    }
}

void setParameterEntry(AEffect* e, VstInt32 index, float value)
{
    if (AudioEffect* fx = objectOf(e)) {
        try {
            fx->setParameter(index, value);
        } catch (...) {}
    }
}

float getParameterEntry(AEffect* e, VstInt32 index)
{
    if (AudioEffect* fx = objectOf(e)) {
        try {
            return fx->getParameter(index);
        } catch (...) {}
    }
    return 0.0f;
}

}  // namespace

void vstStrncpy(char* dst, const char* src, size_t bound)
{
    if (!dst || bound == 0) return;
    if (!src) src = "";
    size_t n = 0;
    while (n + 1 < bound && src[n]) {
        dst[n] = src[n];
        ++n;
    }
    dst[n] = 0;
}

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams)
{
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEntry;
    // The accumulating process of old hosts is rendered as replacing, which
    // is what every host of the last two decades calls anyway.
    cEffect.process = processReplacingEntry;
    cEffect.setParameter = setParameterEntry;
    cEffect.getParameter = getParameterEntry;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vstFourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEntry;
    cEffect.processDoubleReplacing = processDoubleEntry;
}

AudioEffect::~AudioEffect()
{
    delete editor;
    editor = nullptr;
}

void AudioEffect::setEditor(AEffEditor* newEditor)
{
    editor = newEditor;
    setFlag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::beginEdit(VstInt32 index) { callHost(audioMasterBeginEdit, index); }
void AudioEffect::endEdit(VstInt32 index) { callHost(audioMasterEndEdit, index); }

void AudioEffect::setParameterAutomated(VstInt32 index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        delete this;
        return 1;
    case effSetProgram:
        if (value >= 0 && value < numPrograms) setProgram((VstInt32)value);
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (ptr) setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        if (ptr) getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
        if (ptr) getParameterLabel(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        if (ptr) getParameterDisplay(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        if (ptr) getParameterName(index, static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize((VstInt32)value);
        return 0;
    case effMainsChanged:
        if (value)
            resume();
        else
            suspend();
        return 0;
    case effEditGetRect:
        if (editor && ptr) return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        if (ptr) *static_cast<ERect**>(ptr) = nullptr;
        return 0;
    case effEditOpen:
        return editor ? (editor->open(ptr) ? 1 : 0) : 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effIdentify:
        return vstFourCC('N', 'v', 'E', 'f');
    case effGetChunk:
        if (!ptr) return 0;
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        if (!ptr || value <= 0 || value > 0x7fffffff) return 0;
        return setChunk(ptr, (VstInt32)value, index != 0);
    default:
        return 0;
    }
}
