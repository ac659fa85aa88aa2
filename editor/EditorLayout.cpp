#include "editor/EditorLayout.h"

#include <cmath>

namespace layout {

namespace {

constexpr Kind K = Kind::Knob;
constexpr Kind M = Kind::MultiSwitch;
constexpr Kind F = Kind::FlatSlider;
constexpr Kind V = Kind::NanoVertical;
constexpr Kind H = Kind::NanoHorizontal;
constexpr Kind O = Kind::OnOff;

const Slot kSlots[kNumSlots] = {
    {K, 5, {19, 173, 71, 225}, true},     // 0 Wave
    {K, 1, {107, 173, 159, 225}, true},   // 1 Harmonics
    {M, 3, {162, 92, 250, 111}, true},    // 2 Octave
    {F, 0, {314, 92, 391, 111}, true},    // 3 Mastertuning
    {V, 0, {401, 92, 420, 214}, false},   // 4 Attack1
    {V, 0, {430, 92, 449, 214}, false},   // 5 Decay1
    {V, 0, {459, 92, 478, 214}, false},   // 6 Sustain1
    {V, 0, {487, 92, 506, 214}, false},   // 7 Release1
    {M, 4, {263, 196, 389, 215}, true},   // 8 Repeat
    {F, 0, {336, 230, 389, 249}, true},   // 9 Velosens
    {O, 0, {188, 129, 207, 148}, true},   // 10 ADSR2wave
    {O, 0, {188, 150, 207, 169}, true},   // 11 ADSR2harm
    {K, 1, {215, 302, 256, 343}, true},   // 12 Speed1
    {K, 1, {145, 302, 186, 343}, true},   // 13 Range1
    {K, 1, {75, 302, 116, 343}, true},    // 14 Lag1
    {O, 0, {32, 312, 51, 331}, true},     // 15 On1
    {K, 1, {215, 371, 256, 412}, true},   // 16 Speed2
    {K, 1, {145, 371, 186, 412}, true},   // 17 Range2
    {K, 1, {75, 371, 116, 412}, true},    // 18 Lag2
    {O, 0, {32, 382, 51, 401}, true},     // 19 On2
    {K, 1, {215, 441, 256, 482}, true},   // 20 Speed3
    {K, 1, {145, 441, 186, 482}, true},   // 21 Range3
    {K, 1, {75, 441, 116, 482}, true},    // 22 Lag3
    {O, 0, {32, 452, 51, 471}, true},     // 23 On3
    {K, 1, {299, 406, 340, 447}, true},   // 24 Stereo
    {M, 2, {12, 92, 96, 111}, true},      // 25 PolyMono
    {M, 1, {98, 506, 166, 525}, true},    // 26 Memory
    {K, 1, {403, 406, 444, 447}, true},   // 27 FdBkAmount
    {O, 0, {414, 483, 433, 502}, true},   // 28 FdBkPhase
    {V, 0, {459, 377, 478, 499}, false},  // 29 Attack2
    {V, 0, {488, 377, 507, 499}, false},  // 30 Release2
    {H, 0, {780, 275, 862, 289}, false},  // 31 ReverbSize
    {H, 0, {780, 291, 862, 305}, false},  // 32 ReverbMix
    {O, 0, {753, 280, 772, 299}, true},   // 33 ReverbOn
    {F, 0, {564, 248, 616, 267}, true},   // 34 EQHPHz
    {F, 0, {678, 248, 730, 267}, true},   // 35 EQLPHz
    {F, 0, {621, 248, 673, 267}, true},   // 36 EQBRHz
    {F, 0, {621, 275, 673, 294}, true},   // 37 EQBRBW
    {F, 0, {621, 222, 673, 241}, true},   // 38 EQBRGain
    {O, 0, {546, 280, 565, 299}, true},   // 39 EQOn
    {K, 1, {802, 192, 854, 244}, true},   // 40 Gain_out
    {K, -1, {740, 196, 781, 237}, true},  // 41 Pan
    {K, 1, {179, 197, 217, 235}, true},   // 42 Noise
};

constexpr float kZoom[kNumSizes] = {0.89f, 1.0f, 1.2f, 1.4f, 1.6f, 1.9f};

}  // namespace

const Slot& slot(int index) { return kSlots[index >= 0 && index < kNumSlots ? index : 0]; }

float zoomFactor(int sizeIndex) { return kZoom[sizeIndex >= 0 && sizeIndex < kNumSizes ? sizeIndex : kDefaultSize]; }

int sizeIndexForSkin(float skin)
{
    if (!std::isfinite(skin) || skin <= -1.0f || skin >= (float)kNumSizes) return kDefaultSize;
    return (int)skin;  // the integer part: -0.5 is size 0
}

CPoint editorSize(int sizeIndex)
{
    double f = zoomFactor(sizeIndex);
    return {kBaseWidth * f, kBaseHeight * f};
}

CRect scaled(const CRect& base, float sx, float sy)
{
    float left = (float)base.left * sx;
    float top = (float)base.top * sy;
    float width = (float)base.getWidth() * sx;
    float height = (float)base.getHeight() * sy;
    return CRect(left, top, (double)left + width, (double)top + height);
}

float scaleX(double width) { return (float)width * kInvBaseWidth; }
float scaleY(double height) { return (float)height * kInvBaseHeight; }

}  // namespace layout
