// Programs from the host's state chunk: YAML chunks, old packed chunks, and
// chunks that must be refused without changing anything.
#include "PresetTestSupport.h"

#include <cstring>
#include <limits>

using namespace presets_test;

namespace {

class presets_HostChunk : public LibraryTest {
protected:
    presets_HostChunk()
    {
        data.write("Presets/Factory/Keys/Piano.yaml", initDocument(f.table.parameters, "Piano"));
        start();
    }

    void expectUnchanged(Program* current, size_t programs)
    {
        EXPECT_EQ(manager.getCurrentProgram(), current);
        EXPECT_EQ(manager.getAllPrograms().size(), programs);
        EXPECT_EQ(manager.getCurrentProgramName(), "Piano");
    }
};

}  // namespace

// The current program's chunk comes back as a read-only project preset with
// its name and values, selected in the last category. Hosts hand the chunk
// back at every project load, undo and preset recall: the library must not
// grow with each call (it held every chunk before, and each call re-sorted
// the whole category).
TEST_F(presets_HostChunk, ChunksComeBackAsProjectPresetsReusedWhenRepeated)
{
    Program* piano = manager.getCurrentProgram();
    for (int i = 0; i < kNumParameters; ++i) piano->setValue(i, (float)i / 43.0f + 0.001f);
    const std::string chunk = manager.currentProgramToYaml();
    Program* first = manager.loadProgramsFromChunk(chunk.data(), chunk.size());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, "Piano");
    EXPECT_EQ(first->category, kProject);
    EXPECT_TRUE(first->readOnly);
    EXPECT_EQ(manager.getCategoryNames().back(), kProject);
    EXPECT_EQ(manager.getCurrentCategoryIndex(), (int)manager.getCategoryCount() - 1);
    for (int i = 0; i < kNumParameters; ++i)
        EXPECT_NEAR(first->getValue(i), piano->getValue(i), 5e-6f * piano->getValue(i)) << i;
    EXPECT_EQ(manager.loadProgramsFromChunk(chunk.data(), chunk.size()), first) << "the same chunk again";
    EXPECT_EQ(manager.loadHostChunk(chunk.data(), chunk.size(), true), PresetManager::ChunkResult::ProgramLoaded)
        << "a single-preset chunk is taken like a whole state";
    EXPECT_EQ(manager.getProgramsOfCategory(kProject).size(), 1u);

    // An undo history: each chunk differs, each replaces the current project preset.
    std::string last;
    for (int i = 0; i < 2000; ++i) {
        first->setValue(i % 43, (float)(i % 997) / 997.0f);
        last = manager.currentProgramToYaml();
        ASSERT_EQ(manager.loadHostChunk(last.data(), last.size(), false), PresetManager::ChunkResult::ProgramLoaded);
    }
    EXPECT_EQ(manager.getAllPrograms().size(), 2u);
    EXPECT_EQ(manager.getCurrentProgram(), first);
    EXPECT_EQ(manager.currentProgramToYaml(), last);
    EXPECT_FALSE(first->modified);

    // Another preset chosen in the tool bar: the next chunk is a project preset of its own.
    manager.selectProgram(0, 0);
    ASSERT_EQ(manager.getCurrentProgram(), piano);
    piano->setValue(kNoise, 0.75f);
    const std::string other = manager.currentProgramToYaml();
    Program* second = manager.loadProgramsFromChunk(other.data(), other.size());
    EXPECT_NE(second, first);
    EXPECT_EQ(manager.getProgramsOfCategory(kProject).size(), 2u);
    // A chunk equal to a listed project preset takes that one again, without its later edits.
    first->setValue(kWave, 0.01f);
    manager.selectProgram(0, 0);
    EXPECT_EQ(manager.loadProgramsFromChunk(last.data(), last.size()), first);
    EXPECT_EQ(manager.currentProgramToYaml(), last);
    EXPECT_EQ(manager.getAllPrograms().size(), 3u);
    EXPECT_EQ(manager.getCurrentCategoryIndex(), (int)manager.getCategoryCount() - 1);
    EXPECT_EQ(manager.getProgramsOfCategory(kProject)[(size_t)manager.getCurrentProgramIndex()], first);

    // The same old packed chunk restored twice adds its programs once.
    auto packed = packedChunk(3);
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(manager.loadHostChunk(packed.data(), packed.size(), false),
                  PresetManager::ChunkResult::PackedProgramsLoaded);
    EXPECT_EQ(manager.getAllPrograms().size(), 6u);
}

