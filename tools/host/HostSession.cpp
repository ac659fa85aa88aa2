#include "HostSession.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// A host's buffer of `size` bytes followed by a guard the plug-in must leave
// alone (the address checker sees the buffer as one block with its guard).
class HostBuffer {
public:
    explicit HostBuffer(size_t size, const char* initial = "") : bytes(size + kGuard, kPattern), size(size)
    {
        std::fill_n(bytes.begin(), size, 0);
        std::strncpy(bytes.data(), initial, size ? size - 1 : 0);
    }
    char* data() { return bytes.data(); }
    // The empty text when the plug-in kept to the buffer and ended its text
    // with a terminator within `maxLength` + 1 bytes.
    std::string check(const std::string& what, size_t maxLength) const
    {
        for (size_t i = size; i < bytes.size(); ++i)
            if (bytes[i] != kPattern) return what + ": written past the host's buffer";
        const void* end = std::memchr(bytes.data(), 0, std::min(size, maxLength + 1));
        if (!end) return what + ": text longer than " + std::to_string(maxLength) + " bytes or unterminated";
        return "";
    }

private:
    static constexpr size_t kGuard = 16;
    static constexpr char kPattern = (char)0xA5;
    std::vector<char> bytes;
    size_t size;
};

int pickIndex(uint8_t v)
{
    static const int odd[] = {-1, 43, 44, 127, 1000, INT_MAX, INT_MIN};
    return v < 200 ? v % 43 : odd[v % 7];
}

}  // namespace

class HostSession::Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : p(data), end(data + size) {}
    bool empty() const { return p >= end; }
    uint8_t u8() { return p < end ? *p++ : 0; }
    uint16_t u16() { return (uint16_t)(u8() | (u8() << 8)); }
    uint32_t u32() { return (uint32_t)u16() | ((uint32_t)u16() << 16); }
    float anyFloat()
    {
        uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // Up to n bytes of the input, fewer when it ends.
    size_t take(void* out, size_t n)
    {
        n = std::min(n, (size_t)(end - p));
        if (n) std::memcpy(out, p, n);
        p += n;
        return n;
    }

private:
    const uint8_t* p;
    const uint8_t* end;
};

std::vector<HostSession::SessionFile> HostSession::committedSessions(const std::string& fuzzFolder)
{
    namespace fs = std::filesystem;
    std::vector<SessionFile> sessions;
    for (const char* folder : {"corpus", "regressions"}) {
        const fs::path dir = fs::path(fuzzFolder) / folder;
        std::error_code error;
        if (!fs::is_directory(dir, error)) continue;
        for (const fs::directory_entry& file : fs::directory_iterator(dir, error)) {
            std::ifstream in(file.path(), std::ios::binary);
            sessions.push_back({file.path().string(), std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                                                           std::istreambuf_iterator<char>())});
        }
    }
    return sessions;
}

std::string HostSession::play(const uint8_t* data, size_t size)
{
    Bytes in(data, size);
    host.dispatch(effOpen);
    ++calls;
    while (!in.empty()) {
        std::string fault = step(in);
        if (!fault.empty()) return "call " + std::to_string(calls) + ": " + fault;
    }
    return "";
}

std::string HostSession::step(Bytes& in)
{
    ++calls;
    const uint8_t op = in.u8();
    switch (op % 16) {
    case 0:
    case 1: {
        const int index = pickIndex(in.u8());
        const uint8_t kind = in.u8();
        const float value = (kind & 1) ? in.anyFloat() : (float)in.u8() / 255.0f;
        host.setParameter(index, value);
        return "";
    }
    case 2:
    case 3:
        return midi(in);
    case 4:
    case 5:
    case 6:
        return render(in, true);
    case 7:
        return render(in, false);
    case 8: {
        static const float rates[] = {44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f, 384000.0f, 22050.0f, 0.0f};
        const uint8_t kind = in.u8();
        const float rate = (kind & 0x80) ? in.anyFloat() : rates[kind % 8];
        host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        rateChanged = true;
        return "";
    }
    case 9: {
        static const int sizes[] = {1, 7, 64, 512, 4096, 8192, 0, -1};
        const uint8_t kind = in.u8();
        const VstIntPtr value = (kind & 0x80) ? (VstIntPtr)(int32_t)in.u32() : sizes[kind % 8];
        host.dispatch(effSetBlockSize, 0, value);
        if (value > 0 && value <= 8192) announcedBlock = (int)value;
        return "";
    }
    case 10:
        host.dispatch(effMainsChanged, 0, in.u8() & 1);
        return "";
    case 11:
        return programs(in);
    case 12:
        return texts(in);
    case 13:
        return chunks(in);
    case 14:
        return editor(in);
    default:
        return inquiries(in);
    }
}

