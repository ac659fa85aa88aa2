// The preset document: what the writer produces, what the reader accepts
// from memory and from files, and damaged or hostile documents refused with
// the exact diagnostics while the reader keeps working.
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/Program.h"
#include "tests/support/CommaLocale.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace presets_test;

namespace {

class presets_Document : public ::testing::Test {
protected:
    FactoryFixture f;
    LogCapture log;
    ScratchFolder folder;

    std::unique_ptr<Program> chunk(const std::string& text)
    {
        return f.factory.parseProgramChunk(text.data(), text.size());
    }
    std::unique_ptr<Program> file(const std::string& name, const std::string& text)
    {
        return f.factory.loadProgramFile(folder.write(name, text));
    }
};

}  // namespace

TEST_F(presets_Document, WriterWritesTheActiveSetLineByLine)
{
    auto p = f.factory.createProgram();
    p->name = "Init";
    EXPECT_EQ(f.factory.programToYaml(p.get()), initDocument(f.table.parameters));
    EXPECT_EQ(f.factory.programToYaml(nullptr), "");
    EXPECT_EQ(log.text(), "");
    p->setValue(kWave, 0.75f);
    p->setValueType(VALUE_INITIAL);
    EXPECT_NE(f.factory.programToYaml(p.get()).find("  Wave: 0.5\n"), std::string::npos);
    p->setValueType(VALUE_CURRENT);
    EXPECT_NE(f.factory.programToYaml(p.get()).find("  Wave: 0.75\n"), std::string::npos);
}

TEST_F(presets_Document, ValuesUseSixSignificantDigitsWhateverTheLocale)
{
    auto p = f.factory.createProgram();
    p->setStoredValue(kWave, 1.0f / 3.0f);
    p->setStoredValue(kOctave, 1.0f);
    p->setStoredValue(kPan, 1e-7f);
    p->setStoredValue(kStereo, 0.1f);
    const std::string inC = f.factory.programToYaml(p.get());
    std::string text;
    std::unique_ptr<Program> back;
    {
        // A host may switch the process to a locale with a decimal comma.
        testing_support::CommaLocale comma;
        ASSERT_TRUE(comma.ok()) << "no locale with a decimal comma is installed (scripts/setup.sh makes de_DE.UTF-8)";
        text = f.factory.programToYaml(p.get());
        back = chunk(text);
    }
    EXPECT_EQ(text, inC);
    EXPECT_NE(text.find("\n  Wave: 0.333333\n"), std::string::npos);
    EXPECT_NE(text.find("\n  Octave: 1\n"), std::string::npos);
    EXPECT_NE(text.find("\n  Pan: 1e-07\n"), std::string::npos);
    EXPECT_NE(text.find("\n  Stereo: 0.1\n"), std::string::npos);
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->getValue(kWave), 1.0f / 3.0f, 1e-6);
    EXPECT_FLOAT_EQ(back->getValue(kStereo), 0.1f);
}

// Names read back as written; an 8-bit name from an old packed record or a
// host is still written (as UTF-8), or the preset could not be kept.
TEST_F(presets_Document, NamesReadBackUnchanged)
{
    const std::string names[] = {"Bass: deep",
                                 "Ärger über Öl",
                                 "# not a comment",
                                 "- dash",
                                 "'quoted'",
                                 "\"double\"",
                                 "  spaced  ",
                                 "",
                                 "yes",
                                 "123",
                                 "~",
                                 "[x]",
                                 "tab\there",
                                 "line\nbreak",
                                 "---",
                                 "...",
                                 "\xE2\x88\x9E \xF0\x9F\x8E\xB9",
                                 "Caf\xE9 \xFF\x80 ok",
                                 std::string(300, 'a') + " " + std::string(300, 'b')};
    for (const std::string& name : names) {
        auto p = f.factory.createProgram();
        p->name = name;
        p->setStoredValue(kNoise, 0.25f);
        std::string text = f.factory.programToYaml(p.get());
        auto back = chunk(text);
        ASSERT_TRUE(back) << name << "\n" << text;
        EXPECT_EQ(back->name, name[0] == 'C' ? "Caf\xC3\xA9 \xC3\xBF\xC2\x80 ok" : name);
        EXPECT_FLOAT_EQ(back->getValue(kNoise), 0.25f);
    }
    auto p = f.factory.createProgram();
    p->name = "Bass: deep";
    EXPECT_NE(f.factory.programToYaml(p.get()).find("name: 'Bass: deep'\n"), std::string::npos);
    EXPECT_EQ(log.text(), "");
}

