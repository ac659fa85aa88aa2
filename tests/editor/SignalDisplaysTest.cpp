// The signal display views on their own, in a headless frame: the scope's
// unrolling, trigger and zoom slider, the meters' clamping, holders and
// reset clicks.
#include "tests/toolkit/ToolkitTestSupport.h"

#include "editor/SignalDisplays.h"

#include <cmath>
#include <vector>

namespace {

TEST(SignalDisplays, ScopeUnrollsTheRingTriggersOnARisingZeroAndZoomsOnItsTrack)
{
    HeadlessEditor editor(893, 200);
    auto* scope = editor.add(new CStereoWavsView(CRect(10, 10, 199, 110), nullptr, 7, 4096));
    EXPECT_EQ(scope->getTag(), CStereoWavsView::kScopeTag);
    std::vector<std::atomic<float>> ring(4096);
    for (int i = 0; i < 4096; ++i) ring[i] = (float)i;
    scope->copyFromEngine(ring.data(), 0);
    EXPECT_TRUE(std::equal(ring.begin(), ring.end(), scope->getSamples().begin()));
    scope->copyFromEngine(ring.data(), 4095);
    EXPECT_EQ(scope->getSamples()[0], 4095.0f);
    EXPECT_EQ(scope->getSamples()[1], 0.0f);
    EXPECT_EQ(scope->getTriggerIndex(), 0) << "no crossing";
    for (int i = 0; i < 4096; ++i) ring[i] = std::sin(0.05f * (i + 20));  // starts above zero
    scope->copyFromEngine(ring.data(), 0);
    const int t = scope->getTriggerIndex();
    EXPECT_LT(ring[t], 0.0f);
    EXPECT_GT(ring[t + 2], 0.0f);
    EXPECT_LT(t, 130);

    // The zoom follows the left button on its track.
    const CRect track = scope->zoomTrackFor();
    const CPoint middle = track.getCenter();
    editor.down(middle, kRButton);
    editor.up(middle, kRButton);
    EXPECT_FLOAT_EQ(scope->getZoom(), 0.5f);
    editor.drag(middle, -200, 0);
    EXPECT_FLOAT_EQ(scope->getZoom(), 0.0f);
    editor.drag(middle, 200, 0);
    EXPECT_FLOAT_EQ(scope->getZoom(), 1.0f);
    editor.move(middle, 0);
    EXPECT_TRUE(scope->isZoomHover());
    // The handle covers the track up to the zoom, lit while the mouse is over it.
    const CColor lit = editor.pixel(track.right - 2, middle.y);
    EXPECT_GT(lit.green, lit.red + 40);
    editor.drag(middle, -200, 0);
    editor.move(CPoint(0, 0), 0);
    const CColor bare = editor.pixel(track.right - 2, middle.y);
    EXPECT_EQ(bare.green, bare.red);
}

TEST(SignalDisplays, MetersClampRiseFallAndHoldUntilALeftClick)
{
    HeadlessEditor editor(893, 200);
    auto* meters = editor.add(new CStereoPeaksView(CRect(818, 68, 838, 168)));
    meters->setInput(0.5f, 1.7f);  // the editor hands in magnitudes
    meters->setDirty();
    const PeakColours colours;
    EXPECT_COLOUR(editor.pixel(820, 140), colours.level);  // left bar half lit
    EXPECT_COLOUR(editor.pixel(820, 110), colours.barFill);
    EXPECT_COLOUR(editor.pixel(836, 75), colours.level);  // right bar full
    EXPECT_COLOUR(editor.pixel(834, meters->getHoldRight()), colours.holderNearFull);
    EXPECT_FLOAT_EQ(meters->getShownLeft(), 0.5f);
    meters->setInput(0, 0);
    meters->setDirty();
    editor.idleFrame();
    EXPECT_FLOAT_EQ(meters->getShownLeft(), 0.4f) << "falls a tenth per drawing";
    const double held = meters->getHoldRight();
    editor.click(CPoint(828, 100), kRButton);
    EXPECT_EQ(meters->getHoldRight(), held);
    editor.click(CPoint(828, 100), kLButton | kControl);
    EXPECT_EQ(meters->getHoldRight(), 166);
}

}  // namespace
