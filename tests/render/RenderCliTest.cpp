// ondrel-render run as a program: its errors with message and exit code, the
// WAV files it writes, presets through the plug-in's library, the worker; a
// plain VST 2.4 and LV2 host: Debian's instruments sound through it, their
// notes starting where the MIDI file puts them. (Ondrel's VST and LV2 builds
// play a preset and a phrase to the same samples in Lv2Render.SameSamplesAsTheVstBuild.)
#include "MidiFiles.h"
#include "RenderPaths.h"
#include "RunTool.h"
#include "tools/render/SignalStats.h"
#include "tools/render/WavFile.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace render_paths;

class RenderCliTest : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(song, midi_files::tempoChangesWithRunningStatus()); }

    // Foreign plug-ins keep memory until exit: their runs report no leaks.
    ToolResult render(std::vector<std::string> args)
    {
        const bool lv2 = args[0] == "--lv2",
                   ours = lv2 ? args[1] == ondrelLv2 : args[0] != amsynth && args[0] != zynaddsubfx;
        std::vector<std::string> environment = ours ? ondrelEnvironment(dir) : peerEnvironment(dir);
        if (lv2 && ours) environment.push_back("LV2_PATH=" + fs::path(ondrelLv2Bundle).parent_path().string());
        args.insert(args.begin(), tool);
        return runTool(args, environment);
    }
    // The WAV file the tool wrote.
    static WavData wav(const std::string& path)
    {
        WavData data;
        std::string error;
        EXPECT_TRUE(readWav(path, data, error)) << error;
        return data;
    }
    // Expects a failure with this exit code and a message containing `text`.
    void expectFailure(const std::vector<std::string>& args, int code, const std::string& text)
    {
        ToolResult r = render(args);
        EXPECT_EQ(r.exitCode, code) << r.err;
        EXPECT_NE(r.err.find(text), std::string::npos) << "wanted \"" << text << "\" in: " << r.err;
    }

    testing_support::ScratchFolder scratch;
    const std::string dir = scratch.path(), song = dir + "song.mid";
};

TEST_F(RenderCliTest, EveryFailureHasItsMessageAndExitCode)
{
    std::string out = dir + "out.wav";
    expectFailure({ondrel, song, "-o", out, "--block", "none"}, 2, "--block needs");
    expectFailure({dir + "nothing.so", song, "-o", out}, 3, "plug-in not found: " + dir + "nothing.so");
    expectFailure({noEntryModule, song, "-o", out}, 3, "has no VSTPluginMain entry point");
    expectFailure({nullEntryModule, song, "-o", out}, 3, "entry point returned no instance");
    scratch.write("text.so", "not a module");
    expectFailure({dir + "text.so", song, "-o", out}, 3, "cannot load plug-in");
    expectFailure({ondrel, dir + "missing.mid", "-o", out}, 4, "cannot read MIDI file");
    scratch.write("bad.mid", "MThd but then nothing sensible");
    expectFailure({ondrel, dir + "bad.mid", "-o", out}, 4, "not a valid MIDI file");
    expectFailure({ondrel, song, "-o", out, "--preset", "No Such Preset"}, 5, "unknown preset \"No Such Preset\"");
    expectFailure({ondrel, song, "-o", out, "--preset-file", dir + "none.yaml"}, 5, "cannot read");
    expectFailure({ondrel, song, "-o", out, "--param", "Wobble=0.5"}, 5, "unknown parameter \"Wobble\"");
    expectFailure({ondrel, song, "-o", dir + "no/such/folder/out.wav"}, 6, "cannot write");
    expectFailure({"--lv2", "urn:ondrel:none", song, "-o", out}, 3, "no LV2 plug-in with the URI urn:ondrel:none");
    expectFailure({"--lv2", zynaddsubfxLv2Effect, song, "-o", out}, 3, "has no MIDI input");
    expectFailure({"--lv2", zynaddsubfxLv2, song, "-o", out, "--preset", "No Such Preset"}, 5,
                  "unknown preset \"No Such Preset\"");
    expectFailure({"--lv2", zynaddsubfxLv2, song, "-o", out, "--wine", worker}, 2, "--lv2 plays in this process");
    EXPECT_FALSE(fs::exists(out)) << "no output after a failure";
}

