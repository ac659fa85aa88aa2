// Names, labels and display texts of the 43 parameters as a host reads them.
#include "tests/support/CommaLocale.h"
#include "tests/support/TestSupport.h"
#include "source/engine/ParameterIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace testing_support;

namespace {

// The indices whose value has no display text: the host's buffer stays as it was.
const int kUntouched[] = {1, 2, 4, 5, 6, 7, 8, 10, 11, 15, 19, 23, 25, 26, 28, 29, 30, 31, 32, 33, 39, 41, 42};

class ParameterTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = startedHost();
        ASSERT_TRUE(host);
    }
    std::string display(int index, float value)
    {
        host->setParameter(index, value);
        return host->parameterDisplay(index, "keep");
    }
    std::unique_ptr<PluginHost> host;
};

// Each kind of display text at its ends and where its rounding turns: the
// wave ratio, cents and hertz, percentages and counts, modulation speeds and
// ranges, equalizer frequencies and depth, the output gain in decibels (with
// its floor and the sign of a level just below 0 dB).
TEST_F(ParameterTexts, DisplayTextsOfEachKind)
{
    struct Case {
        int index;
        float value;
        const char* text;
    };
    const Case cases[] = {{kWave, 0.0f, "1"},
                          {kWave, 0.1249f, "1"},
                          {kWave, 0.125f, "2"},
                          {kWave, 0.25f, "2"},
                          {kWave, 0.5f, "3"},
                          {kWave, 1.0f, "5"},
                          {kMastertuning, 0.0f, "-250 380.84"},
                          {kMastertuning, 0.25f, "-125 409.35"},
                          {kMastertuning, 0.5f, "0 440.00"},
                          {kMastertuning, 1.0f, "+250 508.36"},
                          {kVelosens, 0.5f, "64"},
                          {kVelosens, 0.0f, "0"},
                          {kVelosens, 1.0f, "127"},
                          {kStereo, 0.5f, "50"},
                          {kFdBkAmount, 0.5f, "50"},
                          {kFdBkAmount, 1.0f, "100"},
                          {kStereo, 0.004f, "0"},
                          {kStereo, 0.006f, "1"},
                          {kEQHPHz, 0.0f, "20.00"},
                          {kEQHPHz, 1.0f, "1600.00"},
                          {kEQLPHz, 0.0f, "1580.00"},
                          {kEQLPHz, 1.0f, "20000.00"},
                          {kEQBRHz, 0.5f, "774.60"},
                          {kEQBRHz, 1.0f, "12000.00"},
                          {kEQBRBW, 0.0f, "10.00"},
                          {kEQBRBW, 1.0f, "6800.00"},
                          {kEQBRGain, 0.0f, "-98.0 dB"},
                          {kEQBRGain, 0.5f, "-6.0 dB"},
                          {kEQBRGain, 1.0f, "0.0 dB"},
                          {kGain_out, 1.0f, "+11.4"},
                          {kGain_out, 0.5f, "-0.7"},
                          {kGain_out, 0.1f, "-28.6"},
                          {kGain_out, 0.0f, "-\xE2\x88\x9E"},
                          {kGain_out, 5e-4f, "-\xE2\x88\x9E"},
                          {kGain_out, 1e-3f, "-108.6"},
                          {kGain_out, 0.519f, "-0.0"}};
    for (const Case& c : cases) EXPECT_EQ(display(c.index, c.value), c.text) << c.index << " at " << c.value;
    for (int speed : {kSpeed1, kSpeed2, kSpeed3}) {
        EXPECT_EQ(display(speed, 0.5f), "6.0");
        EXPECT_EQ(display(speed, 1.0f), "12.0");
        EXPECT_EQ(display(speed + 1, 1.0f), "10.0") << "range " << speed + 1;
        EXPECT_EQ(display(speed + 1, 0.0f), "0.0") << "range " << speed + 1;
    }
}

TEST_F(ParameterTexts, LagFollowsTheMemorySwitch)
{
    host->setParameter(kMemory, 0.5f);
    EXPECT_EQ(display(kLag1, 0.5f), "125.0");
    EXPECT_EQ(display(kLag2, 1.0f), "250.0");
    host->setParameter(kMemory, 0.4999f);
    EXPECT_EQ(display(kLag1, 0.5f), "-12");
    EXPECT_EQ(display(kLag3, 1.0f), "-24");
    EXPECT_EQ(display(kLag3, 0.0f), "-0");
}

// Every text fits the host's 12 bytes; switches and unlabelled controls
// leave the host's buffer as it was.
TEST_F(ParameterTexts, EveryTextFitsTwelveBytesOrLeavesTheBuffer)
{
    for (int i = 0; i < 43; ++i) {
        EXPECT_LT(host->parameterName(i).size(), 24u);
        const bool untouched = std::find(std::begin(kUntouched), std::end(kUntouched), i) != std::end(kUntouched);
        for (int step = 0; step <= 100; ++step) {
            std::string text = display(i, step / 100.0f);
            EXPECT_LE(text.size() + 1, 12u) << "parameter " << i << " at " << step / 100.0f << ": " << text;
            if (untouched) EXPECT_EQ(text, "keep") << "parameter " << i << " at " << step / 100.0f;
        }
    }
}

// Hosts set LC_NUMERIC from the user's environment; the texts (and the chunk)
// stay those of the C locale.
TEST_F(ParameterTexts, TextsAreTheSameInACommaLocale)
{
    auto allTexts = [&] {
        std::vector<std::string> texts;
        for (float memory : {0.0f, 1.0f}) {
            host->setParameter(kMemory, memory);
            for (int i = 0; i < 43; ++i)
                for (int step = 0; step <= 40; ++step) texts.push_back(display(i, step / 40.0f));
        }
        const std::vector<uint8_t> chunk = host->getChunk();
        texts.push_back(std::string(chunk.begin(), chunk.end()));
        return texts;
    };
    const std::vector<std::string> inC = allTexts();
    std::vector<std::string> inComma;
    {
        CommaLocale comma;
        ASSERT_TRUE(comma.ok()) << "no locale with a decimal comma is installed (scripts/setup.sh makes de_DE.UTF-8)";
        inComma = allTexts();
    }
    ASSERT_EQ(inComma.size(), inC.size());
    for (size_t k = 0; k < inC.size(); ++k) EXPECT_EQ(inComma[k], inC[k]) << k;
}

TEST_F(ParameterTexts, IndicesOutsideTheTableGiveEmptyTexts)
{
    for (int i : {-1, 43, 1000, -100000}) {
        EXPECT_EQ(host->parameterName(i), "") << i;
        EXPECT_EQ(host->parameterLabel(i), "") << i;
        EXPECT_EQ(host->parameterDisplay(i, "keep"), "") << i;
        host->setParameter(i, 0.7f);
        EXPECT_EQ(host->getParameter(i), 0.0f);
    }
    for (int i = 0; i < 43; ++i) EXPECT_GE(host->getParameter(i), 0.0f);
}

}  // namespace