// Another product, version or format, hand-edited flow styles and comments,
// a second document, texts that are no number (0; a date's year is a number,
// then limited), UTF-16 with its byte order mark, an enormous value and an
// enormous number of unknown entries all read.
TEST_F(presets_Document, OddButReadableDocuments)
{
    auto p = chunk("---\nPreset:\n  product: Something\n  version: 7\n  format: 2\n  name: X\nParams:\n  Wave: 0.25\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "X");
    EXPECT_FLOAT_EQ(p->getValue(kWave), 0.25f);
    EXPECT_TRUE(p->readOnly) << "programs from the host chunk are project presets";
    EXPECT_TRUE(p->filePath.empty());
    EXPECT_FALSE(f.factory.readOnlyMode()) << "the mode is restored after the chunk";

    p = chunk(
        "# my preset\n--- # start\nPreset: {product: Ondrel, version: \"0.9.8\", format: 1,\n"
        "  name: \"Hand made\"}\nParams: {Wave: 0.2, \"Noise\": '0.4'}  # done\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Hand made");
    EXPECT_FLOAT_EQ(p->getValue(kNoise), 0.4f);
    p = chunk(presetDocument("  Wave: 0.3\n") + "---\nPreset: nothing\n");
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->getValue(kWave), 0.3f);
    EXPECT_EQ(log.text(), "");

    const std::string good = presetDocument("  Wave: 0.25\n  Noise: 0.5\n", "Good");
    p = file("a.yaml", good);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->filePath, folder.path() + "a.yaml");
    EXPECT_FALSE(p->readOnly);
    p = file("bool.yaml", presetDocument("  Wave: true\n  Noise: 2024-01-01\n"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->getValue(kWave), 0.0f);
    EXPECT_EQ(p->getValue(kNoise), 1.0f);
    std::string utf16 = "\xFF\xFE";
    for (char c : good) utf16 += std::string(1, c) + '\0';
    p = file("utf16.yaml", utf16);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Good");

    std::string huge = good;
    huge.insert(huge.find("0.25"), std::string(10 << 20, '7'));
    log.clear();
    p = file("huge.yaml", huge);
    ASSERT_TRUE(p) << log.text().substr(0, 300);
    EXPECT_EQ(p->getValue(kWave), 1.0f);
    EXPECT_LT(log.text().size(), 400u) << "a diagnostic never copies the whole value";
    std::string many = good;
    for (int i = 0; many.size() < (10u << 20); ++i) many += "  Unknown" + std::to_string(i) + ": 1\n";
    p = file("many.yaml", many);
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->getValue(kNoise), 0.5f);

    // The bytes of a chunk need no terminating zero: one cut out of a larger buffer.
    const std::string padded = good + "  Pan: 0.9\n";
    p = f.factory.parseProgramChunk(padded.data(), good.size());
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->getValue(kPan), 0.5f);
}

