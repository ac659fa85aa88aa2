// What a host may throw at the plug-in: odd sample rates, bad pointers,
// out-of-range values, broken event blocks and odd block sizes. The plug-in
// never crashes, never writes outside what it was given and never outputs a
// non-finite sample; events land on their frames, and a rate change keeps
// the program's sound.
#include "tests/support/TestSupport.h"
#include "source/engine/ParameterIndex.h"

#include <cmath>
#include <cstring>
#include <limits>

using namespace testing_support;

namespace {

const std::string kWarning = "Warning!|Minimum supported SampleRate exceeded";

// Rates below the minimum, and rates that are no numbers, are raised with
// one warning each. At 768 kHz the longest free delay (250 ms) and the lowest
// note's period exceed the lines' 131072 samples: they must stay inside them.
TEST(SampleRate, LowRatesAreRaisedWithOneWarningEachAndHighRatesKeepTheDelaysInTheirLines)
{
    MessageLog log;
    auto host = startedHost(48000.0f);
    ASSERT_TRUE(host);
    EXPECT_TRUE(log.lines().empty()) << "48 kHz is accepted silently";
    for (float rate :
         {22050.0f, 44099.0f, 44100.0f, 192000.0f, std::numeric_limits<float>::quiet_NaN(),
          -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity(), 0.0f, -48000.0f, 768000.0f})
        host->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    EXPECT_EQ(log.lines(), std::vector<std::string>(7, kWarning));
    for (float memory : {1.0f, 0.0f}) {
        host->setParameter(kMemory, memory);
        for (int lag : {kLag1, kLag2, kLag3}) host->setParameter(lag, 1.0f);
        for (int range : {kRange1, kRange2, kRange3}) host->setParameter(range, 1.0f);
        host->setParameter(kFdBkAmount, 1.0f);
        host->queueMidi(0, 0x90, 0, 127);
        host->queueMidi(0, 0x90, 127, 127);
        std::vector<float> l, r;
        host->render(l, r, 200000, 1024);
        EXPECT_TRUE(allFinite(l) && allFinite(r));
        host->queueMidi(0, 0xB0, 123, 0);
    }
}

class HostInput : public StartedHostTest {
protected:
    void renderAndCheck(int frames)
    {
        std::vector<float> l, r;
        host->render(l, r, frames, 512);
        ASSERT_TRUE(allFinite(l));
        ASSERT_TRUE(allFinite(r));
        EXPECT_LE(peak(l), 4.0);
        EXPECT_LE(peak(r), 4.0);
    }
};

// Every opcode, and unknown ones (answered with 0), with null pointers and
// with zeroed buffers of the size hosts give, at odd indices and values; null
// output pointers; chunk calls with nothing in them. Nothing crashes, nothing
// is written past a buffer (AddressSanitizer watches), and the plug-in still
// answers and renders afterwards. Calls in any order are the host fuzzer's.
TEST_F(HostInput, EveryOpcodeWithNullPointersAndOddArguments)
{
    for (VstInt32 op = -1; op < 82; ++op) {
        if (op == effClose || op == effEditOpen) continue;
        for (VstInt32 index : {0, -5, 54})
            for (VstIntPtr value : {0, -20, 279}) {
                std::vector<char> buffer(1024, 0);
                host->dispatch(op, index, value, nullptr, 48000.0f);
                host->dispatch(op, index, value, buffer.data(), 48000.0f);
            }
    }
    EXPECT_EQ(host->effectName(), "Ondrel by Zentorial");
    AEffect* fx = host->effect();
    // Null outputs of processReplacing are BrokenEventBlocksAndEventsThatDoNotOutliveTheirCall's.
    fx->process(fx, nullptr, nullptr, 256);
    host->resume();
    host->queueMidi(0, 0x90, 64, 100);
    renderAndCheck(8192);

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
    }
    renderAndCheck(8192);
}

