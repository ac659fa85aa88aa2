#include "Lv2TestHost.h"

#include <lv2/instance-access/instance-access.h>
#include <lv2/midi/midi.h>

#include <dlfcn.h>

#include <cstring>

LV2_URID Lv2TestHost::mapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    return static_cast<Lv2TestHost*>(handle)->map(uri);
}

LV2_URID Lv2TestHost::map(const char* uri)
{
    for (size_t i = 0; i < uris_.size(); ++i)
        if (uris_[i] == uri) return (LV2_URID)(i + 1);
    uris_.push_back(uri);
    return (LV2_URID)uris_.size();
}

Lv2TestHost::Lv2TestHost(const std::string& bundle, const char* uri)
{
    world_ = lilv_world_new();
    LilvNode* bundleNode = lilv_new_file_uri(world_, nullptr, (bundle + "/").c_str());
    lilv_world_load_bundle(world_, bundleNode);
    lilv_node_free(bundleNode);
    LilvNode* uriNode = lilv_new_uri(world_, uri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uriNode);
    lilv_node_free(uriNode);
    if (plugin_) controls_.assign(lilv_plugin_get_num_ports(plugin_), 0.0f);
    // Every port starts at its default, as a host sets it.
    for (size_t i = 0; plugin_ && i < controls_.size(); ++i) {
        LilvNode* def = nullptr;
        lilv_port_get_range(plugin_, lilv_plugin_get_port_by_index(plugin_, (uint32_t)i), &def, nullptr, nullptr);
        if (def) controls_[i] = lilv_node_as_float(def);
        lilv_node_free(def);
    }
}

Lv2TestHost::~Lv2TestHost()
{
    freeInstance();
    lilv_world_free(world_);
}

void Lv2TestHost::freeInstance()
{
    if (!instance_) return;
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
    instance_ = nullptr;
}

bool Lv2TestHost::instantiate(double rate, bool withMap)
{
    freeInstance();
    if (!plugin_) return false;
    const LV2_Feature* features[] = {withMap ? &mapFeature_ : nullptr, nullptr};
    instance_ = lilv_plugin_instantiate(plugin_, rate, features);
    if (!instance_) return false;
    outLeft_.assign(8192, 0.0f);
    outRight_.assign(8192, 0.0f);
    LilvNode* audio = lilv_new_uri(world_, LV2_CORE__AudioPort);
    LilvNode* atom = lilv_new_uri(world_, LV2_ATOM__AtomPort);
    int outputs = 0;
    for (uint32_t i = 0; i < controls_.size(); ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
        if (lilv_port_is_a(plugin_, port, audio))
            lilv_instance_connect_port(instance_, i, (outputs++ ? outRight_ : outLeft_).data());
        else if (lilv_port_is_a(plugin_, port, atom))
            lilv_instance_connect_port(instance_, i, sequence_);
        else
            lilv_instance_connect_port(instance_, i, &controls_[i]);
    }
    lilv_node_free(audio);
    lilv_node_free(atom);
    lilv_instance_activate(instance_);
    return true;
}

void Lv2TestHost::queueMidi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    if (sizeof(LV2_Atom_Sequence) + events_.size() + sizeof(LV2_Atom_Event) + 8 > sizeof sequence_) return;
    LV2_Atom_Event event{};
    event.time.frames = frame;
    event.body.size = 3;
    event.body.type = map(LV2_MIDI__MidiEvent);
    const uint8_t bytes[8] = {status, data1, data2};
    const uint8_t* head = reinterpret_cast<const uint8_t*>(&event);
    events_.insert(events_.end(), head, head + sizeof event);
    events_.insert(events_.end(), bytes, bytes + 8);  // the body padded to 8 bytes
}

void Lv2TestHost::run(uint32_t frames, std::vector<float>& left, std::vector<float>& right)
{
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(sequence_);
    sequence->atom.type = map(LV2_ATOM__Sequence);
    sequence->atom.size = (uint32_t)(sizeof(LV2_Atom_Sequence_Body) + events_.size());
    sequence->body.unit = 0;
    sequence->body.pad = 0;
    if (!events_.empty()) std::memcpy(sequence_ + sizeof(LV2_Atom_Sequence), events_.data(), events_.size());
    events_.clear();
    lilv_instance_run(instance_, frames);
    left.insert(left.end(), outLeft_.begin(), outLeft_.begin() + frames);
    right.insert(right.end(), outRight_.begin(), outRight_.begin() + frames);
}

