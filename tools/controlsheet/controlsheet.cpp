// Draws every editor control in its main states into one PNG sheet,
// headless, so that a person can look at them.
//
//   ondrel_controlsheet [output.png] [font.ttf]
//
// The font file is registered as the editor's family "Tahoma_Small".

#include "editor/controls/KnobFlatOrvel.h"
#include "editor/controls/MultiSwitch.h"
#include "editor/controls/SimpleLabel.h"
#include "editor/controls/SimpleOnOff.h"
#include "editor/controls/SliderFlat.h"
#include "editor/controls/SliderNano.h"
#include "toolkit/GUIEditor.h"
#include "toolkit/ParamDisplay.h"
#include "toolkit/headless/HeadlessWindow.h"

#include <cstdio>
#include <string>

namespace {

const char* kFamily = "Tahoma_Small";
const CColor kPanel(24, 26, 29);
const CColor kAccent(16, 182, 97);

KnobColours knobColours()
{
    KnobColours c;
    c.bodyFill = CColor(43, 43, 43);
    c.innerFill = CColor(122, 122, 122);
    c.bodyFrame = CColor(5, 5, 7);
    c.ring = kAccent;
    c.pointer = CColor(215, 215, 255);
    c.text = CColor(182, 182, 182);
    c.drawInner = false;
    c.insetDivisor = 19.0;
    return c;
}

NanoColours nanoColours() { return {CColor(98, 98, 98), CColor(5, 5, 7), kAccent, CColor(165, 165, 165)}; }

MultiSwitchColours switchColours()
{
    return {kAccent, CColor(104, 104, 104), CColor(32, 32, 32), CColor(129, 129, 129), kAccent};
}

OnOffColours onOffColours() { return {kAccent, CColor(104, 104, 104), CColor(32, 32, 32)}; }

class Sheet {
public:
    explicit Sheet(CFrame* frame) : m_frame(frame) {}

    void caption(CCoord x, CCoord y, const char* text)
    {
        auto* label = new CTextLabel(CRect(x, y, x + 230, y + 14), text, kNoFrame);
        label->setBackColor(kTransparentCColor);
        label->setFontColor(CColor(192, 192, 192));
        label->setFont(CFontDesc(kFamily, 11, kNormalFace));
        label->setHoriAlign(kLeftText);
        m_frame->addView(label);
    }

    CKnobFlatOrvel* knob(CCoord x, CCoord y, CCoord size, int32_t mode, float value, const char* text,
                         bool active = true)
    {
        auto* k = new CKnobFlatOrvel(CRect(x, y, x + size, y + size), nullptr, 0, mode);
        k->setColours(knobColours());
        k->setValue(value);
        k->setText(text);
        k->setActive(active);
        m_frame->addView(k);
        return k;
    }

    void box(CCoord x, CCoord y, float value, const char* text, bool active)
    {
        auto* s = new CSliderFlat(CRect(x, y, x + 77, y + 19), nullptr, 3, 0, 77, 0x4002);
        s->setFont(kFamily);
        s->setValue(value);
        s->setText(text);
        s->setActive(active);
        m_frame->addView(s);
    }

    void nano(const CRect& r, bool vertical, float value, bool active)
    {
        const int32_t travel = vertical ? static_cast<int32_t>(r.getHeight() - r.getWidth())
                                        : static_cast<int32_t>(r.getWidth() - r.getHeight());
        auto* s = new CSliderNano(r, nullptr, 4, 0, travel, vertical ? 0x42 : 9);
        s->setColours(nanoColours());
        s->setValue(value);
        s->setActive(active);
        m_frame->addView(s);
    }

    void segments(CCoord x, CCoord y, CCoord width, std::initializer_list<const char*> labels, float value,
                  bool active = true)
    {
        auto* m = new CMultiSwitch(CRect(x, y, x + width, y + 19), nullptr, 2, static_cast<int32_t>(labels.size()));
        int32_t i = 0;
        for (const char* label : labels) m->setLabel(i++, label);
        m->setFont(kFamily);
        m->setColours(switchColours());
        m->setValue(value);
        m->setActive(active);
        m_frame->addView(m);
    }

    void onOff(CCoord x, CCoord y, float value, bool active)
    {
        auto* s = new CSimpleOnOff(CRect(x, y, x + 19, y + 19), nullptr, 10);
        s->setColours(onOffColours());
        s->setValue(value);
        s->setActive(active);
        m_frame->addView(s);
    }

    void label(const CRect& r, const char* text, bool frame)
    {
        auto* l = new CSimpleLabel(r, frame, kCenterText);
        l->setFont(kFamily);
        l->setText(text);
        m_frame->addView(l);
    }

private:
    CFrame* m_frame;
};

}  // namespace

