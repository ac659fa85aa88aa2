// Hosts that do things their own way: every common sample rate and one below
// the minimum with block sizes from 1 frame to beyond the announced size,
// processing before resume and after suspend, and a rate change while
// resumed. Instances rendering at once on several threads are
// InstanceThreads' (under ThreadSanitizer), and that one instance's sound
// never depends on another's is EngineOutput.InstancesSoundTheSameAloneAndTogether's.
#include "RobustnessSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace robustness;

namespace {

double peakOf(const std::vector<float>& x)
{
    double p = 0;
    for (float v : x) p = std::max(p, (double)std::fabs(v));
    return p;
}

TEST(OddHosts, EveryRateWithEveryBlockSize)
{
    for (float rate : {44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f, 384000.0f, 22050.0f}) {
        auto host = newInstance();
        ASSERT_TRUE(host);
        host->start(rate, 512);
        double loudest = 0;
        // 513 is one more than the announced block size.
        for (int block : {1, 7, 64, 513, 4096, 8192}) {
            host->queueMidi(0, 0x90, 57, 110);
            const std::vector<float> out = renderOverNaN(*host, block < 64 ? 64 * block : block, block);
            EXPECT_TRUE(sane(out)) << rate << " Hz, blocks of " << block;
            loudest = std::max(loudest, peakOf(out));
            host->queueMidi(0, 0xB0, 123, 0);
        }
        EXPECT_GT(loudest, 1e-3) << rate << " Hz: the notes sound";
    }
}

TEST(OddHosts, ProcessingBeforeResumeAfterSuspendAndAcrossRateChanges)
{
    auto host = newInstance();
    ASSERT_TRUE(host);
    host->dispatch(effOpen);
    host->queueMidi(0, 0x90, 60, 100);
    EXPECT_TRUE(sane(renderOverNaN(*host, 1024, 512))) << "before any rate, block size or resume";
    host->start(48000.0f, 256);
    host->queueMidi(0, 0x90, 64, 100);
    EXPECT_TRUE(sane(renderOverNaN(*host, 2048, 256)));
    host->suspend();
    EXPECT_TRUE(sane(renderOverNaN(*host, 1024, 256))) << "after suspend";
    host->resume();
    host->queueMidi(0, 0x90, 67, 100);
    EXPECT_TRUE(sane(renderOverNaN(*host, 1024, 256)));
    // Rate changes while resumed and notes sound, without a suspend.
    for (float rate : {96000.0f, 192000.0f, 44100.0f, 384000.0f, 8000.0f}) {
        host->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        host->queueMidi(0, 0x90, 48, 120);
        EXPECT_TRUE(sane(renderOverNaN(*host, 4096, 256))) << rate;
    }
}

// A rate change while a note is held and the instance resumed: the held
// note ends with its envelopes, and the next note sounds (a mono program's
// next note once came as a legato onto an idle envelope and stayed silent).
TEST(OddHosts, NotesSoundAfterARateChangeWhileResumed)
{
    auto host = newInstance();
    ASSERT_TRUE(host);
    host->start(44100.0f, 256);
    host->queueMidi(0, 0x90, 60, 100);
    ASSERT_GT(peakOf(renderOverNaN(*host, 4096, 256)), 1e-3);
    host->dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    host->queueMidi(0, 0x90, 48, 120);
    EXPECT_GT(peakOf(renderOverNaN(*host, 8192, 256)), 1e-3) << "a new note after the rate change";
}

}  // namespace
