// Windows check of the GUI toolkit, run under wine by the native tests:
// GDI+ drawing of the controls (headless), PNG and private fonts through
// GDI+. Menus and text fields answer keys the same way on every platform
// (toolkit_core); the real child window (opened in a host window, painted,
// clicked, closed) is wine_editor_check's, through the DLL's editor. Prints
// one line per check; exit code 0 when all pass.
// Argument: the path of a TrueType file to register.

#include "editor/controls/KnobFlatOrvel.h"
#include "editor/controls/SimpleOnOff.h"
#include "editor/controls/SliderFlat.h"
#include "toolkit/Bitmap.h"
#include "toolkit/GUIEditor.h"
#include "toolkit/headless/HeadlessWindow.h"
#include "tests/toolkit/Pixels.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int g_failures = 0;

void check(bool ok, const std::string& what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

struct QuietHost : EditorHost {
    void beginEdit(int32_t) override {}
    void endEdit(int32_t) override {}
    void setParameterAutomated(int32_t, float) override {}
    bool requestResize(int32_t, int32_t) override { return false; }
};

void headlessDrawing(const char* fontFile)
{
    QuietHost host;
    GUIEditor editor(&host);
    auto* frame = new CFrame(CRect(0, 0, 893, 200), &editor);
    frame->setBackgroundColor(CColor(0, 0, 0));
    check(editor.openFrame(frame, nullptr, PlatformType::kHeadless), "headless frame opens");
    auto* knob = new CKnobFlatOrvel(CRect(100, 50, 154, 104), nullptr, 1, 1);
    knob->setValue(0.75f);
    frame->addView(knob);
    auto* onOff = new CSimpleOnOff(CRect(188, 129, 207, 148), nullptr, 10);
    onOff->setValue(1.f);
    frame->addView(onOff);
    auto* box = new CSliderFlat(CRect(300, 100, 377, 119), nullptr, 3, 0, 77, 0x4002);
    box->setText("440 Hz");
    frame->addView(box);
    editor.idleFrame();
    HeadlessWindow* window = HeadlessWindow::of(frame);
    auto probe = [&](int x, int y, const CColor& colour, const char* what, int tolerance = 4) {
        const CColor pixel = window->getPixel(x, y);
        check(similar(pixel, colour, tolerance), std::string(what) + " " + str(pixel));
    };
    probe(127, 77, CColor(122, 122, 122), "knob body");
    probe(104, 77, CColor(186, 186, 186), "knob ring", 8);
    probe(149, 77, CColor(32, 32, 32), "knob rim", 8);
    probe(197, 138, CColor(201, 201, 201), "switch on");
    // The switch's frame is one pixel wide: its edges grey, the next pixel in lit.
    probe(188, 138, CColor(122, 122, 122), "switch frame, left");
    probe(206, 138, CColor(122, 122, 122), "switch frame, right");
    probe(189, 138, CColor(201, 201, 201), "inside the switch frame");
    probe(302, 102, CColor(32, 32, 32), "box fill");
    const int white = countPixels(*window, CRect(301, 101, 376, 118), [](const CColor& c) { return c.red > 230; });
    check(white > 10, "box text drawn (" + std::to_string(white) + " white pixels)");

    // PNG written and read back through GDI+.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string png = std::string(temp) + "toolkit_win_check.png";
    check(window->savePng(png.c_str()), "PNG saved");
    SharedPointer<CBitmap> loaded(new CBitmap(png.c_str()), true);
    check(loaded->isLoaded() && loaded->getWidth() == 893 && loaded->getHeight() == 200, "PNG loaded with its size");
    if (loaded->isLoaded())
        check(similar(loaded->getPlatformBitmap()->getPixel(197, 138), CColor(201, 201, 201)), "PNG pixels kept");
    DeleteFileA(png.c_str());
    SharedPointer<CBitmap> missing(new CBitmap("Z:\\nonexistent\\ondrel_logo.png"), true);
    check(!missing->isLoaded(), "missing PNG reported");

    // A private font file under our family name.
    check(!CFontDesc::registerFontFile("Z:\\nonexistent\\font.ttf", "Nothing"), "missing font refused");
    const bool registered = CFontDesc::registerFontFile(fontFile, "Tahoma_Small");
    check(registered, std::string("font registered from ") + fontFile);
    auto measure = COffscreenContext::create(frame, 300, 40);
    measure->setFont(CFontDesc("Tahoma_Small", 20, kNormalFace));
    const CCoord regular = measure->getStringWidth("Tahoma_Small");
    measure->setFont(CFontDesc("Tahoma_Small", 20, kBoldFace));
    const CCoord bold = measure->getStringWidth("Tahoma_Small");
    check(regular > 50 && bold >= regular,
          "registered family measures text (" + std::to_string(regular) + ", bold " + std::to_string(bold) + ")");
    measure->setFontColor(kWhiteCColor);
    measure->drawString("Wave", CRect(0, 0, 300, 40), kLeftText, true);
    measure->endDraw();
    auto isLit = [](const CColor& c) { return c.alpha > 128; };
    check(countPixels(*measure->getBitmap()->getPlatformBitmap(), CRect(0, 0, 100, 40), isLit) > 30,
          "registered family draws text");

    editor.closeFrame();
}

}  // namespace

int main(int argc, char** argv)
{
    const char* fontFile = argc > 1 ? argv[1] : "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";
    headlessDrawing(fontFile);
    std::printf("%s\n", g_failures == 0 ? "all checks passed" : "checks failed");
    return g_failures == 0 ? 0 : 1;
}
