#include "tools/render/Lv2Plugin.h"
#include "tools/render/PresetLibrary.h"

#include <cstdio>
#include <cstring>

bool Lv2Plugin::load(const std::string& pluginUri, std::string& message)
{
    uri = pluginUri;
    if (!host.load(uri)) {
        message = host.error();
        return false;
    }
    for (uint32_t i = 0; i < host.ports().size(); ++i)
        if (host.ports()[i].kind == Lv2Host::PortKind::control && host.ports()[i].input) controls.push_back(i);
    return true;
}

bool Lv2Plugin::start(float sampleRate, int blockSize) { return host.instantiate(sampleRate, blockSize); }

PluginInfo Lv2Plugin::info()
{
    PluginInfo i;
    if (!host.plugin()) return i;
    LilvNode* name = lilv_plugin_get_name(host.plugin());
    LilvNode* author = lilv_plugin_get_author_name(host.plugin());
    i.effectName = name ? lilv_node_as_string(name) : "";
    i.vendor = author ? lilv_node_as_string(author) : "";
    lilv_node_free(name);
    lilv_node_free(author);
    i.uri = uri;
    i.category = 2;  // an instrument: it has a MIDI input
    for (const Lv2Host::Port& p : host.ports())
        if (p.kind == Lv2Host::PortKind::audio) (p.input ? i.numInputs : i.numOutputs) += 1;
    i.numParams = (int32_t)controls.size();
    i.numPrograms = (int32_t)host.presetUris().size();
    return i;
}

std::vector<ParamInfo> Lv2Plugin::parameters()
{
    std::vector<ParamInfo> list;
    for (uint32_t index : controls) {
        const Lv2Host::Port& p = host.ports()[index];
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

std::vector<std::string> Lv2Plugin::programNames() { return host.presetLabels(); }

int Lv2Plugin::findPreset(const std::string& wanted)
{
    const std::vector<std::string>& uris = host.presetUris();
    for (size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == wanted) return (int)i;
    std::vector<std::string> labels = programNames();
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

std::string Lv2Plugin::programName() { return host.currentLabel().empty() ? "port defaults" : host.currentLabel(); }

bool Lv2Plugin::setParameter(int index, float value)
{
    if (index < 0 || index >= (int)controls.size()) return false;
    const Lv2Host::Port& p = host.ports()[controls[(size_t)index]];
    host.control(controls[(size_t)index]) = p.low + value * (p.high - p.low);
    return true;
}

bool Lv2Plugin::setProgram(int index)
{
    return index >= 0 && index < (int)host.presetUris().size() && host.applyPreset(host.presetUris()[(size_t)index]);
}

bool Lv2Plugin::setProgramChunk(const std::vector<uint8_t>& bytes)
{
    return !bytes.empty() && host.applyTurtle(std::string(bytes.begin(), bytes.end()));
}

bool Lv2Plugin::setTempo(double beatsPerMinute)
{
    if (beatsPerMinute <= 0.0) return false;
    host.setTempo(beatsPerMinute);
    return true;
}

bool Lv2Plugin::process(const std::vector<BlockEvent>& events, int frames, float* left, float* right)
{
    if (frames <= 0 || !host.instance()) return false;
    for (const BlockEvent& e : events) host.queueMidi((uint32_t)e.frame, e.data[0], e.data[1], e.data[2]);
    if (!host.run((uint32_t)frames)) return false;
    std::memcpy(left, host.output(0), sizeof(float) * (size_t)frames);
    std::memcpy(right, host.output(1), sizeof(float) * (size_t)frames);
    return true;
}

std::string Lv2Plugin::lastError() const { return host.error(); }
