// The instrument's 43 parameters in one table: name, unit label, default,
// kind, the curve from the normalised value (0..1) to what the engine uses,
// and how the host's display text shows it. The engine's mapping, the
// display texts, the parameter registry, the editor and the preset tools all
// read this table, so a range is changed in one place.
#pragma once

#include "source/engine/ParameterIndex.h"

// How the engine reads a value.
enum class ParameterKind {
    kContinuous,
    kSwitch,  // on at >= 0.5
    kSteps,   // a whole number (see the curve)
};

// value(v) for the curve kinds, with the row's constants a and b:
//   kIdentity  v
//   kLinear    a * v + b
//   kSquare    a * v * v + b
//   kPower     a ^ v * b          (exponential between b and a * b)
//   kFloor     floor(a * v + b)   (a whole number)
//   kTuning    2 ^ ((a * v + b) / 12), a frequency factor from semitones
//   kSustain   v, or 0 below a
// The rows' comments say what the value means.
enum class Curve { kIdentity, kLinear, kSquare, kPower, kFloor, kTuning, kSustain };

// What the host's display text shows: nothing (the host's own text stays),
// `scale * v` as a whole number (rounded), or the curve's value with one or
// two decimals. A few parameters have texts of their own (kSpecial).
enum class Display { kNone, kRounded, kFixed1, kFixed2, kSpecial };

struct ParameterInfo {
    const char* name;
    const char* label;
    float defaultValue;
    ParameterKind kind;
    Curve curve;
    float a, b;
    Display display;
    float displayScale;  // kRounded: shown = round(displayScale * v)
};

// The row of an index 0..42 (the row of 0 for any other index).
const ParameterInfo& parameterInfo(int index);

// The curve's value of a normalised value, and the normalised value that
// gives a curve value (for the kinds that can be inverted; others answer
// the value itself, clamped to 0..1).
float parameterValue(int index, float normalised);
float normalisedFromValue(int index, float value);
