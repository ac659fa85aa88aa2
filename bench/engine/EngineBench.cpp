// Cost per sample of each engine module and of the whole engine. The engine
// figures are reported as ns per frame and as the real-time factor (seconds
// of audio rendered per second of computing) at 48 kHz in blocks of 256.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "source/engine/Equalizer.h"
#include "source/engine/ModuleADSR.h"
#include "source/engine/ModuleBiquad.h"
#include "source/engine/ModuleFMop.h"
#include "source/engine/ModuleLFO.h"
#include "source/engine/ModuleReverb.h"
#include "source/engine/ModuleSVF.h"
#include "source/engine/Smoother.h"
#include "source/engine/SynthEngine.h"
#include "source/engine/SynthVoice.h"
#include "source/engine/ParameterIndex.h"

namespace {
constexpr float kFs = 48000.0f;
constexpr int kBlock = 256;

// Modules, one tick per iteration.

void BM_Smoother(benchmark::State& state)
{
    Smoother s;
    s.setup(kFs);
    float t = 1.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.tick(t));
        t = -t;
    }
}
BENCHMARK(BM_Smoother);

void BM_Biquad(benchmark::State& state)
{
    ModuleBiquad b;
    b.setSampleRate(kFs);
    b.designLowPass(5000.0);
    float x = 0.5f;
    for (auto _ : state) {
        x = -x;
        benchmark::DoNotOptimize(b.process(x));
    }
}
BENCHMARK(BM_Biquad);

void BM_SVF(benchmark::State& state)
{
    ModuleSVF f;
    f.setSampleRate(kFs);
    f.setMode(2);
    f.setFrequencyCoefficient(6.28319f * 2320.0f / kFs);
    float x = 0.5f;
    for (auto _ : state) {
        x = -x;
        benchmark::DoNotOptimize(f.tick(x));
    }
}
BENCHMARK(BM_SVF);

void BM_LFO(benchmark::State& state)
{
    ModuleLFO l;
    l.setSampleRate(kFs);
    l.setRate(12.0f);
    RuntimeRand rand;
    for (auto _ : state) benchmark::DoNotOptimize(l.tick(rand));
}
BENCHMARK(BM_LFO);

void BM_ADSR(benchmark::State& state)
{
    ModuleADSR e;
    e.reset(0.5f, 0.5f, kFs);
    e.setRepeat(true, 3);  // endless cycles: every stage is visited
    e.setAttack(0.01f);
    e.setDecay(0.05f);
    e.trigger(100);
    for (auto _ : state) benchmark::DoNotOptimize(e.tick());
}
BENCHMARK(BM_ADSR);

void BM_FMop(benchmark::State& state)
{
    ModuleFMop op;
    op.setSampleRate(kFs);
    op.setFrequency(440.0f);
    float pm = 0.3f;
    for (auto _ : state) {
        op.pmInput = pm;
        pm = -pm;
        benchmark::DoNotOptimize(op.tick());
    }
}
BENCHMARK(BM_FMop);

