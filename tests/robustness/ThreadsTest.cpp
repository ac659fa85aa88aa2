// While an audio thread renders (with notes and automation), a user-interface
// thread does what hosts and the editor do: sets parameters, selects presets
// as the tool bar does, reads display texts and names, gets and sets chunks,
// renames the program, suspends and resumes, and opens, idles and closes the
// editor. No crash, and every sample finite and bounded. Built with
// ThreadSanitizer (make tsan): a data race ends the run with a report and a
// failing exit code.
#include "RobustnessSupport.h"

#include "Frameworks/PresetManager/PresetManager.h"
#include "source/OndrelPlugin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

using namespace robustness;

TEST(Threads, AudioRendersWhileTheUserInterfaceWorks)
{
    const char* env = std::getenv("ONDREL_THREADS_SECONDS");
    const double seconds = env && std::atof(env) > 0 ? std::atof(env) : 10.0;
    auto host = newInstance();
    ASSERT_TRUE(host);
    host->start(44100.0f, 256);
    AEffect* fx = host->effect();
    auto* plugin = static_cast<OndrelPlugin*>(static_cast<AudioEffect*>(fx->object));
    const std::vector<std::string> categories = plugin->getPresetManager().getCategoryNames();

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0}, badBlocks{0};
    std::thread audio([&] {
        std::vector<float> l(256), r(256);
        float* outs[2] = {l.data(), r.data()};
        VstMidiEvent note{};
        note.type = kVstMidiType;
        note.byteSize = sizeof note;
        VstEvents events{1, 0, {reinterpret_cast<VstEvent*>(&note), nullptr}};
        for (long b = 0; !stop.load(); ++b) {
            if (b % 4 == 0) {
                note.deltaFrames = (int)(b % 256);
                note.midiData[0] = (char)(b % 8 == 0 ? 0x90 : 0x80);
                note.midiData[1] = (char)(36 + b / 8 % 48);
                note.midiData[2] = 100;
                fx->dispatcher(fx, effProcessEvents, 0, 0, &events, 0.0f);
            }
            if (b % 3 == 0) fx->setParameter(fx, (int)(b % 43), (float)(b % 101) / 100.0f);  // automation
            fx->processReplacing(fx, nullptr, outs, 256);
            if (!sane(l) || !sane(r)) badBlocks.fetch_add(1);
            blocks.fetch_add(1);
        }
    });

    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long rounds = 0;
    for (; std::chrono::steady_clock::now() < end; ++rounds) {
        const int i = (int)(rounds % 43);
        host->setParameter(i, (float)(rounds % 97) / 96.0f);
        host->parameterDisplay(i);
        host->parameterName(i);
        host->parameterLabel(i);
        host->programName();
        if (rounds % 5 == 0) host->dispatch(effSetProgram, 0, 0);
        if (rounds % 7 == 0) {
            // The tool bar's selection of a preset.
            PresetManager& presets = plugin->getPresetManager();
            const int c = (int)(rounds / 7 % categories.size());
            presets.selectProgram(c, (int)(rounds / 3 % 4));
            plugin->programChanged();
        }
        if (rounds % 11 == 0) {
            const std::vector<uint8_t> chunk = host->getChunk();
            EXPECT_EQ(host->setChunk(chunk.data(), chunk.size()), 1);
        }
        if (rounds % 13 == 0) {
            char name[kVstMaxProgNameLen + 1] = "Renamed";
            name[7] = (char)('A' + rounds % 26);
            host->dispatch(effSetProgramName, 0, 0, name);
        }
        if (rounds % 19 == 0) {
            // A host that suspends and resumes from its user-interface thread.
            host->suspend();
            host->resume();
        }
        if (rounds % 17 == 0) {
            ERect* rect = nullptr;
            host->dispatch(effEditGetRect, 0, 0, &rect);
            host->dispatch(effEditOpen);
            for (int k = 0; k < 3; ++k) host->dispatch(effEditIdle);
            host->dispatch(effEditClose);
        }
    }
    stop.store(true);
    audio.join();
    RecordProperty("blocks", std::to_string(blocks.load()));
    RecordProperty("userInterfaceRounds", std::to_string(rounds));
    EXPECT_EQ(badBlocks.load(), 0) << "of " << blocks.load() << " blocks";
    EXPECT_GT(blocks.load(), 100);
}
