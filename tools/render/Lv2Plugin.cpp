#include "tools/render/Lv2Plugin.h"
#include "tools/render/PresetLibrary.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <unordered_map>

namespace {

// Room for one block's events in each atom port (bytes).
constexpr uint32_t sequenceBytes = 64 * 1024;

enum class PortKind { audio, cv, control, atom, other };

struct Port {
    std::string symbol;
    std::string name;
    PortKind kind = PortKind::other;
    bool input = false;
    bool midi = false;      // an atom input that takes MIDI events
    bool position = false;  // an atom input that takes time:Position
    float value = 0.0f;     // control ports
    float low = 0.0f, high = 1.0f;
    std::vector<float> samples;        // audio and CV ports
    std::vector<uint64_t> atomBuffer;  // atom ports (8-byte aligned)
    LV2_Atom_Sequence* sequence() { return reinterpret_cast<LV2_Atom_Sequence*>(atomBuffer.data()); }
};

// Bytes of a short MIDI message by its status byte.
uint32_t midiSize(uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0xF0:
        return status == 0xF1 || status == 0xF3 ? 2 : status == 0xF2 ? 3 : 1;
    default:
        return 3;
    }
}

std::string nodeText(const LilvNode* node) { return node ? lilv_node_as_string(node) : ""; }

}  // namespace

struct Lv2Plugin::State {
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    bool active = false;
    std::string uri, error, current;
    std::vector<Port> ports;
    std::vector<LilvNode*> presets;
    int midiPort = -1;
    int audioOuts[2] = {-1, -1};
    int maxBlock = 0;
    float rate = 48000.0f;
    double tempo = 120.0;
    bool tempoPending = false;
    int64_t framesDone = 0;

    // URIDs: each string keeps its place once mapped.
    std::deque<std::string> uris;
    std::unordered_map<std::string, LV2_URID> ids;
    LV2_URID_Map map{this, &State::mapUri};
    LV2_URID_Unmap unmap{this, &State::unmapUri};

