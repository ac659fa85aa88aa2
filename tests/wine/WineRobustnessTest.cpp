// The Windows plug-in under wine through the same odd hosts as natively: a
// short sequence of odd rates, block sizes and call orders, then the host
// fuzzer's committed sessions (corpus and regressions) replayed.
#include "tests/support/SaneBlocks.h"
#include "tools/host/HostSession.h"

#include <gtest/gtest.h>

#include <cstdio>
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