TEST_F(RenderCliTest, WavHasTheRateChannelsLengthAndFormatAsked)
{
    struct Case {
        const char* format;
        int sndfileFormat;
        double rate;
        int block;
    } cases[] = {{"float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 256},
                 {"pcm24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 44100, 100}};
    for (const Case& c : cases) {
        std::string out = dir + c.format + ".wav";
        ToolResult r = render({ondrel, song, "-o", out, "--format", c.format, "--rate", std::to_string((int)c.rate),
                               "--block", std::to_string(c.block), "--tail", "0.5"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find(out + ": 3.50 s at " + std::to_string((int)c.rate) + " Hz, peak"), std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("real time"), std::string::npos) << r.out;
        const WavData w = wav(out);
        EXPECT_EQ(w.sampleRate, (int)c.rate);
        EXPECT_EQ(w.channels, 2);
        EXPECT_EQ(w.format, c.sndfileFormat);
        EXPECT_EQ(w.frames(), (size_t)(3.5 * c.rate)) << "song of 3 s and a tail of 0.5 s";
        LevelMeter meter;
        meter.add(w.left.data(), (int)w.frames());
        meter.add(w.right.data(), (int)w.frames());
        EXPECT_EQ(meter.nonFinite(), 0u);
    }
}

TEST_F(RenderCliTest, QuietPrintsNothingAndListingsNeedNoSong)
{
    ToolResult quiet = render({ondrel, song, "-o", dir + "q.wav", "--quiet", "--tail", "0"});
    EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");

    ToolResult info = render({ondrel, "--info"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    // The descriptor's values are Shell.DescriptorAndInquiriesGetTheirAnswers'.
    EXPECT_NE(info.out.find("ID        'ondr'"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find(" Noise "), std::string::npos) << "last parameter listed";

    ToolResult params = render({ondrel, "--list-params", "--param", "Octave=1"});
    ASSERT_EQ(params.exitCode, 0) << params.err;
    EXPECT_NE(params.out.find("Octave"), std::string::npos) << params.out;
    EXPECT_NE(params.out.find("(1.0000)"), std::string::npos) << "the value set by --param shows: " << params.out;
}

// A preset of the bundle's library, Bell Tower, chosen by its name in any
// case or by its file through the VST module's program chunk, and by its
// label through the LV2 build's preset list: its Attack1 (0.039) shows.
TEST_F(RenderCliTest, PresetsOfTheLibraryGoInByNameOrFile)
{
    ToolResult list = render({ondrel, "--list-presets"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("Factory/FX/Bell Tower"), std::string::npos) << list.out;
    auto expectBellTower = [&](std::vector<std::string> args) {
        args.push_back("--list-params");
        ToolResult r = render(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("(0.0390)"), std::string::npos) << r.out;
    };
    expectBellTower({ondrel, "--preset", "bell tower"});
    expectBellTower(
        {ondrel, "--preset-file", fs::path(ondrel).parent_path().string() + "/Presets/Factory/FX/Bell Tower.yaml"});
    expectBellTower({"--lv2", ondrelLv2, "--preset", "Bell Tower"});
}

TEST_F(RenderCliTest, WorkerProcessRendersWhatTheToolRendersItself)
{
    std::string inside = dir + "inside.wav", outside = dir + "outside.wav";
    ToolResult a = render({amsynth, song, "-o", inside, "--tail", "0.5"});
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ToolResult b = render({amsynth, song, "-o", outside, "--tail", "0.5", "--worker", worker});
    ASSERT_EQ(b.exitCode, 0) << b.err;
    const WavData x = wav(inside), y = wav(outside);
    ASSERT_EQ(x.frames(), y.frames());
    Comparison c = compareSignals(x.left, y.left);
    EXPECT_GT(c.peakA, 0.01) << "a non-silent render to compare";
    EXPECT_GT(c.correlation, 0.999);
    EXPECT_LT(c.largestDifference, 1e-4);

    ToolResult missing = render({amsynth, song, "-o", outside, "--worker", dir + "no-worker"});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find("worker program not found"), std::string::npos) << missing.err;

    ToolResult dead = render({amsynth, song, "-o", outside, "--worker", "/bin/false"});
    EXPECT_EQ(dead.exitCode, 3);
    EXPECT_NE(dead.err.find("the worker stopped answering"), std::string::npos) << dead.err;
}

struct PeerSynth {
    std::string name;
    std::vector<std::string> plugin;  // a VST module's path, or --lv2 URI
};

class RenderPeerSynthTest : public RenderCliTest, public ::testing::WithParamInterface<PeerSynth> {};

TEST_P(RenderPeerSynthTest, RendersFiniteSoundStartingAtTheFirstNote)
{
    std::vector<std::string> args = GetParam().plugin;
    if (args[0] != "--lv2" && !fs::exists(args[0]))
        GTEST_FAIL() << args[0] << " is missing: scripts/setup.sh installs it";
    args.insert(args.end(), {song, "-o", dir + "out.wav", "--tail", "1", "--rate", "44100"});
    ToolResult r = render(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const WavData w = wav(dir + "out.wav");
    ASSERT_EQ(w.sampleRate, 44100);
    ASSERT_EQ(w.frames(), (size_t)(4.0 * 44100));
    LevelMeter meter, before, after;
    meter.add(w.left.data(), (int)w.frames());
    meter.add(w.right.data(), (int)w.frames());
    EXPECT_EQ(meter.nonFinite(), 0u);
    EXPECT_GT(LevelMeter::toDb(meter.rms()), -50.0) << "sound comes out";
    EXPECT_LE(meter.peak(), 4.0);
    // Quiet before the first note at 0.5 s, sounding within 30 ms after it.
    before.add(w.left.data(), 22050);
    after.add(w.left.data() + 22050, 1323);
    EXPECT_LT(before.peak(), 1e-3);
    EXPECT_GT(after.peak(), 1e-3);
}

// Debian 12's amsynth package has no LV2 build; ZynAddSubFX has both.
INSTANTIATE_TEST_SUITE_P(RenderDebian, RenderPeerSynthTest,
                         ::testing::Values(PeerSynth{"amsynth", {amsynth}}, PeerSynth{"ZynAddSubFX", {zynaddsubfx}},
                                           PeerSynth{"ZynAddSubFX_LV2", {"--lv2", zynaddsubfxLv2}}),
                         [](const ::testing::TestParamInfo<PeerSynth>& info) { return info.param.name; });

}  // namespace
