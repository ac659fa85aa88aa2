// Reading MIDI files and turning their times into sample frames.
#include "MidiFiles.h"
#include "RunTool.h"
#include "tools/render/MidiFileCheck.h"
#include "tools/render/MidiSong.h"

#include <glib.h>
#include <smf.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

class RenderMidiSongTest : public ::testing::Test {
protected:
    void SetUp() override { dir = makeTempDir("midi"); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string file(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        std::string path = dir + "/" + name;
        writeBytes(path, bytes);
        return path;
    }
    std::string dir;
};

// The events' times, bytes and tempi; the scheduler hands out each event once,
// in its block, at its frame, whatever the block size.
TEST_F(RenderMidiSongTest, FormatOneWithTempoChangesAndRunningStatusGivesFramesAtTheRightTimes)
{
    MidiSong song;
    std::string error;
    ASSERT_TRUE(song.load(file("tempo.mid", midi_files::tempoChangesWithRunningStatus()), error)) << error;
    EXPECT_EQ(song.format(), 1);
    EXPECT_EQ(song.tracks(), 2);
    ASSERT_EQ(song.events().size(), 6u);
    const uint8_t expected[6][3] = {{0x90, 60, 100}, {0x90, 62, 100}, {0x90, 60, 0},
                                    {0x80, 62, 64},  {0x90, 64, 80},  {0x90, 64, 0}};
    for (size_t i = 0; i < 6; ++i) {
        const SongEvent& e = song.events()[i];
        EXPECT_NEAR(e.seconds, midi_files::kTempoFileTimes[i], 1e-9) << "event " << i;
        EXPECT_EQ(MidiSong::frameAt(e.seconds, 48000.0), (int64_t)(midi_files::kTempoFileTimes[i] * 48000)) << i;
        EXPECT_EQ(e.size, 3);
        EXPECT_EQ(e.data[0], expected[i][0]) << i;
        EXPECT_EQ(e.data[1], expected[i][1]) << i;
        EXPECT_EQ(e.data[2], expected[i][2]) << i;
    }
    EXPECT_NEAR(song.lengthSeconds(), 3.0, 1e-9);
    ASSERT_EQ(song.tempi().size(), 3u);
    EXPECT_NEAR(song.tempi()[0].beatsPerMinute, 120.0, 1e-9);
    EXPECT_NEAR(song.tempi()[1].beatsPerMinute, 240.0, 1e-9);
    EXPECT_NEAR(song.tempi()[1].seconds, 1.0, 1e-9);
    EXPECT_NEAR(song.tempi()[2].beatsPerMinute, 60.0, 1e-9);

    for (int block : {1, 256, 1000, 48000}) {
        EventScheduler scheduler(song, 48000.0);
        std::vector<int64_t> frames;
        std::vector<BlockEvent> events;
        for (int64_t start = 0; start < 4 * 48000; start += block) {
            scheduler.block(start, block, events);
            for (const BlockEvent& e : events) {
                EXPECT_GE(e.frame, 0);
                EXPECT_LT(e.frame, block);
                frames.push_back(start + e.frame);
            }
        }
        ASSERT_EQ(frames.size(), 6u) << "block " << block;
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(frames[i], (int64_t)(midi_files::kTempoFileTimes[i] * 48000)) << "block " << block;
    }
}

TEST_F(RenderMidiSongTest, NotesHeldAtTheEndAreReleasedWhereTheSongEnds)
{
    MidiSong song;
    std::string error;
    ASSERT_TRUE(song.load(file("hang.mid", midi_files::hangingNote()), error)) << error;
    EXPECT_EQ(song.format(), 0);
    EXPECT_NEAR(song.lengthSeconds(), 1.0, 1e-9);
    EventScheduler scheduler(song, 44100.0);
    EXPECT_EQ(scheduler.endFrame(), 44100);
    std::vector<BlockEvent> events;
    scheduler.block(0, 44100, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].frame, 22050);
    scheduler.block(44100, 512, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].frame, 0);
    EXPECT_EQ(events[0].data[0], 0x80);
    EXPECT_EQ(events[0].data[1], 69);
}

