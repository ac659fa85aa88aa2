// The host's view of the plug-in: descriptor, answers to inquiries and the
// calls the plug-in makes to the host, through the real module.
#include "tests/support/TestSupport.h"
#include "source/engine/ParameterIndex.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testing_support;

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = startedHost();
        ASSERT_TRUE(host);
        fx = host->effect();
    }
    std::unique_ptr<PluginHost> host;
    AEffect* fx = nullptr;
};

// The descriptor and the answers to the host's inquiries, with their exact
// values; texts are written within their buffers' bounds (33 bytes for the
// effect name), programs beyond the one there is are ignored, canDo compares
// whole texts, and the editor's opcodes reach the editor.
TEST_F(Shell, DescriptorAndInquiriesGetTheirAnswers)
{
    EXPECT_EQ(fx->magic, 0x56737450);
    EXPECT_EQ(fx->numPrograms, 1);
    EXPECT_EQ(fx->numParams, 43);
    EXPECT_EQ(fx->numInputs, 0);
    EXPECT_EQ(fx->numOutputs, 2);
    EXPECT_EQ(fx->flags, 0x139);  // editor, replacing, chunks, synth; no double replacing
    EXPECT_EQ(fx->initialDelay, 0);
    EXPECT_EQ(fx->uniqueID, ('o' << 24) | ('n' << 16) | ('d' << 8) | 'r');
    EXPECT_EQ(fx->version, 1);
    EXPECT_NE(fx->processReplacing, nullptr);
    EXPECT_NE(fx->processDoubleReplacing, nullptr);
    EXPECT_NE(fx->object, nullptr);

    EXPECT_EQ(host->dispatch(effGetProgram), 0);
    EXPECT_EQ(host->dispatch(effIdentify), ('N' << 24) | ('v' << 16) | ('E' << 8) | 'f');
    EXPECT_EQ(host->dispatch(effCanBeAutomated, 0), 1);
    EXPECT_EQ(host->dispatch(effCanBeAutomated, 42), 1);
    EXPECT_EQ(host->dispatch(effCopyProgram, 0), 0);
    VstPinProperties pin{};
    EXPECT_EQ(host->dispatch(effGetInputProperties, 0, 0, &pin), 0);
    EXPECT_EQ(host->dispatch(effGetPlugCategory), 2);
    EXPECT_EQ(host->dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host->dispatch(effGetVendorVersion), 1);
    EXPECT_EQ(host->dispatch(effGetNumMidiInputChannels), 1);
    EXPECT_EQ(host->dispatch(effGetNumMidiOutputChannels), 0);
    EXPECT_EQ(host->dispatch(effSetEditKnobMode, 0, 2), 0);
    EXPECT_EQ(host->productString(), "Ondrel by Zentorial");
    VstEvents events{};
    EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, &events), 1) << "an empty event block";
    EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, nullptr), 1);

    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(host->dispatch(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, "Ondrel by Zentorial");
    EXPECT_EQ(buffer[33], 'x');
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(host->dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_EQ(std::strlen(buffer), 13u);
    EXPECT_EQ(buffer[14], 'x');

    host->setParameter(kVelosens, 0.25f);
    host->dispatch(effSetProgram, 0, 1);
    host->dispatch(effSetProgram, 0, 7);
    EXPECT_FLOAT_EQ(host->getParameter(kVelosens), 0.25f);
    EXPECT_EQ(host->dispatch(effGetProgram), 0);

    // canDo compares whole texts.
    EXPECT_EQ(host->canDo("receiveVstEvents"), 1);
    EXPECT_EQ(host->canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(host->canDo("receiveVstTimeInfo"), 1);
    for (const char* no : {"sizeWindow", "receiveVstEvent", "receiveVstEventss", "receiveVstMidiEvents",
                           "receiveVstMidiEven", "receiveVstTimeInf", "receiveVstTimeInfoX", ""})
        EXPECT_EQ(host->canDo(no), -1) << no;

    // The editor's opcodes reach the editor.
    ERect* rect = nullptr;
    EXPECT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->right, 893);
    EXPECT_EQ(rect->bottom, 534);
    host->dispatch(effEditIdle);
    host->dispatch(effEditClose);
    EXPECT_EQ(host->dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host->dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);
}

TEST_F(Shell, OutputPinsAreStereoThenMono)
{
    for (int pin = 0; pin < 8; ++pin) {
        VstPinProperties p;
        std::memset(&p, 0x55, sizeof p);
        VstIntPtr answer = host->dispatch(effGetOutputProperties, pin, 0, &p);
        if (pin < 6) {
            EXPECT_EQ(answer, 1) << pin;
            EXPECT_STREQ(p.label, "OND");
            EXPECT_EQ(p.flags, pin < 2 ? 3 : 1) << pin;
            EXPECT_EQ((unsigned char)p.label[4], 0x55) << "only the label's first four bytes are written";
        } else {
            EXPECT_EQ(answer, 0) << pin;
            EXPECT_EQ((unsigned char)p.label[0], 0x55) << "nothing written for pin " << pin;
        }
    }
}

// A host of the given answers with the module loaded.
std::unique_ptr<PluginHost> loaded(const HostOptions& options = HostOptions())
{
    auto host = std::make_unique<PluginHost>(options);
    std::string error;
    EXPECT_TRUE(host->load(modulePath(), error)) << error;
    return host;
}

TEST(ShellHostCalls, VersionFirstThenSampleRateThenMidiOnResumeAndCloseDeletes)
{
    auto host = loaded();
    auto calls = host->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().opcode, audioMasterVersion);
    EXPECT_EQ(host->countCalls(audioMasterGetSampleRate), 1u);
    EXPECT_EQ(host->countCalls(audioMasterWantMidi), 0u);

    host->clearCalls();
    host->resume();
    calls = host->calls();
    ASSERT_EQ(host->countCalls(audioMasterWantMidi), 1u);
    for (auto& c : calls)
        if (c.opcode == audioMasterWantMidi) EXPECT_EQ(c.value, 1);
    host->suspend();
    host->resume();
    EXPECT_EQ(host->countCalls(audioMasterWantMidi), 2u) << "every resume asks for MIDI again";

    EXPECT_EQ(host->close(), 1);
    EXPECT_EQ(host->effect(), nullptr) << "close deletes the object";
}

