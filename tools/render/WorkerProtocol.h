// The binary pipe protocol between ondrel-render and ondrel-render-worker.
// Each request is a frame: uint32 command, uint32 payload size, payload. Each
// answer is a frame: uint32 status (0 ok, 1 failed), uint32 size, payload
// (the error text when failed). Integers and floats are little-endian as in
// memory (both sides are x86-64); texts are uint32 length plus bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace worker {

enum Command : uint32_t {
    cmdLoad = 1,          // text path                      -> nothing
    cmdStart = 2,         // f32 rate, i32 block            -> nothing
    cmdInfo = 3,          //                                -> PluginInfo fields
    cmdParameters = 4,    //                                -> u32 n, n x (name, label, display, f32 value)
    cmdProgramNames = 5,  //                                -> u32 n, n x text
    cmdProgramName = 6,   //                                -> text
    cmdSetParameter = 7,  // i32 index, f32 value           -> nothing
    cmdSetProgram = 8,    // i32 index                      -> nothing
    cmdSetChunk = 9,      // u32 n, n bytes                 -> nothing (fails when refused)
    cmdSetTempo = 10,     // f64 beats per minute           -> nothing
    cmdProcess = 11,      // i32 frames, u32 n, n x (i32 frame, 3 bytes) -> 2 x frames f32
    cmdQuit = 12,         //                                -> nothing, then the worker exits
};

enum Status : uint32_t { statusOk = 0, statusFailed = 1 };

// The largest payload either side accepts (a chunk or a block of audio).
constexpr uint32_t kMaxPayload = 64u << 20;

class Writer {
public:
    void u32(uint32_t v) { raw(&v, sizeof v); }
    void i32(int32_t v) { raw(&v, sizeof v); }
    void f32(float v) { raw(&v, sizeof v); }
    void f64(double v) { raw(&v, sizeof v); }
    void text(const std::string& s);
    void bytes(const void* data, size_t size);  // u32 size, then the bytes
    void raw(const void* data, size_t size);
    const std::vector<uint8_t>& data() const { return buffer; }

private:
    std::vector<uint8_t> buffer;
};

// Reads fields of a payload; any read past the end marks it failed and gives zeros.
class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& payload) : buffer(payload) {}
    uint32_t u32() { return scalar<uint32_t>(); }
    int32_t i32() { return scalar<int32_t>(); }
    float f32() { return scalar<float>(); }
    double f64() { return scalar<double>(); }
    std::string text();
    std::vector<uint8_t> bytes();
    bool raw(void* out, size_t size);
    bool ok() const { return good; }
    size_t remaining() const { return buffer.size() - position; }

private:
    template <class T>
    T scalar()
    {
        T v{};
        raw(&v, sizeof v);
        return v;
    }

    const std::vector<uint8_t>& buffer;
    size_t position = 0;
    bool good = true;
};

// Frames over file descriptors. False when the pipe closed or a frame is too large.
bool sendFrame(int fd, uint32_t code, const std::vector<uint8_t>& payload);
bool receiveFrame(int fd, uint32_t& code, std::vector<uint8_t>& payload);

// Whole reads and writes over a descriptor (per-OS).
bool readAll(int fd, void* data, size_t size);
bool writeAll(int fd, const void* data, size_t size);

// For the worker: returns a descriptor on the original standard output for
// the protocol (binary mode) and points standard output at standard error,
// so that whatever a plug-in prints cannot break the frames. Standard input
// is switched to binary mode as well.
int claimProtocolOutput();

}  // namespace worker
