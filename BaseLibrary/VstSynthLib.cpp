#include "VstSynthLib.h"

#include "platform/Assert.h"
#include "platform/MessageBox.h"
#include <cstring>

static const char* const kSource = "..\\..\\BaseLibrary\\VstSynthLib";

// The vendor text as hosts show it: "zentorial.com" and its terminator.
static constexpr size_t kVendorTextBound = 14;

VstSynth::VstSynth(audioMasterCallback audioMaster) : AudioEffectX(audioMaster, 1, kNumParams)
{
    programsAreChunks(true);
    initialising = true;

    // Engine set-up with the host's rate when it reports one. A rate below the
    // minimum is raised here too (the warning comes with the host's own
    // effSetSampleRate), so the engine never runs below it.
    if (audioMaster) {
        VstIntPtr hostRate = callHost(audioMasterGetSampleRate);
        if (hostRate > 0) sampleRate = (float)hostRate;
    }
    bool raised = false;
    sampleRate = OndrelInstrument::supportedSampleRate(sampleRate, raised);
    instrument.getEngine().setup(sampleRate);

    if (audioMaster) {
        setNumInputs(0);
        setNumOutputs(2);
        setUniqueID(vstFourCC('o', 'n', 'd', 'r'));
        cEffect.flags |= effFlagsCanMono | effFlagsCanReplacing | effFlagsIsSynth;
    }
    instrument.getEngine().suspend();  // clears the published peaks
    initialising = false;
}

VstSynth::~VstSynth() = default;

VstIntPtr VstSynth::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    // Calls that arrive on the host's user-interface thread are where a
    // warning from the audio thread can be shown without blocking audio.
    if (opcode == effEditIdle || opcode == effIdle || opcode == effMainsChanged) reportFloatGuard();
    return AudioEffectX::dispatcher(opcode, index, value, ptr, opt);
}

void VstSynth::reportFloatGuard()
{
    char text[128];
    char title[64];
    if (instrument.takeFloatGuardWarning(text, sizeof text, title, sizeof title)) Platform::showMessageBox(text, title);
}

void VstSynth::suspend() { instrument.getEngine().suspend(); }

void VstSynth::resume()
{
    if (initialising) return;
    wantEvents(1);
    instrument.getEngine().resume();
}

void VstSynth::setSampleRate(float rate)
{
    bool raised = false;
    rate = OndrelInstrument::supportedSampleRate(rate, raised);
    if (raised) Platform::showMessageBox("Minimum supported SampleRate exceeded", "Warning!");
    AudioEffectX::setSampleRate(rate);
    // The engine restarts at the new rate with the program's values (hosts set
    // the rate after the plug-in has applied its program).
    instrument.getEngine().setSampleRate(rate);
}

void VstSynth::setBlockSize(VstInt32 size) { AudioEffectX::setBlockSize(size); }

void VstSynth::processReplacing(float** /*inputs*/, float** outputs, VstInt32 sampleFrames)
{
    if (initialising) return;
    // The engine forgets this block's events in every case, also when there is
    // nothing to render (no frames or no output buffers).
    const bool canRender = sampleFrames > 0 && outputs && outputs[0] && outputs[1];
    instrument.getEngine().process(canRender ? outputs[0] : nullptr, canRender ? outputs[1] : nullptr, sampleFrames,
                                   editor != nullptr);
}

void VstSynth::processDoubleReplacing(double**, double**, VstInt32) {}

void VstSynth::setParameter(VstInt32 index, float value)
{
    if (initialising) return;
    instrument.setEngineParameter(index, value);
}

float VstSynth::getParameter(VstInt32)
{
    ONDREL_ASSERT(kSource, false);
    return -1.0f;
}

void VstSynth::setProgram(VstInt32) { ONDREL_ASSERT(kSource, false); }
void VstSynth::setProgramName(char*) { ONDREL_ASSERT(kSource, false); }
void VstSynth::getProgramName(char*) { ONDREL_ASSERT(kSource, false); }

void VstSynth::getParameterLabel(VstInt32, char* label)
{
    if (label) *label = 0;
}

void VstSynth::getParameterDisplay(VstInt32 index, char* text) { instrument.getParameterDisplay(index, text); }

void VstSynth::getParameterName(VstInt32, char*) { ONDREL_ASSERT(kSource, false); }

VstInt32 VstSynth::getChunk(void** data, bool)
{
    ONDREL_ASSERT(kSource, false);
    if (data) *data = nullptr;
    return 0;
}

VstInt32 VstSynth::setChunk(void*, VstInt32, bool) { return 0; }

bool VstSynth::getProgramNameIndexed(VstInt32, VstInt32, char*)
{
    ONDREL_ASSERT(kSource, false);
    return false;
}

bool VstSynth::copyProgram(VstInt32)
{
    ONDREL_ASSERT(kSource, false);
    return false;
}

bool VstSynth::getOutputProperties(VstInt32 index, VstPinProperties* properties)
{
    if (!properties || index < 0 || index > 5) return false;
    std::memcpy(properties->label, "OND", 4);
    properties->flags = index < 2 ? (kVstPinIsActive | kVstPinIsStereo) : kVstPinIsActive;
    return true;
}

VstInt32 VstSynth::processEvents(VstEvents* events)
{
    if (initialising || !events || events->numEvents <= 0) return 1;
    // The host's list is read now and copied: the host may free it as soon
    // as this call returns. Null entries and non-MIDI events are passed over.
    // Through a pointer: the host allocates numEvents entries beyond the declared two.
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* e = list[i];
        if (!e || e->type != kVstMidiType) continue;
        const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(e);
        MidiEvent m;
        m.frame = midi->deltaFrames;
        m.status = (unsigned char)midi->midiData[0];
        m.data1 = (unsigned char)midi->midiData[1];
        m.data2 = (unsigned char)midi->midiData[2];
        if (!instrument.getEngine().addEvent(m)) break;
    }
    return 1;
}

bool VstSynth::getEffectName(char* name)
{
    vstStrncpy(name, OndrelInstrument::effectName(), kVstMaxEffectNameLen + 1);
    return true;
}

bool VstSynth::getVendorString(char* text)
{
    vstStrncpy(text, OndrelInstrument::vendorName(), kVendorTextBound);
    return true;
}

bool VstSynth::getProductString(char* text)
{
    vstStrncpy(text, OndrelInstrument::effectName(), kVstMaxProductStrLen);
    return true;
}

VstInt32 VstSynth::canDo(char* text)
{
    if (!text) return -1;
    static const char* const yes[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"};
    for (const char* y : yes)
        if (std::strcmp(text, y) == 0) return 1;
    return -1;
}