    // Offered features; options hold the block lengths and the sample rate.
    int32_t minBlock = 1, nominalBlock = 0, maxBlockOption = 0, sequenceSize = (int32_t)sequenceBytes;
    std::vector<LV2_Options_Option> options;
    LV2_Worker_Schedule schedule{this, &State::scheduleWork};
    LV2_Log_Log log{this, &State::logPrintf, &State::logVprintf};
    LV2_Feature mapFeature{LV2_URID__map, &map}, unmapFeature{LV2_URID__unmap, &unmap};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, nullptr};
    LV2_Feature boundedFeature{LV2_BUF_SIZE__boundedBlockLength, nullptr};
    LV2_Feature scheduleFeature{LV2_WORKER__schedule, &schedule};
    LV2_Feature logFeature{LV2_LOG__log, &log};
    std::vector<const LV2_Feature*> features;

    // Work the plug-in schedules runs after each run(), in this thread: an
    // offline render has no deadline to keep.
    const LV2_Worker_Interface* worker = nullptr;
    std::vector<std::vector<uint8_t>> requests, responses;

    LV2_Atom_Forge forge;

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
    {
        State* self = static_cast<State*>(handle);
        auto found = self->ids.find(uri);
        if (found != self->ids.end()) return found->second;
        self->uris.emplace_back(uri);
        LV2_URID id = (LV2_URID)self->uris.size();
        self->ids.emplace(self->uris.back(), id);
        return id;
    }

    static const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID id)
    {
        State* self = static_cast<State*>(handle);
        return id >= 1 && id <= self->uris.size() ? self->uris[id - 1].c_str() : nullptr;
    }

    static LV2_Worker_Status scheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data)
    {
        State* self = static_cast<State*>(handle);
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        self->requests.emplace_back(bytes, bytes + size);
        return LV2_WORKER_SUCCESS;
    }

    static LV2_Worker_Status respond(LV2_Worker_Respond_Handle handle, uint32_t size, const void* data)
    {
        State* self = static_cast<State*>(handle);
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        self->responses.emplace_back(bytes, bytes + size);
        return LV2_WORKER_SUCCESS;
    }

    static int logVprintf(LV2_Log_Handle, LV2_URID, const char* format, va_list args)
    {
        return std::vfprintf(stderr, format, args);
    }

    static int logPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        int n = logVprintf(handle, type, format, args);
        va_end(args);
        return n;
    }

    LV2_URID urid(const char* u) { return mapUri(this, u); }

    void runWorker()
    {
        if (!worker || !worker->work) {
            requests.clear();
            return;
        }
        LV2_Handle handle = lilv_instance_get_handle(instance);
        // Work may schedule more work; each request is answered in turn.
        for (size_t i = 0; i < requests.size(); ++i) {
            std::vector<uint8_t> request = std::move(requests[i]);
            worker->work(handle, &State::respond, this, (uint32_t)request.size(), request.data());
        }
        requests.clear();
        for (size_t i = 0; i < responses.size(); ++i) {
            if (worker->work_response)
                worker->work_response(handle, (uint32_t)responses[i].size(), responses[i].data());
        }
        responses.clear();
        if (worker->end_run) worker->end_run(handle);
    }

    static void setPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type)
    {
        State* self = static_cast<State*>(user);
        float v = 0.0f;
        if (type == self->urid(LV2_ATOM__Float) && size == sizeof(float))
            std::memcpy(&v, value, sizeof v);
        else if (type == self->urid(LV2_ATOM__Double) && size == sizeof(double)) {
            double d;
            std::memcpy(&d, value, sizeof d);
            v = (float)d;
        } else if ((type == self->urid(LV2_ATOM__Int) || type == self->urid(LV2_ATOM__Bool)) &&
                   size == sizeof(int32_t)) {
            int32_t i;
            std::memcpy(&i, value, sizeof i);
            v = (float)i;
        } else
            return;
        for (Port& p : self->ports)
            if (p.kind == PortKind::control && p.input && p.symbol == symbol) p.value = v;
    }

    bool restore(LilvState* state, const std::string& label)
    {
        if (!state) return false;
        lilv_state_restore(state, instance, &State::setPortValue, this, 0, features.data());
        current = label.empty() && lilv_state_get_label(state) ? lilv_state_get_label(state) : label;
        lilv_state_free(state);
        // The worker may have been handed loading work while restoring.
        if (!requests.empty() && active) runWorker();
        return true;
    }

    // Writes the block's events into the MIDI port's sequence (and the
    // tempo, when it changed, at frame 0 of a port that takes positions).
    void writeEvents(const std::vector<BlockEvent>& events)
    {
        for (size_t i = 0; i < ports.size(); ++i) {
            Port& p = ports[i];
            if (p.kind != PortKind::atom) continue;
            if (!p.input) {
                // Output sequences: the host tells the plug-in how much room there is.
                p.sequence()->atom.type = urid(LV2_ATOM__Chunk);
                p.sequence()->atom.size = sequenceBytes - sizeof(LV2_Atom);
                continue;
            }
            lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(p.atomBuffer.data()), sequenceBytes);
            LV2_Atom_Forge_Frame sequence;
            lv2_atom_forge_sequence_head(&forge, &sequence, 0);
            if (p.position && tempoPending) writePosition();
            if ((int)i == midiPort) {
                LV2_URID midiEvent = urid(LV2_MIDI__MidiEvent);
                for (const BlockEvent& e : events) {
                    uint32_t size = midiSize(e.data[0]);
                    lv2_atom_forge_frame_time(&forge, e.frame);
                    lv2_atom_forge_atom(&forge, size, midiEvent);
                    lv2_atom_forge_write(&forge, e.data, size);
                }
            }
            lv2_atom_forge_pop(&forge, &sequence);
        }
        tempoPending = false;
    }

    void writePosition()
    {
        const double beats = (double)framesDone / rate * tempo / 60.0;
        lv2_atom_forge_frame_time(&forge, 0);
        LV2_Atom_Forge_Frame object;
        lv2_atom_forge_object(&forge, &object, 0, urid(LV2_TIME__Position));
        lv2_atom_forge_key(&forge, urid(LV2_TIME__frame));
        lv2_atom_forge_long(&forge, framesDone);
        lv2_atom_forge_key(&forge, urid(LV2_TIME__speed));
        lv2_atom_forge_float(&forge, 1.0f);
        lv2_atom_forge_key(&forge, urid(LV2_TIME__beatsPerMinute));
        lv2_atom_forge_float(&forge, (float)tempo);
        lv2_atom_forge_key(&forge, urid(LV2_TIME__beatsPerBar));
        lv2_atom_forge_float(&forge, 4.0f);
        lv2_atom_forge_key(&forge, urid(LV2_TIME__beatUnit));
        lv2_atom_forge_int(&forge, 4);
        lv2_atom_forge_key(&forge, urid(LV2_TIME__bar));
        lv2_atom_forge_long(&forge, (int64_t)(beats / 4.0));
        lv2_atom_forge_key(&forge, urid(LV2_TIME__barBeat));
        lv2_atom_forge_float(&forge, (float)std::fmod(beats, 4.0));
        lv2_atom_forge_pop(&forge, &object);
    }

    ~State()
    {
        if (instance) {
            if (active) lilv_instance_deactivate(instance);
            lilv_instance_free(instance);
        }
        for (LilvNode* n : presets) lilv_node_free(n);
        if (world) lilv_world_free(world);
    }
};