// Each refused document from memory and from a file, with its diagnostic
// ("%s" stands for the source: "host chunk" or the file's path): the log
// begins with `begins` and ends with `ends`, or is exactly `begins`
// (`whole`). No program is left behind, and a good document reads after all.
TEST_F(presets_Document, RefusedDocumentsAreReportedWithSourceAndPosition)
{
    const std::string where = "Preset format error in %s near file offset ";
    const std::string preamble = "    Preset preamble parsing failed\n";
    const std::string pairs = "    Expected more key / value pairs or mapping end\n";
    const std::string noPreset = "Could not parse preset in chunk\n";
    const std::string head = "---\nPreset:\n  product: Ondrel\n  version: 0.9.8\n  format: 1\n";
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise) c = (char)(random() & 0xFF);
    std::string block = "  Wave: ";
    for (int i = 0; i < 2000; ++i)
        block += "\n" + std::string((size_t)(4 + 2 * i), ' ') + "k" + std::to_string(i) + ":";
    const std::string good = presetDocument("  Wave: 0.25\n  Noise: 0.5\n", "Good");
    const struct {
        std::string text, begins, ends;
        bool whole = false;
    } cases[] = {
        // The preamble's keys must be exactly the four, in order.
        {"---\nPreset:\n  version: 1\n  product: Ondrel\n  format: 1\n  name: X\nParams:\n  Wave: 0.2\n", where,
         preamble},
        {head + "  extra: 1\n  name: X\nParams:\n  Wave: 0.2\n", where, preamble},
        {head + "  name: X\n  extra: 1\nParams:\n  Wave: 0.2\n", where, preamble},
        {"---\npreset:\n  product: Ondrel\n  version: 1\n  format: 1\n  name: X\nParams:\n  Wave: 0.2\n", where,
         preamble},
        {head + "  name: X\nparams:\n  Wave: 0.2\n", where, preamble},
        {"---\nPreset:\n  product: [Ondrel]\n  version: 1\n  format: 1\n  name: X\nParams:\n  Wave: 0.2\n", where,
         preamble},
        {head + "  name: {first: a}\nParams:\n  Wave: 1\n", where, preamble},
        {head + "  name: X\n", where, preamble},
        {head + "Params:\n  Wave: 1\n", where, preamble},
        {head + "  name: Bad\nParams: [0.5, 0.5]\n", where, preamble},
        {"---\nParams:\n  Wave: 1\n", where, preamble},
        {"--- [1, 2]\n", where, preamble},
        {"--- just text\n", where, preamble},
        {"", where, preamble},
        {"\n\n   \n# nothing\n", where, preamble},
        {"---\nPreset:\n  product: Ondrel\n  version: 1\n  color: red\n", where + "51, line 5, col 9:\n" + preamble, "",
         true},
        // No parameter entry is no preset.
        {presetDocument("  name: Renamed\n"), noPreset, "", true},
        {head + "  name: X\nParams: {}\n", noPreset, "", true},
        // Params holds scalar pairs only (however deep the nesting), and ends the document.
        {presetDocument("  Wave: [0.5]\n"), where, pairs},
        {presetDocument("  Wave:\n    - 0.5\n"), where, pairs},
        {presetDocument("  Wave: {a: 1}\n"), where, pairs},
        {presetDocument("  Wave: &a 0.5\n  Noise: *a\n"), where, pairs},
        {presetDocument("  Wave: 0.5\nExtra: 1\n"), where, pairs},
        {presetDocument(block + " 1\n"), where, pairs},
        {presetDocument("  Wave: " + std::string(200000, '[') + std::string(200000, ']') + "\n"), where, pairs},
        {std::string(100000, '[') + "\n", where, preamble},
        {"---\n" + std::string(10 << 20, 'z') + ": [\n", where, preamble},
        // Malformed YAML and bytes that are no text.
        {presetDocument("  Wave: 0.3\n  Noise: \"unterminated\n"), "Parser error #", "\n"},
        {"---\nPreset:\n\tproduct: x\n",
         "Parser error #3 in %s near file offset 12, line 3, col 1:\n"
         "    found character that cannot start any token\n"
         "    while scanning for the next token\n",
         "", true},
        {head + "  name: Caf\xE9\nParams:\n  Wave: 1\n", "Parser error #2 in %s near file offset 71", "\n"},
        {noise, "Parser error #", "\n"},
        {std::string(100, '\0'), "Parser error #", "\n"},
        {good.substr(0, 40) + std::string(1, '\0') + good.substr(40), "Parser error #", "\n"},
    };
    auto kept = f.factory.createProgram();
    for (const auto& c : cases) {
        for (const bool fromFile : {false, true}) {
            log.clear();
            std::string begins = c.begins;
            const size_t at = begins.find("%s");
            if (at != std::string::npos) begins.replace(at, 2, fromFile ? folder.path() + "bad.yaml" : "host chunk");
            EXPECT_FALSE(fromFile ? file("bad.yaml", c.text) : chunk(c.text)) << c.text.substr(0, 300);
            const std::string got = log.text();
            if (c.whole) {
                EXPECT_EQ(got, begins) << c.text.substr(0, 300);
            } else {
                EXPECT_EQ(got.rfind(begins, 0), 0u) << c.text.substr(0, 300) << "\n" << got;
                EXPECT_TRUE(got.size() >= c.ends.size() &&
                            got.compare(got.size() - c.ends.size(), c.ends.size(), c.ends) == 0)
                    << c.text.substr(0, 300) << "\n"
                    << got;
            }
            EXPECT_TRUE(f.factory.currentProgram() == nullptr || f.factory.currentProgram() == kept.get())
                << "no dangling program after a failed read";
        }
    }

    // Files that cannot be opened (a folder among them, on every system alike),
    // and one far beyond any preset, refused before reading.
    EXPECT_FALSE(f.factory.parseProgramChunk(nullptr, 100));
    log.clear();
    for (const std::string& path : {folder.path() + "missing.yaml", folder.path()}) {
        log.clear();
        EXPECT_FALSE(f.factory.loadProgramFile(path));
        EXPECT_EQ(log.text(), "Failed to open preset file " + path + "\n");
    }
    const std::string enormous = folder.write("enormous.yaml", good);
    std::filesystem::resize_file(enormous, 70 << 20);  // sparse on disk
    log.clear();
    EXPECT_FALSE(f.factory.loadProgramFile(enormous));
    EXPECT_EQ(log.text(), "Preset file " + enormous + " is too large (" + std::to_string(70 << 20) + " bytes)\n");

    ASSERT_TRUE(chunk(good));
    EXPECT_EQ(file("good.yaml", good)->name, "Good");
}

