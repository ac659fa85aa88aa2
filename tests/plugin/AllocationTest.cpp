// Nothing on the audio path allocates: global operator new is counted while
// the plug-in handles events, renders and takes automation, for the start
// program and for every factory preset.
#include "source/PluginEntry.h"
#include "source/engine/ParameterIndex.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/Files.h"
#include "tools/host/PluginHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

// A whole session's audio-thread work, with every buffer made beforehand.
class AudioThread {
public:
    explicit AudioThread(AEffect* fx)
        : fx(fx), left(kBlock), right(kBlock), midi(16), raw(sizeof(VstEvents) + 16 * sizeof(VstEvent*))
    {
        events = reinterpret_cast<VstEvents*>(raw.data());
        for (size_t i = 0; i < midi.size(); ++i) {
            midi[i] = VstMidiEvent{};
            midi[i].type = kVstMidiType;
            midi[i].byteSize = sizeof(VstMidiEvent);
            events->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
        }
    }

    void play(int blocks)
    {
        float* outs[2] = {left.data(), right.data()};
        for (int b = 0; b < blocks; ++b) {
            int n = 0;
            auto add = [&](int status, int d1, int d2) {
                midi[n].deltaFrames = (n * 37) % kBlock;
                midi[n].midiData[0] = (char)status;
                midi[n].midiData[1] = (char)d1;
                midi[n].midiData[2] = (char)d2;
                ++n;
            };
            if (b % 8 == 0) add(0x90, 36 + (b / 8) % 48, 100);
            if (b % 8 == 5) add(0x80, 36 + (b / 8) % 48, 0);
            if (b % 16 == 3) add(0xE0, 0, (b * 5) % 128);
            if (b % 64 == 63) add(0xB0, 123, 0);
            events->numEvents = n;
            if (n) fx->dispatcher(fx, effProcessEvents, 0, 0, events, 0.0f);
            // Automation: now one parameter, now all of them (voice count,
            // equalizer and reverb redesigns included), taken over at the block.
            if (b % 4 == 2) fx->setParameter(fx, (b / 4) % kNumParameters, (float)((b * 7) % 11) / 10.0f);
            if (b % 32 == 17)
                for (int p = 0; p < kNumParameters; ++p)
                    fx->setParameter(fx, p, (float)((b * 13 + p * 7) % 101) / 100.0f);
            fx->processReplacing(fx, nullptr, outs, kBlock);
        }
    }

private:
    static constexpr int kBlock = 256;
    AEffect* fx;
    std::vector<float> left, right;
    std::vector<VstMidiEvent> midi;
    std::vector<unsigned char> raw;
    VstEvents* events = nullptr;
};

TEST(Allocation, NoneOnTheAudioPathForAnyPreset)
{
    PluginHost host;
    std::string error;
    ASSERT_TRUE(host.create(ondrelEntry, error)) << error;
    host.start(48000.0f, 256);
    AEffect* fx = host.effect();
    AudioThread audio(fx);

    std::vector<std::string> chunks;
    for (auto& e : fs::recursive_directory_iterator(fs::path(ONDREL_BUNDLE_DIR) / "Presets" / "Factory"))
        if (e.path().extension() == ".yaml") chunks.push_back(testing_support::readFile(e.path().string()));
    ASSERT_GE(chunks.size(), 32u) << "the bundle's factory presets";

    {
        testing_support::AllocationWindow window;
        std::unique_ptr<std::vector<int>> probe(new std::vector<int>(3));
        ASSERT_GE(window.count(), 1) << "the counter counts";
    }
    {
        testing_support::AllocationWindow window;
        audio.play(200);
        EXPECT_EQ(window.count(), 0) << "with the start program";
    }
    // A rate change and a resume are carried out by the audio thread's next block.
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    host.suspend();
    host.resume();
    {
        testing_support::AllocationWindow window;
        audio.play(16);
        EXPECT_EQ(window.count(), 0) << "after a rate change and a resume";
    }

    for (const std::string& chunk : chunks) {
        ASSERT_EQ(host.setChunk(chunk.data(), chunk.size()), 1);
        testing_support::AllocationWindow window;
        audio.play(64);
        EXPECT_EQ(window.count(), 0) << chunk.substr(0, 120);
    }
}

}  // namespace