// A chunk that Ondrel wrote comes back whole or is refused: every prefix of
// one, and chunks of no bytes or of sizes that cannot be, are refused and
// leave the current program as it was (documents the reader refuses are
// presets_Document's, random bytes the host-chunk fuzzer's). Before, a chunk
// ending at "Params:\n  Wave:" was taken with the other values at defaults.
TEST_F(presets_HostChunk, ChunksCutShortAreRefused)
{
    Program* piano = manager.getCurrentProgram();
    for (int i = 0; i < kNumParameters; ++i) piano->setValue(i, (float)i / 43.0f + 0.001f);
    const std::string chunk = manager.currentProgramToYaml();
    for (size_t length = 1; length < chunk.size(); ++length) {
        log.clear();
        ASSERT_EQ(manager.loadHostChunk(chunk.data(), length, false), PresetManager::ChunkResult::Refused)
            << chunk.substr(0, length);
        ASSERT_EQ(manager.getCurrentProgram(), piano);
        ASSERT_TRUE(length < 3 || !log.text().empty()) << "a refused document says why: " << chunk.substr(0, length);
    }
    // No bytes, no size, or a size the host got wrong (a negative 32-bit size).
    EXPECT_EQ(manager.loadHostChunk(nullptr, 0, false), PresetManager::ChunkResult::Refused);
    EXPECT_EQ(manager.loadHostChunk(nullptr, 4000, false), PresetManager::ChunkResult::Refused);
    EXPECT_EQ(manager.loadHostChunk(chunk.data(), 0, false), PresetManager::ChunkResult::Refused);
    EXPECT_EQ(manager.loadHostChunk(chunk.data(), (size_t)-200, false), PresetManager::ChunkResult::Refused);
    EXPECT_EQ(manager.loadHostChunk(chunk.data(), (size_t)1 << 31, false), PresetManager::ChunkResult::Refused);
    EXPECT_EQ(manager.loadProgramsFromChunk(nullptr, 10), nullptr);
    EXPECT_EQ(manager.loadProgramsFromChunk(chunk.data(), (size_t)-1), nullptr);
    EXPECT_EQ(manager.loadPackedPrograms(nullptr, 1000), 0u);
    expectUnchanged(piano, 1);
    EXPECT_EQ(manager.currentProgramToYaml(), chunk);

    // A line lost in the middle; a value with nothing after it.
    std::string gap = chunk;
    const size_t line = gap.find("\n  Speed2:");
    ASSERT_NE(line, std::string::npos);
    gap.erase(line, gap.find('\n', line + 1) - line);
    log.clear();
    EXPECT_EQ(manager.loadHostChunk(gap.data(), gap.size(), true), PresetManager::ChunkResult::Refused);
    EXPECT_TRUE(log.contains("    Parameter Speed2 is missing\n")) << log.text();
    EXPECT_EQ(manager.loadHostChunk(chunk.data(), chunk.size(), false), PresetManager::ChunkResult::ProgramLoaded);
}

// Old packed chunks add their whole records as programs under no category,
// without selecting one; a name filling its whole field, an 8-bit name and
// values outside the range are kept (NaN takes the default, others are
// limited). Chunks of another layout are refused and change nothing.
TEST_F(presets_HostChunk, PackedChunksAddProgramsWithoutSelecting)
{
    Program* current = manager.getCurrentProgram();
    auto bytes = packedChunk(2);
    EXPECT_EQ(manager.loadHostChunk(bytes.data(), bytes.size(), false),
              PresetManager::ChunkResult::PackedProgramsLoaded);
    ASSERT_EQ(manager.getAllPrograms().size(), 3u);
    EXPECT_EQ(manager.getCurrentProgram(), current);
    const Program& old = *manager.getAllPrograms()[2];
    EXPECT_EQ(old.name, "Old 1");
    EXPECT_TRUE(old.category.empty());
    EXPECT_FLOAT_EQ(old.getValue(42), 0.43f);
    EXPECT_FLOAT_EQ(old.initialValue(21), 0.22f);
    EXPECT_EQ(manager.getCategoryCount(), 1u) << "filed under no category";

    std::memset(&bytes[1548], 'x', 24);
    EXPECT_EQ(manager.loadPackedPrograms(&bytes[1548], 196), 1u);
    EXPECT_EQ(manager.getAllPrograms().back()->name, std::string(24, 'x'));
    std::memcpy(&bytes[1548], "Caf\xE9\0", 5);
    const float nan = std::numeric_limits<float>::quiet_NaN(), big = 7.0f;
    std::memcpy(&bytes[1548 + 24], &nan, 4);
    std::memcpy(&bytes[1548 + 28], &big, 4);
    manager.loadPackedPrograms(&bytes[1548], 196);
    const Program& limited = *manager.getAllPrograms().back();
    EXPECT_FALSE(manager.programToYaml(&limited).empty()) << "an 8-bit name is written all the same";
    EXPECT_FLOAT_EQ(limited.getValue(kWave), 0.5f);
    EXPECT_FLOAT_EQ(limited.getValue(kHarmonics), 1.0f);
    EXPECT_EQ(manager.getAllPrograms().size(), 5u);

    auto header = packedChunk(0);
    EXPECT_EQ(manager.loadHostChunk(header.data(), header.size(), false),
              PresetManager::ChunkResult::PackedProgramsLoaded);
    auto partial = packedChunk(3);
    partial.resize(partial.size() + 100);
    EXPECT_EQ(manager.loadHostChunk(partial.data(), partial.size(), false),
              PresetManager::ChunkResult::PackedProgramsLoaded);
    EXPECT_EQ(manager.getAllPrograms().size(), 6u) << "only whole records, and only new ones";
    EXPECT_EQ(manager.loadPackedPrograms(&bytes[1548], 195), 0u);

    auto other = packedChunk(2, "Harmonics");
    EXPECT_EQ(manager.loadHostChunk(other.data(), other.size(), false), PresetManager::ChunkResult::Refused);
    auto asPreset = packedChunk(2);
    EXPECT_EQ(manager.loadHostChunk(asPreset.data(), asPreset.size(), true), PresetManager::ChunkResult::Refused);
    auto shortChunk = packedChunk(0);
    shortChunk.resize(1547);
    EXPECT_EQ(manager.loadHostChunk(shortChunk.data(), shortChunk.size(), false), PresetManager::ChunkResult::Refused);
    // A header without the terminating zero of its name.
    std::vector<unsigned char> unterminated(1548 + 196, 'W');
    EXPECT_EQ(manager.loadHostChunk(unterminated.data(), unterminated.size(), false),
              PresetManager::ChunkResult::Refused);
    expectUnchanged(current, 6);
}
