// Preset files and chunks that are damaged or hostile: each is refused with
// a diagnostic, and the reader keeps working afterwards.
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/Program.h"

#include <gtest/gtest.h>

#include <random>

using namespace presets_test;

namespace {

class presets_BadInput : public ::testing::Test {
protected:
    FactoryFixture f;
    LogCapture log;
    ScratchFolder folder;

    static std::string good() { return document("  Wave: 0.25\n  Noise: 0.5\n", "Good"); }

    // After any failure a good document still reads.
    void expectStillWorking()
    {
        std::string text = good();
        auto p = f.factory.parseProgramChunk(text.data(), text.size());
        ASSERT_TRUE(p);
        EXPECT_FLOAT_EQ(p->getValue(kWave), 0.25f);
        auto q = f.factory.loadProgramFile(folder.write("good.yaml", text));
        ASSERT_TRUE(q);
        EXPECT_EQ(q->name, "Good");
    }

    void expectRefusedFile(const std::string& name, const std::string& content)
    {
        log.clear();
        std::string path = folder.write(name, content);
        auto kept = f.factory.createProgram();
        EXPECT_FALSE(f.factory.loadProgramFile(path)) << name;
        EXPECT_NE(log.text().find(path), std::string::npos) << name << ": " << log.text().substr(0, 300);
        EXPECT_TRUE(f.factory.currentProgram() == nullptr || f.factory.currentProgram() == kept.get())
            << "no dangling program after a failed read";
        expectStillWorking();
    }
};

}  // namespace

TEST_F(presets_BadInput, TruncatedFilesAtEveryLength)
{
    const std::string text = good();
    for (size_t n = 0; n < text.size(); ++n) {
        log.clear();
        std::string path = folder.write("t.yaml", text.substr(0, n));
        auto p = f.factory.loadProgramFile(path);
        // A cut inside the preamble or before the first value cannot read;
        // a cut later may still make a complete document.
        if (p)
            EXPECT_GT(n, text.find("Wave:")) << n;
        else
            EXPECT_FALSE(log.text().empty()) << n;
    }
    expectStillWorking();
}

// Each damaged file is refused with a diagnostic naming it (and this piece
// of the reason where one is given), and the reader keeps working.
TEST_F(presets_BadInput, DamagedFilesAreRefused)
{
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise) c = (char)(random() & 0xFF);
    const std::string deep = "  Wave: ";
    std::string block;
    for (int i = 0; i < 2000; ++i)
        block += "\n" + std::string((size_t)(4 + 2 * i), ' ') + "k" + std::to_string(i) + ":";
    const std::string preamble = "---\nPreset:\n  product: Ondrel\n  version: 0.9.8\n  format: 1\n";
    const struct {
        const char* name;
        std::string content, reason;
    } files[] = {
        {"empty.yaml", "", "Preset preamble parsing failed"},
        {"blank.yaml", "\n\n   \n# nothing\n", ""},
        {"noise.yaml", noise, "Parser error #"},
        {"zeros.yaml", std::string(100, '\0'), ""},
        {"nul-inside.yaml", good().substr(0, 40) + std::string(1, '\0') + good().substr(40), ""},
        {"seq.yaml", document("  Wave:\n    - 0.5\n"), "Expected more key / value pairs or mapping end"},
        {"map.yaml", document("  Wave: {x: 1}\n"), ""},
        {"params-seq.yaml", preamble + "  name: Bad\nParams: [0.5, 0.5]\n", ""},
        {"name-map.yaml", preamble + "  name: {first: a}\nParams:\n  Wave: 1\n", ""},
        {"no-params.yaml", preamble + "  name: X\n", ""},
        {"no-name.yaml", preamble + "Params:\n  Wave: 1\n", ""},
        {"no-preset.yaml", "---\nParams:\n  Wave: 1\n", ""},
        {"scalar.yaml", "--- just text\n", ""},
        {"deep-flow.yaml", document(deep + std::string(200000, '[') + std::string(200000, ']') + "\n"), ""},
        {"deep-block.yaml", document(deep + block + " 1\n"), ""},
        {"deep-top.yaml", std::string(100000, '[') + "\n", ""},
        {"latin1.yaml", preamble + "  name: Caf\xE9\nParams:\n  Wave: 1\n", "Parser error #"},
        {"garbage.yaml", "---\n" + std::string(10 << 20, 'z') + ": [\n", ""},
    };
    for (const auto& file : files) {
        expectRefusedFile(file.name, file.content);
        EXPECT_NE(log.text().find(file.reason), std::string::npos) << file.name << ": " << log.text().substr(0, 300);
    }
}

TEST_F(presets_BadInput, TenMegabyteFiles)
{
    // One enormous value, and an enormous number of unknown entries.
    std::string huge = good();
    huge.insert(huge.find("0.25"), std::string(10 << 20, '7'));
    log.clear();
    auto p = f.factory.loadProgramFile(folder.write("huge.yaml", huge));
    ASSERT_TRUE(p) << log.text().substr(0, 300);
    EXPECT_EQ(p->getValue(kWave), 1.0f);
    EXPECT_LT(log.text().size(), 400u) << "a diagnostic never copies the whole value";

    std::string many = good();
    std::string filler;
    for (int i = 0; filler.size() < (10u << 20); ++i) filler += "  Unknown" + std::to_string(i) + ": 1\n";
    many += filler;
    p = f.factory.loadProgramFile(folder.write("many.yaml", many));
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->getValue(kNoise), 0.5f);

    // Far beyond any preset: refused before reading.
    log.clear();
    std::string enormous = good() + "  Pad: '" + std::string(70 << 20, ' ') + "'\n";
    const std::string enormousPath = folder.write("enormous.yaml", enormous);
    const std::string enormousSize = std::to_string(enormous.size());
    enormous.clear();
    EXPECT_FALSE(f.factory.loadProgramFile(enormousPath));
    EXPECT_EQ(log.text(), "Preset file " + enormousPath + " is too large (" + enormousSize + " bytes)\n");
}

// Texts that are no number read as 0 (a date's year as a number, then
// limited); UTF-16 with its byte order mark is an encoding the parser reads.
TEST_F(presets_BadInput, OddButReadableFiles)
{
    auto p = f.factory.loadProgramFile(folder.write("bool.yaml", document("  Wave: true\n  Noise: 2024-01-01\n")));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->getValue(kWave), 0.0f);
    EXPECT_EQ(p->getValue(kNoise), 1.0f);
    std::string text = good(), utf16 = "\xFF\xFE";
    for (char c : text) {
        utf16 += c;
        utf16 += '\0';
    }
    p = f.factory.loadProgramFile(folder.write("utf16.yaml", utf16));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Good");
}

TEST_F(presets_BadInput, ChunksFromMemory)
{
    EXPECT_FALSE(f.factory.parseProgramChunk(nullptr, 0));
    EXPECT_FALSE(f.factory.parseProgramChunk(nullptr, 100));
    const std::string text = good();
    EXPECT_FALSE(f.factory.parseProgramChunk(text.data(), 0));
    // The bytes need no terminating zero: a chunk cut out of a larger buffer.
    std::string padded = text + "  Pan: 0.9\n";
    auto p = f.factory.parseProgramChunk(padded.data(), text.size());
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->getValue(kPan), 0.5f);
    expectStillWorking();
}