namespace {

LV2_State_Status storeValue(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                            uint32_t flags)
{
    auto& store = *static_cast<Lv2TestHost::Store*>(handle);
    Lv2TestHost::StoredValue& stored = store[key];
    stored.type = type;
    stored.flags = flags;
    stored.bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    return LV2_STATE_SUCCESS;
}

const void* retrieveValue(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    const auto& store = *static_cast<const Lv2TestHost::Store*>(handle);
    auto found = store.find(key);
    if (found == store.end()) return nullptr;
    *size = found->second.bytes.size();
    *type = found->second.type;
    *flags = found->second.flags;
    return found->second.bytes.data();
}

const LV2_State_Interface* stateInterface(LilvInstance* instance)
{
    return instance ? static_cast<const LV2_State_Interface*>(
                          lilv_instance_get_extension_data(instance, LV2_STATE__interface))
                    : nullptr;
}

void recordWrite(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer)
{
    auto* ui = static_cast<Lv2TestHost::Ui*>(controller);
    if (protocol == 0 && size == sizeof(float)) {
        float v;
        std::memcpy(&v, buffer, sizeof v);
        ui->writes.emplace_back(port, v);
    }
}

}  // namespace

LV2_State_Status Lv2TestHost::saveState(Store& store)
{
    const LV2_State_Interface* state = stateInterface(instance_);
    if (!state) return LV2_STATE_ERR_UNKNOWN;
    return state->save(lilv_instance_get_handle(instance_), storeValue, &store, LV2_STATE_IS_POD, nullptr);
}

LV2_State_Status Lv2TestHost::restoreState(const Store& store)
{
    const LV2_State_Interface* state = stateInterface(instance_);
    if (!state) return LV2_STATE_ERR_UNKNOWN;
    return state->restore(lilv_instance_get_handle(instance_), retrieveValue, const_cast<Store*>(&store), 0, nullptr);
}

namespace {
void setPortValue(const char* symbol, void* userData, const void* value, uint32_t size, uint32_t type)
{
    auto* host = static_cast<Lv2TestHost*>(userData);
    LilvNode* node = lilv_new_string(host->world(), symbol);
    const LilvPort* port = lilv_plugin_get_port_by_symbol(host->plugin(), node);
    lilv_node_free(node);
    if (port && size == sizeof(float) && type == host->map(LV2_ATOM__Float))
        std::memcpy(&host->control(lilv_port_get_index(host->plugin(), port)), value, sizeof(float));
}
}  // namespace

bool Lv2TestHost::applyPreset(const std::string& uri)
{
    LilvNode* preset = lilv_new_uri(world_, uri.c_str());
    lilv_world_load_resource(world_, preset);
    LilvState* state = lilv_state_new_from_world(world_, &map_, preset);
    lilv_node_free(preset);
    if (!state) return false;
    const LV2_Feature* features[] = {&mapFeature_, nullptr};
    lilv_state_restore(state, instance_, setPortValue, this, 0, features);
    lilv_state_free(state);
    return true;
}

bool Lv2TestHost::openUi(Ui& ui, unsigned long parentWindow, bool instanceAccess)
{
    LilvUIs* uis = lilv_plugin_get_uis(plugin_);
    const LilvUI* found = nullptr;
    LILV_FOREACH(uis, i, uis)
    found = lilv_uis_get(uis, i);
    std::string binary, uri;
    if (found) {
        char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(found)), nullptr);
        binary = path ? path : "";
        lilv_free(path);
        uri = lilv_node_as_uri(lilv_ui_get_uri(found));
    }
    lilv_uis_free(uis);
    if (binary.empty()) return false;
    ui.library = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!ui.library) return false;
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(ui.library, "lv2ui_descriptor"));
    for (uint32_t i = 0; entry && (ui.descriptor = entry(i)); ++i)
        if (uri == ui.descriptor->URI) break;
    if (!ui.descriptor) return false;

    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(parentWindow)};
    LV2_Feature access{LV2_INSTANCE_ACCESS_URI, instance_ ? lilv_instance_get_handle(instance_) : nullptr};
    LV2_Feature idle{LV2_UI__idleInterface, nullptr};
    const LV2_Feature* features[] = {&mapFeature_, &parent, &idle, instanceAccess ? &access : nullptr, nullptr};
    const char* bundle = lilv_node_as_uri(lilv_plugin_get_bundle_uri(plugin_));
    char* bundlePath = lilv_file_uri_parse(bundle, nullptr);
    ui.handle = ui.descriptor->instantiate(ui.descriptor, lilv_node_as_uri(lilv_plugin_get_uri(plugin_)), bundlePath,
                                           recordWrite, &ui, &ui.widget, features);
    lilv_free(bundlePath);
    if (ui.descriptor->extension_data)
        ui.idle = static_cast<const LV2UI_Idle_Interface*>(ui.descriptor->extension_data(LV2_UI__idleInterface));
    return ui.handle != nullptr;
}

void Lv2TestHost::closeUi(Ui& ui)
{
    if (ui.handle) ui.descriptor->cleanup(ui.handle);
    ui.handle = nullptr;
    if (ui.library) dlclose(ui.library);
    ui.library = nullptr;
}
