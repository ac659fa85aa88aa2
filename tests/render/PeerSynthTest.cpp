// The render tool is a plain VST 2.4 host: Debian's instruments sound through
// it, and their notes start where the MIDI file puts them.
#include "MidiFiles.h"
#include "RenderPaths.h"
#include "RunTool.h"
#include "tools/render/SignalStats.h"
#include "tools/render/WavFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace render_paths;

class RenderPeerSynthTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RenderPeerSynthTest, RendersFiniteSoundStartingAtTheFirstNote)
{
    const std::string& module = GetParam();
    if (!fs::exists(module)) GTEST_FAIL() << module << " is missing: scripts/setup.sh installs it";
    std::string dir = makeTempDir("peer");
    writeBytes(dir + "/song.mid", midi_files::tempoChangesWithRunningStatus());
    std::string out = dir + "/out.wav";
    ToolResult r = runTool({tool, module, dir + "/song.mid", "-o", out, "--tail", "1"}, peerEnvironment(dir));
    ASSERT_EQ(r.exitCode, 0) << r.err;

    WavData wav;
    std::string error;
    ASSERT_TRUE(readWav(out, wav, error)) << error;
    ASSERT_EQ(wav.frames(), (size_t)(4.0 * 48000));
    LevelMeter meter;
    meter.add(wav.left.data(), (int)wav.frames());
    meter.add(wav.right.data(), (int)wav.frames());
    EXPECT_EQ(meter.nonFinite(), 0u);
    EXPECT_GT(LevelMeter::toDb(meter.rms()), -50.0) << "sound comes out";
    EXPECT_LE(meter.peak(), 4.0);

    // Quiet before the first note at 0.5 s, sounding within 30 ms after it.
    const size_t noteFrame = 24000;
    double before = 0.0, after = 0.0;
    for (size_t i = 0; i < noteFrame; ++i) before = std::max(before, (double)std::fabs(wav.left[i]));
    for (size_t i = noteFrame; i < noteFrame + 1440; ++i) after = std::max(after, (double)std::fabs(wav.left[i]));
    EXPECT_LT(before, 1e-3);
    EXPECT_GT(after, 1e-3);
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(RenderDebian, RenderPeerSynthTest, ::testing::Values(amsynth, zynaddsubfx),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.index == 0 ? std::string("amsynth") : std::string("ZynAddSubFX");
                         });

}  // namespace
