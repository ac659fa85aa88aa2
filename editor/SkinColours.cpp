#include "editor/SkinColours.h"

namespace {

const ColourScheme kSchemes[kNumColourSchemes] = {
    {"green green", {16, 182, 97}, {16, 214, 97}},     {"red red", {186, 16, 97}, {128, 16, 97}},
    {"red gray", {203, 16, 46}, {128, 128, 128}},      {"green gray", {16, 182, 97}, {128, 128, 128}},
    {"blue gray", {111, 186, 250}, {128, 128, 128}},   {"yellow yellow", {255, 214, 97}, {214, 182, 97}},
    {"orange orange", {234, 129, 35}, {234, 129, 35}}, {"yellow black", {232, 214, 97}, {2, 2, 2}},
};

}  // namespace

const ColourScheme& colourScheme(int index) { return kSchemes[index >= 0 && index < kNumColourSchemes ? index : 0]; }

SkinColours::SkinColours()
{
    knob.innerFill = CColor(122, 122, 122);
    knob.pointer = CColor(215, 215, 255);
    knob.drawInner = false;
    deriveSkinColours(*this);
}

void deriveSkinColours(SkinColours& c)
{
    const CColor a = c.accent;
    c.slider = {CColor(98, 98, 98), CColor(5, 5, 7), a, CColor(165, 165, 165)};
    c.knob.bodyFill = CColor(43, 43, 43);
    c.knob.bodyFrame = CColor(5, 5, 7);
    c.knob.ring = a;
    c.knob.text = CColor(182, 182, 182);
    c.knob.insetDivisor = 19.0;
    c.peaks.barFrame = CColor(104, 104, 104);
    c.switches = {a, CColor(104, 104, 104), CColor(32, 32, 32), CColor(129, 129, 129), a};
    c.help = {CColor(127, 127, 201), CColor(197, 197, 197)};
}
