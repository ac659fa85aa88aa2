// The Windows DLL played under wine through the Windows worker renders the
// same song and preset to the same samples, bit for bit, as the Linux module
// played in-process.
#include "MidiFiles.h"
#include "RunTool.h"
#include "tools/render/PresetLibrary.h"
#include "tools/render/SignalStats.h"
#include "tools/render/WavFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>

namespace {

namespace fs = std::filesystem;

TEST(RenderWineTest, WindowsDllUnderWineRendersTheLinuxModulesSamples)
{
    ASSERT_TRUE(fs::exists(WIN_DLL)) << WIN_DLL << ": build the Windows tree first";
    ASSERT_TRUE(fs::exists(WIN_WORKER)) << WIN_WORKER << ": build the Windows tree first";
    testing_support::ScratchFolder scratch;
    const std::string dir = scratch.path(), song = dir + "song.mid";
    writeBytes(song, midi_files::tempoChangesWithRunningStatus());

    // The first factory preset when the library has one, else the default program.
    std::vector<std::string> common{song, "--tail", "1", "--param", "Octave=0.75"};
    PresetLibrary library(ONDREL_MODULE);
    if (!library.presets().empty()) {
        common.push_back("--preset");
        common.push_back(library.presets()[0].id.substr(std::string("Factory/").size()));
    }
    std::vector<std::string> native{RENDER_TOOL, ONDREL_MODULE, "-o", dir + "linux.wav"};
    std::vector<std::string> wine{RENDER_TOOL, WIN_DLL,         "-o",       dir + "windows.wav", "--wine",
                                  WIN_WORKER,  "--wine-prefix", WINE_PREFIX};
    native.insert(native.end(), common.begin(), common.end());
    wine.insert(wine.end(), common.begin(), common.end());

    ToolResult a = runTool(native, {"ONDREL_NO_DIALOGS=1"});
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ToolResult b = runTool(wine);
    ASSERT_EQ(b.exitCode, 0) << b.err;

    WavData x, y;
    std::string error;
    ASSERT_TRUE(readWav(dir + "linux.wav", x, error)) << error;
    ASSERT_TRUE(readWav(dir + "windows.wav", y, error)) << error;
    ASSERT_EQ(x.frames(), (size_t)(4.0 * 48000));
    LevelMeter meter;
    meter.add(x.left.data(), (int)x.frames());
    EXPECT_GT(LevelMeter::toDb(meter.rms()), -50.0) << "sound comes out";
    EXPECT_TRUE(x.left == y.left && x.right == y.right)
        << "the Windows DLL's samples differ from the Linux module's by up to "
        << std::max(compareSignals(x.left, y.left).largestDifference,
                    compareSignals(x.right, y.right).largestDifference);
}

}  // namespace