TEST_F(RenderMidiSongTest, FormatZeroWrittenByLibsmfReadsBack)
{
    smf_t* smf = smf_new();
    ASSERT_EQ(smf_set_ppqn(smf, 96), 0);
    smf_track_t* track = smf_track_new();
    smf_add_track(smf, track);
    smf_track_add_event_pulses(track, smf_event_new_from_bytes(0xC0, 5, -1), 0);
    smf_track_add_event_pulses(track, smf_event_new_from_bytes(0x91, 72, 90), 48);
    smf_track_add_event_pulses(track, smf_event_new_from_bytes(0xE1, 0, 80), 96);
    smf_track_add_event_pulses(track, smf_event_new_from_bytes(0x81, 72, 0), 192);
    std::string path = dir + "/zero.mid";
    ASSERT_EQ(smf_save(smf, path.c_str()), 0);
    smf_delete(smf);

    MidiSong song;
    std::string error;
    ASSERT_TRUE(song.load(path, error)) << error;
    EXPECT_EQ(song.format(), 0);
    ASSERT_EQ(song.events().size(), 4u);
    EXPECT_EQ(song.events()[0].size, 2);  // program change: two bytes
    EXPECT_EQ(song.events()[0].data[0], 0xC0);
    EXPECT_NEAR(song.events()[1].seconds, 0.25, 1e-9);
    EXPECT_EQ(song.events()[2].data[0], 0xE1);
    EXPECT_NEAR(song.events()[3].seconds, 1.0, 1e-9);
}

// Files that made libsmf read past its buffer or abort, or that it cannot
// read, are refused before it sees them.
TEST_F(RenderMidiSongTest, FilesLibsmfMishandlesAreRefusedBeforeItParsesThem)
{
    const std::vector<unsigned char> good = midi_files::tempoChangesWithRunningStatus();
    ASSERT_EQ(midiFramingProblem(good), "");
    ASSERT_EQ(midiFramingProblem(midi_files::hangingNote()), "");
    const size_t track2 = good.size() - 39;  // offset of the second MTrk chunk (31 bytes of body)
    ASSERT_EQ(good[track2], 'M');
    struct Case {
        const char* what;
        std::function<void(std::vector<unsigned char>&)> change;
        const char* reason;
    } cases[] = {
        {"not MIDI",
         [](auto& b) {
             b.assign({'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7, 8, 9});
         },
         "no MThd header"},
        {"cut file", [](auto& b) { b.resize(b.size() - 9); }, "a chunk is longer than the file"},
        {"no end of track", [](auto& b) { b[b.size() - 2] = 0x01; }, "no end-of-track mark"},
        {"meta too long", [](auto& b) { b[b.size() - 1] = 0x05; }, "a meta event runs past its track"},
        {"running status with none", [&](auto& b) { b[track2 + 10] = 0x3C; }, "data without a status byte"},
        {"status as data", [&](auto& b) { b[track2 + 11] = 0x91; }, "a status byte where a data byte belongs"},
        {"sysex continuation", [&](auto& b) { b[track2 + 10] = 0xF7; }, "sysex continuation packet"},
        {"system message", [&](auto& b) { b[track2 + 10] = 0xF3; }, "system message"},
        {"format 2", [](auto& b) { b[9] = 2; }, "format 2"},
        {"format 7", [](auto& b) { b[9] = 7; }, "format 7 is not"},
        {"SMPTE time", [](auto& b) { b[12] = 0xE7; }, "SMPTE time division"},
        {"no tracks declared", [](auto& b) { b[11] = 0; }, "declares no tracks"},
        {"missing track", [](auto& b) { b[11] = 3; }, "fewer tracks than the header declares"},
        {"long delta",
         [&](auto& b) {
             b[track2 + 8] = 0xFF;
             b[track2 + 9] = 0xFF;
             b[track2 + 10] = 0xFF;
             b[track2 + 11] = 0xFF;
         },
         "a delta time runs past"},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = good;
        c.change(bytes);
        EXPECT_NE(midiFramingProblem(bytes).find(c.reason), std::string::npos)
            << c.what << ": " << midiFramingProblem(bytes);
        MidiSong song;
        std::string error;
        EXPECT_FALSE(song.load(file("bad.mid", bytes), error)) << c.what;
        EXPECT_NE(error.find("not a valid MIDI file"), std::string::npos) << c.what << ": " << error;
    }
}

}  // namespace
