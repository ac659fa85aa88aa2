// The editor drawn headless at every size and in every colour scheme: the
// panel, the scheme's colours where the panel and the controls put them,
// every control at its place, and resizing through the host.
#include "EditorTestSupport.h"

#include "editor/EditorLayout.h"
#include "editor/ONDBackgroundBitmap.h"
#include "editor/controls/SliderNano.h"
#include "tests/support/Files.h"

namespace {

// Whether `colour` appears within one pixel of (x, y).
bool colourNear(HeadlessWindow* w, CCoord x, CCoord y, const CColor& colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (similar(w->getPixel((int)x + dx, (int)y + dy), colour)) return true;
    return false;
}

class EditorLook : public EditorTest {};

TEST_F(EditorLook, EverySizeAndSchemeDrawsItsColoursAndPlacesEveryControl)
{
    for (int size = 0; size < layout::kNumSizes; ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        Platform::SettingsStore(myEditor::kSettingsKey).writeFloat("skin", (float)size);
        open();
        const double f = layout::zoomFactor(size);
        ERect* rect = nullptr;
        ASSERT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect->right, (int)(893 * f));
        EXPECT_EQ(rect->bottom, (int)(534 * f));
        const float sx = layout::scaleX(893 * f), sy = layout::scaleY(534 * f);

        for (int i = 0; i < myEditor::kNumControls; ++i) {
            CControl* c = control(i);
            ASSERT_NE(c, nullptr) << i;
            EXPECT_EQ(c->getTag(), i);
            CRect expected = layout::scaled(layout::slot(i).base, sx, sy);
            if (layout::slot(i).kind == layout::Kind::Knob && size == layout::kDefaultSize) {
                if (expected.getWidth() == 52) expected.extend(1, 1);
                if (expected.getWidth() == 41) expected.extend(3, 3);
            }
            EXPECT_EQ(c->getViewSize(), expected) << "control " << i;
        }
        // Knobs 52 and 41 wide grow to 54 and 47 at the base size only.
        if (size == layout::kDefaultSize) {
            EXPECT_EQ(control(40)->getViewSize(), CRect(801, 191, 855, 245));
            EXPECT_EQ(control(12)->getViewSize(), CRect(212, 299, 259, 346));
            EXPECT_EQ(control(42)->getWidth(), 38);
        } else if (size == 5) {
            EXPECT_NEAR(control(42)->getViewSize().left, 179 * 1.9, 0.01);
            EXPECT_NEAR(control(42)->getViewSize().bottom, 235 * 1.9, 0.01);
        }

        host->setParameter(kOn1, 1.0f);  // "On1" and the reverb on: active colours
        host->setParameter(kReverbOn, 1.0f);
        for (int scheme = 0; scheme < kNumColourSchemes; ++scheme) {
            SCOPED_TRACE("scheme " + std::to_string(scheme));
            const ColourScheme& s = colourScheme(scheme);
            editor->colourSchemeChanged(s.colour1, s.colour2, scheme);
            window()->redraw();
            HeadlessWindow* w = window();
            EXPECT_TRUE(colourNear(w, 530 * sx, 470 * sy, ONDBackgroundBitmap::kPanel));
            EXPECT_TRUE(colourNear(w, 300 * sx, 65 * sy, s.colour2)) << "section underline";
            EXPECT_TRUE(similar(w->getPixel((int)centre(15).x, (int)centre(15).y), s.colour1)) << "on switch";
            CRect handle = static_cast<CSliderNano*>(control(31))->getHandleSquare();
            EXPECT_TRUE(similar(w->getPixel((int)handle.getCenter().x, (int)handle.getCenter().y), s.colour1))
                << "slider handle " << str(w->getPixel((int)handle.getCenter().x, (int)handle.getCenter().y));
        }
        editor->close();
    }
}

TEST_F(EditorLook, ASizeChangeAsksTheHostAndScalesEveryView)
{
    open();
    const CRect knobBefore = control(0)->getViewSize();
    host->clearCalls();
    editor->zoomChanged(2);
    auto calls = host->calls();
    auto canDo = std::find_if(calls.begin(), calls.end(),
                              [](const HostCall& c) { return c.opcode == audioMasterCanDo && c.text == "sizeWindow"; });
    auto size =
        std::find_if(calls.begin(), calls.end(), [](const HostCall& c) { return c.opcode == audioMasterSizeWindow; });
    ASSERT_NE(canDo, calls.end());
    ASSERT_NE(size, calls.end());
    EXPECT_LT(canDo - calls.begin(), size - calls.begin());
    EXPECT_EQ(size->index, (int)(893 * 1.2f));
    EXPECT_EQ(size->value, (int)(534 * 1.2f));
    ERect* rect = nullptr;
    host->dispatch(effEditGetRect, 0, 0, &rect);
    EXPECT_EQ(rect->right, size->index);
    EXPECT_EQ(rect->bottom, size->value);
    EXPECT_NEAR(control(0)->getWidth(), knobBefore.getWidth() * 1.2, 0.01);
    editor->zoomChanged(3);
    EXPECT_NEAR(control(0)->getWidth(), knobBefore.getWidth() * 1.4, 0.01);
    EXPECT_EQ(window()->getBitmap()->width(), (int)(893 * 1.4f));

    // A host that cannot resize: the editor's own window takes the size.
    host->options().canSizeWindow = false;
    host->clearCalls();
    editor->zoomChanged(1);
    EXPECT_EQ(host->countCalls(audioMasterSizeWindow), 0u);
    EXPECT_EQ(frame()->getWidth(), 893);
}

TEST_F(EditorLook, AMissingLogoIsReportedAtEveryRendering)
{
    testing_support::ScratchFolder empty;
    Platform::setDataFolderOverride(empty.path());
    open();
    editor->zoomChanged(2);
    std::vector<std::string> expected(2, "Warning|ondrel_logo.png is missing!");
    EXPECT_EQ(messages(), expected);
    Platform::setDataFolderOverride(ONDREL_BUNDLE_DIR "/");
}

}  // namespace
