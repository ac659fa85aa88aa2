// What the render tool asks of a plug-in, whether it runs in this process
// (LocalPlugin) or in a worker program, possibly under wine (RemotePlugin).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PluginInfo {
    std::string effectName;
    std::string vendor;
    std::string product;
    std::string uri;  // an LV2 plug-in's URI (empty for VST 2.4)
    int32_t uniqueID = 0;
    int32_t version = 0;
    int32_t numInputs = 0;
    int32_t numOutputs = 0;
    int32_t numParams = 0;
    int32_t numPrograms = 0;
    int32_t flags = 0;
    int32_t category = 0;
};

struct ParamInfo {
    std::string name;
    std::string label;
    std::string display;
    float value = 0.0f;
};

// A short MIDI message due at a frame of the block being rendered.
struct BlockEvent {
    int32_t frame = 0;
    uint8_t data[3] = {0, 0, 0};
};

class PluginInstance {
public:
    virtual ~PluginInstance() = default;

    // Loads the module and creates the instance; false with a message.
    virtual bool load(const std::string& path, std::string& error) = 0;
    // effOpen, sample rate, block size and resume.
    virtual bool start(float sampleRate, int blockSize) = 0;

    virtual PluginInfo info() = 0;
    virtual std::vector<ParamInfo> parameters() = 0;
    virtual std::vector<std::string> programNames() = 0;
    virtual std::string programName() = 0;

    virtual bool setParameter(int index, float value) = 0;
    virtual bool setProgram(int index) = 0;
    // Hands a program chunk to the plug-in; false when it refuses it.
    virtual bool setProgramChunk(const std::vector<uint8_t>& bytes) = 0;
    // Host tempo reported through audioMasterGetTime.
    virtual bool setTempo(double beatsPerMinute) = 0;

    // Delivers the events and renders `frames` frames of the first two
    // outputs (a mono plug-in's output goes to both).
    virtual bool process(const std::vector<BlockEvent>& events, int frames, float* left, float* right) = 0;

    // Why the last operation failed (a worker that stopped answering).
    virtual std::string lastError() const { return {}; }
};
