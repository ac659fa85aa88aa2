// The preset document: what the writer produces and what the reader accepts,
// with the exact diagnostics.
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/Program.h"
#include "tests/support/CommaLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace presets_test;

namespace {

class presets_Document : public ::testing::Test {
protected:
    FactoryFixture f;
    LogCapture log;

    std::unique_ptr<Program> chunk(const std::string& text)
    {
        return f.factory.parseProgramChunk(text.data(), text.size());
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

// Names read back as written; 8-bit names from an old packed record or a host
// are still written (as UTF-8), or the preset could not be kept.
TEST_F(presets_Document, NamesReadBackUnchanged)
{
    const std::pair<std::string, std::string> names[] = {{"Bass: deep", ""},
                                                         {"Ärger über Öl", ""},
                                                         {"# not a comment", ""},
                                                         {"- dash", ""},
                                                         {"'quoted'", ""},
                                                         {"\"double\"", ""},
                                                         {"  spaced  ", ""},
                                                         {"", ""},
                                                         {"yes", ""},
                                                         {"123", ""},
                                                         {"~", ""},
                                                         {"[x]", ""},
                                                         {"tab\there", ""},
                                                         {"line\nbreak", ""},
                                                         {std::string(300, 'a') + " " + std::string(300, 'b'), ""},
                                                         {"\xE2\x88\x9E \xF0\x9F\x8E\xB9", ""},
                                                         {"---", ""},
                                                         {"...", ""},
                                                         {"Caf\xE9 \xFF\x80 ok", "Caf\xC3\xA9 \xC3\xBF\xC2\x80 ok"}};
    for (const auto& [name, utf8] : names) {
        auto p = f.factory.createProgram();
        p->name = name;
        p->setStoredValue(kNoise, 0.25f);
        std::string text = f.factory.programToYaml(p.get());
        ASSERT_FALSE(text.empty()) << name;
        auto back = chunk(text);
        ASSERT_TRUE(back) << name << "\n" << text;
        EXPECT_EQ(back->name, utf8.empty() ? name : utf8);
        EXPECT_FLOAT_EQ(back->getValue(kNoise), 0.25f);
    }
    auto p = f.factory.createProgram();
    p->name = "Bass: deep";
    EXPECT_NE(f.factory.programToYaml(p.get()).find("name: 'Bass: deep'\n"), std::string::npos);
    EXPECT_EQ(log.text(), "");
}

TEST_F(presets_Document, OtherProductVersionOrFormatIsRead)
{
    auto p = chunk("---\nPreset:\n  product: Something\n  version: 7\n  format: 2\n  name: X\nParams:\n  Wave: 0.25\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "X");
    EXPECT_FLOAT_EQ(p->getValue(kWave), 0.25f);
    EXPECT_TRUE(p->readOnly) << "programs from the host chunk are project presets";
    EXPECT_TRUE(p->filePath.empty());
    EXPECT_FALSE(f.factory.readOnlyMode()) << "the mode is restored after the chunk";
}

// Each refused document with its diagnostic: the log begins with `begins`
// and ends with `ends`, or is exactly `begins` when `ends` is empty.
TEST_F(presets_Document, RefusedDocumentsAreReportedWithSourceAndPosition)
{
    const std::string where = "Preset format error in host chunk near file offset ";
    const std::string preamble = "    Preset preamble parsing failed\n";
    const std::string pairs = "    Expected more key / value pairs or mapping end\n";
    const std::string noPreset = "Could not parse preset in chunk\n";
    const struct {
        std::string text, begins, ends;
    } cases[] = {
        // The preamble's keys must be exactly the four, in order.
        {"---\nPreset:\n  version: 1\n  product: Ondrel\n  format: 1\n  name: X\nParams:\n  Wave: 0.2\n", where,
         preamble},
        {"---\nPreset:\n  product: Ondrel\n  version: 1\n  format: 1\n  extra: 1\n  name: X\nParams:\n  Wave: 0.2\n",
         where, preamble},
        {"---\nPreset:\n  product: Ondrel\n  version: 1\n  format: 1\n  name: X\n  extra: 1\nParams:\n  Wave: 0.2\n",
         where, preamble},
        {"---\npreset:\n  product: Ondrel\n  version: 1\n  format: 1\n  name: X\nParams:\n  Wave: 0.2\n", where,
         preamble},
        {"---\nPreset:\n  product: Ondrel\n  version: 1\n  format: 1\n  name: X\nparams:\n  Wave: 0.2\n", where,
         preamble},
        {"---\nPreset:\n  product: [Ondrel]\n  version: 1\n  format: 1\n  name: X\nParams:\n  Wave: 0.2\n", where,
         preamble},
        {"--- [1, 2]\n", where, preamble},
        {"", where, preamble},
        {"---\nPreset:\n  product: Ondrel\n  version: 1\n  color: red\n", where + "51, line 5, col 9:\n" + preamble,
         ""},
        // No parameter entry is no preset.
        {document("  name: Renamed\n"), noPreset, ""},
        {"---\nPreset:\n  product: Ondrel\n  version: 1\n  format: 1\n  name: X\nParams: {}\n", noPreset, ""},
        // Params holds scalar pairs only, and ends the document.
        {document("  Wave: [0.5]\n"), where, pairs},
        {document("  Wave: {a: 1}\n"), where, pairs},
        {document("  Wave: &a 0.5\n  Noise: *a\n"), where, pairs},
        {document("  Wave: 0.5\nExtra: 1\n"), where, pairs},
        // Malformed YAML is a parser error.
        {document("  Wave: 0.3\n  Noise: \"unterminated\n"), "Parser error #", "\n"},
        {"---\nPreset:\n\tproduct: x\n",
         "Parser error #3 in host chunk near file offset 12, line 3, col 1:\n"
         "    found character that cannot start any token\n"
         "    while scanning for the next token\n",
         ""},
    };
    for (const auto& c : cases) {
        log.clear();
        EXPECT_FALSE(chunk(c.text)) << c.text;
        const std::string got = log.text();
        if (c.ends.empty()) {
            EXPECT_EQ(got, c.begins) << c.text;
        } else {
            EXPECT_EQ(got.rfind(c.begins, 0), 0u) << c.text << "\n" << got;
            EXPECT_TRUE(got.size() >= c.ends.size() &&
                        got.compare(got.size() - c.ends.size(), c.ends.size(), c.ends) == 0)
                << c.text << "\n"
                << got;
        }
    }
    log.clear();
    chunk(document("  Wave: 0.3\n  Noise: \"unterminated\n"));
    EXPECT_NE(log.text().find(" in host chunk near file offset "), std::string::npos);
}

// Entries read like the standard conversion; unknown keys are skipped and
// still count as entries; later entries win.
TEST_F(presets_Document, EntriesReadLikeTheStandardConversion)
{
    auto p =
        chunk(document("  Wave: loud\n  Octave: '  0.25'\n  Decay1: 5e-1\n  Sustain1: 0.75dB\n  Release1: ''\n"
                       "  Repeat: 0x1p-2\n  Stereo: +0.125\n  Pan: .5\n  Volume: 0.9\n  Noise: 0.1\n"
                       "  name: Second\n  Noise: 0.3\n",
                       "First"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Second");
    const std::pair<int, float> expected[] = {{kWave, 0.0f},      {kOctave, 0.25f},  {kDecay1, 0.5f},
                                              {kSustain1, 0.75f}, {kRelease1, 0.0f}, {kRepeat, 0.25f},
                                              {kStereo, 0.125f},  {kPan, 0.5f},      {kNoise, 0.3f}};
    for (const auto& [index, value] : expected) EXPECT_FLOAT_EQ(p->getValue(index), value) << index;

    auto only = chunk(document("  Volume: 0.9\n"));
    ASSERT_TRUE(only);
    for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(only->getValue(i), f.table.parameters.defaultValue(i));
}

TEST_F(presets_Document, ValuesOutsideTheRangeAreBroughtBackAndReported)
{
    auto p =
        chunk(document("  Wave: 1.5\n  Octave: -3\n  Noise: nan\n  Pan: inf\n  Stereo: -infinity\n"
                       "  Gain_out: 1e999\n  Decay1: 1\n"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->getValue(kWave), 1.0f);
    EXPECT_EQ(p->getValue(kOctave), 0.0f);
    EXPECT_EQ(p->getValue(kNoise), 0.0f) << "NaN takes the default";
    EXPECT_EQ(p->getValue(kPan), 1.0f);
    EXPECT_EQ(p->getValue(kStereo), 0.0f);
    EXPECT_EQ(p->getValue(kGain_out), 1.0f);
    EXPECT_EQ(p->getValue(kDecay1), 1.0f);
    EXPECT_NE(log.text().find("Preset value 1.5 of Wave in host chunk is outside 0..1, using 1\n"), std::string::npos);
    EXPECT_NE(log.text().find("Preset value nan of Noise in host chunk is outside 0..1, using 0\n"), std::string::npos);
    EXPECT_EQ(log.text().find("Decay1"), std::string::npos) << "1 is inside the range";
}

TEST_F(presets_Document, HandEditedStylesAndASecondDocumentAreAccepted)
{
    auto p = chunk(
        "# my preset\n--- # start\nPreset: {product: Ondrel, version: \"0.9.8\", format: 1,\n"
        "  name: \"Hand made\"}\nParams: {Wave: 0.2, \"Noise\": '0.4'}  # done\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Hand made");
    EXPECT_FLOAT_EQ(p->getValue(kNoise), 0.4f);
    // A document end is always there; a second document is ignored.
    p = chunk(document("  Wave: 0.3\n") + "---\nPreset: nothing\n");
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->getValue(kWave), 0.3f);
    EXPECT_EQ(log.text(), "");
}

TEST_F(presets_Document, FilesRememberTheirPathAndDiagnosticsNameIt)
{
    ScratchFolder folder;
    std::string path = folder.write("a.yaml", document("  Wave: 0.7\n"));
    auto p = f.factory.loadProgramFile(path);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->filePath, path);
    EXPECT_FALSE(p->readOnly);
    log.clear();
    EXPECT_FALSE(f.factory.loadProgramFile(folder.path() + "missing.yaml"));
    EXPECT_EQ(log.text(), "Failed to open preset file " + folder.path() + "missing.yaml\n");
    // A folder is no preset file, on every system alike.
    log.clear();
    EXPECT_FALSE(f.factory.loadProgramFile(folder.path()));
    EXPECT_EQ(log.text(), "Failed to open preset file " + folder.path() + "\n");
    log.clear();
    path = folder.write("b.yaml", document("  Wave: 0.7\nMore: 1\n"));
    EXPECT_FALSE(f.factory.loadProgramFile(path));
    EXPECT_EQ(log.text().rfind("Preset format error in " + path + " near file offset ", 0), 0u) << log.text();
}

TEST_F(presets_Document, PackedRecordsReadNameAndFloats)
{
    unsigned char record[24 + 4 * 43] = {};
    std::memcpy(record, "Old Bass", 8);
    for (int i = 0; i < 43; ++i) {
        float v = (float)i / 42.0f;
        std::memcpy(record + 24 + 4 * i, &v, 4);
    }
    std::unique_ptr<Program> p;
    EXPECT_EQ(f.factory.readPackedProgram(record, sizeof record, p), 196u);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Old Bass");
    EXPECT_FLOAT_EQ(p->getValue(42), 1.0f);
    EXPECT_FLOAT_EQ(p->initialValue(21), 0.5f);

    std::memset(record, 'x', 24);  // a name filling the whole field
    EXPECT_EQ(f.factory.readPackedProgram(record, sizeof record, p), 196u);
    EXPECT_EQ(p->name, std::string(24, 'x'));
    EXPECT_EQ(f.factory.readPackedProgram(record, sizeof record - 1, p), 0u);
    EXPECT_FALSE(p);
}
