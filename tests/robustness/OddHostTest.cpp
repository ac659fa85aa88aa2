// Hosts that do things their own way: rates from below the minimum to 384
// kHz with block sizes from 1 frame to beyond the announced size,
// processing before resume and after suspend, and rate changes while
// resumed; the host fuzzer's committed sessions replayed. Instances
// rendering at once on several threads are
// InstanceThreads' (under ThreadSanitizer), and that one instance's sound
// never depends on another's is EngineOutput.InstancesSoundTheSameAloneAndTogether's.
#include "RobustnessSupport.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

using namespace robustness;

namespace {

// The left then the right channel of `frames` frames rendered over NaN in
// blocks of `block`, every block checked.
std::vector<float> channels(PluginHost& host, int frames, int block)
{
    const std::vector<float> blocks = renderOverNaN(host, frames, block);
    EXPECT_TRUE(sane(blocks)) << "blocks of " << block;
    std::vector<float> left, right;
    for (auto at = blocks.begin(); at != blocks.end(); at += 2 * block) {
        left.insert(left.end(), at, at + block);
        right.insert(right.end(), at + block, at + 2 * block);
    }
    left.resize((size_t)frames);
    left.insert(left.end(), right.begin(), right.begin() + frames);
    return left;
}

// Every frame written, finite and bounded, the note heard, and the same
// samples whatever the block size: 1 and 7 frames, one more than announced
// and the largest a host session uses, against the announced 512; at a rate
// below the minimum (raised to 44.1 kHz), a common one and the highest.
TEST(OddHosts, EveryBlockSizeGivesTheSameSamplesAtEveryRate)
{
    for (float rate : {22050.0f, 48000.0f, 384000.0f}) {
        std::vector<float> reference;
        for (int block : {512, 1, 7, 513, 8192}) {
            auto host = newInstance();
            ASSERT_TRUE(host);
            host->start(rate, 512);
            host->queueMidi(0, 0x90, 57, 110);
            const std::vector<float> out = channels(*host, 8192, block);
            if (reference.empty()) reference = out;
            EXPECT_TRUE(out == reference) << rate << " Hz, blocks of " << block << " differ from blocks of 512";
        }
        EXPECT_GT(testing_support::peak(reference), 1e-3) << rate << " Hz: the note sounds";
    }
}

// A rate change while notes are held and the instance resumed ends them with
// their envelopes, and the next note sounds (a mono program's next note once
// came as a legato onto an idle envelope and stayed silent).
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
    EXPECT_GT(testing_support::peak(renderOverNaN(*host, 4096, 256)), 1e-3);
    for (float rate : {96000.0f, 192000.0f, 44100.0f, 384000.0f, 8000.0f}) {
        host->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        host->queueMidi(0, 0x90, 48, 120);
        const std::vector<float> out = renderOverNaN(*host, 8192, 256);
        EXPECT_TRUE(sane(out)) << rate;
        EXPECT_GT(testing_support::peak(out), 1e-3) << "a new note after the change to " << rate << " Hz";
    }
}

// The host fuzzer's committed corpus and every session that once failed
// (fuzz/host/regressions), played on fresh instances in the normal build.
TEST(HostSessions, CorpusAndRegressionsPlayClean)
{
    testing_support::replayCommittedSessions(ONDREL_HOST_FUZZ_DIR, newInstance);
}

}  // namespace
