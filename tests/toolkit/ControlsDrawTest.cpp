// Each control drawn headless in its states, with pixels at chosen points.

#include "ToolkitTestSupport.h"

#include <cmath>

#include "editor/controls/KnobFlatOrvel.h"
#include "editor/controls/MultiSwitch.h"
#include "editor/controls/SimpleLabel.h"
#include "editor/controls/SimpleOnOff.h"
#include "editor/controls/SliderFlat.h"
#include "editor/controls/SliderNano.h"

namespace {

const CColor kBodyFill(122, 122, 122);
const CColor kBodyFrame(32, 32, 32);
const CColor kRing(186, 186, 186);
const CColor kPointer(215, 215, 255);
const CColor kGrey115(115, 115, 115);

// Pixel at distance r from the knob centre (127, 77) towards value v.
CPoint knobPoint(float v, double r)
{
    const double angle = 3.9269907 - v * 4.712389;
    return CPoint(127 + r * std::cos(angle), 77 - r * std::sin(angle));
}

class ControlsDraw : public ::testing::Test {
protected:
    CKnobFlatOrvel* knob(int32_t mode, float value, CRect r = CRect(100, 50, 154, 104))
    {
        auto* k = editor.add(new CKnobFlatOrvel(r, nullptr, 1, mode));
        k->setValue(value);
        return k;
    }
    CColor at(const CPoint& p) { return editor.pixel(p.x, p.y); }

