#include "editor/ONDBackgroundBitmap.h"

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "platform/MessageBox.h"
#include "toolkit/DrawContext.h"

#include <vector>

namespace {

struct Label {
    const char* text;
    float x, y;  // left end of the baseline at scale 1.0
};

const Label kLabels14[] = {
    {"wave", 23, 168},         {"harmonics", 97, 168}, {"octave", 107, 107}, {"tuning", 263, 107}, {"noise", 178, 192},
    {"repeat", 302, 190},      {"velosens", 263, 246}, {"A", 404, 228},      {"D", 432, 228},      {"S", 461, 228},
    {"R", 489, 228},           {"A", 462, 514},        {"R", 489, 514},      {"EQ", 543, 319},     {"reverb", 752, 319},
    {"output gain", 791, 188}, {"pan", 744, 188},
};
const Label kLabels12[] = {
    {"ADSR2wave", 210, 146}, {"ADSR2harm", 210, 168}, {"1", 11, 326},
    {"2", 11, 397},          {"3", 11, 466},          {"lag", 84, 293},
    {"range", 145, 293},     {"speed", 214, 293},     {"stereo width", 283, 399},
    {"amount", 398, 399},    {"phase", 404, 475},     {"HP", 581, 212},
    {"BR", 638, 212},        {"LP", 696, 212},
};
const Label kLabels11[] = {{"Hz", 543, 262}, {"gain", 595, 237}, {"BW", 597, 291}};
const Label kLabels16[] = {{"source", 12, 72}, {"delay matrix", 12, 264}, {"feedback", 386, 368}};

}  // namespace

ONDBackgroundBitmap::ONDBackgroundBitmap(CCoord width, CCoord height, const CColor& accentColour,
                                         const std::string& fontFamily)
    : CBitmap(width, height), accent(accentColour), font(fontFamily, 12, kBoldFace)
{
    logo = makeOwned<CBitmap>(Platform::pluginDataPath("ondrel_logo.png").c_str());
    if (!logo->isLoaded()) {
        logo.reset();
        Platform::showMessageBox("ondrel_logo.png is missing!", "Warning");
    }
}

ONDBackgroundBitmap::~ONDBackgroundBitmap() = default;

void ONDBackgroundBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint&, float)
{
    if (!context || font.getName().empty()) return;
    const float sx = layout::scaleX(dest.getWidth());
    const float sy = layout::scaleY(dest.getHeight());
    const double ox = dest.left, oy = dest.top;
    auto X = [&](double v) { return ox + (float)v * sx; };
    auto Y = [&](double v) { return oy + (float)v * sy; };
    auto R = [&](double l, double t, double r, double b) { return CRect(X(l), Y(t), X(r), Y(b)); };
    auto line = [&](double x1, double y1, double x2, double y2) { context->drawLine({X(x1), Y(y1)}, {X(x2), Y(y2)}); };
    auto centre = [&](int i) { return rects[i].getCenter(); };
    // Square frames are stroked on the control's edge (half outside), so that
    // the control drawn over the square leaves the outer half visible.
    auto frameAround = [&](int i, CCoord width) {
        CRect r = rects[i];
        r.extend(width / 2, width / 2);
        context->setLineWidth(width);
        context->drawRect(r, kDrawStroked);
    };

    // 1. The panel.
    context->setLineWidth(1);
    context->setDrawMode(kAliasing);
    context->setFillColor(kPanel);
    context->drawRect(dest, kDrawFilled);

    // 2. The header strip: places of the tool bar's controls.
    context->setFillColor(kNameBar);
    context->drawRect(R(232, 7, 678, 33), kDrawFilled);
    context->setFrameColor(kLightLines);
    line(412, 7, 412, 46);
    context->setFillColor(CColor(53, 52, 53));
    const CRect about = R(5, 7, 44, 33);
    context->drawRect(about, kDrawFilled);
    context->setFont(font, 12 * sy, kBoldFace);
    context->setFontColor(kHeaderMarks);
    context->drawString("?  ", about, kCenterText, true);
    context->setFillColor(kHeaderMarks);
    for (double x : {32.0, 398.0, 664.0, 765.0})
        for (double y : {14.0, 19.0, 24.0}) context->drawRect(R(x, y, x + 10, y + 2), kDrawFilled);
    const CColor primaries[] = {CColor(255, 0, 0), CColor(0, 255, 0), CColor(0, 0, 255)};
    for (int i = 0; i < 3; ++i) {
        context->setFillColor(primaries[i]);
        double x = 745.25 + i * 5.25;
        context->drawRect(R(x, 17, x + 5.25, 22.25), kDrawFilled);
    }
    context->setFillColor(CColor(101, 101, 104, 111));
    context->drawRect(R(745.25, 17, 761, 22.25), kDrawFilled);
    context->setFrameColor(kLightLines);
    context->drawLine({ox, Y(48)}, {dest.right, Y(48)});

    // 3. Section underlines.
    context->setFrameColor(accent);
    line(73, 65, 520, 65);
    line(116, 257, 520, 257);
    line(386, 344, 520, 344);

    // 4. The control rectangles the panel places.
    for (int i = 0; i < layout::kNumSlots; ++i) {
        const layout::Slot& s = layout::slot(i);
        rects[i] = s.placedByBackground ? layout::scaled(s.base, sx, sy).offset(ox, oy) : CRect();
    }
    frameAround(10, 1);
    frameAround(11, 1);
    context->setDrawMode(kAntiAliasing);

    // 5. Signal flow of the source section.
    const CCoord thick = 5 * sx;
    context->setFrameColor(kDarkLines);
    context->setLineWidth(thick);
    context->drawLines({centre(0), centre(1), centre(42)});
    frameAround(15, thick);
    frameAround(19, thick);
    frameAround(23, thick);

    // 6. The delay matrix.
    context->setLineWidth(thick);
    context->drawLine(centre(14), centre(12));
    context->drawLine(centre(18), centre(16));
    context->drawLine(centre(22), centre(20));
    context->drawLines({centre(20), centre(24), centre(16)});

    // 7. Feedback phase.
    context->setFrameColor(accent);
    frameAround(28, 1);

    // 8. Equalizer connectors.
    context->setFrameColor(kWhiteCColor);
    context->setLineWidth(2 * sx);
    for (double x : {587.0, 591.0, 701.0, 705.0}) line(x, 210, x, 248);
    for (double x : {645.0, 649.0}) line(x, 210, x, 275);
    frameAround(39, 2 * sx);

    // 9. Labels. Their sizes grow with the panel like everything else.
    context->setFontColor(kLabelText);
    auto labels = [&](const Label* list, size_t count, double size) {
        context->setFont(font, size * sy, kBoldFace);
        for (size_t i = 0; i < count; ++i) context->drawString(list[i].text, CPoint(X(list[i].x), Y(list[i].y)), true);
    };
    labels(kLabels14, std::size(kLabels14), 14);
    labels(kLabels12, std::size(kLabels12), 12);
    labels(kLabels11, std::size(kLabels11), 11);
    labels(kLabels16, std::size(kLabels16), 16);

    // 10. The logo at its own pixel size.
    if (logo) {
        CRect at(X(627), Y(455), X(627) + logo->getWidth(), Y(455) + logo->getHeight());
        context->drawBitmap(*logo, at, CPoint(), 1.0f);
    }
}
