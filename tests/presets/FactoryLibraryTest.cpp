// The factory preset library that ships in data/Presets/Factory: its files
// are what the generator's table describes, written exactly as the writer
// writes, and its presets rendered through the synthesis engine keep the
// library's levels, headroom, velocity response and names, the same samples
// whatever block size the host uses and the same sound at every sample rate.
#include "PresetTestSupport.h"
#include "tests/support/Signals.h"

#include "source/engine/SynthEngine.h"
#include "tools/presetgen/FactoryPresets.h"
#include "tools/presetgen/PresetFolder.h"
#include "tools/presetgen/PresetRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

using namespace presets_test;

namespace {

std::vector<std::unique_ptr<Program>> factoryPrograms(ProgramFactory& factory)
{
    return loadPresetFolder(factory, std::string(ONDREL_FACTORY_PRESETS) + "/");
}

// A phrase with chords, a bend, releases into echo tails and a slot reused
// after its tail: (frame, status, data1, data2).
struct PhraseEvent {
    int frame;
    unsigned char status, data1, data2;
};
const PhraseEvent kPhrase[] = {
    {100, 0x90, 48, 100}, {100, 0x90, 55, 90},  {101, 0x90, 64, 80},    {9000, 0xE0, 0, 80},
    {14000, 0x80, 64, 0}, {14000, 0xE0, 0, 64}, {20000, 0x90, 67, 127}, {26000, 0x80, 48, 0},
    {26000, 0x80, 55, 0}, {30000, 0x80, 67, 0}, {52000, 0x90, 60, 60},  {60000, 0x80, 60, 0},
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

// One note (middle C, 0.4 s) and its tail at a rate, left channel.
std::vector<float> renderNoteAt(const float* values, float fs, float tailSeconds)
{
    std::unique_ptr<SynthEngine> engine(new SynthEngine);
    engine->setup(fs);
    for (int i = 0; i < kNumParameters; ++i) engine->setParameter(i, values[i]);
    const int hold = (int)(0.4f * fs), total = hold + (int)(tailSeconds * fs);
    std::vector<float> out, l(512), r(512);
    engine->addEvent(MidiEvent{0, 0x90, 60, 100});
    for (int at = 0; at < total; at += 512) {
        if (at <= hold && hold < at + 512) engine->addEvent(MidiEvent{hold - at, 0x80, 60, 0});
        engine->process(l.data(), r.data(), 512, false);
        out.insert(out.end(), l.begin(), l.end());
    }
    return out;
}

// Level in dB of 10 ms windows.
std::vector<double> envelopeDb(const std::vector<float>& x, float fs)
{
    const size_t w = (size_t)(0.01f * fs);
    std::vector<double> db;
    for (size_t at = 0; at + w <= x.size(); at += w)
        db.push_back(20.0 * std::log10(testing_support::rms(x, at, at + w) + 1e-15));
    return db;
}

// Seconds from the note-off until the level has fallen 20 dB below the
// loudest window after it; and from the note-on to within 10 dB of the
// loudest window before the note-off.
struct Times {
    double decay = -1, rise = -1;
};
Times measureTimes(const std::vector<float>& x, float fs)
{
    const std::vector<double> db = envelopeDb(x, fs);
    const size_t off = 40;  // 0.4 s in 10 ms windows
    Times t;
    double top = -1e9;
    for (size_t i = 0; i < off; ++i) top = std::max(top, db[i]);
    for (size_t i = 0; i < off && t.rise < 0; ++i)
        if (db[i] >= top - 10.0) t.rise = 0.01 * (double)i;
    double tail = -1e9;
    size_t loudest = off;
    for (size_t i = off; i < db.size(); ++i)
        if (db[i] > tail) tail = db[(loudest = i)];
    for (size_t i = loudest; i < db.size() && t.decay < 0; ++i)
        if (db[i] < tail - 20.0) t.decay = 0.01 * (double)(i - off);
    return t;
}

// The strongest frequency within 30 Hz of middle C, from 0.15 to 0.35 s.
double strongestNearMiddleC(const std::vector<float>& x, float fs)
{
    const size_t from = (size_t)(0.15f * fs), len = (size_t)(0.2f * fs);
    double best = 0, bestHz = 0;
    for (double hz = 231.6; hz <= 291.6; hz += 0.25) {
        const double power = std::norm(testing_support::hannBin(x, from, len, hz, fs));
        if (power > best) {
            best = power;
            bestHz = hz;
        }
    }
    return bestHz;
}

}  // namespace

// Each file is the generator's output for its table entry (no stale file is
// left), loads without a diagnostic (every value a number inside 0..1) and
// writes back to the same bytes; names are unique.
TEST(presets_FactoryLibrary, FilesAreWhatTheGeneratorWritesAndWriteBackToTheSameBytes)
{
    FactoryFixture f;
    LogCapture log;
    ScratchFolder scratch;
    std::set<std::string> paths, names, categories;
    for (const FactoryPreset& preset : factoryPresets()) {
        auto program = f.factory.createProgram();
        program->name = preset.name;
        for (const auto& value : preset.values) ASSERT_TRUE(f.factory.setParameterByName(value.first, value.second));
        const std::string path = std::string(ONDREL_FACTORY_PRESETS) + "/" + preset.category + "/" +
                                 Platform::presetFileBaseName(preset.name) + ".yaml";
        EXPECT_EQ(readFile(path), f.factory.programToYaml(program.get()))
            << path << ": run the presets_generate target and commit the result";
        paths.insert(path);
    }
    const auto programs = factoryPrograms(f.factory);
    for (const auto& program : programs) {
        EXPECT_TRUE(paths.count(program->filePath)) << "stale file " << program->filePath;
        ASSERT_TRUE(f.factory.saveProgramFile(program.get(), scratch.path() + "copy.yaml"));
        EXPECT_EQ(readFile(scratch.path() + "copy.yaml"), readFile(program->filePath)) << program->filePath;
        EXPECT_TRUE(names.insert(program->name).second) << "name used twice: " << program->name;
        categories.insert(program->category);
    }
    EXPECT_EQ(programs.size(), paths.size());
    EXPECT_GE(categories.size(), 5u);
    EXPECT_EQ(categories.count(""), 0u) << "every preset is in a category folder";
    EXPECT_EQ(log.text(), "");
}

// A project moved to another sample rate sounds the same: every preset with
// the reverb on keeps its tail's decay, its attack and its pitch (what the
// random wander and noise add differs from rate to rate, as from take to take).
TEST(presets_FactoryRender, ReverbPresetsSoundTheSameAtEveryRate)
{
    FactoryFixture f;
    const auto programs = factoryPrograms(f.factory);
    int checked = 0;
    for (const auto& program : programs) {
        float values[kNumParameters];
        for (int i = 0; i < kNumParameters; ++i) values[i] = program->getValue(i);
        if (values[kReverbOn] < 0.5f) continue;
        // The random sources held still: their draws follow the frame count,
        // so each rate plays another (equally likely) wander and noise.
        for (int k : {kRange1, kRange2, kRange3, kNoise}) values[k] = 0.0f;
        ++checked;
        const std::vector<float> base = renderNoteAt(values, 44100.0f, 3.6f);
        const Times t0 = measureTimes(base, 44100.0f);
        const double pitch0 = strongestNearMiddleC(base, 44100.0f);
        ASSERT_GT(t0.decay, 0.0) << program->name << ": the tail ends within the render";
        for (float fs : {48000.0f, 96000.0f, 192000.0f}) {
            const std::vector<float> x = renderNoteAt(values, fs, 3.6f);
            const Times t = measureTimes(x, fs);
            EXPECT_NEAR(t.decay, t0.decay, 0.05 * t0.decay + 0.01) << program->name << " at " << fs;
            EXPECT_NEAR(t.rise, t0.rise, 0.05 * t0.rise + 0.02) << program->name << " at " << fs;
            // Within 10 cents: a pulsing sound's strongest component moves by a
            // few cents with where the window falls.
            EXPECT_NEAR(1200.0 * std::log2(strongestNearMiddleC(x, fs) / pitch0), 0.0, 10.0)
                << program->name << " at " << fs;
        }
    }
    EXPECT_GE(checked, 10);
}

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
            const size_t firstDiff =
                std::mismatch(reference.begin(), reference.end(), other.begin()).first - reference.begin();
            EXPECT_EQ(firstDiff, reference.size())
                << program->name << ": blocks of " << sizes[0] << (sizes.size() > 1 ? " (changing)" : "")
                << " differ from 256 from frame " << firstDiff / 2;
        }
    }
}

// What the factory library promises a musician (ondrel-presetaudit prints the
// same measures): levels within 10 dB of each other around a median of -20
// to -16 dBFS, 3 dB of headroom, a velocity response a player feels, and
// names that keep their word. A change of the engine or of a preset that
// breaks one of these fails here.
TEST(presets_FactoryRender, LibraryKeepsItsLevelsHeadroomVelocityAndNames)
{
    FactoryFixture f;
    const auto programs = factoryPrograms(f.factory);
    ASSERT_GE(programs.size(), 48u);
    std::vector<AuditedPreset> library;
    for (const auto& program : programs) {
        float values[kNumParameters];
        for (int i = 0; i < kNumParameters; ++i) values[i] = program->getValue(i);
        library.push_back({program->category, program->name, values[kVelosens], measureSound(values, false)});
    }
    for (const std::string& fault : libraryFaults(library)) ADD_FAILURE() << fault;
}
