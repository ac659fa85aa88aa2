// What a host may throw at the plug-in: odd sample rates, bad pointers,
// out-of-range values, broken event blocks and odd block sizes. The plug-in
// never crashes, never writes outside what it was given and never outputs a
// non-finite sample.
#include "tests/support/TestSupport.h"
#include "source/engine/ParameterIndex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace testing_support;

namespace {

const std::string kWarning = "Warning!|Minimum supported SampleRate exceeded";

// Rates below the minimum, and rates that are no numbers, are raised with
// one warning each; the plug-in then renders as usual.
TEST(SampleRate, RatesBelowTheMinimumAreRaisedWithOneWarningEach)
{
    MessageLog log;
    auto host = startedHost(48000.0f);
    ASSERT_TRUE(host);
    EXPECT_TRUE(log.lines().empty()) << "48 kHz is accepted silently";
    for (float rate :
         {22050.0f, 44099.0f, 44100.0f, 192000.0f, std::numeric_limits<float>::quiet_NaN(),
          -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(), 0.0f, -48000.0f})
        host->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    EXPECT_EQ(log.lines(), std::vector<std::string>(7, kWarning));
    std::vector<float> l, r;
    host->queueMidi(0, 0x90, 60, 100);
    host->render(l, r, 4096, 512);
    EXPECT_TRUE(allFinite(l) && allFinite(r));
}

TEST(SampleRate, VeryHighRatesKeepTheDelayLinesInsideTheirMemory)
{
    // At 768 kHz the longest free delay (250 ms) and the lowest note's period
    // exceed the lines' 131072 samples: they must stay inside them.
    auto host = startedHost(768000.0f, 1024);
    ASSERT_TRUE(host);
    for (float memory : {1.0f, 0.0f}) {
        host->setParameter(kMemory, memory);
        for (int lag : {14, 18, 22}) host->setParameter(lag, 1.0f);
        for (int range : {13, 17, 21}) host->setParameter(range, 1.0f);
        host->setParameter(kFdBkAmount, 1.0f);
        host->queueMidi(0, 0x90, 0, 127);
        host->queueMidi(0, 0x90, 127, 127);
        std::vector<float> l, r;
        host->render(l, r, 200000, 1024);
        EXPECT_TRUE(allFinite(l) && allFinite(r));
        host->queueMidi(0, 0xB0, 123, 0);
    }
}

class HostInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = startedHost();
        ASSERT_TRUE(host);
    }
    void renderAndCheck(int frames, int block = 512)
    {
        std::vector<float> l, r;
        host->render(l, r, frames, block);
        ASSERT_TRUE(allFinite(l));
        ASSERT_TRUE(allFinite(r));
        EXPECT_LE(peak(l), 4.0);
        EXPECT_LE(peak(r), 4.0);
    }
    std::unique_ptr<PluginHost> host;
};

// Null pointers where a buffer belongs, unknown opcodes (answered with 0)
// and chunk calls with nothing in them; the plug-in renders afterwards.
TEST_F(HostInput, NullPointersUnknownOpcodesAndEmptyChunks)
{
    for (int op : {effGetProgramName, effSetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                   effEditGetRect, effGetChunk, effSetChunk, effProcessEvents, effGetProgramNameIndexed,
                   effGetInputProperties, effGetOutputProperties, effGetEffectName, effGetVendorString,
                   effGetProductString, effCanDo, effString2Parameter})
        host->dispatch(op, 0, 0, nullptr, 0.0f);
    AEffect* fx = host->effect();
    fx->processReplacing(fx, nullptr, nullptr, 256);
    float* outs[2] = {nullptr, nullptr};
    fx->processReplacing(fx, nullptr, outs, 256);
    fx->process(fx, nullptr, nullptr, 256);
    renderAndCheck(1024);

    for (int op : {9,  16, 17, 18, 20, 21, 27, 28, 31, 32, 36, 37, 38, 39, 40, 41,   42,
                   43, 44, 46, 50, 52, 53, 54, 55, 56, 57, 62, 70, 77, 80, 81, 1000, -1}) {
        char buffer[512] = {};
        EXPECT_EQ(host->dispatch(op, 0, 0, buffer, 0.0f), 0) << op;
    }

    EXPECT_EQ(host->dispatch(effSetChunk, 0, 0, nullptr), 0);
    char junk[4] = {'-', '-', '-', 0};
    EXPECT_EQ(host->dispatch(effSetChunk, 0, 0, junk), 0) << "size 0";
    EXPECT_EQ(host->dispatch(effSetChunk, 0, -8, junk), 0) << "negative size";
    void* data = reinterpret_cast<void*>(0x1);
    host->dispatch(effGetChunk, 0, 0, &data);
    renderAndCheck(512);
}

TEST_F(HostInput, NonFiniteAndOutOfRangeParameterValues)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    host->queueMidi(0, 0x90, 57, 110);
    for (int i = 0; i < 43; ++i) {
        host->setParameter(i, 0.3f);
        host->setParameter(i, nan);
        EXPECT_FLOAT_EQ(host->getParameter(i), 0.3f) << "a NaN is dropped, index " << i;
        host->setParameter(i, inf);
        EXPECT_FLOAT_EQ(host->getParameter(i), 1.0f) << i;
        host->setParameter(i, -inf);
        EXPECT_FLOAT_EQ(host->getParameter(i), 0.0f) << i;
        host->setParameter(i, 7.5f);
        EXPECT_FLOAT_EQ(host->getParameter(i), 1.0f) << i;
        host->setParameter(i, -0.25f);
        EXPECT_FLOAT_EQ(host->getParameter(i), 0.0f) << i;
        host->setParameter(i, 0.5f);
        EXPECT_FALSE(host->parameterDisplay(i, "").size() > 11) << i;
    }
    renderAndCheck(8192);
}

