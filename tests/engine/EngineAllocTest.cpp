// No heap allocation while audio runs: global operator new is counted while a
// window is open, across notes, controller 123, pitch bend, parameter sweeps
// and voice-count changes.
#include <gtest/gtest.h>

#include <vector>

#include "BaseLibrary/vst2abi.h"
#include "source/ParameterTable.h"
#include "source/engine/SynthEngine.h"
#include "tests/support/AllocationCounter.h"

using testing_support::AllocationWindow;


TEST(EngineAllocation, NoneWhileRendering)
{
    std::unique_ptr<SynthEngine> engine(new SynthEngine);
    engine->setup(48000.0f);
    for (int i = 0; i < kNumParameters; ++i) engine->setParameter(i, 0.5f);

    // Everything the loop needs, made before counting.
    const int block = 256;
    std::vector<float> l(block), r(block);
    std::vector<VstMidiEvent> midi(64);
    std::vector<unsigned char> raw(sizeof(VstEvents) + sizeof(VstEvent*) * midi.size());
    VstEvents* events = reinterpret_cast<VstEvents*>(raw.data());
    VstEvent** list = events->events;
    for (size_t i = 0; i < midi.size(); ++i) {
        midi[i] = VstMidiEvent{};
        midi[i].type = kVstMidiType;
        midi[i].byteSize = sizeof(VstMidiEvent);
        list[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    }

    AllocationWindow window;
    for (int b = 0; b < 400; ++b) {
        int n = 0;
        auto add = [&](int status, int d1, int d2) {
            midi[n].deltaFrames = (n * 7) % block;
            midi[n].midiData[0] = (char)status;
            midi[n].midiData[1] = (char)d1;
            midi[n].midiData[2] = (char)d2;
            ++n;
        };
        for (int k = 0; k < 10; ++k) add(b % 3 ? 0x90 : 0x80, (b * 5 + k * 7) % 128, 1 + (b + k) % 127);
        add(0xE0, b % 128, (b * 3) % 128);
        if (b % 50 == 49) add(0xB0, 123, 0);
        events->numEvents = n;
        // Parameter sweeps between blocks, as automation does.
        for (int p = 0; p < kNumParameters; ++p)
            engine->setParameter(p, (float)((b * 13 + p * 7) % 101) / 100.0f);
        engine->setEvents(events);
        engine->process(l.data(), r.data(), block, b % 2 == 0);
    }
    engine->suspend();
    engine->resume();
    engine->setSampleRate(96000.0f);
    engine->process(l.data(), r.data(), block, true);
    EXPECT_EQ(window.count(), 0);
}

TEST(EngineAllocation, TheCounterCounts)
{
    AllocationWindow window;
    std::unique_ptr<std::vector<int>> probe(new std::vector<int>(3));
    EXPECT_GE(window.count(), 1);
}
