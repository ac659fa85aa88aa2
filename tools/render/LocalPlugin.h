// A plug-in in this process, driven through the project's VST host.
#pragma once

#include "tools/host/PluginHost.h"
#include "tools/render/PluginInstance.h"

class LocalPlugin : public PluginInstance {
public:
    bool load(const std::string& path, std::string& error) override;
    bool start(float sampleRate, int blockSize) override;

    PluginInfo info() override;
    std::vector<ParamInfo> parameters() override;
    std::vector<std::string> programNames() override;
    std::string programName() override;

    bool setParameter(int index, float value) override;
    bool setProgram(int index) override;
    bool setProgramChunk(const std::vector<uint8_t>& bytes) override;
    bool setTempo(double beatsPerMinute) override;

    bool process(const std::vector<BlockEvent>& events, int frames, float* left, float* right) override;

private:
    PluginHost host;
    int maxBlock = 0;
    // Buffers for plug-ins with inputs or more than two outputs.
    std::vector<std::vector<float>> inputBuffers, outputBuffers;
    std::vector<float*> inputPointers, outputPointers;
};
