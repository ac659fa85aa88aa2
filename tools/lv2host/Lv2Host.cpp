#include "tools/lv2host/Lv2Host.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/log/log.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <unordered_map>

namespace {

// Room for one block's events in each atom port (bytes).
constexpr uint32_t sequenceBytes = 64 * 1024;

std::string nodeText(const LilvNode* node) { return node ? lilv_node_as_string(node) : ""; }

struct QueuedEvent {
    uint32_t frame;
    uint32_t size;
    uint8_t bytes[3];
};

}  // namespace

struct Lv2Host::State {
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    std::string uri, error, current;
    std::vector<Port> ports;
    std::vector<std::vector<float>> samples;         // audio and CV ports
    std::vector<std::vector<uint64_t>> atomBuffers;  // atom ports (8-byte aligned)
    std::vector<std::string> presets;
    std::vector<QueuedEvent> queued;
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
    // Null-terminated, as plug-ins take them.
    std::vector<const LV2_Feature*> features{&mapFeature,      &unmapFeature, &optionsFeature, &boundedFeature,
                                             &scheduleFeature, &logFeature,   nullptr};

    // Work the plug-in schedules runs after each run(), in this thread: the
    // host's uses (offline renders, tests) have no deadline to keep.
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
        if (!instance) {
            lilv_state_free(state);
            error = "no instance to restore a state into";
            return false;
        }
        lilv_state_restore(state, instance, &State::setPortValue, this, 0, features.data());
        current = label.empty() && lilv_state_get_label(state) ? lilv_state_get_label(state) : label;
        lilv_state_free(state);
        // The worker may have been handed loading work while restoring.
        if (!requests.empty()) runWorker();
        return true;
    }

    // Writes the queued events into the MIDI port's sequence (and the tempo,
    // when it changed, at frame 0 of a port that takes positions).
    void writeEvents()
    {
        std::stable_sort(queued.begin(), queued.end(),
                         [](const QueuedEvent& a, const QueuedEvent& b) { return a.frame < b.frame; });
        for (size_t i = 0; i < ports.size(); ++i) {
            Port& p = ports[i];
            if (p.kind != PortKind::atom) continue;
            auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(atomBuffers[i].data());
            if (!p.input) {
                // Output sequences: the host tells the plug-in how much room there is.
                sequence->atom.type = urid(LV2_ATOM__Chunk);
                sequence->atom.size = sequenceBytes - sizeof(LV2_Atom);
                continue;
            }
            lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(sequence), sequenceBytes);
            LV2_Atom_Forge_Frame frame;
            lv2_atom_forge_sequence_head(&forge, &frame, 0);
            if (p.position && tempoPending) writePosition();
            if ((int)i == midiPort) {
                LV2_URID midiEvent = urid(LV2_MIDI__MidiEvent);
                // An event that no longer fits is left out whole.
                const uint32_t room = (uint32_t)sizeof(LV2_Atom_Event) + 8;
                for (const QueuedEvent& e : queued) {
                    if (forge.offset + room > forge.size) break;
                    lv2_atom_forge_frame_time(&forge, e.frame);
                    lv2_atom_forge_atom(&forge, e.size, midiEvent);
                    lv2_atom_forge_write(&forge, e.bytes, e.size);
                }
            }
            lv2_atom_forge_pop(&forge, &frame);
        }
        queued.clear();
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

    const LV2_State_Interface* stateInterface() const
    {
        return instance ? static_cast<const LV2_State_Interface*>(
                              lilv_instance_get_extension_data(instance, LV2_STATE__interface))
                        : nullptr;
    }

    void freeInstance()
    {
        if (!instance) return;
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
        instance = nullptr;
        worker = nullptr;
        requests.clear();
        responses.clear();
    }

    ~State()
    {
        freeInstance();
        if (world) lilv_world_free(world);
    }
};

Lv2Host::Lv2Host() : s(std::make_unique<State>()) {}

Lv2Host::Lv2Host(const std::string& uri, const std::string& bundle) : Lv2Host() { load(uri, bundle); }

Lv2Host::~Lv2Host() = default;

