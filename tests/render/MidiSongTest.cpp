// Reading MIDI files and turning their times into sample frames.
#include "MidiFiles.h"
#include "RunTool.h"
#include "tools/render/MidiSong.h"

#include <glib.h>
#include <smf.h>

#include <gtest/gtest.h>

#include <filesystem>

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
}

TEST_F(RenderMidiSongTest, SchedulerHandsOutEachEventOnceInItsBlockWithTheFrameInsideTheBlock)
{
    MidiSong song;
    std::string error;
    ASSERT_TRUE(song.load(file("tempo.mid", midi_files::tempoChangesWithRunningStatus()), error)) << error;
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

TEST_F(RenderMidiSongTest, UnreadableAndMalformedFilesAreRefusedWithAReason)
{
    MidiSong song;
    std::string error;
    EXPECT_FALSE(song.load(dir + "/missing.mid", error));
    EXPECT_NE(error.find("cannot read MIDI file"), std::string::npos) << error;

    std::vector<unsigned char> garbage{'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7, 8, 9};
    error.clear();
    EXPECT_FALSE(song.load(file("garbage.mid", garbage), error));
    EXPECT_NE(error.find("not a valid MIDI file"), std::string::npos) << error;

    std::vector<unsigned char> cut = midi_files::tempoChangesWithRunningStatus();
    cut.resize(cut.size() - 9);  // the last track chunk ends early
    error.clear();
    EXPECT_FALSE(song.load(file("cut.mid", cut), error));
    EXPECT_NE(error.find("not a valid MIDI file"), std::string::npos) << error;
}

}  // namespace
