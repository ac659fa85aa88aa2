// A host session played from bytes: the bytes choose the host calls and
// their values, the host keeps every promise a host makes (valid pointers,
// buffers of the sizes hosts give, events that live as long as their call),
// and after each call the plug-in's own promises are checked. The host
// fuzzer, the replay of its corpus in the tests and the Windows replay
// program all play sessions through this one class.
#pragma once

#include "PluginHost.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class HostSession {
public:
    // A session committed beside the host fuzzer: its file and its bytes.
    struct SessionFile {
        std::string path;
        std::vector<uint8_t> bytes;
    };
    // The sessions in `fuzzFolder`/corpus and `fuzzFolder`/regressions.
    static std::vector<SessionFile> committedSessions(const std::string& fuzzFolder);

    // Limits that keep one session quick: frames rendered in all, and MIDI
    // events in one block.
    static constexpr long kMaxSessionFrames = 8192;
    static constexpr int kMaxEvents = 64;
    // The engine's output never leaves +-32 (twice its limiter's level).
    static constexpr float kOutputBound = 32.0f;

    explicit HostSession(PluginHost& host) : host(host) {}

    // Plays the session on the host's instance (created, not yet opened):
    // effOpen, then the calls the bytes choose. Answers the empty text, or
    // the first broken promise.
    std::string play(const uint8_t* data, size_t size);

    long callsMade() const { return calls; }
    long framesRendered() const { return frames; }
    bool changedSampleRate() const { return rateChanged; }

private:
    class Bytes;
    std::string step(Bytes& in);
    std::string render(Bytes& in, bool replacing);
    std::string midi(Bytes& in);
    std::string texts(Bytes& in);
    std::string programs(Bytes& in);
    std::string chunks(Bytes& in);
    std::string editor(Bytes& in);
    std::string inquiries(Bytes& in);
    std::string checkParameters(const float* expected, const char* after);

    PluginHost& host;
    long calls = 0;
    long frames = 0;
    int announcedBlock = 512;
    bool rateChanged = false;
};
