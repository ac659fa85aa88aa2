// An LV2 instrument for the render tool, found by URI (LV2_PATH honoured) and
// played through the project's LV2 host: control ports start at their
// defaults or a preset's values; the first two audio outputs are rendered.
// Linux only.
#pragma once

#include "tools/lv2host/Lv2Host.h"
#include "tools/render/PluginInstance.h"

class Lv2Plugin : public PluginInstance {
public:
    // `path` is the plug-in's URI.
    bool load(const std::string& uri, std::string& error) override;
    bool start(float sampleRate, int blockSize) override;

    PluginInfo info() override;
    // Control inputs; values shown normalised to the port's range.
    std::vector<ParamInfo> parameters() override;
    // The plug-in's presets (pset:Preset) by label, in URI order.
    std::vector<std::string> programNames() override;
    std::string programName() override;

    bool setParameter(int index, float value) override;
    bool setProgram(int index) override;
    // A state in Turtle (a preset file), restored like a preset.
    bool setProgramChunk(const std::vector<uint8_t>& bytes) override;
    bool setTempo(double beatsPerMinute) override;

    bool process(const std::vector<BlockEvent>& events, int frames, float* left, float* right) override;
    std::string lastError() const override;

    // The preset's index by URI or label, or the label's last part after a
    // '/' (exact, then ignoring case); -1 when there is none, -2 when several
    // labels match.
    int findPreset(const std::string& wanted);
    const std::vector<std::string>& presetUris() const { return host.presetUris(); }

private:
    // The control input ports by parameter index.
    std::vector<uint32_t> controls;
    Lv2Host host;
    std::string uri;
};
