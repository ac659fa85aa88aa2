// The render tool is a plain VST 2.4 and LV2 host: Debian's instruments sound
// through it, and their notes start where the MIDI file puts them; Ondrel's
// VST and LV2 builds play the same song and preset to the same samples.
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

struct PeerSynth {
    std::string name;
    std::vector<std::string> plugin;  // a VST module's path, or --lv2 URI
};

class RenderPeerSynthTest : public ::testing::TestWithParam<PeerSynth> {};

TEST_P(RenderPeerSynthTest, RendersFiniteSoundStartingAtTheFirstNote)
{
    std::vector<std::string> command = {tool};
    command.insert(command.end(), GetParam().plugin.begin(), GetParam().plugin.end());
    if (command[1] != "--lv2" && !fs::exists(command[1]))
        GTEST_FAIL() << command[1] << " is missing: scripts/setup.sh installs it";
    std::string dir = makeTempDir("peer");
    writeBytes(dir + "/song.mid", midi_files::tempoChangesWithRunningStatus());
    std::string out = dir + "/out.wav";
    command.insert(command.end(), {dir + "/song.mid", "-o", out, "--tail", "1", "--rate", "44100"});
    ToolResult r = runTool(command, peerEnvironment(dir));
    ASSERT_EQ(r.exitCode, 0) << r.err;

    WavData wav;
    std::string error;
    ASSERT_TRUE(readWav(out, wav, error)) << error;
    ASSERT_EQ(wav.sampleRate, 44100);
    ASSERT_EQ(wav.frames(), (size_t)(4.0 * 44100));
    LevelMeter meter;
    meter.add(wav.left.data(), (int)wav.frames());
    meter.add(wav.right.data(), (int)wav.frames());
    EXPECT_EQ(meter.nonFinite(), 0u);
    EXPECT_GT(LevelMeter::toDb(meter.rms()), -50.0) << "sound comes out";
    EXPECT_LE(meter.peak(), 4.0);

    // Quiet before the first note at 0.5 s, sounding within 30 ms after it.
    const size_t noteFrame = 22050;
    double before = 0.0, after = 0.0;
    for (size_t i = 0; i < noteFrame; ++i) before = std::max(before, (double)std::fabs(wav.left[i]));
    for (size_t i = noteFrame; i < noteFrame + 1323; ++i) after = std::max(after, (double)std::fabs(wav.left[i]));
    EXPECT_LT(before, 1e-3);
    EXPECT_GT(after, 1e-3);
    fs::remove_all(dir);
}

// Debian 12's amsynth package has no LV2 build; ZynAddSubFX has both.
INSTANTIATE_TEST_SUITE_P(RenderDebian, RenderPeerSynthTest,
                         ::testing::Values(PeerSynth{"amsynth", {amsynth}}, PeerSynth{"ZynAddSubFX", {zynaddsubfx}},
                                           PeerSynth{"ZynAddSubFX_LV2", {"--lv2", zynaddsubfxLv2}}),
                         [](const ::testing::TestParamInfo<PeerSynth>& info) { return info.param.name; });

// The same song and preset through Ondrel's VST module and its LV2 bundle:
// the same samples, bit for bit (both formats hand the engine the same
// events at the same frames and the same program).
TEST(RenderOndrelFormats, VstAndLv2RenderTheSameSamples)
{
    ASSERT_TRUE(fs::exists(ondrelLv2Bundle)) << ondrelLv2Bundle << " is not built";
    std::string dir = makeTempDir("formats");
    writeBytes(dir + "/song.mid", midi_files::tempoChangesWithRunningStatus());
    std::vector<std::string> song = {dir + "/song.mid", "--preset", "Bell Tower", "--block", "333", "--tail", "1"};
    std::vector<std::string> environment = ondrelEnvironment(dir);
    environment.push_back("LV2_PATH=" + fs::path(ondrelLv2Bundle).parent_path().string());

    std::vector<std::string> vst = {tool, ondrel, "-o", dir + "/vst.wav"},
                             lv2 = {tool, "--lv2", ondrelLv2, "-o", dir + "/lv2.wav"};
    vst.insert(vst.end(), song.begin(), song.end());
    lv2.insert(lv2.end(), song.begin(), song.end());
    ToolResult r = runTool(vst, environment);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = runTool(lv2, environment);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    WavData a, b;
    std::string error;
    ASSERT_TRUE(readWav(dir + "/vst.wav", a, error)) << error;
    ASSERT_TRUE(readWav(dir + "/lv2.wav", b, error)) << error;
    ASSERT_EQ(a.frames(), b.frames());
    LevelMeter meter;
    meter.add(a.left.data(), (int)a.frames());
    EXPECT_GT(LevelMeter::toDb(meter.rms()), -50.0) << "sound comes out";
    size_t differing = 0;
    for (size_t i = 0; i < a.frames(); ++i) differing += a.left[i] != b.left[i] || a.right[i] != b.right[i];
    EXPECT_EQ(differing, 0u) << "frames that differ between the VST and the LV2 render";
    fs::remove_all(dir);
}

}  // namespace
