// The host's program and state chunk: the current preset's name and values,
// chunks in YAML and in the old packed form, and what bad chunks leave behind.
#include "tests/support/TestSupport.h"
#include "source/engine/ParameterIndex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace testing_support;

namespace {

std::vector<float> valuesOf(PluginHost& host)
{
    std::vector<float> v;
    for (int i = 0; i < 43; ++i) v.push_back(host.getParameter(i));
    return v;
}

std::vector<uint8_t> packedChunk(size_t records, const char* nameAt12)
{
    std::vector<uint8_t> chunk(1548 + records * 196, 0);
    std::strcpy(reinterpret_cast<char*>(chunk.data()) + 12, nameAt12);
    for (size_t r = 0; r < records; ++r) {
        uint8_t* record = chunk.data() + 1548 + r * 196;
        std::string name = "Old " + std::to_string(r);
        std::memcpy(record, name.c_str(), name.size() + 1);
        for (int i = 0; i < 43; ++i) {
            float v = 0.1f + 0.01f * (float)i;
            std::memcpy(record + 24 + 4 * i, &v, 4);
        }
    }
    return chunk;
}

class Programs : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = startedHost();
        ASSERT_TRUE(host);
    }
    std::unique_ptr<PluginHost> host;
};

TEST_F(Programs, ChunkCarriesTheProgramToAFreshInstance)
{
    for (int i = 0; i < 43; ++i) host->setParameter(i, std::fmod(0.137f * (float)(i + 1), 1.0f));
    host->setParameter(kDecay1, 0.333333f);
    std::vector<uint8_t> chunk = host->getChunk();
    ASSERT_GE(chunk.size(), 3u);
    EXPECT_EQ(std::string(chunk.begin(), chunk.begin() + 3), "---");

    auto other = startedHost();
    ASSERT_TRUE(other);
    EXPECT_EQ(other->setChunk(chunk.data(), chunk.size()), 1);
    EXPECT_EQ(other->programName(), host->programName());
    auto a = valuesOf(*host), b = valuesOf(*other);
    for (int i = 0; i < 43; ++i) EXPECT_NEAR(b[i], a[i], 1e-6 + 1e-5 * std::fabs(a[i])) << i;

    // The copy is a program of its own: the same bytes come back out.
    std::vector<uint8_t> again = other->getChunk();
    EXPECT_EQ(std::string(again.begin(), again.end()), std::string(chunk.begin(), chunk.end()));
}

// Refused chunks, and a packed bank (taken: it adds programs), leave the
// current program's name and values as they were.
TEST_F(Programs, RefusedChunksAndPackedBanksKeepTheCurrentProgram)
{
    host->setParameter(kVelosens, 0.2f);
    const std::string name = host->programName();
    const auto before = valuesOf(*host);
    auto unchanged = [&](const char* what) {
        EXPECT_EQ(host->programName(), name) << what;
        EXPECT_EQ(valuesOf(*host), before) << what;
    };

    std::string noParams = "---\nPreset:\n  product: Ondrel\n  name: Empty\n";
    EXPECT_EQ(host->setChunk(noParams.data(), noParams.size()), 0);
    unchanged("a document without parameters");

    // A chunk cut short (a host or a disk that lost its end) is refused
    // rather than taken with the missing values at their defaults.
    const std::vector<uint8_t> whole = host->getChunk();
    const std::string text(whole.begin(), whole.end());
    for (const char* end : {"Params:\n  Wave:", "\n  Speed2: ", "\n  Noise: "}) {
        const size_t cut = text.find(end) + std::strlen(end);
        EXPECT_EQ(host->setChunk(whole.data(), cut), 0) << end;
        unchanged(end);
    }
    EXPECT_EQ(host->setChunk(whole.data(), whole.size() - 2), 0);
    unchanged("a chunk without its last digit");

    std::string garbage = "\x01\x02 not a preset at all \xff\xfe";
    EXPECT_EQ(host->setChunk(garbage.data(), garbage.size()), 0);
    unchanged("garbage");

    auto packed = packedChunk(2, "Wave");
    EXPECT_EQ(host->setChunk(packed.data(), packed.size(), true), 0);
    unchanged("a packed chunk offered as one program");
    EXPECT_EQ(host->setChunk(packed.data(), packed.size()), 1);
    unchanged("a packed bank");

    std::vector<uint8_t> huge(40u << 20, ' ');
    std::memcpy(huge.data(), "---\n", 4);
    EXPECT_EQ(host->setChunk(huge.data(), huge.size()), 0);
    unchanged("40 MB");
}

TEST_F(Programs, ProgramNames)
{
    const std::string name = host->programName();
    EXPECT_FALSE(name.empty());
    char indexed[64] = {};
    EXPECT_EQ(host->dispatch(effGetProgramNameIndexed, 5, 3, indexed), 1);
    EXPECT_EQ(std::string(indexed), name);

    char renamed[25] = "Evening Drone";
    host->dispatch(effSetProgramName, 0, 0, renamed);
    EXPECT_EQ(host->programName(), "Evening Drone");

    char tooLong[64];
    std::memset(tooLong, 'n', sizeof tooLong);  // no terminator at all
    host->dispatch(effSetProgramName, 0, 0, tooLong);
    std::string shown = host->programName();
    EXPECT_LE(shown.size(), 23u);
    EXPECT_EQ(shown, std::string(shown.size(), 'n'));
}

}  // namespace
