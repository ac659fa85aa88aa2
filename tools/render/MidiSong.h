// A Standard MIDI File (format 0 or 1) read with libsmf: its channel messages
// in time order with their times in seconds (libsmf applies the tempo map and
// running status), and the song's length.
#pragma once

#include "tools/render/PluginInstance.h"

#include <cstdint>
#include <string>
#include <vector>

struct SongEvent {
    double seconds = 0.0;
    uint8_t data[3] = {0, 0, 0};
    uint8_t size = 0;
};

struct TempoChange {
    double seconds = 0.0;
    double beatsPerMinute = 120.0;
};

class MidiSong {
public:
    // False with a message when the file cannot be read or is not a valid SMF.
    bool load(const std::string& path, std::string& error);

    const std::vector<SongEvent>& events() const { return list; }
    const std::vector<TempoChange>& tempi() const { return tempoMap; }
    // Time of the file's last event (its end-of-track marks included).
    double lengthSeconds() const { return length; }
    int format() const { return smfFormat; }
    int tracks() const { return trackCount; }

    // The frame at which a time falls at a sample rate (rounded to the nearest frame).
    static int64_t frameAt(double seconds, double sampleRate);

private:
    std::vector<SongEvent> list;
    std::vector<TempoChange> tempoMap;
    double length = 0.0;
    int smfFormat = 0;
    int trackCount = 0;
};

// Hands out a song's events block by block, as frames within each block.
// Notes still held at the end of the song get their note-off there, so that
// the tail holds the release rather than a sustained note.
class EventScheduler {
public:
    EventScheduler(const MidiSong& song, double sampleRate);
    // Events due in [start, start + frames), with frames relative to `start`.
    void block(int64_t start, int frames, std::vector<BlockEvent>& out);
    // The song's last frame (where the closing note-offs fall).
    int64_t endFrame() const { return end; }

private:
    struct Timed {
        int64_t frame;
        BlockEvent event;
    };
    std::vector<Timed> timed;
    size_t next = 0;
    int64_t end = 0;
};
