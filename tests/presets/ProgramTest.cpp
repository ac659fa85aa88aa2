// Programs (stored and edited values, modified flag, compare) and the
// factory's core (defaults, keys, read-only mode).
#include "PresetTestSupport.h"

#include "Frameworks/PresetManager/Program.h"
#include "platform/Assert.h"

#include <gtest/gtest.h>

using namespace presets_test;

namespace {

std::vector<std::string> g_assertions;
void recordAssertion(const char*, int, const char* expression) { g_assertions.push_back(expression); }

}  // namespace

// An edit away from the stored value marks the program, and stays marked
// back at the stored value; revert and commit clear the mark. Comparing shows
// the stored values while edits go to the current set; a copy's sets are its own.
TEST(presets_Program, ModifiedRevertCommitAndCompare)
{
    Program p(43, false);
    for (int i = 0; i < 43; ++i) p.setStoredValue(i, 0.5f);
    p.setValue(3, 0.5f);
    EXPECT_FALSE(p.modified);
    p.setValue(3, 0.75f);
    EXPECT_TRUE(p.modified);
    p.setValue(3, 0.5f);
    EXPECT_TRUE(p.modified);
    EXPECT_FLOAT_EQ(p.getValue(3), 0.5f);
    p.setValue(0, 0.1f);
    p.setValue(42, 0.9f);
    p.revert();
    EXPECT_FALSE(p.modified);
    for (int i = 0; i < 43; ++i) EXPECT_FLOAT_EQ(p.currentValue(i), p.initialValue(i));

    p.setValue(7, 0.3f);
    p.commit();
    EXPECT_FALSE(p.modified);
    EXPECT_FLOAT_EQ(p.initialValue(7), 0.3f);

    // Comparing shows the stored values while edits go to the current set.
    p.setStoredValue(5, 0.2f);
    p.setValue(5, 0.8f);
    p.setValueType(VALUE_INITIAL);
    EXPECT_FALSE(p.isShowingCurrent());
    EXPECT_FLOAT_EQ(p.getValue(5), 0.2f);
    p.setValue(5, 0.6f);  // an edit while comparing
    EXPECT_FLOAT_EQ(p.getValue(5), 0.2f);
    p.setValueType(VALUE_CURRENT);
    EXPECT_FLOAT_EQ(p.getValue(5), 0.6f);

    p.setValueType(VALUE_INITIAL);
    Program copy(p);
    EXPECT_FALSE(copy.isShowingCurrent());
    EXPECT_FLOAT_EQ(copy.getValue(5), 0.2f);
    copy.setValueType(VALUE_CURRENT);
    EXPECT_TRUE(p.getValue(5) == 0.2f) << "the copy's set is its own";
}

TEST(presets_Program, BadValueTypeAndIndexAreReportedAndHarmless)
{
    g_assertions.clear();
    Platform::setAssertionRecorder(recordAssertion);
    Program p(43, false);
    p.setValueType(7);
    EXPECT_TRUE(p.isShowingCurrent());
    p.setValue(43, 1.0f);
    p.setValue(-1, 1.0f);
    EXPECT_FALSE(p.modified);
    EXPECT_EQ(p.getValue(99), 0.0f);
    Platform::setAssertionRecorder(nullptr);
    ASSERT_FALSE(g_assertions.empty());
    EXPECT_EQ(g_assertions[0], "valueType == VALUE_INITIAL || valueType == VALUE_CURRENT");
}

// A new program takes the factory's read-only mode and becomes the one that
// parameter keys set (its defaults are presets_Document's); keys are exact.
TEST(presets_ProgramFactory, NewProgramsTakeTheModeAndParameterKeysAreExact)
{
    FactoryFixture f;
    f.factory.setReadOnlyMode(true);
    auto p = f.factory.createProgram();
    EXPECT_TRUE(p->readOnly);
    EXPECT_FALSE(p->modified);
    EXPECT_EQ(f.factory.currentProgram(), p.get());
    EXPECT_TRUE(f.factory.setParameterByName("FdBkAmount", 0.125f));
    EXPECT_FLOAT_EQ(p->initialValue(kFdBkAmount), 0.125f);
    EXPECT_FLOAT_EQ(p->currentValue(kFdBkAmount), 0.125f);
    EXPECT_FALSE(f.factory.setParameterByName("fdbkamount", 0.9f));
    EXPECT_FALSE(f.factory.setParameterByName("Wave ", 0.9f));
    EXPECT_FLOAT_EQ(p->getValue(kWave), 0.5f);
    EXPECT_EQ(f.factory.indexOfKey("Noise"), kNoise);
    EXPECT_EQ(f.factory.indexOfKey("name"), -1);
    f.factory.setReadOnlyMode(false);
    EXPECT_FALSE(f.factory.createProgram()->readOnly);
}