TEST_F(HostInput, BrokenEventBlocksAndEventsThatDoNotOutliveTheirCall)
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

    std::vector<uint8_t> nulls(offsetof(VstEvents, events) + 4 * sizeof(VstEvent*), 0);
    auto* broken = reinterpret_cast<VstEvents*>(nulls.data());
    broken->numEvents = 4;  // every pointer null
    EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, broken), 1);
    renderAndCheck(512);
    broken->numEvents = -3;
    EXPECT_EQ(host->dispatch(effProcessEvents, 0, 0, broken), 1);
    renderAndCheck(512);

    // A host may free its event list as soon as effProcessEvents returns, and
    // may follow it with a block of no frames or no outputs: the events of that
    // call are gone with it, never read later from freed memory nor played.
    host = startedHost();
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

// Blocks of 1 frame and far beyond the announced size are OddHosts'.
TEST_F(HostInput, BlocksOfNoFramesWriteNothing)
{
    host->queueMidi(0, 0x90, 48, 127);
    AEffect* fx = host->effect();
    std::vector<float> l(16, 7.0f), r(16, 7.0f);
    float* outs[2] = {l.data(), r.data()};
    fx->processReplacing(fx, nullptr, outs, 0);
    EXPECT_EQ(l[0], 7.0f);
    fx->processReplacing(fx, nullptr, outs, -5);
    EXPECT_EQ(l[0], 7.0f);
}

// Events land on their frames; those past the block are dropped.
TEST(AudioPath, EventsLandOnTheirFramesAndThosePastTheBlockAreDropped)
{
    // A patch that sounds at once and stays clean: instant attack, full noise
    // and no reverb, equalizer or delay feedback to smear the onset.
    auto probe = [](float rate, int block) {
        auto host = startedHost(rate, block);
        for (const auto& [index, value] : {std::pair{kAttack1, 0.0f},
                                           {kSustain1, 1.0f},
                                           {kNoise, 1.0f},
                                           {kReverbOn, 0.0f},
                                           {kEQOn, 0.0f},
                                           {kFdBkAmount, 0.0f},
                                           {kGain_out, 0.8f}})
            host->setParameter(index, value);
        std::vector<float> l, r;
        host->render(l, r, 8192, block);  // let the gain glide settle
        EXPECT_LT(peak(l), 1e-6) << "silent before the note";
        return host;
    };
    const int block = 512;
    for (int frame : {0, 1, 200, block - 1}) {
        auto host = probe(44100.0f, block);
        std::vector<float> l, r;
        host->queueMidi(frame, 0x90, 69, 127);
        host->render(l, r, block, block);
        long first = firstAbove(l, 1e-4);
        ASSERT_GE(first, 0) << "the note at frame " << frame << " sounds within its block";
        EXPECT_GE(first, frame);
        EXPECT_LE(first, frame + 2);
    }
    auto host = probe(44100.0f, block);
    std::vector<float> l, r;
    host->queueMidi(block, 0x90, 69, 127);
    host->queueMidi(5000, 0x90, 72, 127);
    host->render(l, r, block * 8, block);
    EXPECT_LT(peak(l), 1e-6);
}

// A host sets the sample rate after the plug-in has applied its start
// program: the program must sound the same as when applied at that rate.
TEST(AudioPath, RateChangeKeepsTheProgramsSound)
{
    auto render = [](bool reapply) {
        auto host = startedHost(48000.0f, 256);
        host->setParameter(kAttack1, 0.9f);  // slow attack
        host->setParameter(kEQLPHz, 0.0f);   // low-pass at 1580 Hz
        host->setParameter(kEQOn, 1.0f);     // equalizer on
        host->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        if (reapply)
            for (int i = 0; i < 43; ++i) host->setParameter(i, host->getParameter(i));
        host->resume();
        std::vector<float> l, r;
        host->queueMidi(0, 0x90, 60, 100);
        host->render(l, r, 22050, 256);
        return l;
    };
    std::vector<float> asHostsDoIt = render(false), reapplied = render(true);
    ASSERT_EQ(asHostsDoIt.size(), reapplied.size());
    double diff = 0;
    for (size_t i = 0; i < reapplied.size(); ++i)
        diff = std::max(diff, (double)std::fabs(asHostsDoIt[i] - reapplied[i]));
    EXPECT_LT(diff, 1e-3 * std::max(1e-6, peak(reapplied)));
    // The slow attack is still there: the first 50 ms stay far below the level reached later.
    EXPECT_LT(rms(asHostsDoIt, 0, 2205), 0.2 * rms(asHostsDoIt, 11025, 22050));
}

}  // namespace
