// Host-side costs of the VST module, loaded from the bundle as a host loads
// it: creating an instance (entry point, effOpen, rate, block size, resume,
// which loads the factory library) and closing it; selecting each program of
// the library in turn; getting and setting the program and bank chunks; and
// the resident memory one instance adds.
#include <benchmark/benchmark.h>

#include "tools/host/PluginHost.h"
#include "tools/render/PresetLibrary.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;

// Settings go to a fresh folder; no message box waits for anyone.
void prepareEnvironment()
{
    static char folder[] = "/tmp/ondrel-bench-XXXXXX";
    static bool made = mkdtemp(folder) != nullptr;
    if (made) setenv("XDG_CONFIG_HOME", folder, 1);
    setenv("ONDREL_NO_DIALOGS", "1", 1);
}

std::unique_ptr<PluginHost> openInstance(benchmark::State& state)
{
    auto host = std::make_unique<PluginHost>();
    std::string error;
    if (!host->load(ONDREL_MODULE, error)) {
        state.SkipWithError(("cannot load " ONDREL_MODULE ": " + error).c_str());
        return nullptr;
    }
    host->start(kRate, kBlock);
    return host;
}

// The module stays loaded by one instance, as in a host that already has
// one: each iteration creates and closes another.
void BM_CreateInstance(benchmark::State& state)
{
    prepareEnvironment();
    std::unique_ptr<PluginHost> keeper = openInstance(state);
    if (!keeper) return;
    for (auto _ : state) {
        std::unique_ptr<PluginHost> host = openInstance(state);
        if (!host) return;
        benchmark::DoNotOptimize(host->effect());
        state.PauseTiming();  // closing is measured below
        host.reset();
        state.ResumeTiming();
    }
    state.SetLabel(std::to_string(keeper->effect()->numPrograms) + " programs");
}
BENCHMARK(BM_CreateInstance)->Unit(benchmark::kMillisecond);

void BM_CreateAndCloseInstance(benchmark::State& state)
{
    prepareEnvironment();
    std::unique_ptr<PluginHost> keeper = openInstance(state);
    if (!keeper) return;
    for (auto _ : state) benchmark::DoNotOptimize(openInstance(state));
}
BENCHMARK(BM_CreateAndCloseInstance)->Unit(benchmark::kMillisecond);

// Resident memory (from /proc/self/statm) that eight more instances add,
// divided by eight.
long residentBytes()
{
    long pages = 0, resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
    return resident * sysconf(_SC_PAGESIZE);
}

void BM_InstanceMemory(benchmark::State& state)
{
    prepareEnvironment();
    std::unique_ptr<PluginHost> keeper = openInstance(state);
    if (!keeper) return;
    std::vector<float> left(kBlock), right(kBlock);
    double perInstance = 0.0;
    for (auto _ : state) {
        long before = residentBytes();
        std::vector<std::unique_ptr<PluginHost>> hosts;
        for (int i = 0; i < 8; ++i) {
            hosts.push_back(openInstance(state));
            if (!hosts.back()) return;
            // One block touches the delay lines the engine uses.
            hosts.back()->process(left.data(), right.data(), kBlock);
        }
        perInstance = (double)(residentBytes() - before) / 8.0;
    }
    state.counters["MB_per_instance"] = perInstance / 1e6;
}
BENCHMARK(BM_InstanceMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The module shows hosts one program, its current one: effSetProgram applies
// it again (as a host does when it restores a session).
void BM_SelectProgram(benchmark::State& state)
{
    prepareEnvironment();
    std::unique_ptr<PluginHost> host = openInstance(state);
    if (!host) return;
    const int programs = host->effect()->numPrograms;
    int next = 0;
    for (auto _ : state) {
        host->dispatch(effBeginSetProgram);
        host->dispatch(effSetProgram, 0, next);
        host->dispatch(effEndSetProgram);
        next = (next + 1) % programs;
    }
    state.SetLabel(std::to_string(programs) + " programs");
}
BENCHMARK(BM_SelectProgram)->Unit(benchmark::kMicrosecond);

// Each preset of the factory library in turn, handed over as the program
// chunk (what the render tool's --preset and a host's preset import do).
void BM_SelectLibraryPreset(benchmark::State& state)
{
    prepareEnvironment();
    std::unique_ptr<PluginHost> host = openInstance(state);
    if (!host) return;
    std::vector<std::vector<unsigned char>> presets;
    PresetLibrary library(ONDREL_MODULE);
    for (const PresetFile& f : library.presets()) {
        std::vector<unsigned char> bytes;
        std::string error;
        if (f.id.rfind("Factory/", 0) == 0 && readFileBytes(f.path, bytes, error)) presets.push_back(bytes);
    }
    if (presets.empty()) {
        state.SkipWithError("no factory presets beside " ONDREL_MODULE);
        return;
    }
    size_t next = 0, refused = 0;
    for (auto _ : state) {
        refused += host->setChunk(presets[next].data(), presets[next].size(), true) == 0;
        next = (next + 1) % presets.size();
    }
    if (refused) state.SkipWithError("the plug-in refused a factory preset");
    state.SetLabel(std::to_string(presets.size()) + " factory presets");
}
BENCHMARK(BM_SelectLibraryPreset)->Unit(benchmark::kMicrosecond);

// The current program's chunk (argument 1) or the bank's (0), as a host
// saves and restores a session.
void BM_GetChunk(benchmark::State& state)
{
    prepareEnvironment();
    std::unique_ptr<PluginHost> host = openInstance(state);
    if (!host) return;
    const bool isPreset = state.range(0) != 0;
    size_t bytes = 0;
    for (auto _ : state) bytes = host->getChunk(isPreset).size();
    state.SetLabel(std::to_string(bytes) + " bytes");
}
BENCHMARK(BM_GetChunk)->ArgName("program")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_SetChunk(benchmark::State& state)
{
    prepareEnvironment();
    std::unique_ptr<PluginHost> host = openInstance(state);
    if (!host) return;
    const bool isPreset = state.range(0) != 0;
    std::vector<uint8_t> chunk = host->getChunk(isPreset);
    if (host->setChunk(chunk.data(), chunk.size(), isPreset) == 0) {
        state.SkipWithError("the plug-in refused its own chunk");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(host->setChunk(chunk.data(), chunk.size(), isPreset));
    state.SetLabel(std::to_string(chunk.size()) + " bytes");
}
BENCHMARK(BM_SetChunk)->ArgName("program")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