std::string HostSession::render(Bytes& in, bool replacing)
{
    static const int sizes[] = {0, 1, 7, 64, 256, 512, 4096, 8192};
    const uint8_t kind = in.u8();
    int n = (kind & 0x80) ? in.u16() % 8193 : (kind & 0x40) ? std::min(announcedBlock + 1, 8192) : sizes[kind % 8];
    if (frames + n > kMaxSessionFrames) n %= 65;  // the session has had its frames: small blocks only
    // The plug-in overwrites every frame of a replacing call and adds to the
    // accumulating one: a frame it skips stays "not a number" or 0.25.
    const float before = replacing ? std::nanf("") : 0.25f;
    std::vector<float> left((size_t)n, before), right((size_t)n, before);
    float* outputs[2] = {left.data(), right.data()};
    if (replacing) {
        host.processChannels(nullptr, outputs, n);
    } else {
        float* inputs[2] = {nullptr, nullptr};
        AEffect* fx = host.effect();
        if (fx->process) fx->process(fx, inputs, outputs, n);
    }
    frames += n;
    const float base = replacing ? 0.0f : 0.25f;
    for (int i = 0; i < n; ++i) {
        const float l = left[(size_t)i] - base, r = right[(size_t)i] - base;
        if (!std::isfinite(l) || !std::isfinite(r) || std::fabs(l) > kOutputBound || std::fabs(r) > kOutputBound)
            return std::string(replacing ? "processReplacing" : "process") + " of " + std::to_string(n) +
                   " frames: frame " + std::to_string(i) + " is " + std::to_string(l) + ", " + std::to_string(r);
    }
    return "";
}

std::string HostSession::midi(Bytes& in)
{
    // The host frees its list as soon as effProcessEvents returns: the
    // plug-in must have copied what it keeps.
    const int count = in.u8() % (kMaxEvents + 1);
    std::vector<VstMidiEvent> midiEvents((size_t)count);
    std::vector<uint8_t> block(offsetof(VstEvents, events) + sizeof(VstEvent*) * (size_t)std::max(count, 2), 0);
    auto* events = reinterpret_cast<VstEvents*>(block.data());
    events->numEvents = count;
    VstEvent** list = events->events;  // the host allocates `count` entries beyond the declared two
    for (int i = 0; i < count; ++i) {
        VstMidiEvent& e = midiEvents[(size_t)i];
        const uint8_t kind = in.u8();
        e.type = (kind % 16 == 15) ? kVstSysExType : (kind % 16 == 14) ? (VstInt32)in.u8() : kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = (kind & 0x10) ? (VstInt32)in.u32() : (VstInt32)(in.u16() % 8193);
        e.flags = kVstMidiEventIsRealtime;
        in.take(e.midiData, 4);
        if (e.type == kVstSysExType) std::memset(e.midiData, 0, sizeof e.midiData);
        list[i] = reinterpret_cast<VstEvent*>(&e);
    }
    const VstIntPtr answer = host.dispatch(effProcessEvents, 0, 0, events);
    for (VstMidiEvent& e : midiEvents) std::memset(&e, 0xEE, sizeof e);
    return answer == 1 ? "" : "effProcessEvents answered " + std::to_string((long long)answer);
}

