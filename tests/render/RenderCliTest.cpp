// ondrel-render run as a program: its errors with message and exit code, the
// WAV files it writes, presets through the plug-in's library, the worker.
#include "MidiFiles.h"
#include "RenderPaths.h"
#include "RunTool.h"
#include "tools/render/SignalStats.h"
#include "tools/render/WavFile.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace render_paths;

class RenderCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = makeTempDir("cli");
        song = dir + "/song.mid";
        writeBytes(song, midi_files::tempoChangesWithRunningStatus());
    }
    void TearDown() override { fs::remove_all(dir); }

    ToolResult render(std::vector<std::string> args)
    {
        bool foreign = !args.empty() && (args[0] == amsynth || args[0] == "--lv2");
        args.insert(args.begin(), tool);
        return runTool(args, foreign ? peerEnvironment(dir) : ondrelEnvironment(dir));
    }
    // Expects a failure with this exit code and a message containing `text`.
    void expectFailure(const std::vector<std::string>& args, int code, const std::string& text)
    {
        ToolResult r = render(args);
        EXPECT_EQ(r.exitCode, code) << r.err;
        EXPECT_NE(r.err.find(text), std::string::npos) << "wanted \"" << text << "\" in: " << r.err;
    }

    std::string dir, song;
};

TEST_F(RenderCliTest, EveryFailureHasItsMessageAndExitCode)
{
    std::string out = dir + "/out.wav";
    expectFailure({ondrel, song, "-o", out, "--block", "none"}, 2, "--block needs");
    expectFailure({dir + "/nothing.so", song, "-o", out}, 3, "plug-in not found: " + dir + "/nothing.so");
    expectFailure({noEntryModule, song, "-o", out}, 3, "has no VSTPluginMain entry point");
    expectFailure({nullEntryModule, song, "-o", out}, 3, "entry point returned no instance");
    writeText(dir + "/text.so", "not a module");
    expectFailure({dir + "/text.so", song, "-o", out}, 3, "cannot load plug-in");
    expectFailure({ondrel, dir + "/missing.mid", "-o", out}, 4, "cannot read MIDI file");
    writeText(dir + "/bad.mid", "MThd but then nothing sensible");
    expectFailure({ondrel, dir + "/bad.mid", "-o", out}, 4, "not a valid MIDI file");
    expectFailure({ondrel, song, "-o", out, "--preset", "No Such Preset"}, 5, "unknown preset \"No Such Preset\"");
    expectFailure({ondrel, song, "-o", out, "--preset-file", dir + "/none.yaml"}, 5, "cannot read");
    expectFailure({ondrel, song, "-o", out, "--param", "Wobble=0.5"}, 5, "unknown parameter \"Wobble\"");
    expectFailure({ondrel, song, "-o", dir + "/no/such/folder/out.wav"}, 6, "cannot write");
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
        std::string out = dir + "/" + c.format + ".wav";
        ToolResult r = render({ondrel, song, "-o", out, "--format", c.format, "--rate", std::to_string((int)c.rate),
                               "--block", std::to_string(c.block), "--tail", "0.5"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find(out + ": 3.50 s at " + std::to_string((int)c.rate) + " Hz, peak"), std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("real time"), std::string::npos) << r.out;
        WavData wav;
        std::string error;
        ASSERT_TRUE(readWav(out, wav, error)) << error;
        EXPECT_EQ(wav.sampleRate, (int)c.rate);
        EXPECT_EQ(wav.channels, 2);
        EXPECT_EQ(wav.format, c.sndfileFormat);
        EXPECT_EQ(wav.frames(), (size_t)(3.5 * c.rate)) << "song of 3 s and a tail of 0.5 s";
        LevelMeter meter;
        meter.add(wav.left.data(), (int)wav.frames());
        meter.add(wav.right.data(), (int)wav.frames());
        EXPECT_EQ(meter.nonFinite(), 0u);
    }
}

