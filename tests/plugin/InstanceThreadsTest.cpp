// Hosts create instances on several threads when a project opens. Sixteen
// instances are made, used and deleted on sixteen threads at once, starting
// from folders not yet computed. The program is built with ThreadSanitizer:
// any process-wide state read and written without synchronisation ends the
// run with a report and a failing exit code.
#include "Frameworks/PresetManager/PresetPlatform.h"
#include "source/PluginEntry.h"
#include "tests/support/Files.h"
#include "tests/support/PresetDocuments.h"
#include "tests/support/Signals.h"
#include "tools/host/PluginHost.h"
#include "source/engine/ParameterIndex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

const int kThreads = 16;

// What one thread saw of its instance: the program's name, a display text,
// whether the chunk was taken back and the samples were finite.
void useOneInstance(std::atomic<int>& waiting, std::string& outcome)
{
    // Every thread starts creating at the same moment.
    waiting.fetch_sub(1);
    while (waiting.load() > 0) std::this_thread::yield();
    PluginHost host;
    std::string error;
    if (!host.create(ondrelEntry, error)) {
        outcome = "not created: " + error;
        return;
    }
    host.start(44100.0f, 64);
    std::vector<float> left, right;
    host.queueMidi(0, 0x90, 60, 100);
    host.render(left, right, 512, 64);
    const std::vector<uint8_t> chunk = host.getChunk();
    outcome = host.programName() + "|" + host.parameterDisplay(kSpeed1) +
              (host.setChunk(chunk.data(), chunk.size()) == 1 ? "|chunk taken" : "|chunk refused") +
              (testing_support::allFinite(left) && testing_support::allFinite(right) ? "|finite" : "|not finite");
}

}  // namespace

TEST(InstanceThreads, SixteenInstancesCreatedAtOnce)
{
    testing_support::ScratchFolder data;
    data.write("Presets/Factory/Bass/a.yaml",
               testing_support::presetDocument("  Wave: 0.25\n  Noise: 0.25\n", "Alpha"));
    data.write("Presets/Factory/b.yaml", testing_support::presetDocument("  Wave: 0.75\n  Noise: 0.25\n", "Beta"));
    // Forgets every computed folder: the instances compute them concurrently.
    Platform::setDataFolderOverride(data.path());

    std::atomic<int> waiting{kThreads};
    std::vector<std::string> outcomes(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(useOneInstance, std::ref(waiting), std::ref(outcomes[t]));
    for (std::thread& t : threads) t.join();

    Platform::setDataFolderOverride("");
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(outcomes[t], "Alpha|6.0|chunk taken|finite") << t;
}