void BM_Equalizer(benchmark::State& state)
{
    Equalizer eq;
    eq.resetDefaults(kFs);
    eq.setHighPassValue(0.5f);
    eq.design();
    // A chunk of 64 frames per iteration, as the engine runs it.
    float inL[64], inR[64], dither[64] = {}, outL[64], outR[64];
    for (int t = 0; t < 64; ++t) inR[t] = -(inL[t] = t % 2 ? 0.5f : -0.5f);
    for (auto _ : state) {
        eq.process(inL, inR, dither, outL, outR, 64, [](float, float) { return false; });
        benchmark::DoNotOptimize(outL);
        benchmark::DoNotOptimize(outR);
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_Equalizer);

void BM_Reverb(benchmark::State& state)
{
    auto reverb = std::make_unique<ModuleReverb>();
    reverb->update();
    float x = 0.5f, l, r;
    for (auto _ : state) {
        x = -x;
        reverb->process(x, x, l, r);
        benchmark::DoNotOptimize(l);
    }
}
BENCHMARK(BM_Reverb);

// One voice's frame: three modulated Hermite reads, tanh feedback, operators.
void BM_Voice(benchmark::State& state)
{
    auto voice = std::make_unique<SynthVoice>();
    voice->setSampleRate(kFs);
    voice->setNoteFrequency(220.0f);
    for (int k = 0; k < 3; ++k) {
        voice->setLineLevel(k, 0.5f);
        voice->setRangeMs(k, 5.0f);
        voice->setModulationRate(k, 6.0f);
        for (int i = 0; i < 50; ++i) voice->glideBaseDelay(k, 0.1f * 4.545f);
    }
    voice->setFeedbackAmount(state.range(0) ? 4.0f : 0.0f);
    float l, r;
    RuntimeRand rand;
    for (auto _ : state) {
        voice->renderFrame(&l, &r, 0.8f, 0.6f, 0.0f, rand);
        benchmark::DoNotOptimize(l);
    }
}
BENCHMARK(BM_Voice)->Arg(0)->Arg(1)->ArgName("feedback");

// The whole engine.

struct Patch {
    bool eqOn, reverbOn;
};

std::unique_ptr<SynthEngine> makeEngine(const Patch& p)
{
    std::unique_ptr<SynthEngine> e(new SynthEngine);
    e->setup(kFs);
    for (int i = 0; i < SynthEngine::kNumParams; ++i) e->setParameter(i, 0.5f);
    e->setParameter(kPolyMono, 0.0f);  // PolyMono: eight voices
    e->setParameter(kHarmonics, 0.5f);
    e->setParameter(kNoise, 0.3f);
    e->setParameter(kFdBkAmount, 0.7f);
    e->setParameter(kMemory, 0.0f);  // Memory off: note-tuned delays
    e->setParameter(kEQOn, p.eqOn ? 1.0f : 0.0f);
    e->setParameter(kReverbOn, p.reverbOn ? 1.0f : 0.0f);
    return e;
}

// Notes 45, 49, 53, ... handed to an engine at frame 0 of its next block.
struct Events {
    std::vector<MidiEvent> midi;
    explicit Events(int notes, unsigned char status)
    {
        for (int i = 0; i < notes; ++i) {
            MidiEvent e;
            e.status = status;
            e.data1 = (unsigned char)(45 + 4 * i);
            e.data2 = 100;
            midi.push_back(e);
        }
    }
    void to(SynthEngine& engine) const
    {
        for (const MidiEvent& e : midi) engine.addEvent(e);
    }
};

void reportRate(benchmark::State& state, int block)
{
    const double frames = (double)state.iterations() * block;
    state.SetItemsProcessed((int64_t)frames);
    // Real-time factor: audio seconds per CPU second.
    state.counters["RTF"] = benchmark::Counter(frames / kFs, benchmark::Counter::kIsRate);
    state.counters["ns_per_frame"] =
        benchmark::Counter(frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A held chord of 0 (an idle instance), 1, 4 or 8 voices, with or without the
// equalizer and reverb, in blocks of 32, 256 or 1024 frames.
void BM_EngineBlock(benchmark::State& state)
{
    const int voices = (int)state.range(0);
    const Patch patch{state.range(1) != 0, state.range(1) != 0};
    const int block = (int)state.range(2);
    auto engine = makeEngine(patch);
    std::vector<float> l(block > kBlock ? block : kBlock), r(l.size());
    Events on(voices, 0x90);
    on.to(*engine);
    // Past the attacks and the reverb fade-in: a held chord.
    for (int b = 0; b < 200; ++b) engine->process(l.data(), r.data(), kBlock, true);
    for (auto _ : state) {
        engine->process(l.data(), r.data(), block, true);
        benchmark::DoNotOptimize(l.data());
    }
    reportRate(state, block);
}
// The idle instance, then 1, 4 and 8 voices without and with the equalizer
// and reverb in blocks of 32, 256 and 1024 frames.
BENCHMARK(BM_EngineBlock)
    ->ArgNames({"voices", "eq_reverb", "block"})
    ->Args({0, 0, 256})
    ->Args({0, 1, 256})
    ->ArgsProduct({{1, 4, 8}, {0, 1}, {32, 256, 1024}});

// Silent blocks before any note, 2 s after a loud chord ended and 60 s after
// it: the cost must not rise as the tails decay (no denormal slow-down in
// filters, lines or reverb). The engines render alternately so that all see
// the same machine load. `late_vs_early` compares 60 s with 2 s after the
// chord; `after_vs_fresh` compares 60 s after with an engine that never played
// (the played slots keep gliding their base delay times every frame, which a
// fresh engine does not).
void BM_EngineSilence(benchmark::State& state)
{
    std::unique_ptr<SynthEngine> engines[3] = {makeEngine(Patch{true, true}), makeEngine(Patch{true, true}),
                                               makeEngine(Patch{true, true})};
    std::vector<float> l(kBlock), r(kBlock);
    Events on(8, 0x90), off(8, 0x80);
    for (int k = 0; k < 3; ++k) {
        SynthEngine* e = engines[k].get();
        e->setParameter(kRelease2, 0.1f);  // short feedback release, so the slots fall idle
        e->setParameter(kGain_out, 1.0f);
        if (k == 0) continue;
        on.to(*e);
        for (int b = 0; b < 400; ++b) e->process(l.data(), r.data(), kBlock, true);
        off.to(*e);
        const int seconds = k == 1 ? 2 : 60;
        for (int b = 0; b < (int)(seconds * kFs / kBlock); ++b) e->process(l.data(), r.data(), kBlock, true);
    }

    // Thread CPU time: time spent waiting for a busy machine is not counted.
    auto cpuNow = [] {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return (double)ts.tv_sec + 1e-9 * (double)ts.tv_nsec;
    };
    double spent[3] = {0.0, 0.0, 0.0};
    for (auto _ : state) {
        for (int k = 0; k < 3; ++k) {
            double t0 = cpuNow();
            for (int b = 0; b < 4; ++b) engines[k]->process(l.data(), r.data(), kBlock, true);
            spent[k] += cpuNow() - t0;
            benchmark::DoNotOptimize(l.data());
        }
    }
    const double frames = (double)state.iterations() * 4 * kBlock;
    state.counters["ns_fresh"] = spent[0] / frames * 1e9;
    state.counters["ns_2s_after"] = spent[1] / frames * 1e9;
    state.counters["ns_60s_after"] = spent[2] / frames * 1e9;
    state.counters["late_vs_early"] = spent[2] / spent[1];
    state.counters["after_vs_fresh"] = spent[2] / spent[0];
}
BENCHMARK(BM_EngineSilence);

// A fixed amount of work for instruction counts under callgrind, which are
// repeatable on a loaded machine where times are not:
//   bench_engine --profile VOICES EQ_REVERB BLOCKS [BLOCK_SIZE]
// renders the held chord of BM_EngineBlock (after the same 200 blocks of
// warm-up) for BLOCKS blocks inside profiledBlocks(), so that
//   valgrind --tool=callgrind --toggle-collect=profiledBlocks bench_engine --profile 8 1 200
// counts only those blocks. Prints the frames rendered.
__attribute__((noinline)) void profiledBlocks(SynthEngine& engine, float* l, float* r, int blocks, int size)
{
    for (int b = 0; b < blocks; ++b) engine.process(l, r, size, true);
}

int profile(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_engine --profile VOICES EQ_REVERB BLOCKS [BLOCK_SIZE]\n");
        return 2;
    }
    const int voices = std::atoi(argv[2]);
    const bool eqReverb = std::atoi(argv[3]) != 0;
    const int blocks = std::atoi(argv[4]);
    const int size = argc > 5 ? std::atoi(argv[5]) : kBlock;
    auto engine = makeEngine(Patch{eqReverb, eqReverb});
    std::vector<float> l(size > kBlock ? size : kBlock), r(l.size());
    Events(voices, 0x90).to(*engine);
    for (int b = 0; b < 200; ++b) engine->process(l.data(), r.data(), kBlock, true);
    profiledBlocks(*engine, l.data(), r.data(), blocks, size);
    std::printf("%d frames\n", blocks * size);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--profile") == 0) return profile(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
