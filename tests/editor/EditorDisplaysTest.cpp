// The signal displays on their own (the scope's unrolling, trigger and zoom
// slider, the meters' clamping, holders and reset clicks) and fed from the
// engine, the help box that explains the control under the mouse, and the
// settings that outlive the window.
#include "EditorTestSupport.h"

#include "editor/EditorLayout.h"
#include "editor/HelpBox.h"
#include "editor/SignalDisplays.h"

#include <cmath>
#include <fstream>

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

class EditorDisplays : public EditorTest {
protected:
    // The envelope drawing: per column, the highest row its line lights.
    std::vector<int> envelopeShape()
    {
        window()->redraw();
        const CRect r = editor->getEnvDisplay()->getViewSize();
        std::vector<int> rows;
        for (int x = (int)r.left + 2; x < (int)r.right - 1; ++x) {
            int y = (int)r.top + 1;
            while (y < (int)r.bottom - 1 && !similar(window()->getPixel(x, y), CEnvDisplay::kLine, 40)) ++y;
            rows.push_back(y - (int)r.top);
        }
        return rows;
    }
    // The first column whose line reaches the top.
    int peakColumn(const std::vector<int>& rows)
    {
        for (size_t x = 0; x < rows.size(); ++x)
            if (rows[x] <= 3) return (int)x;
        return -1;
    }
};

TEST_F(EditorDisplays, APlayedNoteShowsInTheScopeAndTheMeters)
{
    open();
    CStereoWavsView* scope = editor->getScopeView();
    displayPass();
    window()->redraw();
    const CRect r = scope->getViewSize();
    // Rows of the scope's middle column that show the trace.
    const CRect column(r.getCenter().x + 7, r.top + 3, r.getCenter().x + 8, r.bottom - 8);
    auto traceRows = [&] {
        return countPixels(*window(), column, [](const CColor& c) { return similar(c, CStereoWavsView::kTrace, 60); });
    };
    EXPECT_LE(traceRows(), 2) << "silence draws a flat line";

    host->queueMidi(0, 0x90, 57, 120);
    render(20);
    displayPass();
    window()->redraw();
    double energy = 0;
    for (float s : scope->getSamples()) energy += s * s;
    // Where the trace starts is SignalDisplays.ScopeUnrollsTheRingTriggersOnARisingZeroAndZoomsOnItsTrack's.
    EXPECT_GT(energy, 1.0);
    EXPECT_GT(editor->getPeaksView()->getShownLeft(), 0.01f);
    EXPECT_GT(editor->getPeaksView()->getShownRight(), 0.01f);
    // The left level bar is lit just above its bottom.
    const CRect p = editor->getPeaksView()->getViewSize();
    EXPECT_TRUE(similar(window()->getPixel((int)p.left + 3, (int)p.bottom - 3), editor->getSkinColours().peaks.level));
    EXPECT_FALSE(plugin->getEngine().peakReady()) << "the editor took the pair";

    // Display passes run at most every 99 ms.
    scope->setDirty(false);
    render(2);
    editor->idle();
    EXPECT_FALSE(scope->isDirty());
    displayPass();
    EXPECT_TRUE(scope->isDirty());
}

TEST_F(EditorDisplays, TheCurveFollowsTheEngineAndTheEnvelopeItsSliders)
{
    open();
    host->setParameter(kEQOn, 1.0f);
    host->setParameter(kEQBRHz, 0.3f);
    host->setParameter(kEQBRGain, 1.0f);
    const std::atomic<float>* engineCurve = plugin->getEngine().eqCurve();
    const float* shown = editor->getPlotView()->getCurve();
    EXPECT_TRUE(std::equal(shown, shown + CPlotDisplay::kPoints, engineCurve));
    // The drawn line (anti-aliased: a blend towards its colour) passes where
    // the curve puts it.
    window()->redraw();
    const CRect r = editor->getPlotView()->getViewSize();
    const int w = (int)r.getWidth(), H = (int)(r.getHeight() - 5);
    const int x = w / 4;
    const double y = r.top + (H - H * shown[(int)(x * 511.0 / w + 0.5)]) + 1;
    bool found = false;
    for (int dy = -2; dy <= 2; ++dy) found |= window()->getPixel((int)r.left + x, (int)y + dy).blue > 140;
    EXPECT_TRUE(found);

    // Over the envelope sliders the drawing replaces the help box.
    move(centre(4), 0);
    displayPass();
    ASSERT_TRUE(editor->getEnvDisplay()->isVisible());
    host->setParameter(kAttack1, 0.0f);
    const int quick = peakColumn(envelopeShape());
    host->setParameter(kAttack1, 1.0f);
    const int slow = peakColumn(envelopeShape());
    EXPECT_GE(quick, 0);
    EXPECT_GT(slow, quick + 50) << "a long attack reaches the top later";
    // Each of the four sliders changes the drawing.
    for (int i = 4; i <= 7; ++i) {
        host->setParameter(i, 0.2f);
        const auto low = envelopeShape();
        host->setParameter(i, 0.8f);
        EXPECT_NE(envelopeShape(), low) << i;
    }
}

