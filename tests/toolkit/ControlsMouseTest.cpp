// Mouse gestures on each control: the values they reach and the begin/end
// pairs the host sees.

#include "ToolkitTestSupport.h"

#include "editor/controls/KnobFlatOrvel.h"
#include "editor/controls/MultiSwitch.h"
#include "editor/controls/SimpleOnOff.h"
#include "editor/controls/SliderFlat.h"
#include "editor/controls/SliderNano.h"

namespace {

class ControlsMouse : public ::testing::Test {
protected:
    void SetUp() override { GUIEditor::setGlobalKnobMode(kLinearMode); }
    void TearDown() override { GUIEditor::setGlobalKnobMode(kCircularMode); }

    CKnobFlatOrvel* knob(int32_t mode, float value, int32_t tag = 7)
    {
        auto* k = editor.add(new CKnobFlatOrvel(CRect(100, 50, 154, 104), &listener, tag, mode));
        k->setValue(value);
        return k;
    }
    void forget()
    {
        editor.host.clear();
        listener = RecordingListener();
    }
    // One begin and one end for `tag`, in that order, and nothing else.
    void expectOnePair(int32_t tag)
    {
        ASSERT_EQ(editor.host.events.size(), 2u);
        EXPECT_EQ(editor.host.events[0], "begin " + std::to_string(tag));
        EXPECT_EQ(editor.host.events[1], "end " + std::to_string(tag));
        EXPECT_EQ(listener.begins, 1);
        EXPECT_EQ(listener.ends, 1);
    }

