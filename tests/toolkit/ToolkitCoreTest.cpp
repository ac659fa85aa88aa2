// The toolkit itself: view tree, redrawing, menus, text edit, modal views,
// timers, bitmaps, fonts, drawing primitives and the editor glue.

#include "ToolkitTestSupport.h"

#include "toolkit/Bitmap.h"
#include "toolkit/Buttons.h"
#include "toolkit/OptionMenu.h"
#include "toolkit/ParamDisplay.h"
#include "toolkit/Slider.h"

#include <cstdio>
#include <filesystem>

namespace {

const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct CountedView : CView {
    explicit CountedView(const CRect& r, int* destroyed) : CView(r), m_destroyed(destroyed) {}
    ~CountedView() override { ++*m_destroyed; }
    CMouseEventResult onMouseDown(CPoint&, const CButtonState&) override
    {
        ++downs;
        return kMouseEventHandled;
    }
    int downs = 0;
    int* m_destroyed;
};

TEST(ToolkitViews, LookupRoutingRedrawingAndRelease)
{
    HeadlessEditor editor(200, 100);
    int destroyed = 0;
    auto* container = new CViewContainer(CRect(10, 10, 110, 60));
    auto* inner = new CountedView(CRect(5, 5, 25, 25), &destroyed);
    container->addView(inner);
    editor.add(container);
    auto* slider = editor.add(new CSlider(CRect(120, 10, 140, 90), nullptr, 5, 0, 60, kVertical | kTop));
    EXPECT_EQ(editor.frame()->getViewAt(CPoint(20, 20)), container);
    EXPECT_EQ(editor.frame()->getViewAt(CPoint(20, 20), true), inner);
    EXPECT_EQ(editor.frame()->getViewAt(CPoint(5, 5)), nullptr);

    // Points reach nested views in their parent's coordinates.
    editor.click(CPoint(20, 20));
    EXPECT_EQ(inner->downs, 1);

    // Only dirty views are drawn again: a value set from outside (the host) at the next idle.
    editor.idleFrame();
    const int draws = editor.window()->getDrawCount();
    editor.idleFrame();
    EXPECT_EQ(editor.window()->getDrawCount(), draws);
    slider->setValue(0.9f);
    editor.idleFrame();
    EXPECT_EQ(editor.window()->getDrawCount(), draws + 1);

    // Hidden views are skipped.
    container->setVisible(false);
    editor.click(CPoint(20, 20));
    EXPECT_EQ(inner->downs, 1);

    editor.closeFrame();
    EXPECT_EQ(destroyed, 1);
}

class ToolkitMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        menu = editor.add(new COptionMenu(CRect(232, 7, 412, 33), &listener, -1, kCheckStyle));
        menu->addEntry("green green");
        menu->addEntry("red red");
        menu->addSeparator();
        menu->addEntry("disabled", -1, CMenuItem::kDisabled);
    }
    COptionMenuPopup* popup() { return dynamic_cast<COptionMenuPopup*>(editor.frame()->getPopupView()); }

    FakeClock clock;
    HeadlessEditor editor{893, 300};
    RecordingListener listener;
    COptionMenu* menu = nullptr;
};

// Separators, disabled entries, clicks outside and values outside the
// entries choose nothing; a click on an entry chooses it as one edit.
TEST_F(ToolkitMenu, ClicksChooseEnabledEntriesOnly)
{
    editor.click(CPoint(300, 20));
    ASSERT_NE(popup(), nullptr);
    EXPECT_GE(popup()->getEntryRect(0, 1).top, 33);  // the list opens below the menu
    clock.advance(1000);
    editor.click(popup()->getEntryRect(0, 2).getCenter());
    editor.click(popup()->getEntryRect(0, 3).getCenter());
    ASSERT_NE(popup(), nullptr);
    editor.click(CPoint(800, 250));  // outside: closes
    EXPECT_EQ(popup(), nullptr);
    EXPECT_TRUE(listener.values.empty());

    clock.advance(1000);
    editor.click(CPoint(300, 20));
    clock.advance(1000);
    editor.click(popup()->getEntryRect(0, 1).getCenter());
    EXPECT_EQ(popup(), nullptr);
    EXPECT_STREQ(menu->getCurrent()->getTitle(), "red red");
    EXPECT_EQ(listener.values, std::vector<float>{1.f});
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
    EXPECT_TRUE(menu->isCheckEntry(1));
    EXPECT_FALSE(menu->isCheckEntry(0));

    menu->setValue(5);
    menu->setValue(-1);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    EXPECT_FALSE(menu->setCurrent(7));
    menu->removeAllEntry();
    EXPECT_FALSE(menu->popup());
}

