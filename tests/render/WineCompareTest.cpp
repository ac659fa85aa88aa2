// The Windows DLL played under wine through the Windows worker renders the
// same song and preset like the Linux module played in-process.
#include "MidiFiles.h"
#include "RunTool.h"
#include "tools/render/PresetLibrary.h"
#include "tools/render/SignalStats.h"
#include "tools/render/WavFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

namespace {

namespace fs = std::filesystem;

TEST(RenderWineTest, WindowsDllUnderWineMatchesTheLinuxModule)
{
    ASSERT_TRUE(fs::exists(WIN_DLL)) << WIN_DLL << ": build the Windows tree first";
    ASSERT_TRUE(fs::exists(WIN_WORKER)) << WIN_WORKER << ": build the Windows tree first";
    std::string dir = makeTempDir("wine");
    std::string song = dir + "/song.mid";
    writeBytes(song, midi_files::tempoChangesWithRunningStatus());

    // The first factory preset when the library has one, else the default program.
    std::vector<std::string> common{song, "--tail", "1", "--param", "Octave=0.75"};
    PresetLibrary library(ONDREL_MODULE);
    if (!library.presets().empty()) {
        common.push_back("--preset");
        common.push_back(library.presets()[0].id.substr(std::string("Factory/").size()));
    }
    std::vector<std::string> native{RENDER_TOOL, ONDREL_MODULE, "-o", dir + "/linux.wav"};
    std::vector<std::string> wine{RENDER_TOOL, WIN_DLL,         "-o",       dir + "/windows.wav", "--wine",
                                  WIN_WORKER,  "--wine-prefix", WINE_PREFIX};
    native.insert(native.end(), common.begin(), common.end());
    wine.insert(wine.end(), common.begin(), common.end());

    ToolResult a = runTool(native, {"ONDREL_NO_DIALOGS=1"});
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ToolResult b = runTool(wine);
    ASSERT_EQ(b.exitCode, 0) << b.err;
    std::cout << a.out << b.out;

    WavData x, y;
    std::string error;
    ASSERT_TRUE(readWav(dir + "/linux.wav", x, error)) << error;
    ASSERT_TRUE(readWav(dir + "/windows.wav", y, error)) << error;
    ASSERT_EQ(x.frames(), y.frames()) << "same length";
    ASSERT_EQ(x.frames(), (size_t)(4.0 * 48000));
    std::vector<float> sx(x.left), sy(y.left);
    sx.insert(sx.end(), x.right.begin(), x.right.end());
    sy.insert(sy.end(), y.right.begin(), y.right.end());
    Comparison c = compareSignals(sx, sy);
    std::cout << "Linux vs Windows: peak " << LevelMeter::dbText(c.peakA) << " vs " << LevelMeter::dbText(c.peakB)
              << ", largest difference " << c.largestDifference << " (" << LevelMeter::dbText(c.largestDifference)
              << "), correlation " << c.correlation << std::endl;
    ::testing::Test::RecordProperty("largest_difference", std::to_string(c.largestDifference));
    ::testing::Test::RecordProperty("correlation", std::to_string(c.correlation));
    LevelMeter mx, my;
    mx.add(sx.data(), (int)sx.size());
    my.add(sy.data(), (int)sy.size());
    EXPECT_EQ(mx.nonFinite() + my.nonFinite(), 0u);
    EXPECT_NEAR(LevelMeter::toDb(mx.rms()), LevelMeter::toDb(my.rms()), 1.0) << "same level";
    EXPECT_GT(c.correlation, WINE_MIN_CORRELATION);
    fs::remove_all(dir);
}

}  // namespace
