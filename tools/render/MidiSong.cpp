#include "tools/render/MidiSong.h"

#include "tools/render/MidiFileCheck.h"

#include <glib.h>  // before smf.h, which includes it inside extern "C"
#include <smf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// libsmf reports its reasons through GLib's log; keep the last one for the
// message instead of letting it print.
std::string lastLibraryMessage;

void keepLibraryMessage(const gchar*, GLogLevelFlags, const gchar* message, gpointer)
{
    lastLibraryMessage = message ? message : "";
}

constexpr size_t kLargestFile = 64u << 20;

struct SmfDeleter {
    void operator()(smf_t* s) const { smf_delete(s); }
};

int messageSize(uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 2;
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        return 3;
    default:
        return 0;  // system, sysex and meta events are not sent to the plug-in
    }
}

bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > kLargestFile) {
            std::fclose(f);
            errno = EFBIG;
            return false;
        }
    }
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) errno = EIO;
    return !failed;
}

}  // namespace

int64_t MidiSong::frameAt(double seconds, double sampleRate)
{
    if (!(seconds > 0.0)) return 0;
    return (int64_t)std::llround(seconds * sampleRate);
}

bool MidiSong::load(const std::string& path, std::string& error)
{
    list.clear();
    tempoMap.clear();
    length = 0.0;
    std::vector<unsigned char> bytes;
    if (!readWholeFile(path, bytes)) {
        error = "cannot read MIDI file " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string framing = midiFramingProblem(bytes);
    if (!framing.empty()) {
        error = "not a valid MIDI file: " + path + " (" + framing + ")";
        return false;
    }

    lastLibraryMessage.clear();
    guint handler =
        g_log_set_handler("libsmf", (GLogLevelFlags)(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL), keepLibraryMessage, nullptr);
    std::unique_ptr<smf_t, SmfDeleter> smf(smf_load_from_memory(bytes.data(), (int)bytes.size()));
    g_log_remove_handler("libsmf", handler);
    if (!smf) {
        error = "not a valid MIDI file: " + path;
        if (!lastLibraryMessage.empty()) error += " (" + lastLibraryMessage + ")";
        return false;
    }
    smfFormat = smf->format;
    trackCount = smf->number_of_tracks;

    // Tempo map as libsmf computed it (used for the host's reported tempo).
    for (unsigned i = 0; i < smf->tempo_array->len; ++i) {
        auto* t = static_cast<smf_tempo_t*>(g_ptr_array_index(smf->tempo_array, i));
        if (t->microseconds_per_quarter_note > 0)
            tempoMap.push_back({t->time_seconds, 60.0e6 / t->microseconds_per_quarter_note});
    }

    smf_rewind(smf.get());
    for (smf_event_t* e = smf_get_next_event(smf.get()); e; e = smf_get_next_event(smf.get())) {
        length = std::max(length, e->time_seconds);
        if (e->midi_buffer_length < 1 || smf_event_is_metadata(e)) continue;
        uint8_t status = e->midi_buffer[0];
        int size = messageSize(status);
        if (size == 0 || e->midi_buffer_length < size) continue;
        SongEvent s;
        s.seconds = e->time_seconds;
        s.size = (uint8_t)size;
        for (int i = 0; i < size; ++i) s.data[i] = e->midi_buffer[i];
        list.push_back(s);
    }
    // libsmf hands events out merged across tracks in time order; keep that
    // order stable for events at the same time.
    std::stable_sort(list.begin(), list.end(),
                     [](const SongEvent& a, const SongEvent& b) { return a.seconds < b.seconds; });
    length = std::max(length, smf_get_length_seconds(smf.get()));
    return true;
}

EventScheduler::EventScheduler(const MidiSong& song, double sampleRate)
{
    end = MidiSong::frameAt(song.lengthSeconds(), sampleRate);
    bool held[16][128] = {};
    for (const SongEvent& s : song.events()) {
        Timed t;
        t.frame = MidiSong::frameAt(s.seconds, sampleRate);
        std::memcpy(t.event.data, s.data, 3);
        timed.push_back(t);
        uint8_t kind = s.data[0] & 0xF0, channel = s.data[0] & 0x0F, key = s.data[1] & 0x7F;
        if (kind == 0x90 && s.data[2] > 0) held[channel][key] = true;
        if (kind == 0x80 || (kind == 0x90 && s.data[2] == 0)) held[channel][key] = false;
    }
    for (int c = 0; c < 16; ++c)
        for (int k = 0; k < 128; ++k)
            if (held[c][k]) {
                Timed t;
                t.frame = end;
                t.event.data[0] = (uint8_t)(0x80 | c);
                t.event.data[1] = (uint8_t)k;
                t.event.data[2] = 64;
                timed.push_back(t);
            }
}

void EventScheduler::block(int64_t start, int frames, std::vector<BlockEvent>& out)
{
    out.clear();
    while (next < timed.size() && timed[next].frame < start + frames) {
        BlockEvent e = timed[next].event;
        e.frame = (int32_t)std::max<int64_t>(0, timed[next].frame - start);
        out.push_back(e);
        ++next;
    }
}