std::string HostSession::texts(Bytes& in)
{
    const int index = pickIndex(in.u8());
    const bool known = index >= 0 && index < 43;
    HostBuffer name(64), label(64), display(64, "host");
    host.dispatch(effGetParamName, index, 0, name.data());
    host.dispatch(effGetParamLabel, index, 0, label.data());
    host.dispatch(effGetParamDisplay, index, 0, display.data());
    std::string fault = name.check("effGetParamName", known ? 23 : 63);
    if (fault.empty()) fault = label.check("effGetParamLabel", known ? 23 : 63);
    if (fault.empty()) fault = display.check("effGetParamDisplay", known ? 11 : 63);
    if (!fault.empty()) return fault + " of parameter " + std::to_string(index);
    const float v = host.getParameter(index);
    if (known && !(v >= 0.0f && v <= 1.0f)) return "getParameter " + std::to_string(index) + " = " + std::to_string(v);
    return "";
}

std::string HostSession::programs(Bytes& in)
{
    switch (in.u8() % 4) {
    case 0:
        host.dispatch(effSetProgram, 0, (int8_t)in.u8());
        return "";
    case 1: {
        char text[kVstMaxProgNameLen + 1] = {};
        in.take(text, (size_t)(in.u8() % (kVstMaxProgNameLen + 1)));
        host.dispatch(effSetProgramName, 0, 0, text);
        return "";
    }
    case 2: {
        HostBuffer text(kVstMaxProgNameLen + 1);
        host.dispatch(effGetProgramName, 0, 0, text.data());
        return text.check("effGetProgramName", kVstMaxProgNameLen - 1);
    }
    default: {
        HostBuffer text(kVstMaxProgNameLen + 1);
        const int category = (int8_t)in.u8();
        host.dispatch(effGetProgramNameIndexed, (int8_t)in.u8(), category, text.data());
        return text.check("effGetProgramNameIndexed", kVstMaxProgNameLen - 1);
    }
    }
}

std::string HostSession::checkParameters(const float* expected, const char* after)
{
    for (int i = 0; i < 43; ++i) {
        const float v = host.getParameter(i);
        if (!(std::fabs(v - expected[i]) <= 1e-5f))
            return std::string(after) + ": parameter " + std::to_string(i) + " is " + std::to_string(v) + ", was " +
                   std::to_string(expected[i]);
    }
    return "";
}

std::string HostSession::chunks(Bytes& in)
{
    float values[43];
    for (int i = 0; i < 43; ++i) values[i] = host.getParameter(i);
    const uint8_t kind = in.u8();
    const bool isPreset = kind & 0x10;
    std::vector<uint8_t> chunk;
    switch (kind % 4) {
    case 0: {
        // The host stores the state and restores it: the same values come back.
        chunk = host.getChunk(isPreset);
        if (chunk.empty()) return "effGetChunk gave nothing";
        if (host.setChunk(chunk.data(), chunk.size(), isPreset) != 1) return "effSetChunk refused its own chunk";
        return checkParameters(values, "chunk round trip");
    }
    case 1: {
        // Any bytes, with or without the start of a document.
        chunk.resize(in.u16() % 4097);
        size_t at = 0;
        if ((kind & 0x20) && chunk.size() >= 4) at = (std::memcpy(chunk.data(), "---\n", 4), 4);
        in.take(chunk.data() + at, chunk.size() - at);
        break;
    }
    case 2: {
        // A stored state damaged: bytes changed, then possibly cut short.
        chunk = host.getChunk(isPreset);
        for (int k = in.u8() % 8; k > 0 && !chunk.empty(); --k) chunk[in.u16() % chunk.size()] ^= in.u8();
        if ((kind & 0x20) && !chunk.empty()) chunk.resize(in.u16() % chunk.size());
        break;
    }
    default: {
        // An old packed state: a header naming parameter 0, then records.
        chunk.assign(1548 + (in.u8() % 4) * 196 + (kind & 0x20 ? in.u8() % 196 : 0), 0);
        std::memcpy(chunk.data() + 12, "Wave", 4);
        in.take(chunk.data() + 1548, chunk.size() - 1548);
        host.setChunk(chunk.data(), chunk.size(), isPreset);
        return checkParameters(values, "packed chunk");
    }
    }
    if (chunk.empty()) return "";
    if (host.setChunk(chunk.data(), chunk.size(), isPreset) == 0) return checkParameters(values, "refused chunk");
    return "";
}

