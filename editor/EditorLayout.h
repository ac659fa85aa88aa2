// Where everything sits on the panel: the 43 control slots (one per
// parameter index) and the display views, at the base size 893 x 534, and
// the six editor sizes.
#pragma once

#include "source/engine/ParameterIndex.h"
#include "toolkit/Geometry.h"

#include <cstdint>

namespace layout {

constexpr int kNumSlots = kNumParameters;
constexpr double kBaseWidth = 893;
constexpr double kBaseHeight = 534;
// 1/893 and 1/534 in single precision.
constexpr float kInvBaseWidth = 0.0011198209f;
constexpr float kInvBaseHeight = 0.0018726592f;

enum class Kind { Knob, MultiSwitch, FlatSlider, NanoVertical, NanoHorizontal, OnOff };

struct Slot {
    Kind kind;
    int mode;    // knob mode, or the positions of a multi-switch
    CRect base;  // left, top, right, bottom at scale 1.0
    bool placedByBackground;
};

const Slot& slot(int index);

// Views that no parameter is bound to, at scale 1.0.
constexpr CRect kScope{541, 65, 730, 165};
constexpr CRect kPeaks{818, 68, 838, 168};
constexpr CRect kPlot{574, 299, 730, 331};
constexpr CRect kEnvelope{574, 345, 827, 434};
constexpr CRect kHelpBox{537, 345, 864, 434};
// The block of the four amplitude envelope sliders: over it the envelope
// drawing replaces the help box.
constexpr CRect kAdsrHot{401, 91, 501, 213};

// Zoom steps by size index 0..5.
constexpr int kNumSizes = 6;
constexpr int kDefaultSize = 1;
float zoomFactor(int sizeIndex);
// The size index a stored "skin" value stands for: its integer part, and
// the default size for anything outside 0..5.
int sizeIndexForSkin(float skin);
// Editor size in pixels for a size index.
CPoint editorSize(int sizeIndex);

// A base rectangle at the scale (sx, sy): left and top, width and height
// each multiplied in single precision.
CRect scaled(const CRect& base, float sx, float sy);
// The scale factors of an editor of the given size.
float scaleX(double width);
float scaleY(double height);

}  // namespace layout
