// A minimal LV2 host for the tests, over lilv: a world on one bundle, an
// instance with a URID map, its ports connected to buffers of the host, MIDI
// as an atom sequence, the state interface with the host's own store, and
// the plug-in's X11 UI loaded from the UI binary lilv names.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Lv2TestHost {
public:
    // Loads the bundle folder (a path) and finds the plug-in `uri` in it.
    Lv2TestHost(const std::string& bundle, const char* uri);
    ~Lv2TestHost();
    Lv2TestHost(const Lv2TestHost&) = delete;
    Lv2TestHost& operator=(const Lv2TestHost&) = delete;

    LilvWorld* world() const { return world_; }
    const LilvPlugin* plugin() const { return plugin_; }
    LV2_URID map(const char* uri);

    // A new instance (the last one is freed), ports connected, activated.
    bool instantiate(double rate, bool withMap = true);
    LilvInstance* instance() const { return instance_; }
    void freeInstance();

    // Control values the next run() reads, by port index.
    float& control(uint32_t port) { return controls_[port]; }
    // MIDI for the next run, at a frame of that block.
    void queueMidi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    // Runs one block; the outputs are appended.
    void run(uint32_t frames, std::vector<float>& left, std::vector<float>& right);

    // The state interface: save into the host's store, restore from it.
    struct StoredValue {
        uint32_t type = 0;
        uint32_t flags = 0;
        std::vector<uint8_t> bytes;
    };
    using Store = std::map<LV2_URID, StoredValue>;
    LV2_State_Status saveState(Store& store);
    LV2_State_Status restoreState(const Store& store);
    // Applies an LV2 preset of the bundle as hosts do (lilv: its port values
    // and its state); false when there is no such preset.
    bool applyPreset(const std::string& uri);

    // The plug-in's UI, in an X11 parent window; with instance access or
    // working through port writes alone. Null when it does not open.
    struct Ui {
        void* library = nullptr;
        const LV2UI_Descriptor* descriptor = nullptr;
        LV2UI_Handle handle = nullptr;
        LV2UI_Widget widget = nullptr;
        const LV2UI_Idle_Interface* idle = nullptr;
        std::vector<std::pair<uint32_t, float>> writes;  // port writes of the UI
    };
    bool openUi(Ui& ui, unsigned long parentWindow, bool instanceAccess);
    void closeUi(Ui& ui);

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);

    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    LilvInstance* instance_ = nullptr;
    std::vector<std::string> uris_;
    LV2_URID_Map map_{this, mapUri};
    LV2_Feature mapFeature_{LV2_URID__map, &map_};

    std::vector<float> controls_;
    alignas(8) uint8_t sequence_[65536] = {};
    std::vector<uint8_t> events_;  // queued LV2_Atom_Events
    std::vector<float> outLeft_, outRight_;
};