int main(int argc, char** argv)
{
    const std::string output = argc > 1 ? argv[1] : "controlsheet.png";
    const char* font = argc > 2 ? argv[2] : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!CFontDesc::registerFontFile(font, kFamily)) std::fprintf(stderr, "Failed to register font %s\n", kFamily);

    GUIEditor editor;
    auto* frame = new CFrame(CRect(0, 0, 893, 534), &editor);
    frame->setBackgroundColor(kPanel);
    if (!editor.openFrame(frame, nullptr, PlatformType::kHeadless)) {
        std::fprintf(stderr, "cannot open a headless frame\n");
        return 1;
    }
    Sheet sheet(frame);

    // Knobs: normal at three values, hovered with its text, inactive, the
    // three sizes of the editor at scale 1, bipolar and stepped.
    sheet.caption(10, 8, "knob 0 / 0.35 / 1");
    sheet.knob(10, 24, 54, 1, 0.f, "0.00");
    sheet.knob(70, 24, 54, 1, 0.35f, "0.35");
    sheet.knob(130, 24, 54, 1, 1.f, "1.00");
    sheet.caption(200, 8, "hover / inactive");
    CKnobFlatOrvel* hovered = sheet.knob(200, 24, 54, 1, 0.6f, "-3.2 dB");
    sheet.knob(260, 24, 54, 1, 0.6f, "-3.2 dB", false);
    sheet.caption(330, 8, "sizes 54 / 47 / 38");
    sheet.knob(330, 24, 54, 1, 0.5f, "");
    sheet.knob(390, 28, 47, 1, 0.5f, "");
    sheet.knob(445, 32, 38, 1, 0.5f, "");
    sheet.caption(500, 8, "bipolar 0.5 / 0.25 / 0.85");
    sheet.knob(500, 28, 47, -1, 0.5f, "C");
    sheet.knob(555, 28, 47, -1, 0.25f, "L50");
    sheet.knob(610, 28, 47, -1, 0.85f, "R70");
    sheet.caption(680, 8, "stepped, 5 positions");
    sheet.knob(680, 24, 54, 5, 0.f, "sine");
    sheet.knob(740, 24, 54, 5, 0.5f, "saw");
    sheet.knob(800, 24, 54, 5, 1.f, "pulse");

    // Sliders.
    sheet.caption(10, 100, "box slider active / inactive");
    sheet.box(10, 118, 0.5f, "440.0 Hz", true);
    sheet.box(95, 118, 0.5f, "440.0 Hz", false);
    sheet.caption(200, 100, "nano vertical 0 / 0.5 / 1 / inactive");
    sheet.nano(CRect(200, 118, 219, 240), true, 0.f, true);
    sheet.nano(CRect(229, 118, 248, 240), true, 0.5f, true);
    sheet.nano(CRect(258, 118, 277, 240), true, 1.f, true);
    sheet.nano(CRect(287, 118, 306, 240), true, 0.5f, false);
    sheet.caption(400, 100, "nano horizontal 0.3 / 0.8 / inactive");
    sheet.nano(CRect(400, 118, 482, 132), false, 0.3f, true);
    sheet.nano(CRect(400, 136, 482, 150), false, 0.8f, true);
    sheet.nano(CRect(400, 154, 482, 168), false, 0.8f, false);

    // Segment switches and on/off switches.
    sheet.caption(10, 260, "segments 2 / 3 / 4 positions");
    sheet.segments(10, 278, 84, {"poly", "mono"}, 0.f);
    sheet.segments(100, 278, 84, {"poly", "mono"}, 1.f);
    sheet.segments(10, 302, 88, {"-1", "off", "+1"}, 0.f);
    sheet.segments(104, 302, 88, {"-1", "off", "+1"}, 0.5f);
    sheet.segments(198, 302, 88, {"-1", "off", "+1"}, 1.f);
    sheet.segments(10, 326, 126, {"off", "2", "3", "\xE2\x88\x9E"}, 1.f / 3);
    sheet.segments(142, 326, 126, {"off", "2", "3", "\xE2\x88\x9E"}, 1.f, false);
    sheet.caption(300, 260, "single segment off / on");
    sheet.segments(300, 278, 68, {"memory"}, 0.f);
    sheet.segments(374, 278, 68, {"memory"}, 1.f);
    sheet.caption(500, 260, "on/off: on / off / on inactive");
    sheet.onOff(500, 278, 1.f, true);
    sheet.onOff(530, 278, 0.f, true);
    sheet.onOff(560, 278, 1.f, false);

    // Labels.
    sheet.caption(10, 370, "labels: framed / plain / shrunk to fit");
    sheet.label(CRect(10, 388, 69, 404), "compare", true);
    sheet.label(CRect(80, 388, 139, 404), "current", false);
    sheet.label(CRect(150, 388, 209, 404), "a much longer caption", true);

    editor.idleFrame();
    frame->platformOnMouseMoved(hovered->getViewSize().getCenter(), CButtonState());
    editor.idleFrame();
    HeadlessWindow* window = HeadlessWindow::of(frame);
    if (!window || !window->savePng(output.c_str())) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("%s\n", output.c_str());
    return 0;
}