const std::string& Lv2Host::error() const { return s->error; }
LilvWorld* Lv2Host::world() const { return s->world; }
const LilvPlugin* Lv2Host::plugin() const { return s->plugin; }
LV2_URID Lv2Host::map(const char* uri) { return s->urid(uri); }
const std::vector<Lv2Host::Port>& Lv2Host::ports() const { return s->ports; }
float& Lv2Host::control(uint32_t port) { return s->ports[port].value; }
LilvInstance* Lv2Host::instance() const { return s->instance; }
void Lv2Host::freeInstance() { s->freeInstance(); }
const std::vector<std::string>& Lv2Host::presetUris() const { return s->presets; }
const std::string& Lv2Host::currentLabel() const { return s->current; }

bool Lv2Host::load(const std::string& uri, const std::string& bundle)
{
    s->uri = uri;
    if (!s->world) s->world = lilv_world_new();
    if (bundle.empty()) {
        lilv_world_load_all(s->world);  // LV2_PATH, else the standard folders
    } else {
        LilvNode* bundleNode = lilv_new_file_uri(s->world, nullptr, (bundle + "/").c_str());
        lilv_world_load_bundle(s->world, bundleNode);
        lilv_node_free(bundleNode);
    }
    LilvNode* uriNode = lilv_new_uri(s->world, uri.c_str());
    s->plugin = uriNode ? lilv_plugins_get_by_uri(lilv_world_get_all_plugins(s->world), uriNode) : nullptr;
    lilv_node_free(uriNode);
    if (!s->plugin) {
        const char* path = std::getenv("LV2_PATH");
        s->error = "no LV2 plug-in with the URI " + uri + " in " +
                   (!bundle.empty() ? bundle
                    : path          ? "LV2_PATH=" + std::string(path)
                                    : std::string("the standard LV2 folders (LV2_PATH unset)")) +
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
    s->ports.assign(count, Port());
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
    for (const Port& p : s->ports) unknownPort |= p.kind == PortKind::other;
    if (s->midiPort < 0) {
        s->error = uri + " has no MIDI input (an atom input port that takes midi:MidiEvent): not an instrument";
        return false;
    }
    if (s->audioOuts[0] < 0) {
        s->error = uri + " has no audio output";
        return false;
    }
    if (unknownPort) {
        s->error = uri + " has a port of a kind the host cannot connect (only audio, CV, control and atom)";
        return false;
    }

    // Features the plug-in requires must be among those offered.
    LilvNodes* required = lilv_plugin_get_required_features(s->plugin);
    std::string missing;
    LILV_FOREACH(nodes, it, required)
    {
        std::string feature = nodeText(lilv_nodes_get(required, it));
        bool offered = false;
        for (const LV2_Feature* f : s->features) offered |= f && feature == f->URI;
        if (!offered) missing += " " + feature;
    }
    lilv_nodes_free(required);
    if (!missing.empty()) {
        s->error = uri + " requires features the host does not offer:" + missing;
        return false;
    }

    LilvNode* presetClass = node(LV2_PRESETS__Preset);
    LilvNodes* related = lilv_plugin_get_related(s->plugin, presetClass);
    LILV_FOREACH(nodes, it, related) s->presets.push_back(nodeText(lilv_nodes_get(related, it)));
    lilv_nodes_free(related);
    lilv_node_free(presetClass);
    std::sort(s->presets.begin(), s->presets.end());
    return true;
}

bool Lv2Host::instantiate(double rate, int maxBlock, bool offerMap)
{
    s->freeInstance();
    if (!s->plugin || maxBlock <= 0) return false;
    s->rate = (float)rate;
    s->maxBlock = s->nominalBlock = s->maxBlockOption = maxBlock;
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

    std::vector<const LV2_Feature*> offered = s->features;
    if (!offerMap) offered.erase(offered.begin());  // the map comes first
    s->instance = lilv_plugin_instantiate(s->plugin, rate, offered.data());
    if (!s->instance) {
        s->error = s->uri + " could not be instantiated at " + std::to_string((int)rate) + " Hz";
        return false;
    }
    s->worker =
        static_cast<const LV2_Worker_Interface*>(lilv_instance_get_extension_data(s->instance, LV2_WORKER__interface));
    s->samples.assign(s->ports.size(), {});
    s->atomBuffers.assign(s->ports.size(), {});
    for (size_t i = 0; i < s->ports.size(); ++i) {
        Port& p = s->ports[i];
        void* buffer = &p.value;
        if (p.kind == PortKind::audio || p.kind == PortKind::cv) {
            s->samples[i].assign((size_t)maxBlock, 0.0f);
            buffer = s->samples[i].data();
        } else if (p.kind == PortKind::atom) {
            s->atomBuffers[i].assign(sequenceBytes / sizeof(uint64_t), 0);
            buffer = s->atomBuffers[i].data();
        }
        lilv_instance_connect_port(s->instance, (uint32_t)i, buffer);
    }
    lilv_instance_activate(s->instance);
    s->tempoPending = true;
    s->framesDone = 0;
    s->queued.clear();
    return true;
}

void Lv2Host::queueMidi(uint32_t frame, const uint8_t* bytes, uint32_t size)
{
    if (size < 1 || size > 3) return;
    QueuedEvent e{frame, size, {0, 0, 0}};
    std::memcpy(e.bytes, bytes, size);
    s->queued.push_back(e);
}

void Lv2Host::queueMidi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    // Bytes of a short MIDI message by its status byte.
    uint32_t size = 3;
    if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0)
        size = 2;
    else if ((status & 0xF0) == 0xF0)
        size = status == 0xF1 || status == 0xF3 ? 2 : status == 0xF2 ? 3 : 1;
    const uint8_t bytes[3] = {status, data1, data2};
    queueMidi(frame, bytes, size);
}