TEST_F(ToolkitMenu, KeysNavigateChooseAndCancel)
{
    menu->popup();
    for (VirtualKey k : {VirtualKey::Down, VirtualKey::Down, VirtualKey::Return}) editor.key(0, k);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    menu->popup();
    for (VirtualKey k : {VirtualKey::Down, VirtualKey::Escape}) editor.key(0, k);
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(menu->getCurrentIndex(), 1);
    EXPECT_EQ(listener.values.size(), 1u);
}

TEST(ToolkitTextEdit, TypingCommitsOnReturnAndEscapeRestores)
{
    HeadlessEditor editor(300, 100);
    RecordingListener listener;
    auto* edit = editor.add(new CTextEdit(CRect(10, 10, 200, 30), &listener, -1, "Pad"));
    editor.click(CPoint(50, 20));
    ASSERT_EQ(editor.frame()->getFocusView(), edit);
    for (char32_t c : std::u32string(U" usr")) EXPECT_EQ(editor.key(c), 1);
    editor.key(0, VirtualKey::Back);
    editor.key(U'é');
    EXPECT_STREQ(edit->getText(), "Pad usé");
    editor.key(0, VirtualKey::Back);
    EXPECT_STREQ(edit->getText(), "Pad us");
    editor.key(0, VirtualKey::Return);
    EXPECT_EQ(editor.frame()->getFocusView(), nullptr);
    EXPECT_EQ(listener.values.size(), 1u);

    editor.click(CPoint(50, 20));
    editor.key('x');
    editor.key(0, VirtualKey::Escape);
    EXPECT_STREQ(edit->getText(), "Pad us");
    EXPECT_EQ(listener.values.size(), 1u);

    // A click elsewhere commits.
    editor.click(CPoint(50, 20));
    editor.key('!');
    editor.click(CPoint(250, 80));
    EXPECT_STREQ(edit->getText(), "Pad us!");
    EXPECT_EQ(listener.values.size(), 2u);
    EXPECT_EQ(listener.begins, listener.ends);
}

// Timers fire from the idle calls (a late idle once), may destroy themselves
// from inside their own call, and stop. (Idle views are called at the idle
// call in ToolkitGlue.IdleCalledFromInsideIdleAndKeysWithoutFocus.)
TEST(ToolkitTimer, TimersFollowTheClock)
{
    FakeClock clock;
    HeadlessEditor editor(100, 100);
    int fired = 0, ticks = 0;
    new CVSTGUITimer(
        [&fired](CVSTGUITimer* t) {
            if (++fired == 10) t->forget();  // stops and destroys it from inside its own call
        },
        500, true);
    CVSTGUITimer timer([&ticks](CVSTGUITimer*) { ++ticks; }, 250, true);
    for (int i = 0; i < 90; ++i) {
        clock.advance(100);
        editor.idleFrame();
    }
    EXPECT_EQ(fired, 10);

    ticks = 0;
    clock.advance(1000);
    editor.idleFrame();  // a late idle fires once
    clock.advance(250);
    editor.idleFrame();
    EXPECT_EQ(ticks, 2);
    timer.stop();
    clock.advance(1000);
    editor.idleFrame();
    EXPECT_EQ(ticks, 2);
}

TEST(ToolkitDrawing, ShapesClippingAndOffsets)
{
    auto context = COffscreenContext::create(nullptr, 100, 100);
    ASSERT_TRUE(context);
    context->setDrawMode(kAliasing);
    context->setFillColor(CColor(255, 0, 0));
    context->setClipRect(CRect(0, 0, 50, 100));
    context->drawRect(CRect(10, 10, 90, 20), kDrawFilled);
    context->resetClipRect();
    context->setFrameColor(CColor(0, 255, 0));
    context->setLineWidth(1);
    context->drawLine(CPoint(10, 30), CPoint(90, 30));
    context->setOffset(CPoint(0, 40));
    context->setFillColor(CColor(0, 0, 255));
    context->drawEllipse(CRect(10, 0, 30, 20), kDrawFilled);
    context->drawPolygon({CPoint(50, 0), CPoint(70, 0), CPoint(70, 20)}, kDrawFilled);
    context->drawRoundRect(CRect(60, 30, 90, 50), 5, kDrawFilled);
    context->endDraw();
    // The rectangle cut at the clip, a line one pixel wide, and the ellipse,
    // triangle and rounded rectangle moved down by the offset: inside each,
    // and outside it where its bounding box would be.
    const CColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), none = kTransparentCColor;
    const std::pair<CPoint, CColor> probes[] = {{{20, 15}, red},  {{60, 15}, none}, {{50, 30}, green}, {{50, 29}, none},
                                                {{50, 31}, none}, {{20, 50}, blue}, {{11, 41}, none},  {{68, 44}, blue},
                                                {{52, 58}, none}, {{75, 80}, blue}, {{60, 70}, none}};
    for (const auto& [at, colour] : probes) {
        const CColor pixel = context->getBitmap()->getPlatformBitmap()->getPixel((int)at.x, (int)at.y);
        EXPECT_TRUE(similar(pixel, colour, 3)) << at.x << ", " << at.y << ": " << str(pixel);
    }
}