TEST_F(HostInput, BrokenEventBlocks)
{
    // Events of other types, null entries, and frames outside the block.
    VstEvent sysex{};
    sysex.type = kVstSysExType;
    sysex.byteSize = sizeof(VstEvent);
    host->queueEvent(sysex);
    VstEvent odd{};
    odd.type = 99;
    odd.deltaFrames = 3;
    host->queueEvent(odd);
    host->queueMidi(-50, 0x90, 60, 100);
    host->queueMidi(100000, 0x90, 62, 100);
    host->queueMidi(511, 0x90, 64, 100);
    renderAndCheck(512);

    std::vector<uint8_t> block(offsetof(VstEvents, events) + 4 * sizeof(VstEvent*), 0);
    auto* events = reinterpret_cast<VstEvents*>(block.data());
    events->numEvents = 4;  // every pointer null
    EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, events), 1);
    renderAndCheck(512);
    events->numEvents = -3;
    EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, events), 1);
    renderAndCheck(512);
}

// A host may free its event list as soon as effProcessEvents returns, and
// may follow it with a block of no frames or no outputs: the events of that
// call are gone with it, never read later from freed memory nor played.
TEST_F(HostInput, EventsDoNotOutliveTheirProcessCall)
{
    AEffect* fx = host->effect();
    std::vector<float> l(512), r(512);
    float* outs[2] = {l.data(), r.data()};
    float* missing[2] = {nullptr, nullptr};
    for (int variant = 0; variant < 3; ++variant) {
        auto* note = new VstMidiEvent{};
        note->type = kVstMidiType;
        note->byteSize = sizeof(VstMidiEvent);
        note->midiData[0] = (char)0x90;
        note->midiData[1] = 69;
        note->midiData[2] = 127;
        std::vector<uint8_t>* block = new std::vector<uint8_t>(offsetof(VstEvents, events) + 2 * sizeof(VstEvent*), 0);
        auto* events = reinterpret_cast<VstEvents*>(block->data());
        events->numEvents = 1;
        events->events[0] = reinterpret_cast<VstEvent*>(note);
        EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, events), 1);
        if (variant == 0) fx->processReplacing(fx, nullptr, outs, 0);
        if (variant == 1) fx->processReplacing(fx, nullptr, missing, 512);
        if (variant == 2) fx->processReplacing(fx, nullptr, nullptr, 512);
        delete note;
        delete block;
        for (int b = 0; b < 8; ++b) {
            fx->processReplacing(fx, nullptr, outs, 512);
            EXPECT_LT(peak(l), 1e-6) << "variant " << variant << ": no stale note";
        }
    }
}

TEST_F(HostInput, OddBlockSizes)
{
    host->queueMidi(0, 0x90, 48, 127);
    AEffect* fx = host->effect();
    std::vector<float> l(16384, 7.0f), r(16384, 7.0f);
    float* outs[2] = {l.data(), r.data()};
    fx->processReplacing(fx, nullptr, outs, 0);
    EXPECT_EQ(l[0], 7.0f) << "a block of 0 frames writes nothing";
    fx->processReplacing(fx, nullptr, outs, -5);
    EXPECT_EQ(l[0], 7.0f);
    renderAndCheck(4, 1);
    renderAndCheck(3 * 16384, 16384);  // far beyond the announced 512
}

}  // namespace

namespace {

// Thousands of dispatcher calls with random opcodes, indices, values and
// options, each with a zeroed buffer the size hosts give: nothing crashes,
// nothing is written past the buffer (AddressSanitizer watches), and the
// plug-in still answers and renders afterwards.
TEST(HostInputRandom, DispatcherCallsInAnyOrder)
{
    auto host = startedHost();
    ASSERT_TRUE(host);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const float options[] = {0.0f, 1.0f, -1.0f, 48000.0f, 1e30f, std::numeric_limits<float>::quiet_NaN()};
    for (int call = 0; call < 20000; ++call) {
        VstInt32 opcode = (VstInt32)(next() % 82);
        if (opcode == effClose || opcode == effEditOpen) continue;
        VstInt32 index = (VstInt32)(next() % 60) - 5;
        VstIntPtr value = (VstIntPtr)(next() % 300) - 20;
        float opt = options[next() % 6];
        std::vector<char> buffer(1024, 0);
        void* ptr = (next() % 8 == 0) ? nullptr : buffer.data();
        if (opcode == effSetChunk && value > (VstIntPtr)buffer.size()) value = (VstIntPtr)buffer.size();
        if (opcode == effSetSampleRate) opt = 44100.0f + (float)(next() % 3) * 48000.0f;
        host->dispatch(opcode, index, value, ptr, opt);
        if (call % 97 == 0) host->setParameter(index, opt);
    }
    EXPECT_EQ(host->effectName(), "Ondrel by Zentorial");
    host->resume();
    host->queueMidi(0, 0x90, 64, 100);
    std::vector<float> l, r;
    host->render(l, r, 8192, 512);
    EXPECT_TRUE(allFinite(l) && allFinite(r));
}

}  // namespace