TEST_F(RenderCliTest, QuietPrintsNothingAndListingsNeedNoSong)
{
    ToolResult quiet = render({ondrel, song, "-o", dir + "/q.wav", "--quiet", "--tail", "0"});
    EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");

    ToolResult info = render({ondrel, "--info"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("name      Ondrel by Zentorial"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("ID        'ondr'"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("pins      0 in, 2 out"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("params    43"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find(" Noise "), std::string::npos) << "last parameter listed";

    ToolResult params = render({ondrel, "--list-params", "--param", "Octave=1"});
    ASSERT_EQ(params.exitCode, 0) << params.err;
    EXPECT_NE(params.out.find("Octave"), std::string::npos) << params.out;
    EXPECT_NE(params.out.find("(1.0000)"), std::string::npos) << "the value set by --param shows: " << params.out;
}

// A bundle copy with a preset library of its own, so the build's bundle stays as it is.
TEST_F(RenderCliTest, PresetOfTheLibraryGoesInAsTheProgramChunk)
{
    std::string bundle = dir + "/Ondrel";
    fs::create_directories(bundle + "/Presets/Factory/Tests");
    fs::copy_file(ondrel, bundle + "/" + fs::path(ondrel).filename().string());
    fs::path fonts = fs::path(ondrel).parent_path() / "Fonts";
    if (fs::exists(fonts)) fs::create_directory_symlink(fonts, bundle + "/Fonts");
    // A whole preset (the plug-in refuses a program chunk that lacks a
    // parameter): a factory preset renamed, with Octave at 0.125.
    std::string preset;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(ondrel).parent_path() / "Presets" / "Factory")) {
        if (entry.path().extension() != ".yaml") continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            if (line.compare(0, 8, "  name: ") == 0) line = "  name: Render Check";
            if (line.compare(0, 10, "  Octave: ") == 0) line = "  Octave: 0.125";
            preset += line + "\n";
        }
        break;
    }
    ASSERT_NE(preset.find("  Octave: 0.125\n  Mastertuning: "), std::string::npos) << preset;
    writeText(bundle + "/Presets/Factory/Tests/Render Check.yaml", preset);
    std::string module = bundle + "/" + fs::path(ondrel).filename().string();

    ToolResult list = render({module, "--list-presets"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("Factory/Tests/Render Check"), std::string::npos) << list.out;

    ToolResult chosen = render({module, "--list-params", "--preset", "render check"});
    ASSERT_EQ(chosen.exitCode, 0) << chosen.err;
    EXPECT_NE(chosen.out.find("(0.1250)"), std::string::npos) << "the preset's value shows: " << chosen.out;

    ToolResult byFile =
        render({module, "--list-params", "--preset-file", bundle + "/Presets/Factory/Tests/Render Check.yaml"});
    ASSERT_EQ(byFile.exitCode, 0) << byFile.err;
    EXPECT_NE(byFile.out.find("(0.1250)"), std::string::npos) << byFile.out;
}

TEST_F(RenderCliTest, WorkerProcessRendersWhatTheToolRendersItself)
{
    std::string inside = dir + "/inside.wav", outside = dir + "/outside.wav";
    ToolResult a = render({amsynth, song, "-o", inside, "--tail", "0.5"});
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ToolResult b = render({amsynth, song, "-o", outside, "--tail", "0.5", "--worker", worker});
    ASSERT_EQ(b.exitCode, 0) << b.err;
    WavData x, y;
    std::string error;
    ASSERT_TRUE(readWav(inside, x, error)) << error;
    ASSERT_TRUE(readWav(outside, y, error)) << error;
    ASSERT_EQ(x.frames(), y.frames());
    Comparison c = compareSignals(x.left, y.left);
    EXPECT_GT(c.peakA, 0.01) << "a non-silent render to compare";
    EXPECT_GT(c.correlation, 0.999);
    EXPECT_LT(c.largestDifference, 1e-4);

    ToolResult missing = render({amsynth, song, "-o", outside, "--worker", dir + "/no-worker"});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find("worker program not found"), std::string::npos) << missing.err;

    ToolResult dead = render({amsynth, song, "-o", outside, "--worker", "/bin/false"});
    EXPECT_EQ(dead.exitCode, 3);
    EXPECT_NE(dead.err.find("the worker stopped answering"), std::string::npos) << dead.err;
}

}  // namespace
