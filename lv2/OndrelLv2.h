// The LV2 plug-in's identity, its ports and its instance. The plug-in module,
// the UI module (which reaches the instance through instance access) and the
// Turtle generator share these.
#pragma once

#include "source/OndrelInstrument.h"

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace lv2 {

constexpr const char* kPluginUri = "https://zentorial.com/plugins/ondrel";
constexpr const char* kUiUri = "https://zentorial.com/plugins/ondrel#ui";
// The key of the state: the current program as a YAML preset document.
constexpr const char* kProgramStateUri = "https://zentorial.com/plugins/ondrel#program";
constexpr const char* kPresetUriPrefix = "https://zentorial.com/plugins/ondrel/presets/";

// Ports: the 43 parameters at their own indices, then the MIDI input and the
// two outputs.
constexpr uint32_t kNumControlPorts = OndrelInstrument::kNumParams;
constexpr uint32_t kMidiInPort = kNumControlPorts;
constexpr uint32_t kLeftOutPort = kNumControlPorts + 1;
constexpr uint32_t kRightOutPort = kNumControlPorts + 2;
constexpr uint32_t kNumPorts = kNumControlPorts + 3;

// A parameter's port symbol: its name with every character that may not
// stand in a symbol made '_' (and '_' before a leading digit).
std::string portSymbol(int index);

// One plug-in instance. The UI module, given this object through instance
// access, checks `magic` and `layout` before it uses the instrument: both
// modules are built from the same sources, the check refuses anything else.
struct Instance {
    static constexpr uint32_t kMagic = 0x6f6e6472;  // "ondr"
    const uint32_t magic = kMagic;
    const uint32_t layout = (uint32_t)sizeof(Instance);

    OndrelInstrument instrument;
    // Set while a UI with instance access shows the engine's displays.
    std::atomic<bool> displaysWanted{false};

    const float* controls[kNumControlPorts] = {};
    const LV2_Atom_Sequence* midiIn = nullptr;
    float* outputs[2] = {};
    // Each control port's value at the last block: a port is read as an edit
    // only when the host changed it.
    float lastPortValue[kNumControlPorts] = {};

    LV2_URID midiEventType = 0;
    LV2_URID programKey = 0;
    LV2_URID stringType = 0;
};

}  // namespace lv2