    FakeClock clock;
    HeadlessEditor editor;
    RecordingListener listener;
    const CPoint centre{127, 77};
};

TEST_F(ControlsMouse, KnobLinearDragFollowsPixelsAndCtrlClickSetsTheDefault)
{
    CKnobFlatOrvel* k = knob(1, 0.2f);
    editor.drag(centre, 0, -100);
    EXPECT_NEAR(k->getValue(), 0.7f, 1e-5);
    expectOnePair(7);
    EXPECT_FLOAT_EQ(listener.values.back(), k->getValue());

    // Right counts like up, and a diagonal counts twice.
    k->setValue(0.2f);
    editor.drag(centre, 10, -10);
    EXPECT_NEAR(k->getValue(), 0.3f, 1e-5);
    // Clamped at both ends.
    editor.drag(centre, 0, 400);
    EXPECT_EQ(k->getValue(), 0.f);

    // Ctrl: the default, without a drag.
    forget();
    k->setDefaultValue(0.27027026f);
    editor.drag(centre, 0, -50, kLButton | kControl);
    EXPECT_FLOAT_EQ(k->getValue(), 0.27027026f);
    expectOnePair(7);
    EXPECT_EQ(listener.values.size(), 1u);
}

TEST_F(ControlsMouse, KnobShiftDragIsFinerAndDoesNotJump)
{
    CKnobFlatOrvel* k = knob(1, 0.2f);
    editor.drag(centre, 0, -100, kLButton | kShift);
    EXPECT_NEAR(k->getValue(), 0.2f + 100.f / 520.f, 1e-5);  // about 0.39

    // Shift pressed halfway: no jump, the rest is fine.
    k->setValue(0.2f);
    editor.down(centre);
    editor.move(CPoint(centre.x, centre.y - 50));
    EXPECT_NEAR(k->getValue(), 0.45f, 1e-5);
    editor.move(CPoint(centre.x, centre.y - 51), kLButton | kShift);
    EXPECT_NEAR(k->getValue(), 0.45f + 1.f / 520.f, 1e-5);
    editor.move(CPoint(centre.x, centre.y - 100), kLButton | kShift);
    EXPECT_NEAR(k->getValue(), 0.45f + 50.f / 520.f, 1e-5);
    // Releasing Shift again continues at normal speed from there.
    editor.move(CPoint(centre.x, centre.y - 110));
    EXPECT_NEAR(k->getValue(), 0.45f + 50.f / 520.f + 10.f / 200.f, 1e-5);
    editor.up(CPoint(centre.x, centre.y - 110));
}

TEST_F(ControlsMouse, SteppedKnobClicksCycleThroughPositions)
{
    CKnobFlatOrvel* k = knob(5, 0.75f, 0);
    editor.click(centre);
    EXPECT_FLOAT_EQ(k->getValue(), 1.f);
    expectOnePair(0);
    editor.click(centre);
    EXPECT_FLOAT_EQ(k->getValue(), 0.f);
    editor.click(centre, kRButton);
    EXPECT_FLOAT_EQ(k->getValue(), 1.f);
    editor.click(centre, kRButton);
    EXPECT_FLOAT_EQ(k->getValue(), 0.75f);
    // A drag does not move a stepped knob.
    editor.drag(centre, 0, -100);
    EXPECT_FLOAT_EQ(k->getValue(), 1.f);
    EXPECT_EQ(editor.host.begins, editor.host.ends);
}

// Circular: the angle gives the value; Alt selects the other mode.
TEST_F(ControlsMouse, KnobCircularDragFollowsTheAngleAndAltSelectsTheOtherMode)
{
    CKnobFlatOrvel* k = knob(1, 0.1f);
    editor.down(CPoint(127, 52), kLButton | kAlt);
    EXPECT_FALSE(k->isLinearDrag());
    editor.up(CPoint(127, 52), kLButton | kAlt);
    GUIEditor::setGlobalKnobMode(kCircularMode);
    editor.down(centre, kLButton | kAlt);
    EXPECT_TRUE(k->isLinearDrag());
    editor.up(centre, kLButton | kAlt);
    forget();

    k->setValue(0.1f);
    // A press at the top of the knob is the middle of the range.
    editor.down(CPoint(127, 52));
    EXPECT_NEAR(k->getValue(), 0.5f, 0.01);
    EXPECT_FALSE(k->isLinearDrag());
    // Right of the centre: 3/4 of the way (0° is 225° − 0.75 × 270°).
    editor.move(CPoint(150, 77));
    EXPECT_NEAR(k->getValue(), 0.8333f, 0.01);
    // Lower right end, then through the dead zone to the lower left: the
    // jump over half the range is refused and the value stays at the maximum.
    editor.move(CPoint(145, 95));
    EXPECT_NEAR(k->getValue(), 1.f, 0.01);
    editor.move(CPoint(109, 95));
    EXPECT_FLOAT_EQ(k->getValue(), 1.f);
    editor.up(CPoint(109, 95));
    expectOnePair(7);
}

TEST_F(ControlsMouse, KnobHoverWheelAndInactiveState)
{
    CKnobFlatOrvel* k = knob(1, 0.4f);
    editor.move(centre, 0);
    EXPECT_TRUE(k->isHover());
    editor.move(CPoint(10, 10), 0);
    EXPECT_FALSE(k->isHover());
    // The wheel does nothing to knobs.
    editor.frame()->platformOnWheel(centre, kMouseWheelAxisY, 1.f, CButtonState());
    EXPECT_FLOAT_EQ(k->getValue(), 0.4f);
    // An inactive knob ignores clicks.
    k->setActive(false);
    editor.drag(centre, 0, -50);
    EXPECT_FLOAT_EQ(k->getValue(), 0.4f);
    EXPECT_TRUE(editor.host.events.empty());
    EXPECT_TRUE(listener.values.empty());
}

TEST_F(ControlsMouse, BoxSliderSpeedsUpAwayFromTheBoxShiftCtrlAndWheel)
{
    // A 19-pixel box: press in its middle, move above its top edge.
    auto* s = editor.add(new CSliderFlat(CRect(300, 100, 377, 119), &listener, 3, 0, 77, 0x4002));
    s->setValue(0.5f);
    const CPoint press(338, 109);
    editor.down(press);
    EXPECT_EQ(editor.window()->getCursor(), kCursorVSize);
    editor.move(CPoint(338, 90));  // 10 above the top
    EXPECT_NEAR(s->getValue(), 0.501f, 1e-5);
    editor.move(CPoint(338, 0));  // 100 above: beyond 1.4 box heights, ten times faster
    EXPECT_NEAR(s->getValue(), 0.6f, 1e-5);
    editor.move(CPoint(358, 0));  // 20 to the side adds 0.1
    EXPECT_NEAR(s->getValue(), 0.7f, 1e-5);
    editor.move(CPoint(338, 129));  // 10 below the bottom
    EXPECT_NEAR(s->getValue(), 0.499f, 1e-5);
    editor.up(CPoint(338, 129));
    EXPECT_EQ(editor.window()->getCursor(), kCursorDefault);
    expectOnePair(3);

    s->setValue(0.5f);
    editor.down(press, kLButton | kShift);
    editor.move(CPoint(338, 0), kLButton | kShift);
    EXPECT_NEAR(s->getValue(), 0.5f + 0.1f / 10.2f, 1e-5);
    editor.up(CPoint(338, 0));

    s->setDefaultValue(1.f);
    editor.click(press, kLButton | kControl);
    EXPECT_FLOAT_EQ(s->getValue(), 1.f);
    EXPECT_EQ(editor.window()->getCursor(), kCursorDefault);

    editor.host.clear();
    s->setValue(0.5f);
    editor.frame()->platformOnWheel(press, kMouseWheelAxisY, -1.f, CButtonState());
    EXPECT_NEAR(s->getValue(), 0.4f, 1e-5);
    editor.frame()->platformOnWheel(press, kMouseWheelAxisY, 1.f, CButtonState(kShift));
    EXPECT_NEAR(s->getValue(), 0.41f, 1e-5);
    EXPECT_EQ(editor.host.begins, 2);
    EXPECT_EQ(editor.host.ends, 2);
}

TEST_F(ControlsMouse, NanoSlidersFollowTheHandle)
{
    // Vertical, maximum at the top: 19 wide, 122 high, travel 103.
    auto* s = editor.add(new CSliderNano(CRect(401, 20, 420, 142), &listener, 4, 0, 103, 0x42));
    s->setValue(0.5f);
    const CRect handle = s->getHandleSquare();
    const CPoint grab = handle.getCenter();
    editor.drag(grab, 0, -20);
    EXPECT_NEAR(s->getValue(), 0.5f + 20.f / 103.f, 1e-4);
    expectOnePair(4);

    // Shift: ten times finer.
    s->setValue(0.5f);
    editor.drag(s->getHandleSquare().getCenter(), 0, -20, kLButton | kShift);
    EXPECT_NEAR(s->getValue(), 0.5f + 2.f / 103.f, 1e-4);

    // A press beside the handle brings the handle there.
    editor.click(CPoint(410, 20 + 9.5));
    EXPECT_NEAR(s->getValue(), 1.f, 1e-4);

    // Ctrl-click: default; wheel steps by 0.1.
    editor.click(CPoint(410, 100), kLButton | kControl);
    EXPECT_FLOAT_EQ(s->getValue(), 0.5f);
    editor.frame()->platformOnWheel(CPoint(410, 100), kMouseWheelAxisY, 1.f, CButtonState());
    EXPECT_NEAR(s->getValue(), 0.6f, 1e-5);

    // Horizontal: the maximum at the right.
    auto* h = editor.add(new CSliderNano(CRect(780, 75, 862, 89), &listener, 31, 0, 68, 9));
    h->setValue(0.f);
    editor.click(CPoint(860, 82));
    EXPECT_NEAR(h->getValue(), 1.f, 1e-4);
    h->setValue(0.5f);
    editor.drag(h->getHandleSquare().getCenter(), 34, 0);
    EXPECT_NEAR(h->getValue(), 1.f, 1e-4);
}

TEST_F(ControlsMouse, MultiSwitchSelectsTheSegmentUnderTheMouse)
{
    auto* two = editor.add(new CMultiSwitch(CRect(12, 20, 96, 39), &listener, 25, 2));
    editor.click(CPoint(80, 30));
    EXPECT_FLOAT_EQ(two->getValue(), 1.f);
    expectOnePair(25);
    editor.click(CPoint(20, 30));
    EXPECT_FLOAT_EQ(two->getValue(), 0.f);

    auto* three = editor.add(new CMultiSwitch(CRect(162, 20, 250, 39), &listener, 2, 3));
    editor.click(CPoint(206, 30));
    EXPECT_FLOAT_EQ(three->getValue(), 0.5f);
    editor.click(CPoint(249, 30));
    EXPECT_FLOAT_EQ(three->getValue(), 1.f);
    // Other buttons are not handled.
    editor.click(CPoint(170, 30), kRButton);
    EXPECT_FLOAT_EQ(three->getValue(), 1.f);
}

TEST_F(ControlsMouse, SingleSegmentAndOnOffToggleOnEveryClickDoubleClicksIncluded)
{
    auto* memory = editor.add(new CMultiSwitch(CRect(98, 120, 166, 139), &listener, 26, 1));
    auto* onOff = editor.add(new CSimpleOnOff(CRect(188, 129, 207, 148), &listener, 10));
    editor.click(CPoint(130, 130));
    EXPECT_FLOAT_EQ(memory->getValue(), 1.f);
    // A double click is two presses, the second marked as a double click.
    editor.down(CPoint(130, 130));
    EXPECT_TRUE(editor.frame()->lastMouseButtons().isDoubleClick());
    editor.up(CPoint(130, 130));
    EXPECT_FLOAT_EQ(memory->getValue(), 0.f);

    clock.advance(1000);
    editor.host.clear();
    editor.click(CPoint(195, 135));
    EXPECT_FLOAT_EQ(onOff->getValue(), 1.f);
    editor.click(CPoint(195, 135));
    EXPECT_FLOAT_EQ(onOff->getValue(), 0.f);
    EXPECT_EQ(editor.host.events, (std::vector<std::string>{"begin 10", "end 10", "begin 10", "end 10"}));
}

}  // namespace
