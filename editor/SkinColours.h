// The colour schemes and the block of control colours derived from a
// scheme's first colour (its accent). The second colour of a scheme is the
// accent of the background's lines.
#pragma once

#include "editor/controls/KnobFlatOrvel.h"
#include "editor/controls/MultiSwitch.h"
#include "editor/controls/SimpleOnOff.h"
#include "editor/controls/SliderNano.h"

struct ColourScheme {
    const char* name;
    CColor colour1;  // controls
    CColor colour2;  // background lines
};

constexpr int kNumColourSchemes = 8;
constexpr int kDefaultColourScheme = 5;
// The scheme of a menu entry or stored index; an index outside 0..7 gives 0.
const ColourScheme& colourScheme(int index);

// Colours in use from the start of every open until a scheme is applied.
constexpr CColor kInitialColour1{16, 182, 97};
constexpr CColor kInitialColour2{16, 223, 97};

// The peak meters' six colours, in the order CStereoPeaksView takes them.
struct PeakColours {
    CColor barFill{46, 46, 46};
    CColor barFrame{104, 104, 104};
    CColor level{200, 200, 200};
    CColor holder{215, 215, 215};
    CColor holderNearFull{215, 0, 0};
    CColor text{221, 221, 255};
};

struct HelpColours {
    CColor frame{127, 127, 201};
    CColor text{197, 197, 197};
};

// Handed to every control by kind; the accent is the scheme's colour1.
struct SkinColours {
    NanoColours slider;
    PeakColours peaks;
    KnobColours knob;
    MultiSwitchColours switches;
    HelpColours help;
    CColor accent = kInitialColour1;

    SkinColours();
    // The on/off switches take the first three switch colours.
    OnOffColours onOff() const { return {switches.unused1, switches.unused2, switches.segmentFill}; }
};

// Rewrites the entries that follow the accent (and resets the fixed ones
// beside them); entries that no scheme touches keep their values.
void deriveSkinColours(SkinColours& colours);