// An offscreen drawing written to a PNG file and read back. (One set as the
// frame's background is the editor's own, whose colours EditorLook checks at
// every size; a missing file EditorLook.AMissingLogoIsReportedAtEveryRendering's.)
TEST(ToolkitBitmaps, OffscreenDrawingWrittenAndReadBackAsPng)
{
    auto offscreen = COffscreenContext::create(nullptr, 120, 80);
    ASSERT_TRUE(offscreen);
    offscreen->beginDraw();
    offscreen->setFillColor(CColor(24, 26, 29));
    offscreen->drawRect(CRect(0, 0, 120, 80), kDrawFilled);
    offscreen->setFillColor(CColor(16, 214, 97));
    offscreen->drawRect(CRect(20, 20, 40, 40), kDrawFilled);
    offscreen->endDraw();

    const std::string path = (std::filesystem::temp_directory_path() / "toolkit_core_roundtrip.png").string();
    ASSERT_TRUE(offscreen->getBitmap()->getPlatformBitmap()->savePng(path.c_str()));
    SharedPointer<CBitmap> loaded(new CBitmap(path.c_str()), true);
    ASSERT_TRUE(loaded->isLoaded());
    EXPECT_EQ(loaded->getWidth(), 120);
    EXPECT_EQ(loaded->getHeight(), 80);
    EXPECT_COLOUR(loaded->getPlatformBitmap()->getPixel(30, 30), CColor(16, 214, 97));
    EXPECT_COLOUR(loaded->getPlatformBitmap()->getPixel(5, 5), CColor(24, 26, 29));
    std::remove(path.c_str());
}

TEST(ToolkitFonts, PrivateFontFileRegisteredUnderAFamilyName)
{
    EXPECT_FALSE(CFontDesc::registerFontFile("/nonexistent/font.ttf", "Nothing"));
    ASSERT_TRUE(CFontDesc::registerFontFile(kFontFile, "Tahoma_Small"));
    EXPECT_TRUE(CFontDesc::isRegisteredFamily("Tahoma_Small"));

    auto context = COffscreenContext::create(nullptr, 200, 40);
    context->setFont(CFontDesc("Tahoma_Small", 20, kNormalFace));
    const CCoord regular = context->getStringWidth("Tahoma_Small");
    context->setFont(CFontDesc("Tahoma_Small", 20, kBoldFace));
    const CCoord bold = context->getStringWidth("Tahoma_Small");
    context->setFont(CFontDesc("Tahoma_Small", 40, kNormalFace));
    const CCoord twice = context->getStringWidth("Tahoma_Small");
    EXPECT_GT(regular, 50);
    EXPECT_GE(bold, regular);
    EXPECT_NEAR(twice, 2 * regular, 1);
    context->setFontColor(kWhiteCColor);
    context->drawString("Wave", CRect(0, 0, 200, 40), kLeftText, true);
    auto isLit = [](const CColor& c) { return c.alpha > 128; };
    EXPECT_GT(countPixels(*context->getBitmap()->getPlatformBitmap(), CRect(0, 0, 100, 40), isLit), 30);
}

