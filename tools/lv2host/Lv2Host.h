// The project's LV2 host over lilv, shared by the render tool and the LV2
// tests (Linux only). It finds a plug-in by URI (LV2_PATH honoured, or one
// bundle folder), offers the URID map and unmap, options with the block
// lengths and the sample rate, a worker run in the host's thread after each
// block, and a log to stderr; connects every port to a buffer of its own;
// sends MIDI (and the tempo) as an atom sequence built per block; restores
// presets and Turtle states through lilv and saves and restores the state
// interface through a store of its own; and opens the plug-in's X11 UI in a
// parent window, with or without instance access.
#pragma once

#include "tools/host/ModuleLoader.h"

#include <lilv/lilv.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Lv2Host {
public:
    enum class PortKind { audio, cv, control, atom, other };
    struct Port {
        std::string symbol;
        std::string name;
        PortKind kind = PortKind::other;
        bool input = false;
        bool midi = false;      // an atom input that takes MIDI events
        bool position = false;  // an atom input that takes time:Position
        float value = 0.0f;     // control ports; starts at the default
        float low = 0.0f, high = 1.0f;
    };

    Lv2Host();
    // Loads at once (see load); plugin() is null when that failed.
    Lv2Host(const std::string& uri, const std::string& bundle);
    ~Lv2Host();
    Lv2Host(const Lv2Host&) = delete;
    Lv2Host& operator=(const Lv2Host&) = delete;

    // Finds the plug-in `uri` among all installed bundles, or in the bundle
    // folder `bundle` alone when it is given. Refuses, with a message, a
    // plug-in that is no instrument, has ports of unknown kinds or requires
    // features not offered.
    bool load(const std::string& uri, const std::string& bundle = "");
    const std::string& error() const;

    LilvWorld* world() const;
    const LilvPlugin* plugin() const;
    LV2_URID map(const char* uri);
    const std::vector<Port>& ports() const;
    // A control port's value, by port index, as the next run reads it.
    float& control(uint32_t port);

    // A new instance (the last one is freed) for blocks up to `maxBlock`
    // frames, its ports connected, activated. Without the map, to see that a
    // plug-in needing it refuses.
    bool instantiate(double rate, int maxBlock = 8192, bool offerMap = true);
    LilvInstance* instance() const;
    void freeInstance();

    // MIDI for the next run, at a frame of that block (1 to 3 bytes).
    void queueMidi(uint32_t frame, const uint8_t* bytes, uint32_t size);
    void queueMidi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    // The tempo a plug-in taking time:Position receives at the next block.
    void setTempo(double beatsPerMinute);
    // Runs one block and then the work it scheduled.
    bool run(uint32_t frames);
    // Runs one block; the first two outputs are appended (a mono plug-in's
    // to both).
    bool run(uint32_t frames, std::vector<float>& left, std::vector<float>& right);
    // The first two audio outputs of the last block (a mono plug-in's twice).
    const float* output(int channel) const;

    // The state interface, saved into and restored from the host's store.
    struct StoredValue {
        uint32_t type = 0;
        uint32_t flags = 0;
        std::vector<uint8_t> bytes;
    };
    using Store = std::map<LV2_URID, StoredValue>;
    LV2_State_Status saveState(Store& store);
    LV2_State_Status restoreState(const Store& store);

    // The plug-in's presets (pset:Preset) in URI order, and their labels.
    const std::vector<std::string>& presetUris() const;
    std::vector<std::string> presetLabels();
    // A preset by URI, or a state in Turtle, restored as hosts do (lilv: the
    // port values and the state); false with a message.
    bool applyPreset(const std::string& uri);
    bool applyTurtle(const std::string& text);
    // The label of the last preset or state restored; empty before.
    const std::string& currentLabel() const;

    // The plug-in's UI in an X11 parent window, with instance access or
    // working through port writes alone, which reach the control ports.
    struct Ui {
        ModuleLoader module;
        const LV2UI_Descriptor* descriptor = nullptr;
        LV2UI_Handle handle = nullptr;
        LV2UI_Widget widget = nullptr;
        const LV2UI_Idle_Interface* idle = nullptr;
        Lv2Host* host = nullptr;
        std::vector<std::pair<uint32_t, float>> writes;  // port writes of the UI
    };
    bool openUi(Ui& ui, unsigned long parentWindow, bool instanceAccess);
    void closeUi(Ui& ui);

private:
    struct State;
    std::unique_ptr<State> s;
};
