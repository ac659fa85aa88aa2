// Audio through the module: events land on their frames, and a rate change
// keeps the program's sound.
#include "tests/support/TestSupport.h"
#include "source/engine/ParameterIndex.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace testing_support;

namespace {

// A patch that sounds at once and stays clean: instant attack, full noise
// and no reverb, equalizer or delay feedback to smear the onset.
void setPercussiveProbe(PluginHost& host)
{
    host.setParameter(kAttack1, 0.0f);
    host.setParameter(kSustain1, 1.0f);
    host.setParameter(kNoise, 1.0f);
    host.setParameter(kReverbOn, 0.0f);
    host.setParameter(kEQOn, 0.0f);
    host.setParameter(kFdBkAmount, 0.0f);
    host.setParameter(kGain_out, 0.8f);
}

// Events land on their frames; those past the block are dropped.
TEST(AudioPath, EventsLandOnTheirFramesAndThosePastTheBlockAreDropped)
{
    const int block = 512;
    for (int frame : {0, 1, 200, block - 1}) {
        auto host = startedHost(44100.0f, block);
        ASSERT_TRUE(host);
        setPercussiveProbe(*host);
        std::vector<float> l, r;
        host->render(l, r, 8192, block);  // let the gain glide settle
        ASSERT_LT(peak(l), 1e-6) << "silent before the note";
        size_t start = l.size();
        host->queueMidi(frame, 0x90, 69, 127);
        host->render(l, r, block, block);
        long first = firstAbove(l, 1e-4, start);
        ASSERT_GE(first, 0) << "the note at frame " << frame << " sounds within its block";
        EXPECT_GE(first - (long)start, frame);
        EXPECT_LE(first - (long)start, frame + 2);
    }
    auto host = startedHost(44100.0f, block);
    setPercussiveProbe(*host);
    std::vector<float> l, r;
    host->render(l, r, 8192, block);
    host->queueMidi(block, 0x90, 69, 127);
    host->queueMidi(5000, 0x90, 72, 127);
    host->render(l, r, block * 8, block);
    EXPECT_LT(peak(l), 1e-6);
}

}  // namespace

namespace {

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