TEST(ToolkitGlue, IdleCalledFromInsideIdleAndKeysWithoutFocus)
{
    HeadlessEditor editor(200, 100);
    EXPECT_EQ(editor.key('a'), -1);  // nobody has the focus

    // A view that makes the host idle the editor again from inside the idle.
    struct Reentrant : CView {
        Reentrant(const CRect& r, GUIEditor* e) : CView(r), editor(e) { setWantsIdle(true); }
        void onIdle() override
        {
            ++calls;
            editor->idleFrame();
        }
        GUIEditor* editor;
        int calls = 0;
    };
    auto* reentrant = editor.add(new Reentrant(CRect(0, 0, 5, 5), &editor));
    FakeClock clock;
    clock.advance(1000);
    editor.idleFrame();
    EXPECT_EQ(reentrant->calls, 1);
    editor.closeFrame();
    EXPECT_FALSE(editor.isFrameOpen());
    EXPECT_EQ(editor.key('a'), -1);
}

// Buttons report press and release only over themselves, at the place they
// have now (moved and scaled as a zoom change does it); the frame knows where
// the mouse is while it is inside.
TEST(ToolkitViews, ButtonsMousePositionAndResizing)
{
    HeadlessEditor editor(300, 200);
    RecordingListener listener;
    auto* button = editor.add(new CTextButton(CRect(10, 10, 110, 30), &listener, 0, "Save new user preset"));
    editor.click(CPoint(50, 20));
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f}));
    // Pressed, dragged off and released elsewhere: only the press is reported.
    editor.down(CPoint(50, 20));
    editor.move(CPoint(200, 150));
    EXPECT_EQ(button->getValue(), 0.f);
    editor.up(CPoint(200, 150));
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f, 1.f}));
    EXPECT_EQ(listener.begins, listener.ends);
    CPoint where;
    ASSERT_TRUE(editor.frame()->getCurrentMouseLocation(where));
    EXPECT_EQ(where, CPoint(200, 150));
    editor.frame()->platformOnMouseExited();
    EXPECT_FALSE(editor.frame()->getCurrentMouseLocation(where));

    button->setViewSize(CRect(112, 12, 160, 36));
    button->setMouseableArea(CRect(112, 12, 160, 36));
    editor.click(CPoint(155, 33));
    EXPECT_EQ(listener.values.size(), 5u);
    editor.click(CPoint(50, 20));
    EXPECT_EQ(listener.values.size(), 5u);
}

// One modal view at a time takes the mouse and keys, and is released when
// cleared; a dialog is a container as the modal view, its field taking the
// focus.
TEST(ToolkitDialogs, DialogContainerAsModalViewWithTextField)
{
    HeadlessEditor editor(400, 300);
    RecordingListener listener;
    auto* underneath = editor.add(new CTextButton(CRect(0, 0, 400, 300), &listener, 5, ""));
    int destroyed = 0;
    auto* refused = new CountedView(CRect(), &destroyed);
    // A whole-frame dialog holding a panel with a text field.
    auto* dialog = new CViewContainer(CRect(0, 0, 400, 300));
    dialog->setBackgroundColor(CColor(40, 120, 255, 111));
    auto* panel = new CViewContainer(CRect(100, 100, 300, 200));
    panel->setBackgroundColor(CColor(53, 53, 53));
    auto* field = new CTextEdit(CRect(10, 10, 190, 30), nullptr, -1, "Pad");
    panel->addView(field);
    dialog->addView(panel);
    dialog->addView(new CountedView(CRect(0, 0, 1, 1), &destroyed));
    ASSERT_TRUE(editor.frame()->setModalView(dialog));
    EXPECT_FALSE(editor.frame()->setModalView(refused));  // one at a time, the caller keeps it
    refused->forget();
    EXPECT_EQ(destroyed, 1);

    editor.click(CPoint(150, 120));  // the field, inside the panel (typing is ToolkitTextEdit's)
    EXPECT_EQ(editor.frame()->getFocusView(), field);
    editor.click(CPoint(20, 20));  // on the veil: the button below never hears it
    EXPECT_EQ(underneath->getValue(), 0.f);
    EXPECT_TRUE(listener.values.empty());
    // The veil is drawn over the button, the panel over the veil.
    const CColor veil = editor.pixel(20, 20);
    EXPECT_GT(veil.blue, veil.red);
    EXPECT_COLOUR(editor.pixel(105, 195), CColor(53, 53, 53));

    editor.frame()->setModalView(nullptr);
    EXPECT_EQ(editor.frame()->getFocusView(), nullptr);
    EXPECT_EQ(destroyed, 2) << "the cleared dialog is released with its views";
    editor.click(CPoint(20, 20));  // released: the button below hears it again
    EXPECT_EQ(listener.values.size(), 2u);
}

}  // namespace
