#include <gtest/gtest.h>

#include "tests/engine/EngineRig.h"

using namespace enginetest;

TEST(EngineFrame, SilentWithoutNotesAndSoundsWithANote)
{
    Rig rig;
    Audio quiet = rig.render(4096);
    EXPECT_LT(peak(quiet.left), 1e-6);
    rig.noteOn(69);
    Audio a = rig.render(44100);
    EXPECT_TRUE(allFinite(a.left));
    EXPECT_TRUE(allFinite(a.right));
    EXPECT_GT(rms(a.left, 22050), 0.01);
    EXPECT_GT(rms(a.right, 22050), 0.01);
}
