#include "tools/render/LocalPlugin.h"

#include <algorithm>
#include <cstring>

bool LocalPlugin::load(const std::string& path, std::string& error) { return host.load(path, error); }

bool LocalPlugin::start(float sampleRate, int blockSize)
{
    if (!host.isLoaded() || blockSize <= 0) return false;
    maxBlock = blockSize;
    host.options().sampleRateAnswer = (VstIntPtr)sampleRate;
    host.options().blockSizeAnswer = blockSize;
    AEffect* fx = host.effect();
    // Every pin gets a buffer: plug-ins write all their outputs and may read inputs.
    size_t ins = (size_t)std::max<VstInt32>(fx->numInputs, 0);
    size_t outs = (size_t)std::max<VstInt32>(fx->numOutputs, 2);
    inputBuffers.assign(ins, std::vector<float>((size_t)blockSize, 0.0f));
    outputBuffers.assign(outs, std::vector<float>((size_t)blockSize, 0.0f));
    inputPointers.clear();
    outputPointers.clear();
    for (auto& b : inputBuffers) inputPointers.push_back(b.data());
    for (auto& b : outputBuffers) outputPointers.push_back(b.data());
    host.start(sampleRate, blockSize);
    return true;
}

PluginInfo LocalPlugin::info()
{
    PluginInfo i;
    AEffect* fx = host.effect();
    if (!fx) return i;
    i.effectName = host.effectName();
    i.vendor = host.vendorString();
    i.product = host.productString();
    i.uniqueID = fx->uniqueID;
    i.version = fx->version;
    i.numInputs = fx->numInputs;
    i.numOutputs = fx->numOutputs;
    i.numParams = fx->numParams;
    i.numPrograms = fx->numPrograms;
    i.flags = fx->flags;
    i.category = (int32_t)host.dispatch(effGetPlugCategory);
    return i;
}

std::vector<ParamInfo> LocalPlugin::parameters()
{
    std::vector<ParamInfo> list;
    AEffect* fx = host.effect();
    if (!fx) return list;
    for (int i = 0; i < fx->numParams; ++i) {
        ParamInfo p;
        p.name = host.parameterName(i);
        p.label = host.parameterLabel(i);
        p.display = host.parameterDisplay(i);
        p.value = host.getParameter(i);
        list.push_back(p);
    }
    return list;
}

std::vector<std::string> LocalPlugin::programNames()
{
    std::vector<std::string> names;
    AEffect* fx = host.effect();
    if (!fx) return names;
    for (int i = 0; i < fx->numPrograms; ++i) {
        char buffer[256] = {};
        host.dispatch(effGetProgramNameIndexed, i, 0, buffer);
        names.emplace_back(buffer);
    }
    return names;
}

std::string LocalPlugin::programName() { return host.programName(); }

bool LocalPlugin::setParameter(int index, float value)
{
    AEffect* fx = host.effect();
    if (!fx || index < 0 || index >= fx->numParams) return false;
    host.setParameter(index, value);
    return true;
}

bool LocalPlugin::setProgram(int index)
{
    AEffect* fx = host.effect();
    if (!fx || index < 0 || index >= fx->numPrograms) return false;
    host.dispatch(effBeginSetProgram);
    host.dispatch(effSetProgram, 0, index);
    host.dispatch(effEndSetProgram);
    return true;
}

bool LocalPlugin::setProgramChunk(const std::vector<uint8_t>& bytes)
{
    if (!host.isLoaded() || bytes.empty()) return false;
    return host.setChunk(bytes.data(), bytes.size(), true) != 0;
}

bool LocalPlugin::setTempo(double beatsPerMinute)
{
    if (beatsPerMinute <= 0.0) return false;
    host.options().tempo = beatsPerMinute;
    return true;
}

bool LocalPlugin::process(const std::vector<BlockEvent>& events, int frames, float* left, float* right)
{
    if (!host.isLoaded() || frames <= 0 || frames > maxBlock) return false;
    for (const BlockEvent& e : events) host.queueMidi(e.frame, e.data[0], e.data[1], e.data[2]);
    for (auto& b : inputBuffers) std::fill(b.begin(), b.begin() + frames, 0.0f);
    host.processChannels(inputPointers.data(), outputPointers.data(), frames);
    const float* l = outputBuffers[0].data();
    const float* r = host.effect()->numOutputs >= 2 ? outputBuffers[1].data() : l;
    std::memcpy(left, l, sizeof(float) * (size_t)frames);
    std::memcpy(right, r, sizeof(float) * (size_t)frames);
    return true;
}