Lv2Plugin::Lv2Plugin() : s(std::make_unique<State>()) {}

Lv2Plugin::~Lv2Plugin() = default;

bool Lv2Plugin::load(const std::string& uri, std::string& error)
{
    s->uri = uri;
    s->world = lilv_world_new();
    lilv_world_load_all(s->world);  // LV2_PATH, else the standard folders
    LilvNode* uriNode = lilv_new_uri(s->world, uri.c_str());
    s->plugin = uriNode ? lilv_plugins_get_by_uri(lilv_world_get_all_plugins(s->world), uriNode) : nullptr;
    lilv_node_free(uriNode);
    if (!s->plugin) {
        const char* path = std::getenv("LV2_PATH");
        error = "no LV2 plug-in with the URI " + uri + " in " +
                (path ? "LV2_PATH=" + std::string(path) : std::string("the standard LV2 folders (LV2_PATH unset)")) +
                " (lv2ls lists them)";
        return false;
    }

    auto node = [&](const char* u) { return lilv_new_uri(s->world, u); };
    LilvNode* inputClass = node(LV2_CORE__InputPort);
    LilvNode* audioClass = node(LV2_CORE__AudioPort);
    LilvNode* cvClass = node(LV2_CORE__CVPort);
    LilvNode* controlClass = node(LV2_CORE__ControlPort);
    LilvNode* atomClass = node(LV2_ATOM__AtomPort);
    LilvNode* midiEvent = node(LV2_MIDI__MidiEvent);
    LilvNode* position = node(LV2_TIME__Position);
    const uint32_t count = lilv_plugin_get_num_ports(s->plugin);
    std::vector<float> lows(count), highs(count), defaults(count);
    lilv_plugin_get_port_ranges_float(s->plugin, lows.data(), highs.data(), defaults.data());
    s->ports.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const LilvPort* lp = lilv_plugin_get_port_by_index(s->plugin, i);
        Port& p = s->ports[i];
        p.symbol = nodeText(lilv_port_get_symbol(s->plugin, lp));
        LilvNode* name = lilv_port_get_name(s->plugin, lp);
        p.name = name ? lilv_node_as_string(name) : p.symbol;
        lilv_node_free(name);
        p.input = lilv_port_is_a(s->plugin, lp, inputClass);
        if (lilv_port_is_a(s->plugin, lp, audioClass))
            p.kind = PortKind::audio;
        else if (lilv_port_is_a(s->plugin, lp, cvClass))
            p.kind = PortKind::cv;
        else if (lilv_port_is_a(s->plugin, lp, controlClass))
            p.kind = PortKind::control;
        else if (lilv_port_is_a(s->plugin, lp, atomClass))
            p.kind = PortKind::atom;
        if (p.kind == PortKind::atom) {
            p.midi = p.input && lilv_port_supports_event(s->plugin, lp, midiEvent);
            p.position = p.input && lilv_port_supports_event(s->plugin, lp, position);
            if (p.midi && s->midiPort < 0) s->midiPort = (int)i;
        }
        if (p.kind == PortKind::audio && !p.input) {
            if (s->audioOuts[0] < 0)
                s->audioOuts[0] = (int)i;
            else if (s->audioOuts[1] < 0)
                s->audioOuts[1] = (int)i;
        }
        p.low = std::isnan(lows[i]) ? 0.0f : lows[i];
        p.high = std::isnan(highs[i]) ? 1.0f : highs[i];
        p.value = !std::isnan(defaults[i]) ? defaults[i] : p.low;
    }
    for (LilvNode* n : {inputClass, audioClass, cvClass, controlClass, atomClass, midiEvent, position})
        lilv_node_free(n);

    bool unknownPort = false;
    for (size_t i = 0; i < s->ports.size(); ++i) unknownPort |= s->ports[i].kind == PortKind::other;
    if (s->midiPort < 0) {
        error = uri + " has no MIDI input (an atom input port that takes midi:MidiEvent): not an instrument";
        return false;
    }
    if (s->audioOuts[0] < 0) {
        error = uri + " has no audio output";
        return false;
    }
    if (unknownPort) {
        error = uri + " has a port of a kind the render tool cannot connect (only audio, CV, control and atom)";
        return false;
    }

    // Features the plug-in requires must be among those offered.
    s->features = {&s->mapFeature,     &s->unmapFeature,    &s->optionsFeature,
                   &s->boundedFeature, &s->scheduleFeature, &s->logFeature};
    LilvNodes* required = lilv_plugin_get_required_features(s->plugin);
    std::string missing;
    LILV_FOREACH(nodes, it, required)
    {
        std::string feature = nodeText(lilv_nodes_get(required, it));
        bool offered = false;
        for (const LV2_Feature* f : s->features) offered |= feature == f->URI;
        if (!offered) missing += " " + feature;
    }
    lilv_nodes_free(required);
    if (!missing.empty()) {
        error = uri + " requires features the render tool does not offer:" + missing;
        return false;
    }
    s->features.push_back(nullptr);

    // The plug-in's presets, for --list-presets and --preset.
    LilvNode* presetClass = node(LV2_PRESETS__Preset);
    LilvNodes* related = lilv_plugin_get_related(s->plugin, presetClass);
    LILV_FOREACH(nodes, it, related) s->presets.push_back(lilv_node_duplicate(lilv_nodes_get(related, it)));
    lilv_nodes_free(related);
    lilv_node_free(presetClass);
    std::sort(s->presets.begin(), s->presets.end(),
              [](const LilvNode* a, const LilvNode* b) { return nodeText(a) < nodeText(b); });
    return true;
}

