// Hosts that do things their own way: every common sample rate and one below
// the minimum with block sizes from 1 frame to beyond the announced size,
// processing before resume and after suspend, a rate change while resumed,
// and sixteen instances rendering at once on four threads.
#include "RobustnessSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

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

// Instances share nothing that changes: the same events give every one of
// them the same sound, rendered alone or with fifteen others on four threads.
TEST(OddHosts, SixteenInstancesRenderAtOnceOnFourThreads)
{
    const int kInstances = 16, kThreads = 4, kBlocks = 64, kBlock = 256;
    auto playBlock = [&](PluginHost& host, int b, std::vector<float>& out) {
        std::vector<float> l(kBlock), r(kBlock);
        if (b % 16 == 0) host.queueMidi(b % kBlock, 0x90, 48 + b / 16 * 5, 100);
        if (b % 16 == 9) host.queueMidi(3, 0x80, 48 + b / 16 * 5, 0);
        host.process(l.data(), r.data(), kBlock);
        out.insert(out.end(), l.begin(), l.end());
        out.insert(out.end(), r.begin(), r.end());
    };
    std::vector<std::unique_ptr<PluginHost>> hosts;
    for (int i = 0; i <= kInstances; ++i) {
        hosts.push_back(newInstance());
        ASSERT_TRUE(hosts.back());
        hosts.back()->start(44100.0f, kBlock);
    }
    std::vector<float> alone;
    for (int b = 0; b < kBlocks; ++b) playBlock(*hosts[kInstances], b, alone);
    ASSERT_TRUE(sane(alone));
    ASSERT_GT(peakOf(alone), 1e-3);

    std::vector<std::vector<float>> outs(kInstances);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int b = 0; b < kBlocks; ++b)
                for (int i = t; i < kInstances; i += kThreads) playBlock(*hosts[i], b, outs[i]);
        });
    for (std::thread& t : threads) t.join();
    for (int i = 0; i < kInstances; ++i) EXPECT_EQ(outs[i], alone) << "instance " << i;
}

}  // namespace
