// Every factory preset sounds: a note of each, rendered through the
// synthesis engine, is audible, finite and never above full scale; a loud
// eight-note chord does not clip either. And each renders the same samples
// whatever block size the host uses.
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "source/engine/SynthEngine.h"
#include "tools/presetgen/PresetRender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace presets_test;

namespace {

class Load : public Platform::DirTreeCallback {
public:
    explicit Load(ProgramFactory& factory) : m_factory(factory) {}
    std::vector<std::unique_ptr<Program>> programs;
    void onFile(const std::string& path) override
    {
        if (auto p = m_factory.loadProgramFile(path)) programs.push_back(std::move(p));
    }
    std::string enterDirectory(const std::string&) override { return std::string(); }
    void leaveDirectory(const std::string&) override {}

private:
    ProgramFactory& m_factory;
};

std::vector<std::unique_ptr<Program>> factoryPrograms(ProgramFactory& factory)
{
    Load load(factory);
    Platform::walkDirectoryTree(std::string(ONDREL_FACTORY_PRESETS) + "/", load, ".yaml", 0);
    return std::move(load.programs);
}

// A phrase with chords, a bend, releases into echo tails and a slot reused
// after its tail: (frame, status, data1, data2).
struct PhraseEvent {
    int frame;
    unsigned char status, data1, data2;
};
const PhraseEvent kPhrase[] = {
    {100, 0x90, 48, 100}, {100, 0x90, 55, 90},  {101, 0x90, 64, 80},  {9000, 0xE0, 0, 80},
    {14000, 0x80, 64, 0}, {14000, 0xE0, 0, 64}, {20000, 0x90, 67, 127}, {26000, 0x80, 48, 0},
    {26000, 0x80, 55, 0}, {30000, 0x80, 67, 0}, {52000, 0x90, 60, 60}, {60000, 0x80, 60, 0},
};
constexpr int kPhraseFrames = 72000;

// The phrase rendered in blocks of `sizes`, taken in turn.
std::vector<float> renderPhrase(const float* values, const std::vector<int>& sizes)
{
    std::unique_ptr<SynthEngine> engine(new SynthEngine);
    engine->setup(44100.0f);
    for (int i = 0; i < kNumParameters; ++i) engine->setParameter(i, values[i]);
    std::vector<float> out, l(4096), r(4096);
    size_t next = 0, turn = 0;
    for (int at = 0; at < kPhraseFrames;) {
        const int n = std::min(sizes[turn++ % sizes.size()], kPhraseFrames - at);
        for (; next < sizeof kPhrase / sizeof kPhrase[0] && kPhrase[next].frame < at + n; ++next) {
            const PhraseEvent& p = kPhrase[next];
            engine->addEvent(MidiEvent{p.frame - at, p.status, p.data1, p.data2});
        }
        engine->process(l.data(), r.data(), n, false);
        for (int i = 0; i < n; ++i) {
            out.push_back(l[(size_t)i]);
            out.push_back(r[(size_t)i]);
        }
        at += n;
    }
    return out;
}

}  // namespace

// Live playing and an offline bounce with another block size give the same
// samples: nothing in the sound may step once per block.
TEST(presets_FactoryRender, EveryPresetSoundsTheSameAtEveryBlockSize)
{
    FactoryFixture f;
    const auto programs = factoryPrograms(f.factory);
    ASSERT_GE(programs.size(), 32u);
    // Each preset against the usual 256 frames: two of the other sizes in turn,
    // so every size meets a third of the library.
    const std::vector<std::vector<int>> others = {{32}, {4096}, {64}, {1024}, {1, 255, 17, 4096, 100, 33}};
    size_t k = 0;
    for (const auto& program : programs) {
        float values[kNumParameters];
        for (int i = 0; i < kNumParameters; ++i) values[i] = program->getValue(i);
        const std::vector<float> reference = renderPhrase(values, {256});
        for (int t = 0; t < 2; ++t) {
            const std::vector<int>& sizes = others[k++ % others.size()];
            const std::vector<float> other = renderPhrase(values, sizes);
            size_t firstDiff = reference.size();
            for (size_t i = 0; i < reference.size() && firstDiff == reference.size(); ++i)
                if (reference[i] != other[i]) firstDiff = i;
            EXPECT_EQ(firstDiff, reference.size())
                << program->name << ": blocks of " << sizes[0] << (sizes.size() > 1 ? " (changing)" : "")
                << " differ from 256 from frame " << firstDiff / 2;
        }
    }
}

TEST(presets_FactoryRender, EveryPresetPlaysWithoutClipping)
{
    FactoryFixture f;
    const auto programs = factoryPrograms(f.factory);
    ASSERT_GE(programs.size(), 32u);
    for (const auto& program : programs) {
        float values[kNumParameters];
        for (int i = 0; i < kNumParameters; ++i) values[i] = program->getValue(i);
        const NoteMeasure note = renderNotes(values, {60}, 127, 0.6f, 0.3f);
        EXPECT_TRUE(note.finite) << program->name;
        EXPECT_LE(note.peak, 1.0f) << program->name;
        // Audible: the first quarter second is above -60 dBFS (slow pads included).
        EXPECT_GT(20.0f * std::log10(note.rmsStart + 1e-12f), -60.0f) << program->name;
        const NoteMeasure chord = renderNotes(values, {36, 48, 55, 60, 64, 67, 72, 76}, 127, 1.0f, 0.2f);
        EXPECT_TRUE(chord.finite) << program->name;
        EXPECT_LE(chord.peak, 1.0f) << program->name;
    }
}
