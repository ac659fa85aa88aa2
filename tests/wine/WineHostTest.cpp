// The Windows plug-in under wine, loaded by the project's host built for
// Windows: the descriptor, texts formatted by the Windows C runtime and the
// message-box layer; the same odd hosts as natively (a short sequence of odd
// rates, block sizes and call orders), then the host fuzzer's committed
// sessions (corpus and regressions) replayed. The exports are
// wine_dll_exports' (scripts/check-dll.sh), the rendered sound
// render_wine_compare's (against the Linux module).
#include "source/engine/ParameterIndex.h"
#include "tests/support/SaneBlocks.h"
#include "tools/host/HostSession.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

static std::string g_module;
static std::string g_fuzzFolder;

namespace {

std::unique_ptr<PluginHost> loaded()
{
    auto host = std::make_unique<PluginHost>();
    std::string error;
    if (!host->load(g_module, error)) {
        ADD_FAILURE() << error;
        return nullptr;
    }
    return host;
}

bool renderSane(PluginHost& host, int frames, int block)
{
    return testing_support::sane(testing_support::renderOverNaN(host, frames, block));
}

TEST(WindowsModule, DescriptorAndTexts)
{
    auto host = loaded();
    ASSERT_TRUE(host);
    host->start(44100.0f, 512);
    AEffect* fx = host->effect();
    EXPECT_EQ(fx->numParams, 43);
    EXPECT_EQ(fx->numOutputs, 2);
    EXPECT_EQ(fx->flags, 0x139);
    EXPECT_EQ(host->effectName(), "Ondrel by Zentorial");
    // Parameters at values, and their texts.
    const std::pair<int, float> values[] = {
        {kMastertuning, 0.0f}, {kEQBRHz, 0.5f}, {kEQBRGain, 0.0f}, {kGain_out, 0.0f}, {kGain_out, 1.0f}};
    const char* texts[] = {"-250 380.84", "774.60", "-98.0 dB", "-\xE2\x88\x9E", "+11.4"};
    for (int k = 0; k < 5; ++k) {
        host->setParameter(values[k].first, values[k].second);
        EXPECT_EQ(host->parameterDisplay(values[k].first), texts[k]) << k;
    }
    EXPECT_EQ(host->canDo("receiveVstMidiEvent"), 1);
}

TEST(WindowsModule, SampleRateWarningGoesThroughTheMessageLayer)
{
    char path[] = "ondrel-wine-messages.txt";
    std::remove(path);
    _putenv_s("ONDREL_MESSAGE_LOG", path);
    {
        auto host = loaded();
        ASSERT_TRUE(host);
        host->start(44100.0f, 512);
        host->dispatch(effSetSampleRate, 0, 0, nullptr, 32000.0f);
    }
    _putenv_s("ONDREL_MESSAGE_LOG", "");
    std::ifstream in(path);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "Warning!|Minimum supported SampleRate exceeded");
    in.close();
    std::remove(path);
}

TEST(WindowsOddHosts, RatesBlockSizesAndCallOrders)
{
    auto host = loaded();
    ASSERT_TRUE(host);
    host->dispatch(effOpen);
    host->queueMidi(0, 0x90, 60, 100);
    EXPECT_TRUE(renderSane(*host, 512, 512)) << "before resume";
    host->dispatch(effSetBlockSize, 0, 512);
    host->resume();
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f, 384000.0f, 22050.0f}) {
        host->dispatch(effSetSampleRate, 0, 0, nullptr, rate);  // while resumed
        for (int block : {1, 7, 513, 8192}) {
            host->queueMidi(0, 0x90, 57, 110);
            EXPECT_TRUE(renderSane(*host, block < 64 ? 16 * block : block, block)) << rate << " Hz, " << block;
        }
    }
    host->suspend();
    EXPECT_TRUE(renderSane(*host, 256, 256)) << "after suspend";
}

TEST(WindowsOddHosts, HostFuzzerSessionsReplayed)
{
    const auto sessions = HostSession::committedSessions(g_fuzzFolder);
    for (const HostSession::SessionFile& file : sessions) {
        auto host = loaded();
        ASSERT_TRUE(host);
        HostSession session(*host);
        EXPECT_EQ(session.play(file.bytes.data(), file.bytes.size()), "") << file.path;
    }
    EXPECT_GE(sessions.size(), 10u);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PATH-TO-Ondrel.dll HOST-FUZZER-FOLDER [gtest options]\n", argv[0]);
        return 2;
    }
    g_module = argv[1];
    g_fuzzFolder = argv[2];
    return RUN_ALL_TESTS();
}
