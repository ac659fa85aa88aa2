// Command line, preset library and signal comparison of the render tool.
#include "RunTool.h"
#include "tools/render/PresetLibrary.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SignalStats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

TEST(RenderOptionsTest, ReadsEveryOptionAndKeepsDefaults)
{
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parseRenderOptions({"p.so", "s.mid", "-o", "x.wav"}, o, error)) << error;
    EXPECT_EQ(o.plugin, "p.so");
    EXPECT_EQ(o.midiFile, "s.mid");
    EXPECT_EQ(o.output, "x.wav");
    EXPECT_EQ(o.rate, 48000.0);
    EXPECT_EQ(o.block, 256);
    EXPECT_EQ(o.tail, 2.0);
    EXPECT_EQ(o.format, SampleFormat::float32);

    RenderOptions p;
    ASSERT_TRUE(parseRenderOptions(
        {"--rate",  "44100",     "--block=64",     "--tail",    "0.5",      "--format",      "pcm24",
         "--param", "Wave=0.25", "--param",        "Cut Off=1", "--preset", "Pads/Warm",     "--quiet",
         "p.so",    "s.mid",     "--output=y.wav", "--wine",    "w.exe",    "--wine-prefix", "/tmp/pfx"},
        p, error))
        << error;
    EXPECT_EQ(p.rate, 44100.0);
    EXPECT_EQ(p.block, 64);
    EXPECT_EQ(p.tail, 0.5);
    EXPECT_EQ(p.format, SampleFormat::pcm24);
    ASSERT_EQ(p.params.size(), 2u);
    EXPECT_EQ(p.params[1].name, "Cut Off");
    EXPECT_FLOAT_EQ(p.params[0].value, 0.25f);
    EXPECT_EQ(p.preset, "Pads/Warm");
    EXPECT_TRUE(p.quiet);
    EXPECT_EQ(p.output, "y.wav");
    EXPECT_EQ(p.worker, "w.exe");
    EXPECT_TRUE(p.workerUnderWine);
    EXPECT_EQ(p.winePrefix, "/tmp/pfx");

    RenderOptions q;
    ASSERT_TRUE(parseRenderOptions({"p.so", "--list-params"}, q, error)) << error;  // no MIDI file needed to list
    EXPECT_TRUE(q.reportOnly());
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
    namespace fs = std::filesystem;
    std::string dir = makeTempDir("library");
    fs::create_directories(dir + "/Presets/Factory/Pads");
    fs::create_directories(dir + "/Presets/Factory/Leads");
    fs::create_directories(dir + "/Presets/User");
    for (const char* f : {"/Presets/Factory/Pads/Warm.yaml", "/Presets/Factory/Leads/Warm.yaml",
                          "/Presets/User/Mine.yaml", "/Presets/User/notes.txt"})
        writeText(dir + f, "---\n");

    PresetLibrary library(dir + "/Plugin.so");
    ASSERT_EQ(library.presets().size(), 3u);
    EXPECT_EQ(library.presets()[0].id, "Factory/Leads/Warm");
    EXPECT_EQ(library.presets()[1].id, "Factory/Pads/Warm");
    EXPECT_EQ(library.presets()[2].id, "User/Mine");
    EXPECT_EQ(library.find("Warm").size(), 2u);  // ambiguous: the caller asks which
    ASSERT_EQ(library.find("Pads/Warm").size(), 1u);
    EXPECT_EQ(library.find("Pads/Warm")[0].path, dir + "/Presets/Factory/Pads/Warm.yaml");
    ASSERT_EQ(library.find("mine").size(), 1u);  // case is ignored when nothing matches exactly
    EXPECT_TRUE(library.find("arm").empty());    // whole names only
    EXPECT_TRUE(library.find("notes").empty());  // only YAML files

    PresetLibrary none(dir + "/Presets/Plugin.so");
    EXPECT_TRUE(none.presets().empty());
    fs::remove_all(dir);
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
