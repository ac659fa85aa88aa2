#include "tools/render/MidiFileCheck.h"

#include <cstdint>
#include <cstring>

namespace {

uint32_t bigEndian32(const unsigned char* p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// A track's events, from `at` to `end`.
class TrackWalk {
public:
    TrackWalk(const unsigned char* at, const unsigned char* end) : p(at), end(end) {}

    std::string check()
    {
        uint8_t running = 0;
        while (p < end) {
            uint32_t delta;
            if (!variableLength(delta)) return "a delta time runs past its track";
            if (p >= end) return "a track ends after a delta time";
            uint8_t status = *p;
            if (status == 0xFF) {
                if (end - p < 2) return "a meta event is cut short";
                uint8_t type = p[1];
                p += 2;
                uint32_t length;
                if (!variableLength(length) || length > (uint32_t)(end - p)) return "a meta event runs past its track";
                p += length;
                if (type == 0x2F) return {};  // end of track
                continue;
            }
            if (status == 0xF7) return "a sysex continuation packet, which the MIDI reader does not support";
            if (status == 0xF0) {
                ++p;
                uint32_t length;
                if (!variableLength(length) || length > (uint32_t)(end - p)) return "a sysex event runs past its track";
                p += length;
                running = 0;
                continue;
            }
            if (status >= 0xF0) return "a system message that has no place in a file";
            size_t dataBytes;
            if (status & 0x80) {
                running = status;
                ++p;
            } else if (!running) {
                return "data without a status byte";
            }
            uint8_t kind = running & 0xF0;
            dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if ((size_t)(end - p) < dataBytes) return "a channel message is cut short";
            for (size_t i = 0; i < dataBytes; ++i)
                if (p[i] & 0x80) return "a status byte where a data byte belongs";
            p += dataBytes;
        }
        return "a track has no end-of-track mark";
    }

private:
    bool variableLength(uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (p >= end) return false;
            uint8_t b = *p++;
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;  // longer than four bytes
    }

    const unsigned char* p;
    const unsigned char* end;
};

}  // namespace

std::string midiFramingProblem(const std::vector<unsigned char>& bytes)
{
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) return "no MThd header";
    uint32_t headerSize = bigEndian32(bytes.data() + 4);
    if (headerSize < 6) return "header chunk too short";
    unsigned format = (unsigned)bytes[8] << 8 | bytes[9];
    unsigned tracksDeclared = (unsigned)bytes[10] << 8 | bytes[11];
    unsigned division = (unsigned)bytes[12] << 8 | bytes[13];
    if (format == 2) return "format 2 (independent patterns), which the MIDI reader does not support";
    if (format > 2) return "format " + std::to_string(format) + " is not 0, 1 or 2";
    if (division & 0x8000) return "SMPTE time division, which the MIDI reader does not support";
    if (division == 0) return "zero pulses per quarter note";
    if (tracksDeclared == 0) return "the header declares no tracks";
    unsigned tracksFound = 0;
    size_t position = 0;
    while (position < bytes.size()) {
        if (bytes.size() - position < 8) return "a chunk header is cut short";
        uint32_t size = bigEndian32(bytes.data() + position + 4);
        if (size > bytes.size() - position - 8) return "a chunk is longer than the file";
        const unsigned char* body = bytes.data() + position + 8;
        if (position > 0 && std::memcmp(bytes.data() + position, "MTrk", 4) == 0) {
            ++tracksFound;
            std::string problem = TrackWalk(body, body + size).check();
            if (!problem.empty()) return problem + " (track " + std::to_string(tracksFound) + ")";
        }
        position += 8 + (size_t)size;
    }
    if (tracksFound == 0) return "no tracks";
    if (tracksFound < tracksDeclared) return "fewer tracks than the header declares";
    return {};
}