TEST_F(EditorDisplays, HoveringEachControlShowsItsHelp)
{
    open();
    for (int i = 0; i < myEditor::kNumControls; ++i) {
        move(centre(i), 0);
        displayPass();
        const bool envelope = i >= 4 && i <= 7;
        EXPECT_EQ(editor->getEnvDisplay()->isVisible(), envelope) << i;
        EXPECT_EQ(editor->getHelpBox()->isVisible(), !envelope) << i;
        for (int line = 0; line < help::kLines; ++line)
            EXPECT_STREQ(editor->getHelpBox()->getLine(line), help::text(i, line)) << i;
    }
    move(centre(2), 0);
    displayPass();
    EXPECT_STREQ(editor->getHelpBox()->getLine(0), "Transposes the pitch");
    EXPECT_STREQ(editor->getHelpBox()->getLine(1), "1 octave down or 1 up.");
    move(editor->getPeaksView()->getViewSize().getCenter(), 0);
    displayPass();
    EXPECT_STREQ(editor->getHelpBox()->getLine(0), "Click on bars");
    move(editor->getScopeView()->getViewSize().getCenter(), 0);
    displayPass();
    EXPECT_STREQ(editor->getHelpBox()->getLine(0), "The oscilloscope can be zoomed");
    // A drag keeps the text of the control where it started.
    move(centre(42), 0);
    displayPass();
    down(centre(42));
    move(centre(1));
    displayPass();
    EXPECT_STREQ(editor->getHelpBox()->getLine(0), "Adjusts the level of bandpassed noise.");
    up(centre(1));
    // The drawn text is the box's.
    move(centre(41), 0);
    displayPass();
    window()->redraw();
    const CRect box = editor->getHelpBox()->getViewSize();
    const CColor text = editor->getSkinColours().help.text;
    const CRect firstLine(box.left, box.top, box.left + 100, (int)(box.top + box.getHeight() / 5));
    EXPECT_GT(countPixels(*window(), firstLine, [&](const CColor& c) { return similar(c, text, 30); }), 20);
}

// Settings out of range or garbled give the nearest size or the defaults,
// without a message (ToolBarTest.ZoomAndColourMenuChangeTheEditorAndPersist
// has the values that a new instance reads back).
TEST_F(EditorDisplays, SettingsOutOfRangeOrGarbledFallBack)
{
    ASSERT_TRUE(editor->getSettings().writeFloat("skin", 1.0f));  // makes the folder
    const std::string file = editor->getSettings().filePath();
    auto openWith = [&](const std::string& content) {
        std::ofstream(file, std::ios::trunc) << content;
        open();
        std::pair<double, CColor> seen{editor->getHeight(), editor->getColour1()};
        editor->close();
        return seen;
    };
    const CColor defaultColour = colourScheme(kDefaultColourScheme).colour1;
    EXPECT_EQ(openWith("skin=2.9\ncolourscheme=8\n"), std::make_pair(534 * (double)1.2f, colourScheme(0).colour1));
    EXPECT_EQ(openWith("skin=-0.5\n").first, 534 * (double)0.89f);
    EXPECT_EQ(openWith("skin=6\n").first, 534.0);
    EXPECT_EQ(openWith("skin=-1.5\n").first, 534.0);
    EXPECT_EQ(openWith("skin=1e\ncolourscheme=4x\n"), std::make_pair(534.0, defaultColour));
    EXPECT_EQ(openWith(std::string("\x01\xff\0skin", 7) + "=nan\ncolourscheme=99999999999\n"),
              std::make_pair(534.0, defaultColour));
    EXPECT_TRUE(messages().empty());
}

}  // namespace
