// The Windows plug-in under wine, loaded by the project's host built for
// Windows: the descriptor, texts formatted by the Windows C runtime and the
// message-box layer. The exports are wine_dll_exports' (scripts/check-dll.sh),
// the rendered sound render_wine_compare's (against the Linux module).
#include "tools/host/PluginHost.h"
#include "source/engine/ParameterIndex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

static std::string g_module;

namespace {

std::unique_ptr<PluginHost> startedHost()
{
    auto host = std::make_unique<PluginHost>();
    std::string error;
    if (!host->load(g_module, error)) {
        ADD_FAILURE() << error;
        return nullptr;
    }
    host->start(44100.0f, 512);
    return host;
}

TEST(WindowsModule, DescriptorAndTexts)
{
    auto host = startedHost();
    ASSERT_TRUE(host);
    AEffect* fx = host->effect();
    EXPECT_EQ(fx->numParams, 43);
    EXPECT_EQ(fx->numOutputs, 2);
    EXPECT_EQ(fx->flags, 0x139);
    EXPECT_EQ(host->effectName(), "Ondrel by Zentorial");
    host->setParameter(kMastertuning, 0.0f);
    EXPECT_EQ(host->parameterDisplay(kMastertuning), "-250 380.84");
    host->setParameter(kEQBRHz, 0.5f);
    EXPECT_EQ(host->parameterDisplay(kEQBRHz), "774.60");
    host->setParameter(kEQBRGain, 0.0f);
    EXPECT_EQ(host->parameterDisplay(kEQBRGain), "-98.0 dB");
    host->setParameter(kGain_out, 0.0f);
    EXPECT_EQ(host->parameterDisplay(kGain_out), "-\xE2\x88\x9E");
    host->setParameter(kGain_out, 1.0f);
    EXPECT_EQ(host->parameterDisplay(kGain_out), "+11.4");
    EXPECT_EQ(host->canDo("receiveVstMidiEvent"), 1);
}

TEST(WindowsModule, SampleRateWarningGoesThroughTheMessageLayer)
{
    char path[] = "ondrel-wine-messages.txt";
    std::remove(path);
    _putenv_s("ONDREL_MESSAGE_LOG", path);
    {
        auto host = startedHost();
        ASSERT_TRUE(host);
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

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-Ondrel.dll [gtest options]\n", argv[0]);
        return 2;
    }
    g_module = argv[1];
    return RUN_ALL_TESTS();
}