void Lv2Host::setTempo(double beatsPerMinute)
{
    s->tempo = beatsPerMinute;
    s->tempoPending = true;
}

bool Lv2Host::run(uint32_t frames)
{
    if (!s->instance || frames == 0 || frames > (uint32_t)s->maxBlock) return false;
    s->writeEvents();
    for (size_t i = 0; i < s->ports.size(); ++i)
        if (s->ports[i].input && !s->samples[i].empty()) std::fill_n(s->samples[i].begin(), frames, 0.0f);
    lilv_instance_run(s->instance, frames);
    if (!s->requests.empty() || (s->worker && s->worker->end_run)) s->runWorker();
    s->framesDone += frames;
    return true;
}

bool Lv2Host::run(uint32_t frames, std::vector<float>& left, std::vector<float>& right)
{
    if (!run(frames)) return false;
    left.insert(left.end(), output(0), output(0) + frames);
    right.insert(right.end(), output(1), output(1) + frames);
    return true;
}

const float* Lv2Host::output(int channel) const
{
    const int port = channel == 1 && s->audioOuts[1] >= 0 ? s->audioOuts[1] : s->audioOuts[0];
    return port >= 0 && s->instance ? s->samples[(size_t)port].data() : nullptr;
}

namespace {

LV2_State_Status storeValue(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                            uint32_t flags)
{
    Lv2Host::StoredValue& stored = (*static_cast<Lv2Host::Store*>(handle))[key];
    stored.type = type;
    stored.flags = flags;
    stored.bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    return LV2_STATE_SUCCESS;
}

const void* retrieveValue(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    const auto& store = *static_cast<const Lv2Host::Store*>(handle);
    auto found = store.find(key);
    if (found == store.end()) return nullptr;
    *size = found->second.bytes.size();
    *type = found->second.type;
    *flags = found->second.flags;
    return found->second.bytes.data();
}

}  // namespace

LV2_State_Status Lv2Host::saveState(Store& store)
{
    const LV2_State_Interface* state = s->stateInterface();
    if (!state) return LV2_STATE_ERR_UNKNOWN;
    return state->save(lilv_instance_get_handle(s->instance), storeValue, &store, LV2_STATE_IS_POD, s->features.data());
}

LV2_State_Status Lv2Host::restoreState(const Store& store)
{
    const LV2_State_Interface* state = s->stateInterface();
    if (!state) return LV2_STATE_ERR_UNKNOWN;
    LV2_State_Status status = state->restore(lilv_instance_get_handle(s->instance), retrieveValue,
                                             const_cast<Store*>(&store), 0, s->features.data());
    if (!s->requests.empty()) s->runWorker();
    return status;
}