TEST(ShellHostCalls, TheHostsRateIsTakenAtCreation)
{
    // The host reports 96 kHz and never sets a rate: note 69 must still come
    // out at 440 Hz, so the engine runs at the reported rate.
    HostOptions options;
    options.sampleRateAnswer = 96000;
    auto host = loaded(options);
    host->dispatch(effOpen);
    host->resume();
    for (int i = 0; i < 43; ++i) host->setParameter(i, 0.0f);  // plain carrier, no delays, reverb or EQ
    host->setParameter(kGain_out, 0.6f);
    host->setParameter(kPan, 0.5f);
    host->setParameter(kSustain1, 1.0f);
    host->setParameter(kOctave, 0.5f);
    host->setParameter(kMastertuning, 0.5f);
    std::vector<float> l, r;
    host->queueMidi(0, 0x90, 69, 127);
    host->render(l, r, 96000, 512);
    // Count rising zero crossings over the last half second: 440 Hz at 96 kHz.
    int crossings = 0;
    for (size_t i = 48001; i < l.size(); ++i)
        if (l[i - 1] < 0 && l[i] >= 0) ++crossings;
    EXPECT_NEAR(crossings, 220, 3);
}

TEST(ShellHostCalls, HostAnsweringVersionZeroGetsNoInstance)
{
    HostOptions options;
    options.versionAnswer = 0;
    PluginHost host(options);
    std::string error;
    EXPECT_FALSE(host.load(modulePath(), error));
    EXPECT_NE(error.find("no instance"), std::string::npos) << error;
}

}  // namespace
