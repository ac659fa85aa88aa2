#include "PluginHost.h"

#include <algorithm>
#include <cstring>

namespace {
// The host whose plug-in is being created: the plug-in calls back before its
// descriptor (and so its `user` field) is known to the host.
thread_local PluginHost* constructingHost = nullptr;

// VstTimeInfo flags (published values).
constexpr VstInt32 kTimeTransportPlaying = 1 << 1;
constexpr VstInt32 kTimePpqPosValid = 1 << 9;
constexpr VstInt32 kTimeTempoValid = 1 << 10;
constexpr VstInt32 kTimeSigValid = 1 << 13;
}  // namespace

PluginHost::PluginHost(const HostOptions& options) : opts(options) {}

PluginHost::~PluginHost()
{
    close();
    module.unload();
}

VstIntPtr PluginHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    PluginHost* host = (effect && effect->user) ? static_cast<PluginHost*>(effect->user) : constructingHost;
    if (!host) return opcode == audioMasterVersion ? kVstVersion : 0;
    return host->answer(effect, opcode, index, value, ptr, opt);
}

VstIntPtr PluginHost::answer(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    HostCall call;
    call.opcode = opcode;
    call.index = index;
    call.value = value;
    call.opt = opt;
    if (opcode == audioMasterCanDo && ptr) call.text = static_cast<const char*>(ptr);
    {
        std::lock_guard<std::mutex> guard(callsLock);
        recorded.push_back(call);
    }
    switch (opcode) {
    case audioMasterVersion:
        return opts.versionAnswer;
    case audioMasterGetSampleRate:
        return opts.sampleRateAnswer;
    case audioMasterGetBlockSize:
        return opts.blockSizeAnswer;
    case audioMasterGetTime:
        timeInfo = VstTimeInfo{};
        timeInfo.samplePos = samplePos;
        timeInfo.sampleRate = rate;
        timeInfo.tempo = opts.tempo;
        timeInfo.timeSigNumerator = 4;
        timeInfo.timeSigDenominator = 4;
        // Plug-ins read only the fields whose validity flags are set.
        timeInfo.ppqPos = rate > 0.0f ? samplePos / rate * opts.tempo / 60.0 : 0.0;
        timeInfo.flags =
            kTimeTempoValid | kTimePpqPosValid | kTimeSigValid | (opts.playing ? kTimeTransportPlaying : 0);
        return (VstIntPtr)&timeInfo;
    case audioMasterCanDo:
        if (ptr && std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0) return opts.canSizeWindow ? 1 : 0;
        return 0;
    case audioMasterSizeWindow:
        return opts.canSizeWindow ? 1 : 0;
    case audioMasterGetVendorString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "Ondrel project");
        return ptr ? 1 : 0;
    case audioMasterGetProductString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "ondrel-host");
        return ptr ? 1 : 0;
    case audioMasterGetVendorVersion:
        return 1;
    case audioMasterGetCurrentProcessLevel:
        return 0;
    default:
        return 0;
    }
}

bool PluginHost::adopt(AEffect* created, std::string& error)
{
    if (!created) {
        error = "the plug-in's entry point returned no instance";
        return false;
    }
    if (created->magic != kEffectMagic || !created->dispatcher) {
        error = "the entry point returned something that is not a VST 2.4 plug-in";
        return false;
    }
    fx = created;
    fx->user = this;
    return true;
}

bool PluginHost::create(VstEntryProc entry, std::string& error)
{
    close();
    if (!entry) {
        error = "no entry point";
        return false;
    }
    constructingHost = this;
    AEffect* created = entry(&PluginHost::callback);
    constructingHost = nullptr;
    return adopt(created, error);
}

