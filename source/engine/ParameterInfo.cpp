#include "source/engine/ParameterInfo.h"

#include <cmath>

namespace {

using K = ParameterKind;
using C = Curve;
using D = Display;

// Times in seconds, rates in Hz, depths and delays in ms, filters in Hz.
const ParameterInfo kRows[kNumParameters] = {
    // modulator ratio 1..5
    {"Wave", "", 0.5f, K::kSteps, C::kFloor, 4.0f, 1.0f, D::kSpecial, 0.0f},
    {"Harmonics", "", 0.0f, K::kContinuous, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    // -12, 0 or +12 semitones (thirds of the range)
    {"Octave", "", 0.5f, K::kSteps, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    // +-2.5 semitones
    {"Mastertuning", "", 0.5f, K::kContinuous, C::kTuning, 5.0f, -2.5f, D::kSpecial, 0.0f},
    {"Attack1", "", 0.5f, K::kContinuous, C::kSquare, 2.0f, 0.001f, D::kNone, 0.0f},
    {"Decay1", "", 0.5f, K::kContinuous, C::kSquare, 2.0f, 0.01f, D::kNone, 0.0f},
    {"Sustain1", "", 0.5f, K::kContinuous, C::kSustain, 0.001f, 0.0f, D::kNone, 0.0f},
    {"Release1", "", 0.5f, K::kContinuous, C::kSquare, 2.0f, 0.0f, D::kNone, 0.0f},
    // loop above 0.1; extra cycles 0..2, 3 endless
    {"Repeat", "", 0.5f, K::kSteps, C::kFloor, 3.0f, 0.5f, D::kNone, 0.0f},
    // velocity sensitivity; shown as 0..127
    {"Velosens", "", 0.5f, K::kContinuous, C::kLinear, 0.998f, 0.001f, D::kRounded, 127.0f},
    {"ADSR2wave", "", 0.5f, K::kSwitch, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"ADSR2harm", "", 0.5f, K::kSwitch, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"Speed1", "Hz", 0.5f, K::kContinuous, C::kLinear, 12.0f, 0.0f, D::kFixed1, 0.0f},
    {"Range1", "ms", 0.5f, K::kContinuous, C::kLinear, 10.0f, 0.0f, D::kFixed1, 0.0f},
    // Memory on: 0..250 ms (reached in glide steps of 0.1); off: semitones
    // below the note, 0..24 (its own text)
    {"Lag1", "", 0.5f, K::kContinuous, C::kLinear, 250.0f, 0.0f, D::kSpecial, 0.0f},
    {"On1", "", 0.5f, K::kContinuous, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"Speed2", "Hz", 0.5f, K::kContinuous, C::kLinear, 12.0f, 0.0f, D::kFixed1, 0.0f},
    {"Range2", "ms", 0.5f, K::kContinuous, C::kLinear, 10.0f, 0.0f, D::kFixed1, 0.0f},
    {"Lag2", "", 0.5f, K::kContinuous, C::kLinear, 250.0f, 0.0f, D::kSpecial, 0.0f},
    {"On2", "", 0.5f, K::kContinuous, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"Speed3", "Hz", 0.5f, K::kContinuous, C::kLinear, 12.0f, 0.0f, D::kFixed1, 0.0f},
    {"Range3", "ms", 0.5f, K::kContinuous, C::kLinear, 10.0f, 0.0f, D::kFixed1, 0.0f},
    {"Lag3", "", 0.5f, K::kContinuous, C::kLinear, 250.0f, 0.0f, D::kSpecial, 0.0f},
    {"On3", "", 0.5f, K::kContinuous, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"Stereo", "%", 0.5f, K::kContinuous, C::kIdentity, 0.0f, 0.0f, D::kRounded, 100.0f},
    {"PolyMono", "", 0.5f, K::kSwitch, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"Memory", "", 0.5f, K::kSwitch, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    // drive into the feedback saturator (the engine scales it by 1.6 x 5)
    {"FdBkAmount", "%", 0.5f, K::kContinuous, C::kIdentity, 0.0f, 0.0f, D::kRounded, 100.0f},
    {"FdBkPhase", "", 0.5f, K::kSwitch, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"Attack2", "", 0.5f, K::kContinuous, C::kSquare, 2.0f, 0.001f, D::kNone, 0.0f},
    {"Release2", "", 0.5f, K::kContinuous, C::kSquare, 35.0f, 0.0f, D::kNone, 0.0f},
    // room size 0.7..0.98 (and damping (2 - v) x 0.4)
    {"ReverbSize", "", 0.5f, K::kContinuous, C::kLinear, 0.28f, 0.7f, D::kNone, 0.0f},
    // wet share 0..0.9
    {"ReverbMix", "", 0.5f, K::kContinuous, C::kSquare, 0.9f, 0.0f, D::kNone, 0.0f},
    {"ReverbOn", "", 0.5f, K::kSwitch, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"EQHPHz", "", 0.5f, K::kContinuous, C::kPower, 80.0f, 20.0f, D::kFixed2, 0.0f},
    {"EQLPHz", "", 0.5f, K::kContinuous, C::kPower, 12.658228f, 1580.0f, D::kFixed2, 0.0f},
    {"EQBRHz", "", 0.5f, K::kContinuous, C::kPower, 240.0f, 50.0f, D::kFixed2, 0.0f},
    {"EQBRBW", "", 0.5f, K::kContinuous, C::kPower, 680.0f, 10.0f, D::kFixed2, 0.0f},
    // the un-notched share of the mix; shown in dB
    {"EQBRGain", "", 0.5f, K::kContinuous, C::kLinear, 0.9999874f, 1.26e-05f, D::kSpecial, 0.0f},
    {"EQOn", "", 0.5f, K::kSwitch, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    // output gain; shown in dB of 3.7 x the gain
    {"Gain_out", "", 0.5f, K::kContinuous, C::kSquare, 1.0f, 0.0f, D::kSpecial, 0.0f},
    {"Pan", "", 0.5f, K::kContinuous, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
    {"Noise", "", 0.0f, K::kContinuous, C::kIdentity, 0.0f, 0.0f, D::kNone, 0.0f},
};

}  // namespace

const ParameterInfo& parameterInfo(int index) { return kRows[index >= 0 && index < kNumParameters ? index : 0]; }

float parameterValue(int index, float v)
{
    const ParameterInfo& p = parameterInfo(index);
    switch (p.curve) {
    case Curve::kLinear:
        return p.a * v + p.b;
    case Curve::kSquare:
        return p.a * v * v + p.b;
    case Curve::kPower:
        return powf(p.a, v) * p.b;
    case Curve::kFloor:
        return std::floor(p.a * v + p.b);
    case Curve::kTuning:
        return powf((float)std::pow(2.0, 1.0 / 12.0), p.a * v + p.b);
    case Curve::kSustain:
        return v < p.a ? 0.0f : v;
    case Curve::kIdentity:
        break;
    }
    return v;
}

float normalisedFromValue(int index, float x)
{
    const ParameterInfo& p = parameterInfo(index);
    float v = x;
    switch (p.curve) {
    case Curve::kLinear:
        v = (x - p.b) / p.a;
        break;
    case Curve::kSquare:
        v = std::sqrt(std::fmax(0.0f, x - p.b) / p.a);
        break;
    case Curve::kPower:
        v = std::log(x / p.b) / std::log(p.a);
        break;
    case Curve::kFloor:
        v = (x - p.b) / p.a;
        break;
    case Curve::kTuning:
        v = (12.0f * std::log2(x) - p.b) / p.a;
        break;
    case Curve::kIdentity:
    case Curve::kSustain:
        break;
    }
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