// Entries read like the standard conversion; unknown keys are skipped and
// still count as entries; later entries win; values outside 0..1 are
// limited (NaN takes the default) and reported.
TEST_F(presets_Document, EntriesReadLikeTheStandardConversion)
{
    auto p =
        chunk(presetDocument("  Wave: loud\n  Octave: '  0.25'\n  Decay1: 5e-1\n  Sustain1: 0.75dB\n  Release1: ''\n"
                             "  Repeat: 0x1p-2\n  Stereo: +0.125\n  Pan: .5\n  Volume: 0.9\n  Noise: 0.1\n"
                             "  name: Second\n  Noise: 0.3\n",
                             "First"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Second");
    const std::pair<int, float> expected[] = {{kWave, 0.0f},      {kOctave, 0.25f},  {kDecay1, 0.5f},
                                              {kSustain1, 0.75f}, {kRelease1, 0.0f}, {kRepeat, 0.25f},
                                              {kStereo, 0.125f},  {kPan, 0.5f},      {kNoise, 0.3f}};
    for (const auto& [index, value] : expected) EXPECT_FLOAT_EQ(p->getValue(index), value) << index;

    auto only = chunk(presetDocument("  Volume: 0.9\n"));
    ASSERT_TRUE(only);
    for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(only->getValue(i), f.table.parameters.defaultValue(i));

    p =
        chunk(presetDocument("  Wave: 1.5\n  Octave: -3\n  Noise: nan\n  Pan: inf\n  Stereo: -infinity\n"
                             "  Gain_out: 1e999\n  Decay1: 1\n"));
    ASSERT_TRUE(p);
    const std::pair<int, float> limited[] = {{kWave, 1.0f},   {kOctave, 0.0f},   {kNoise, 0.0f}, {kPan, 1.0f},
                                             {kStereo, 0.0f}, {kGain_out, 1.0f}, {kDecay1, 1.0f}};
    for (const auto& [index, value] : limited) EXPECT_EQ(p->getValue(index), value) << index;
    EXPECT_NE(log.text().find("Preset value 1.5 of Wave in host chunk is outside 0..1, using 1\n"), std::string::npos);
    EXPECT_NE(log.text().find("Preset value nan of Noise in host chunk is outside 0..1, using 0\n"), std::string::npos);
    EXPECT_EQ(log.text().find("Decay1"), std::string::npos) << "1 is inside the range";
}
