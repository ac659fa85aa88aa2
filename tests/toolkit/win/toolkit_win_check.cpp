// Windows check of the GUI toolkit, run under wine by the native tests:
// GDI+ drawing of the controls (headless), PNG and private fonts through
// GDI+, a menu and a text field driven by keys. The real child window (opened
// in a host window, painted, clicked, closed) is wine_editor_check's, through
// the DLL's editor. Prints one line per check; exit code 0 when all pass.
// Argument: the path of a TrueType file to register.

#include "editor/controls/KnobFlatOrvel.h"
#include "editor/controls/SimpleOnOff.h"
#include "editor/controls/SliderFlat.h"
#include "toolkit/Bitmap.h"
#include "toolkit/GUIEditor.h"
#include "toolkit/OptionMenu.h"
#include "toolkit/ParamDisplay.h"
#include "toolkit/headless/HeadlessWindow.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int g_failures = 0;

void check(bool ok, const std::string& what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

bool similar(const CColor& a, const CColor& b, int tolerance = 4)
{
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

std::string str(const CColor& c)
{
    char text[48];
    std::snprintf(text, sizeof text, "(%d, %d, %d, %d)", c.red, c.green, c.blue, c.alpha);
    return text;
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
    const CColor centre = window->getPixel(127, 77);
    check(similar(centre, CColor(122, 122, 122)), "knob body " + str(centre));
    const CColor ring = window->getPixel(104, 77);
    check(similar(ring, CColor(186, 186, 186), 8), "knob ring " + str(ring));
    const CColor rim = window->getPixel(149, 77);
    check(similar(rim, CColor(32, 32, 32), 8), "knob rim " + str(rim));
    const CColor on = window->getPixel(197, 138);
    check(similar(on, CColor(201, 201, 201)), "switch on " + str(on));
    const CColor edge = window->getPixel(188, 138);
    check(similar(edge, CColor(122, 122, 122)), "switch frame " + str(edge));
    const CColor rightEdge = window->getPixel(206, 138);
    const CColor inside = window->getPixel(189, 138);
    check(similar(rightEdge, CColor(122, 122, 122)) && similar(inside, CColor(201, 201, 201)),
          "switch frame one pixel wide " + str(inside) + " " + str(rightEdge));
    const CColor boxFill = window->getPixel(302, 102);
    check(similar(boxFill, CColor(32, 32, 32)), "box fill " + str(boxFill));
    int white = 0;
    for (int y = 101; y < 118; ++y)
        for (int x = 301; x < 376; ++x) white += window->getPixel(x, y).red > 230;
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
    int lit = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) lit += measure->getBitmap()->getPlatformBitmap()->getPixel(x, y).alpha > 128;
    check(lit > 30, "registered family draws text");

    // A menu opened, drawn and chosen with keys; a text field typed into.
    auto* menu = new COptionMenu(CRect(500, 10, 600, 30), nullptr, -1);
    menu->addEntry("green green");
    menu->addEntry("red red");
    frame->addView(menu);
    auto* field = new CTextEdit(CRect(620, 10, 800, 30), nullptr, -1, "Pad");
    frame->addView(field);
    check(menu->popup(), "menu opens");
    editor.idleFrame();
    CKeyCode down{0, VirtualKey::Down, 0};
    CKeyCode enter{0, VirtualKey::Return, 0};
    editor.forwardKeyDown(down);
    editor.forwardKeyDown(down);
    editor.forwardKeyDown(enter);
    check(menu->getCurrentIndex() == 1 && frame->getPopupView() == nullptr, "menu entry chosen with keys");
    frame->platformOnMouseDown(CPoint(700, 20), CButtonState(kLButton));
    CKeyCode bang{'!', VirtualKey::None, 0};
    editor.forwardKeyDown(bang);
    editor.forwardKeyDown(enter);
    check(std::string(field->getText()) == "Pad!", std::string("text typed: ") + field->getText());
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
