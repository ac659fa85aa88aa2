// The help box: up to five lines about whatever the mouse is over, from one
// fixed table. It shares its place with the envelope display.
#pragma once

#include "source/engine/ParameterIndex.h"
#include "toolkit/ParamDisplay.h"

#include <string>

namespace help {

constexpr int kLines = 5;
constexpr int kEntries = 47;
constexpr int kGeneralHint = kNumParameters;  // the help text shown away from the controls
constexpr int kPeakMeters = 44;
constexpr int kSizeControl = 45;
constexpr int kOscilloscope = 46;

// Line `line` (0..4) of entry `entry` (0..46): entries 0..42 belong to the
// parameter of that index. A single space is a blank line; an empty line
// draws nothing.
const char* text(int entry, int line);

}  // namespace help

class CToolTip : public CParamDisplay {
public:
    explicit CToolTip(const CRect& size);

    CLASS_METHODS(CToolTip, CParamDisplay)

    // Copies the five lines of a help entry, each bounded to 127 characters.
    void setText(int entry);
    // Replaces the font family (size and style are chosen when drawing).
    void setFont(const char* family);
    const char* getLine(int index) const { return index >= 0 && index < help::kLines ? lines[index] : ""; }

    void draw(CDrawContext* context) override;

    bool drawBackground = false;
    CHoriTxtAlign textAlign = kLeftText;
    CColor frameColour{127, 127, 201};
    CColor textColour{255, 201, 100};

private:
    char lines[help::kLines][128] = {};
    std::string family = "Arial";
};
