// The render tool's parts: reading MIDI files and turning their times into
// sample frames, the command line, the preset library and the signal
// comparison.
#include "MidiFiles.h"
#include "RunTool.h"
#include "tools/render/MidiFileCheck.h"
#include "tools/render/MidiSong.h"
#include "tools/render/PresetLibrary.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SignalStats.h"

#include <glib.h>
#include <smf.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

class RenderMidiSongTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        return scratch.write(name, std::string(bytes.begin(), bytes.end()));
    }
    testing_support::ScratchFolder scratch;
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
    std::string path = scratch.path() + "zero.mid";
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

// The defaults and the options no run of the tool shows (the rate, tail,
// format, quiet mode, presets and listings without a song are RenderCliTest's).
TEST(RenderOptionsTest, ReadsEveryOptionAndKeepsDefaults)
{
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parseRenderOptions({"p.so", "s.mid", "-o", "x.wav"}, o, error)) << error;
    EXPECT_EQ(o.rate, 48000.0);
    EXPECT_EQ(o.block, 256);
    EXPECT_EQ(o.tail, 2.0);
    EXPECT_EQ(o.format, SampleFormat::float32);

    RenderOptions p;
    ASSERT_TRUE(parseRenderOptions({"--block=64", "--param", "Wave=0.25", "--param", "Cut Off=1", "p.so", "s.mid",
                                    "--output=y.wav", "--wine", "w.exe", "--wine-prefix", "/tmp/pfx"},
                                   p, error))
        << error;
    EXPECT_EQ(p.plugin, "p.so");
    EXPECT_EQ(p.midiFile, "s.mid");
    EXPECT_EQ(p.block, 64);
    ASSERT_EQ(p.params.size(), 2u);
    EXPECT_EQ(p.params[1].name, "Cut Off");
    EXPECT_FLOAT_EQ(p.params[0].value, 0.25f);
    EXPECT_EQ(p.output, "y.wav");
    EXPECT_EQ(p.worker, "w.exe");
    EXPECT_TRUE(p.workerUnderWine);
    EXPECT_EQ(p.winePrefix, "/tmp/pfx");
}

TEST(RenderOptionsTest, RefusesBadCommandLinesWithTheReason)
{
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{}, "no plug-in given"},
        {{"p.so"}, "no MIDI file given"},
        {{"p.so", "s.mid"}, "no output file given"},
        {{"p.so", "s.mid", "x.wav", "extra"}, "too many arguments"},
        {{"p.so", "s.mid", "-o"}, "-o needs a value"},
        {{"p.so", "s.mid", "-o", "x", "--rate", "fast"}, "--rate needs"},
        {{"p.so", "s.mid", "-o", "x", "--rate", "100"}, "--rate needs"},
        {{"p.so", "s.mid", "-o", "x", "--block", "0"}, "--block needs"},
        {{"p.so", "s.mid", "-o", "x", "--block", "12.5"}, "--block needs"},
        {{"p.so", "s.mid", "-o", "x", "--tail", "-1"}, "--tail needs"},
        {{"p.so", "s.mid", "-o", "x", "--format", "mp3"}, "--format is"},
        {{"p.so", "s.mid", "-o", "x", "--param", "Wave"}, "NAME=VALUE"},
        {{"p.so", "s.mid", "-o", "x", "--param", "Wave=2"}, "0 to 1"},
        {{"p.so", "s.mid", "-o", "x", "--preset", "a", "--preset-file", "b"}, "exclude each other"},
        {{"p.so", "s.mid", "-o", "x", "--loud"}, "unknown option --loud"},
    };
    for (const Case& c : cases) {
        RenderOptions o;
        std::string error;
        EXPECT_FALSE(parseRenderOptions(c.args, o, error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << "wanted \"" << c.reason << "\", got \"" << error << '"';
    }
}

TEST(RenderPresetLibraryTest, FindsFilesByNameOrCategoryFactoryFirst)
{
    testing_support::ScratchFolder scratch;
    const std::string dir = scratch.path();
    for (const char* f : {"Presets/Factory/Pads/Warm.yaml", "Presets/Factory/Leads/Warm.yaml", "Presets/User/Mine.yaml",
                          "Presets/User/notes.txt"})
        scratch.write(f, "---\n");

    PresetLibrary library(dir + "Plugin.so");
    ASSERT_EQ(library.presets().size(), 3u);
    EXPECT_EQ(library.presets()[0].id, "Factory/Leads/Warm");
    EXPECT_EQ(library.presets()[1].id, "Factory/Pads/Warm");
    EXPECT_EQ(library.presets()[2].id, "User/Mine");
    EXPECT_EQ(library.find("Warm").size(), 2u);  // ambiguous: the caller asks which
    ASSERT_EQ(library.find("Pads/Warm").size(), 1u);
    EXPECT_EQ(library.find("Pads/Warm")[0].path, dir + "Presets/Factory/Pads/Warm.yaml");
    ASSERT_EQ(library.find("mine").size(), 1u);  // case is ignored when nothing matches exactly
    EXPECT_TRUE(library.find("arm").empty());    // whole names only
    EXPECT_TRUE(library.find("notes").empty());  // only YAML files

    PresetLibrary none(dir + "Presets/Plugin.so");
    EXPECT_TRUE(none.presets().empty());
}

TEST(RenderSignalStatsTest, ComparisonAndLevelsMeasureTheSignal)
{
    std::vector<float> a(4800), b(4800), c(4800);
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = 0.5f * (float)std::sin(2.0 * M_PI * 440.0 * (double)i / 48000.0);
        b[i] = -a[i];
        c[i] = a[i] + (i == 100 ? 0.01f : 0.0f);
    }
    Comparison same = compareSignals(a, a);
    EXPECT_EQ(same.largestDifference, 0.0);
    EXPECT_NEAR(same.correlation, 1.0, 1e-12);
    EXPECT_NEAR(compareSignals(a, b).correlation, -1.0, 1e-12);
    Comparison near = compareSignals(a, c);
    EXPECT_NEAR(near.largestDifference, 0.01, 1e-6);
    EXPECT_GT(near.correlation, 0.999);

    LevelMeter meter;
    meter.add(a.data(), (int)a.size());
    EXPECT_NEAR(LevelMeter::toDb(meter.peak()), 20 * std::log10(0.5), 0.01);
    EXPECT_NEAR(meter.rms(), 0.5 / std::sqrt(2.0), 1e-3);
    float bad[3] = {NAN, INFINITY, 0.25f};
    meter.add(bad, 3);
    EXPECT_EQ(meter.nonFinite(), 2u);
    EXPECT_EQ(LevelMeter::dbText(0.0), "-inf dBFS");
}

}  // namespace