bool PluginHost::load(const std::string& path, std::string& error)
{
    close();
    if (!module.load(path, error)) return false;
    auto entry = reinterpret_cast<VstEntryProc>(module.symbol("VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<VstEntryProc>(module.symbol("main"));
    if (!entry) {
        error = path + " has no VSTPluginMain entry point: not a VST 2.4 plug-in";
        module.unload();
        return false;
    }
    if (!create(entry, error)) {
        module.unload();
        return false;
    }
    return true;
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return fx ? fx->dispatcher(fx, opcode, index, value, ptr, opt) : 0;
}

void PluginHost::start(float sampleRate, int blockSize)
{
    rate = sampleRate;
    block = blockSize;
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    resume();
}

void PluginHost::suspend() { dispatch(effMainsChanged, 0, 0); }
void PluginHost::resume() { dispatch(effMainsChanged, 0, 1); }

VstIntPtr PluginHost::close()
{
    if (!fx) return 0;
    dispatch(effMainsChanged, 0, 0);
    VstIntPtr answer = dispatch(effClose);
    fx = nullptr;
    pending.clear();
    delivered.clear();
    return answer;
}

static std::string textOf(const char* buffer) { return std::string(buffer); }

std::string PluginHost::effectName()
{
    char buffer[256] = {};
    dispatch(effGetEffectName, 0, 0, buffer);
    return textOf(buffer);
}

std::string PluginHost::vendorString()
{
    char buffer[256] = {};
    dispatch(effGetVendorString, 0, 0, buffer);
    return textOf(buffer);
}

std::string PluginHost::productString()
{
    char buffer[256] = {};
    dispatch(effGetProductString, 0, 0, buffer);
    return textOf(buffer);
}

std::string PluginHost::programName()
{
    char buffer[256] = {};
    dispatch(effGetProgramName, 0, 0, buffer);
    return textOf(buffer);
}

std::string PluginHost::parameterName(int index)
{
    char buffer[256] = {};
    dispatch(effGetParamName, index, 0, buffer);
    return textOf(buffer);
}

std::string PluginHost::parameterLabel(int index)
{
    char buffer[256] = {};
    dispatch(effGetParamLabel, index, 0, buffer);
    return textOf(buffer);
}

std::string PluginHost::parameterDisplay(int index, const char* untouched)
{
    char buffer[256] = {};
    std::strncpy(buffer, untouched ? untouched : "", sizeof buffer - 1);
    dispatch(effGetParamDisplay, index, 0, buffer);
    return textOf(buffer);
}

VstInt32 PluginHost::canDo(const char* text) { return (VstInt32)dispatch(effCanDo, 0, 0, (void*)text); }

void PluginHost::setParameter(int index, float value)
{
    if (fx && fx->setParameter) fx->setParameter(fx, index, value);
}

float PluginHost::getParameter(int index) { return (fx && fx->getParameter) ? fx->getParameter(fx, index) : 0.0f; }

std::vector<uint8_t> PluginHost::getChunk(bool isPreset)
{
    void* data = nullptr;
    VstIntPtr size = dispatch(effGetChunk, isPreset ? 1 : 0, 0, &data);
    if (!data || size <= 0) return {};
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr PluginHost::setChunk(const void* data, size_t size, bool isPreset)
{
    return dispatch(effSetChunk, isPreset ? 1 : 0, (VstIntPtr)size, const_cast<void*>(data));
}

void PluginHost::queueMidi(int frame, uint8_t status, uint8_t data1, uint8_t data2)
{
    VstMidiEvent midi{};
    midi.type = kVstMidiType;
    midi.byteSize = sizeof(VstMidiEvent);
    midi.deltaFrames = frame;
    midi.flags = kVstMidiEventIsRealtime;
    midi.midiData[0] = (char)status;
    midi.midiData[1] = (char)data1;
    midi.midiData[2] = (char)data2;
    VstEvent event;
    std::memcpy(&event, &midi, sizeof event);
    pending.push_back(event);
}

void PluginHost::queueEvent(const VstEvent& event) { pending.push_back(event); }

void PluginHost::process(float* left, float* right, int frames)
{
    float* outputs[2] = {left, right};
    processChannels(nullptr, outputs, frames);
}

void PluginHost::processChannels(float** inputs, float** outputs, int frames)
{
    if (!fx) return;
    if (!pending.empty()) {
        // The block stays valid until the end of this process call, as hosts promise.
        std::stable_sort(pending.begin(), pending.end(),
                         [](const VstEvent& a, const VstEvent& b) { return a.deltaFrames < b.deltaFrames; });
        delivered.swap(pending);
        pending.clear();
        size_t count = delivered.size();
        eventBlock.assign(offsetof(VstEvents, events) + sizeof(VstEvent*) * std::max<size_t>(count, 2), 0);
        VstEvents* events = reinterpret_cast<VstEvents*>(eventBlock.data());
        events->numEvents = (VstInt32)count;
        for (size_t i = 0; i < count; ++i) events->events[i] = &delivered[i];
        dispatch(effProcessEvents, 0, 0, events);
    }
    float* noInputs[2] = {nullptr, nullptr};
    if (fx->processReplacing) fx->processReplacing(fx, inputs ? inputs : noInputs, outputs, frames);
    samplePos += frames;
    delivered.clear();
}

void PluginHost::render(std::vector<float>& left, std::vector<float>& right, int frames, int blockSize)
{
    if (blockSize <= 0) blockSize = block;
    std::vector<float> l((size_t)blockSize), r((size_t)blockSize);
    for (int done = 0; done < frames;) {
        int n = std::min(blockSize, frames - done);
        process(l.data(), r.data(), n);
        left.insert(left.end(), l.begin(), l.begin() + n);
        right.insert(right.end(), r.begin(), r.begin() + n);
        done += n;
    }
}

std::vector<HostCall> PluginHost::calls() const
{
    std::lock_guard<std::mutex> guard(callsLock);
    return recorded;
}

size_t PluginHost::countCalls(VstInt32 opcode) const
{
    std::lock_guard<std::mutex> guard(callsLock);
    return (size_t)std::count_if(recorded.begin(), recorded.end(),
                                 [opcode](const HostCall& c) { return c.opcode == opcode; });
}

void PluginHost::clearCalls()
{
    std::lock_guard<std::mutex> guard(callsLock);
    recorded.clear();
}