std::string HostSession::editor(Bytes& in)
{
    switch (in.u8() % 6) {
    case 0: {
        ERect* rect = nullptr;
        if (host.dispatch(effEditGetRect, 0, 0, &rect) == 1 &&
            (!rect || rect->right <= rect->left || rect->bottom <= rect->top))
            return "effEditGetRect answered 1 without a rectangle";
        return "";
    }
    case 1:
        host.dispatch(effEditOpen, 0, 0, nullptr);
        return "";
    case 2:
        host.dispatch(effEditIdle);
        return "";
    case 3:
        host.dispatch(effEditClose);
        return "";
    case 4: {
        const VstInt32 character = (int8_t)in.u8();
        const VstIntPtr key = in.u8();
        host.dispatch(in.u8() & 1 ? effEditKeyUp : effEditKeyDown, character, key, nullptr, (float)(in.u8() % 16));
        return "";
    }
    default:
        host.dispatch(effSetEditKnobMode, 0, in.u8() % 3);
        return "";
    }
}

std::string HostSession::inquiries(Bytes& in)
{
    const uint8_t kind = in.u8();
    switch (kind % 8) {
    case 0: {
        char text[33] = {};
        in.take(text, in.u8() % 33);
        text[32] = 0;
        const VstIntPtr answer = host.dispatch(effCanDo, 0, 0, text);
        return answer >= -1 && answer <= 1 ? "" : "effCanDo answered " + std::to_string((long long)answer);
    }
    case 1: {
        std::vector<VstPinProperties> pin(1);
        host.dispatch(kind & 0x10 ? effGetInputProperties : effGetOutputProperties, (int8_t)in.u8(), 0, pin.data());
        return std::memchr(pin[0].label, 0, sizeof pin[0].label) ? "" : "pin label unterminated";
    }
    case 2: {
        HostBuffer name(kVstMaxEffectNameLen + 1), vendor(kVstMaxVendorStrLen + 1), product(kVstMaxProductStrLen + 1);
        host.dispatch(effGetEffectName, 0, 0, name.data());
        host.dispatch(effGetVendorString, 0, 0, vendor.data());
        host.dispatch(effGetProductString, 0, 0, product.data());
        std::string fault = name.check("effGetEffectName", kVstMaxEffectNameLen);
        if (fault.empty()) fault = vendor.check("effGetVendorString", kVstMaxVendorStrLen);
        if (fault.empty()) fault = product.check("effGetProductString", kVstMaxProductStrLen);
        return fault;
    }
    case 3: {
        char text[32] = {};
        in.take(text, in.u8() % 32);
        text[31] = 0;
        host.dispatch(effString2Parameter, pickIndex(in.u8()), 0, text);
        host.dispatch(effCanBeAutomated, pickIndex(in.u8()));
        return "";
    }
    case 4:
        for (VstInt32 op : {effGetPlugCategory, effIdentify, effGetVendorVersion, effGetVstVersion, effGetTailSize,
                            effGetNumMidiInputChannels, effGetNumMidiOutputChannels, effGetProgram})
            host.dispatch(op);
        return "";
    case 5:
        host.dispatch(effIdle);
        return "";
    default: {
        // Opcodes the plug-in does not answer, with a buffer as hosts give.
        static const VstInt32 others[] = {9,  16, 17, 18, 20, 21, 27, 28, 31, 32, 36, 37, 38, 39, 40, 41, 42, 43,
                                          44, 46, 50, 52, 53, 54, 55, 56, 57, 62, 63, 64, 65, 66, 67, 70, 77, 80};
        HostBuffer buffer(256);
        const VstInt32 op = others[in.u8() % (sizeof others / sizeof others[0])];
        host.dispatch(op, pickIndex(in.u8()), (int8_t)in.u8(), buffer.data(), 0.0f);
        return buffer.check("opcode " + std::to_string(op), 255);
    }
    }
}
