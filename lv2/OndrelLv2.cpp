// The LV2 plug-in: descriptor, ports, run() and the state interface, over the
// same instrument as the VST 2.4 plug-in.
#include "lv2/OndrelLv2.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/log/logger.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>

#include <cstring>
#include <new>

namespace {

using lv2::Instance;

const void* findFeature(const LV2_Feature* const* features, const char* uri)
{
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
    return nullptr;
}

// The current program's values to the engine. The ports' last values stay:
// a port the host leaves alone does not undo a program or a state.
void applyProgram(Instance& self)
{
    self.instrument.applyCurrentProgram([](int, float) {});
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features)
{
    auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    if (!map) return nullptr;
    Instance* self = nullptr;
    try {
        self = new Instance;
    } catch (...) {
        return nullptr;
    }
    self->midiEventType = map->map(map->handle, LV2_MIDI__MidiEvent);
    self->programKey = map->map(map->handle, lv2::kProgramStateUri);
    self->stringType = map->map(map->handle, LV2_ATOM__String);

    bool raised = false;
    const float engineRate = OndrelInstrument::supportedSampleRate((float)rate, raised);
    if (raised) {
        // No box on the host's thread here: a line in the host's log.
        LV2_Log_Logger logger;
        lv2_log_logger_init(&logger, const_cast<LV2_URID_Map*>(map),
                            static_cast<LV2_Log_Log*>(const_cast<void*>(findFeature(features, LV2_LOG__log))));
        lv2_log_warning(&logger, "Minimum supported SampleRate exceeded\n");
    }

    // The start of a VST 2.4 instance as a host makes it (set-up, the
    // program, then the host's rate), so that both formats sound alike.
    SynthEngine& engine = self->instrument.getEngine();
    engine.setup(engineRate);
    engine.suspend();
    try {
        self->instrument.getPresetManager().loadAllPresets();
        self->instrument.selectInitProgram();
    } catch (...) {
        delete self;
        return nullptr;
    }
    applyProgram(*self);
    for (uint32_t i = 0; i < lv2::kNumControlPorts; ++i) self->lastPortValue[i] = self->instrument.getParameter((int)i);
    engine.setSampleRate(engineRate);
    return self;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data)
{
    auto* self = static_cast<Instance*>(handle);
    if (port < lv2::kNumControlPorts)
        self->controls[port] = static_cast<const float*>(data);
    else if (port == lv2::kMidiInPort)
        self->midiIn = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port == lv2::kLeftOutPort || port == lv2::kRightOutPort)
        self->outputs[port - lv2::kLeftOutPort] = static_cast<float*>(data);
}

void activate(LV2_Handle handle) { static_cast<Instance*>(handle)->instrument.getEngine().resume(); }

void deactivate(LV2_Handle handle) { static_cast<Instance*>(handle)->instrument.getEngine().suspend(); }

// Control ports the host changed since the last block reach the instrument as
// a host's parameter value does in the VST plug-in. A value the engine has
// already (set by the UI, a program or a state) is no edit.
void readControls(Instance& self)
{
    SynthEngine& engine = self.instrument.getEngine();
    for (uint32_t i = 0; i < lv2::kNumControlPorts; ++i) {
        if (!self.controls[i]) continue;
        float v = *self.controls[i];
        if (v == self.lastPortValue[i]) continue;
        self.lastPortValue[i] = v;
        if (v == engine.parameter((int)i)) continue;
        self.instrument.setParameter((int)i, v);
    }
}

void run(LV2_Handle handle, uint32_t sampleCount)
{
    auto* self = static_cast<Instance*>(handle);
    readControls(*self);
    SynthEngine& engine = self->instrument.getEngine();
    float* left = self->outputs[0];
    float* right = self->outputs[1];
    const bool canRender = left && right;
    const bool displays = self->displaysWanted.load(std::memory_order_relaxed);
    const int frames = (int)sampleCount;

    // The engine dispatches each event at its frame. Should the block hold
    // more events than the engine's queue, the block is split at the frame
    // of the first one that does not fit.
    int done = 0;
    if (self->midiIn) {
        LV2_ATOM_SEQUENCE_FOREACH(self->midiIn, ev)
        {
            if (ev->body.type != self->midiEventType || ev->body.size < 1 || ev->body.size > 3) continue;
            const auto* bytes = reinterpret_cast<const uint8_t*>(ev + 1);
            MidiEvent m;
            const int frame = (int)ev->time.frames;
            m.status = bytes[0];
            m.data1 = ev->body.size > 1 ? bytes[1] : 0;
            m.data2 = ev->body.size > 2 ? bytes[2] : 0;
            m.frame = frame - done;
            if (engine.addEvent(m)) continue;
            const int upTo = frame < done ? done : (frame > frames ? frames : frame);
            if (!canRender || upTo == done) continue;  // dropped, as a full queue drops
            engine.process(left + done, right + done, upTo - done, displays);
            done = upTo;
            m.frame = frame - done;
            engine.addEvent(m);
        }
    }
    if (canRender)
        engine.process(left + done, right + done, frames - done, displays);
    else
        engine.process(nullptr, nullptr, 0, displays);  // forgets the block's events
}

void cleanup(LV2_Handle handle) { delete static_cast<Instance*>(handle); }

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*)
{
    auto* self = static_cast<Instance*>(handle);
    try {
        const std::string& text = self->instrument.saveState();
        if (text.empty()) return LV2_STATE_ERR_UNKNOWN;
        return store(state, self->programKey, text.c_str(), text.size() + 1, self->stringType,
                     LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         const LV2_Feature* const*)
{
    auto* self = static_cast<Instance*>(handle);
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* data = retrieve(state, self->programKey, &size, &type, &flags);
    if (!data) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != self->stringType) return LV2_STATE_ERR_BAD_TYPE;
    try {
        // The state is always a YAML document: an old packed block of the
        // VST plug-in is refused as for a single-program chunk.
        const size_t length = strnlen(static_cast<const char*>(data), size);
        if (self->instrument.restoreState(data, length, true) != PresetManager::ChunkResult::ProgramLoaded)
            return LV2_STATE_ERR_UNKNOWN;
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    applyProgram(*self);
    return LV2_STATE_SUCCESS;
}

const void* extensionData(const char* uri)
{
    static const LV2_State_Interface state = {save, restore};
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
    return nullptr;
}

const LV2_Descriptor kDescriptor = {lv2::kPluginUri, instantiate, connectPort,  activate, run,
                                    deactivate,      cleanup,     extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