    HeadlessEditor editor;  // 893 wide: pointers about 3.8 pixels thick
};

TEST_F(ControlsDraw, KnobShowsBodyRingAndPointerGreyWhenInactiveAndFollowsANewSize)
{
    CKnobFlatOrvel* k = knob(1, 0.75f);
    EXPECT_COLOUR(at(CPoint(127, 77)), kBodyFill);
    EXPECT_COLOUR(at(knobPoint(1.f / 6, 22.5)), kRing);       // left: below the value
    EXPECT_COLOUR(at(knobPoint(0.5f, 22.5)), kRing);          // top
    EXPECT_COLOUR(at(knobPoint(5.f / 6, 22.5)), kBodyFrame);  // right: above the value, bare rim
    EXPECT_COLOUR(at(knobPoint(0.75f, 14)), kPointer);
    EXPECT_COLOUR(at(CPoint(127, 49)), CColor(0, 0, 0));  // outside the knob
    EXPECT_COLOUR(at(CPoint(151, 77)), kBodyFrame);       // rim of the 54-pixel knob

    k->setActive(false);
    EXPECT_COLOUR(at(knobPoint(1.f / 6, 22.5)), kGrey115);
    EXPECT_COLOUR(at(knobPoint(0.75f, 14)), kGrey115);
    EXPECT_COLOUR(at(CPoint(127, 77)), kBodyFill);

    // Grown to 64 pixels around the same centre (a zoom change).
    k->setViewSize(CRect(95, 45, 159, 109));
    EXPECT_COLOUR(at(CPoint(151, 77)), kBodyFill);
    EXPECT_COLOUR(at(CPoint(156, 77)), kBodyFrame);
}

// A bipolar ring grows from the top either way; a full ring has 512 strokes
// from 52 pixels on, 128 below.
TEST_F(ControlsDraw, RingsOfBipolarKnobsAndTheirResolution)
{
    CKnobFlatOrvel* k = knob(-1, 0.5f);
    EXPECT_COLOUR(at(knobPoint(0.5f, 22.5)), kBodyFrame);
    EXPECT_COLOUR(at(knobPoint(1.f / 6, 22.5)), kBodyFrame);
    k->setValue(0.25f);
    EXPECT_COLOUR(at(knobPoint(0.375f, 22.5)), kRing);
    EXPECT_COLOUR(at(knobPoint(5.f / 6, 22.5)), kBodyFrame);
    EXPECT_EQ(k->getRingStrokeCount(), 50);

    CKnobFlatOrvel* wide = knob(1, 1.f, CRect(200, 50, 252, 102));
    CKnobFlatOrvel* narrow = knob(1, 1.f, CRect(300, 50, 351, 101));
    editor.idleFrame();
    EXPECT_EQ(wide->getRingStrokeCount(), 511);
    EXPECT_EQ(narrow->getRingStrokeCount(), 127);
}

TEST_F(ControlsDraw, SteppedKnobDrawsTicksBandAndSnaps)
{
    knob(5, 0.f);
    EXPECT_COLOUR(at(knobPoint(0.5f, 15)), kBodyFrame);  // tick at the middle position
    EXPECT_COLOUR(at(knobPoint(0.25f, 15)), kBodyFrame);
    EXPECT_COLOUR(at(knobPoint(0.05f, 21)), kRing);       // band around position 0
    EXPECT_COLOUR(at(knobPoint(0.375f, 15)), kBodyFill);  // between ticks
}

TEST_F(ControlsDraw, HoveredKnobShowsItsValueText)
{
    CKnobFlatOrvel* k = knob(1, 0.f);
    k->setText("50 %");
    EXPECT_COLOUR(at(CPoint(108, 77)), kBodyFill);
    editor.frame()->platformOnMouseMoved(CPoint(127, 77), CButtonState());
    ASSERT_TRUE(k->isHover());
    // The strip darkens the body by black at alpha 111, and carries the text.
    EXPECT_COLOUR(at(CPoint(108, 77)), CColor(69, 69, 69));
    auto isText = [](const CColor& c) { return c.blue > 200 && c.red > 150; };
    EXPECT_GT(countPixels(*editor.window(), CRect(102, 72, 152, 82), isText), 5);
    // A single blank means no strip at all.
    k->setText(" ");
    EXPECT_COLOUR(at(CPoint(108, 77)), kBodyFill);
}

TEST_F(ControlsDraw, BoxSliderDrawsBoxAndText)
{
    auto* s = editor.add(new CSliderFlat(CRect(300, 100, 377, 119), nullptr, 3, 0, 77, 0x4002));
    s->setText("440.0 Hz");
    EXPECT_COLOUR(at(CPoint(302, 102)), CColor(32, 32, 32));
    EXPECT_COLOUR(at(CPoint(300, 110)), CColor(128, 128, 128));
    EXPECT_COLOUR(at(CPoint(376, 110)), CColor(128, 128, 128));
    EXPECT_COLOUR(at(CPoint(338, 118)), CColor(128, 128, 128));
    const CRect inside(301, 101, 376, 118);
    auto isWhite = [](const CColor& c) { return c.red > 230 && c.green > 230 && c.blue > 230; };
    auto isGrey = [](const CColor& c) { return std::abs(c.red - 128) < 4 && c.red == c.blue; };
    editor.idleFrame();
    EXPECT_GT(countPixels(*editor.window(), inside, isWhite), 10);
    s->setActive(false);
    editor.idleFrame();
    EXPECT_EQ(countPixels(*editor.window(), inside, isWhite), 0);
    EXPECT_GT(countPixels(*editor.window(), inside, isGrey), 10);
}

// The groove is lit below a vertical slider's handle, left of a horizontal one's.
TEST_F(ControlsDraw, NanoSlidersLightTheGrooveUpToTheHandle)
{
    auto* s = editor.add(new CSliderNano(CRect(401, 20, 420, 142), nullptr, 4, 0, 103, 0x42));
    NanoColours colours;
    colours.handle = CColor(16, 182, 97);
    s->setColours(colours);
    s->setValue(0.5f);
    EXPECT_EQ(s->getHandleSquare(), CRect(401, 71, 420, 90));
    EXPECT_COLOUR(at(CPoint(409, 30)), colours.bar);
    EXPECT_COLOUR(at(CPoint(410, 120)), colours.groove);
    EXPECT_COLOUR(at(CPoint(403, 120)), CColor(0, 0, 0));  // beside the groove
    EXPECT_COLOUR(at(CPoint(410, 80)), colours.handle);
    s->setActive(false);
    EXPECT_COLOUR(at(CPoint(410, 80)), CColor(128, 128, 128));

    auto* h = editor.add(new CSliderNano(CRect(780, 75, 862, 89), nullptr, 31, 0, 68, 9));
    const NanoColours defaults;
    h->setValue(0.25f);
    EXPECT_EQ(h->getHandleSquare(), CRect(797, 75, 811, 89));
    EXPECT_COLOUR(at(CPoint(785, 81)), defaults.groove);
    EXPECT_COLOUR(at(CPoint(850, 82)), defaults.bar);
    EXPECT_COLOUR(at(CPoint(804, 82)), defaults.handle);
}

// Segments, separators and the selected label, which keeps clear of its
// segment's right border and bottom edge; grey when inactive.
TEST_F(ControlsDraw, MultiSwitchDrawsSegmentsSeparatorsAndTheSelectedLabel)
{
    auto* m = editor.add(new CMultiSwitch(CRect(162, 20, 250, 39), nullptr, 2, 3));
    m->setLabel(0, "-1");
    m->setLabel(1, "off");
    m->setLabel(2, "+1");
    m->setValue(0.5f);
    auto* voices = editor.add(new CMultiSwitch(CRect(12, 50, 96, 69), nullptr, 25, 2));
    voices->setLabel(0, "poly");
    voices->setLabel(1, "mono");
    voices->setValue(1.0f);
    auto* memory = editor.add(new CMultiSwitch(CRect(98, 80, 166, 99), nullptr, 26, 1));
    memory->setLabel(0, "memory");
    memory->setValue(1.0f);
    const MultiSwitchColours colours;
    EXPECT_COLOUR(at(CPoint(166, 21)), colours.segmentFill);
    EXPECT_COLOUR(at(CPoint(163, 30)), colours.frameAndText);  // separator
    EXPECT_COLOUR(at(CPoint(249, 30)), colours.frameAndText);  // right border
    auto isSelected = [](const CColor& c) { return c.red > 240 && c.green > 240; };
    auto isGrey = [](const CColor& c) { return std::abs(c.red - 128) < 4 && c.red == c.blue; };
    HeadlessWindow* w = editor.window();
    EXPECT_GT(countPixels(*w, CRect(193, 21, 221, 39), isSelected), 5);  // middle segment
    EXPECT_EQ(countPixels(*w, CRect(164, 21, 192, 39), isSelected), 0);
    for (const CRect& r : {CRect(55, 50, 96, 69), CRect(98, 80, 166, 99)}) {
        EXPECT_GT(countPixels(*w, r, isSelected), 40) << "large label drawn";
        EXPECT_EQ(countPixels(*w, CRect(r.right - 2, r.top, r.right, r.bottom), isSelected), 0) << "right edge";
        EXPECT_EQ(countPixels(*w, CRect(r.left, r.bottom - 1, r.right, r.bottom), isSelected), 0) << "bottom edge";
    }
    m->setActive(false);
    editor.idleFrame();
    EXPECT_EQ(countPixels(*w, CRect(164, 21, 249, 39), isSelected), 0);
    EXPECT_GT(countPixels(*w, CRect(164, 21, 249, 39), isGrey), 10);
}

TEST_F(ControlsDraw, OnOffSwitchFillsWithTheOnColourOnlyWhenActive)
{
    auto* s = editor.add(new CSimpleOnOff(CRect(188, 129, 207, 148), nullptr, 10));
    const OnOffColours colours{CColor(16, 182, 97), CColor(104, 104, 104), CColor(32, 32, 32)};
    s->setColours(colours);
    EXPECT_COLOUR(at(CPoint(197, 138)), colours.off);
    s->setValue(1.f);
    EXPECT_COLOUR(at(CPoint(197, 138)), colours.on);
    EXPECT_COLOUR(at(CPoint(188, 138)), colours.frame);
    EXPECT_COLOUR(at(CPoint(206, 147)), colours.frame);
    s->setActive(false);
    EXPECT_COLOUR(at(CPoint(197, 138)), colours.off);
}

TEST_F(ControlsDraw, LabelFramesAndShrinksItsTextToFit)
{
    auto* label = editor.add(new CSimpleLabel(CRect(125, 7, 184, 23), true, kCenterText));
    label->setText("ok");
    EXPECT_COLOUR(at(CPoint(125, 15)), CColor(122, 122, 122));
    EXPECT_COLOUR(at(CPoint(126, 15)), CColor(122, 122, 122));
    EXPECT_EQ(label->getFontShrink(), 2);

    label->setText("a much longer caption");
    editor.idleFrame();
    const int32_t shrink = label->getFontShrink();
    EXPECT_GT(shrink, 2);
    auto measure = COffscreenContext::create(editor.frame(), 10, 10);
    measure->setFont(CFontDesc("Arial", 16 - shrink, kBoldFace));
    EXPECT_LE(measure->getStringWidth("a much longer caption"), 59 - 2);
    measure->setFont(CFontDesc("Arial", 16 - shrink + 1, kBoldFace));
    EXPECT_GT(measure->getStringWidth("a much longer caption"), 59 - 2);

    // One character less keeps the size; a longer text fits again from 2.
    label->setText("a much longer captio");
    editor.idleFrame();
    EXPECT_EQ(label->getFontShrink(), shrink);
    label->setText("no");
    editor.idleFrame();
    EXPECT_EQ(label->getFontShrink(), 2);
}

}  // namespace