std::vector<std::string> Lv2Host::presetLabels()
{
    std::vector<std::string> labels;
    LilvNode* labelPredicate = lilv_new_uri(s->world, LILV_NS_RDFS "label");
    for (const std::string& uri : s->presets) {
        LilvNode* preset = lilv_new_uri(s->world, uri.c_str());
        lilv_world_load_resource(s->world, preset);
        LilvNode* label = lilv_world_get(s->world, preset, labelPredicate, nullptr);
        labels.push_back(nodeText(label));
        lilv_node_free(label);
        lilv_node_free(preset);
    }
    lilv_node_free(labelPredicate);
    return labels;
}

bool Lv2Host::applyPreset(const std::string& uri)
{
    LilvNode* preset = lilv_new_uri(s->world, uri.c_str());
    lilv_world_load_resource(s->world, preset);
    LilvState* state = lilv_state_new_from_world(s->world, &s->map, preset);
    lilv_node_free(preset);
    if (!state) {
        s->error = "the preset " + uri + " could not be read";
        return false;
    }
    return s->restore(state, "");
}

bool Lv2Host::applyTurtle(const std::string& text)
{
    LilvState* state = lilv_state_new_from_string(s->world, &s->map, text.c_str());
    if (!state) {
        s->error = "not an LV2 state in Turtle";
        return false;
    }
    return s->restore(state, "");
}

namespace {

// A UI's port write: a control input takes the value, as a host's would.
void uiWrite(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer)
{
    auto* ui = static_cast<Lv2Host::Ui*>(controller);
    if (protocol != 0 || size != sizeof(float) || port >= ui->host->ports().size()) return;
    float v;
    std::memcpy(&v, buffer, sizeof v);
    ui->writes.emplace_back(port, v);
    if (ui->host->ports()[port].kind == Lv2Host::PortKind::control) ui->host->control(port) = v;
}

}  // namespace

bool Lv2Host::openUi(Ui& ui, unsigned long parentWindow, bool instanceAccess)
{
    if (!s->plugin) return false;
    LilvUIs* uis = lilv_plugin_get_uis(s->plugin);
    std::string binary, uri;
    LILV_FOREACH(uis, i, uis)
    {
        const LilvUI* found = lilv_uis_get(uis, i);
        char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(found)), nullptr);
        binary = path ? path : "";
        lilv_free(path);
        uri = nodeText(lilv_ui_get_uri(found));
    }
    lilv_uis_free(uis);
    std::string error;
    if (binary.empty() || !ui.module.load(binary, error)) return false;
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(ui.module.symbol("lv2ui_descriptor"));
    for (uint32_t i = 0; entry && (ui.descriptor = entry(i)); ++i)
        if (uri == ui.descriptor->URI) break;
    if (!ui.descriptor) return false;

    ui.host = this;
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(parentWindow)};
    LV2_Feature access{LV2_INSTANCE_ACCESS_URI, s->instance ? lilv_instance_get_handle(s->instance) : nullptr};
    LV2_Feature idle{LV2_UI__idleInterface, nullptr};
    std::vector<const LV2_Feature*> features = s->features;
    features.back() = &parent;
    features.push_back(&idle);
    if (instanceAccess) features.push_back(&access);
    features.push_back(nullptr);
    char* bundlePath = lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_bundle_uri(s->plugin)), nullptr);
    ui.handle = ui.descriptor->instantiate(ui.descriptor, s->uri.c_str(), bundlePath, uiWrite, &ui, &ui.widget,
                                           features.data());
    lilv_free(bundlePath);
    if (ui.descriptor->extension_data)
        ui.idle = static_cast<const LV2UI_Idle_Interface*>(ui.descriptor->extension_data(LV2_UI__idleInterface));
    return ui.handle != nullptr;
}

void Lv2Host::closeUi(Ui& ui)
{
    if (ui.handle) ui.descriptor->cleanup(ui.handle);
    ui.handle = nullptr;
    ui.module.unload();
}
