// Every factory preset sounds: a note of each, rendered through the
// synthesis engine, is audible, finite and never above full scale; a loud
// eight-note chord does not clip either.
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "tools/presetgen/PresetRender.h"

#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace

TEST(presets_FactoryRender, EveryPresetPlaysWithoutClipping)
{
    FactoryFixture f;
    Load load(f.factory);
    Platform::walkDirectoryTree(std::string(ONDREL_FACTORY_PRESETS) + "/", load, ".yaml", 0);
    ASSERT_GE(load.programs.size(), 32u);
    for (const auto& program : load.programs) {
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
