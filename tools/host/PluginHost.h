// A small VST 2.4 host: loads a plug-in module (or takes an entry function),
// creates the instance through its entry point, answers and records every
// call the plug-in makes to the host, feeds MIDI event blocks, sets
// parameters and renders audio blocks. Tests and the render tool share it.
#pragma once

#include "BaseLibrary/vst2abi.h"
#include "ModuleLoader.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

typedef AEffect* (*VstEntryProc)(audioMasterCallback audioMaster);

// One call the plug-in made to the host.
struct HostCall {
    VstInt32 opcode = 0;
    VstInt32 index = 0;
    VstIntPtr value = 0;
    float opt = 0.0f;
    std::string text;  // the text argument of audioMasterCanDo
};

struct HostOptions {
    VstIntPtr versionAnswer = kVstVersion;  // answer to audioMasterVersion
    VstIntPtr sampleRateAnswer = 0;         // answer to audioMasterGetSampleRate (0: not known yet)
    VstIntPtr blockSizeAnswer = 0;          // answer to audioMasterGetBlockSize
    bool canSizeWindow = true;              // answer to audioMasterCanDo "sizeWindow"
    double tempo = 120.0;                   // reported in VstTimeInfo
    bool playing = true;                    // transport state reported in VstTimeInfo
};

class PluginHost {
public:
    explicit PluginHost(const HostOptions& options = HostOptions());
    ~PluginHost();  // closes the plug-in and unloads the module
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the module at `path` and creates an instance through VSTPluginMain
    // (or main). False with a message in `error`: the module does not load,
    // has no entry point, or the entry point returns null or a bad descriptor.
    bool load(const std::string& path, std::string& error);
    // Creates an instance through an entry function linked into the program.
    bool create(VstEntryProc entry, std::string& error);

    AEffect* effect() const { return fx; }
    bool isLoaded() const { return fx != nullptr; }
    HostOptions& options() { return opts; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);

    // The usual start: effOpen, sample rate, block size, then resume.
    void start(float sampleRate, int blockSize);
    void suspend();
    void resume();
    // Suspends and sends effClose (the plug-in deletes itself); answers what
    // effClose answered, 0 when nothing was open. The module stays loaded.
    VstIntPtr close();

    std::string effectName();
    std::string vendorString();
    std::string productString();
    std::string programName();
    std::string parameterName(int index);
    std::string parameterLabel(int index);
    // The display text; `untouched` is what the buffer held before the call.
    std::string parameterDisplay(int index, const char* untouched = "");
    VstInt32 canDo(const char* text);

    void setParameter(int index, float value);
    float getParameter(int index);

    std::vector<uint8_t> getChunk(bool isPreset = false);
    VstIntPtr setChunk(const void* data, size_t size, bool isPreset = false);

    // MIDI for the next process call, at a frame of that block.
    void queueMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2);
    void queueEvent(const VstEvent& event);
    size_t queuedEvents() const { return pending.size(); }

    // Hands the queued events to the plug-in (effProcessEvents) and renders one
    // block with processReplacing into the two channel buffers.
    void process(float* left, float* right, int frames);
    // The same for plug-ins with any number of pins: `inputs` holds numInputs
    // buffers and `outputs` numOutputs buffers of `frames` floats each.
    void processChannels(float** inputs, float** outputs, int frames);
    // Renders `frames` frames in blocks of `blockSize`, appending to the vectors.
    void render(std::vector<float>& left, std::vector<float>& right, int frames, int blockSize);

    // Everything the plug-in asked of the host, in order.
    std::vector<HostCall> calls() const;
    size_t countCalls(VstInt32 opcode) const;
    void clearCalls();

    // The callback the plug-in receives (exposed for tests of odd hosts).
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

private:
    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    bool adopt(AEffect* created, std::string& error);

    HostOptions opts;
    ModuleLoader module;
    AEffect* fx = nullptr;
    float rate = 44100.0f;
    int block = 512;
    double samplePos = 0.0;
    VstTimeInfo timeInfo{};

    std::vector<VstEvent> pending;
    std::vector<VstEvent> delivered;  // valid until the end of the next process call
    std::vector<uint8_t> eventBlock;  // VstEvents header with its pointer array

    mutable std::mutex callsLock;
    std::vector<HostCall> recorded;
};