bool Lv2Plugin::start(float sampleRate, int blockSize)
{
    if (!s->plugin || blockSize <= 0) return false;
    s->rate = sampleRate;
    s->maxBlock = blockSize;
    s->nominalBlock = s->maxBlockOption = blockSize;
    LV2_URID intType = s->urid(LV2_ATOM__Int), floatType = s->urid(LV2_ATOM__Float);
    s->options = {
        {LV2_OPTIONS_INSTANCE, 0, s->urid(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), intType, &s->minBlock},
        {LV2_OPTIONS_INSTANCE, 0, s->urid(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType, &s->maxBlockOption},
        {LV2_OPTIONS_INSTANCE, 0, s->urid(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t), intType,
         &s->nominalBlock},
        {LV2_OPTIONS_INSTANCE, 0, s->urid(LV2_BUF_SIZE__sequenceSize), sizeof(int32_t), intType, &s->sequenceSize},
        {LV2_OPTIONS_INSTANCE, 0, s->urid(LV2_PARAMETERS__sampleRate), sizeof(float), floatType, &s->rate},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
    };
    s->optionsFeature.data = s->options.data();
    lv2_atom_forge_init(&s->forge, &s->map);

    s->instance = lilv_plugin_instantiate(s->plugin, sampleRate, s->features.data());
    if (!s->instance) {
        s->error = s->uri + " could not be instantiated at " + std::to_string((int)sampleRate) + " Hz";
        return false;
    }
    s->worker =
        static_cast<const LV2_Worker_Interface*>(lilv_instance_get_extension_data(s->instance, LV2_WORKER__interface));
    for (size_t i = 0; i < s->ports.size(); ++i) {
        Port& p = s->ports[i];
        void* buffer = nullptr;
        if (p.kind == PortKind::audio || p.kind == PortKind::cv) {
            p.samples.assign((size_t)blockSize, 0.0f);
            buffer = p.samples.data();
        } else if (p.kind == PortKind::atom) {
            p.atomBuffer.assign(sequenceBytes / sizeof(uint64_t), 0);
            buffer = p.atomBuffer.data();
        } else {
            buffer = &p.value;
        }
        lilv_instance_connect_port(s->instance, (uint32_t)i, buffer);
    }
    lilv_instance_activate(s->instance);
    s->active = true;
    s->tempoPending = true;
    return true;
}

PluginInfo Lv2Plugin::info()
{
    PluginInfo i;
    if (!s->plugin) return i;
    LilvNode* name = lilv_plugin_get_name(s->plugin);
    LilvNode* author = lilv_plugin_get_author_name(s->plugin);
    i.effectName = nodeText(name);
    i.vendor = nodeText(author);
    lilv_node_free(name);
    lilv_node_free(author);
    i.uri = s->uri;
    i.category = 2;  // an instrument: it has a MIDI input
    for (const Port& p : s->ports) {
        if (p.kind == PortKind::audio) (p.input ? i.numInputs : i.numOutputs) += 1;
        if (p.kind == PortKind::control && p.input) ++i.numParams;
    }
    i.numPrograms = (int32_t)s->presets.size();
    return i;
}

std::vector<ParamInfo> Lv2Plugin::parameters()
{
    std::vector<ParamInfo> list;
    for (const Port& p : s->ports) {
        if (p.kind != PortKind::control || !p.input) continue;
        ParamInfo info;
        info.name = p.symbol;
        char text[64];
        std::snprintf(text, sizeof text, "%g", p.value);
        info.display = text;
        info.value = p.high > p.low ? (p.value - p.low) / (p.high - p.low) : 0.0f;
        list.push_back(info);
    }
    return list;
}

std::vector<std::string> Lv2Plugin::programNames()
{
    std::vector<std::string> names;
    LilvNode* labelPredicate = lilv_new_uri(s->world, LILV_NS_RDFS "label");
    for (const LilvNode* preset : s->presets) {
        lilv_world_load_resource(s->world, preset);
        LilvNode* label = lilv_world_get(s->world, preset, labelPredicate, nullptr);
        names.push_back(label ? lilv_node_as_string(label) : "");
        lilv_node_free(label);
    }
    lilv_node_free(labelPredicate);
    return names;
}

std::vector<std::string> Lv2Plugin::presetUris() const
{
    std::vector<std::string> list;
    for (const LilvNode* preset : s->presets) list.push_back(nodeText(preset));
    return list;
}

int Lv2Plugin::findPreset(const std::string& wanted) const
{
    for (size_t i = 0; i < s->presets.size(); ++i)
        if (nodeText(s->presets[i]) == wanted) return (int)i;
    std::vector<std::string> labels = const_cast<Lv2Plugin*>(this)->programNames();
    for (bool ignoreCase : {false, true}) {
        int found = -1;
        for (size_t i = 0; i < labels.size(); ++i) {
            // The whole label, or its last part after a '/' ("Category/Name").
            const std::string& label = labels[i];
            size_t slash = label.rfind('/');
            std::string tail = slash == std::string::npos ? label : label.substr(slash + 1);
            auto same = [&](const std::string& a) { return ignoreCase ? sameIgnoringCase(a, wanted) : a == wanted; };
            if (!same(label) && !same(tail)) continue;
            if (found >= 0) return -2;
            found = (int)i;
        }
        if (found >= 0) return found;
    }
    return -1;
}

std::string Lv2Plugin::programName() { return s->current.empty() ? "port defaults" : s->current; }

bool Lv2Plugin::setParameter(int index, float value)
{
    for (Port& p : s->ports) {
        if (p.kind != PortKind::control || !p.input || index-- != 0) continue;
        p.value = p.low + value * (p.high - p.low);
        return true;
    }
    return false;
}

bool Lv2Plugin::setProgram(int index)
{
    if (!s->instance || index < 0 || index >= (int)s->presets.size()) return false;
    const LilvNode* preset = s->presets[(size_t)index];
    lilv_world_load_resource(s->world, preset);
    LilvState* state = lilv_state_new_from_world(s->world, &s->map, preset);
    if (!state) {
        s->error = "the preset " + nodeText(preset) + " could not be read";
        return false;
    }
    return s->restore(state, programNames()[(size_t)index]);
}

bool Lv2Plugin::setProgramChunk(const std::vector<uint8_t>& bytes)
{
    if (!s->instance || bytes.empty()) return false;
    std::string text(bytes.begin(), bytes.end());
    LilvState* state = lilv_state_new_from_string(s->world, &s->map, text.c_str());
    if (!state) {
        s->error = "not an LV2 state in Turtle";
        return false;
    }
    return s->restore(state, "");
}

bool Lv2Plugin::setTempo(double beatsPerMinute)
{
    if (beatsPerMinute <= 0.0) return false;
    s->tempo = beatsPerMinute;
    s->tempoPending = true;
    return true;
}

bool Lv2Plugin::process(const std::vector<BlockEvent>& events, int frames, float* left, float* right)
{
    if (!s->active || frames <= 0 || frames > s->maxBlock) return false;
    s->writeEvents(events);
    for (Port& p : s->ports)
        if ((p.kind == PortKind::audio || p.kind == PortKind::cv) && p.input)
            std::fill(p.samples.begin(), p.samples.begin() + frames, 0.0f);
    lilv_instance_run(s->instance, (uint32_t)frames);
    if (!s->requests.empty() || (s->worker && s->worker->end_run)) s->runWorker();
    s->framesDone += frames;
    const float* l = s->ports[(size_t)s->audioOuts[0]].samples.data();
    const float* r = s->audioOuts[1] >= 0 ? s->ports[(size_t)s->audioOuts[1]].samples.data() : l;
    std::memcpy(left, l, sizeof(float) * (size_t)frames);
    std::memcpy(right, r, sizeof(float) * (size_t)frames);
    return true;
}

std::string Lv2Plugin::lastError() const { return s->error; }
