// Display texts of the 43 parameters, as hosts and the editor show them.
// Values come from getParameter (the current program); the tuning, lag and equalizer
// texts use the engine's own derived values so they say what is heard.
#include "OndrelInstrument.h"
#include "ParameterTable.h"
#include "source/engine/ParameterInfo.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr size_t kDisplayBound = OndrelInstrument::kTextBound;

int truncRound(float x) { return (int)(x + 0.5f); }

// prefix + value with `decimals` digits after a decimal point + suffix. The
// number is formatted without the C library's locale: hosts set LC_NUMERIC
// from the user's environment, and a decimal comma must not reach the texts.
void formatFixed(char* text, const char* prefix, double value, int decimals, const char* suffix = "")
{
    char number[48];
    auto result = std::to_chars(number, number + sizeof number - 1, value, std::chars_format::fixed, decimals);
    *(result.ec == std::errc() ? result.ptr : number) = 0;
    std::snprintf(text, kDisplayBound, "%s%s%s", prefix, number, suffix);
}

}  // namespace

void OndrelInstrument::getParameterDisplay(int index, char* text)
{
    if (!text) return;
    if (index < 0 || index >= kNumParams) {
        *text = 0;
        return;
    }
    float v = getParameter(index);
    if (std::isnan(v)) v = 0.0f;
    const ParameterInfo& info = parameterInfo(index);
    switch (info.display) {
    case Display::kNone:
        return;  // switches and unlabelled controls: the host's text stays
    case Display::kRounded:
        std::snprintf(text, kDisplayBound, "%d", truncRound(info.displayScale * v));
        return;
    case Display::kFixed1:
        formatFixed(text, "", (double)parameterValue(index, v), 1);
        return;
    case Display::kFixed2:
        // The equalizer's frequencies as the engine has them.
        formatFixed(text, "", (double)parameterValue(index, engine.parameter(index)), 2);
        return;
    case Display::kSpecial:
        break;
    }
    switch (index) {
    case kWave:
        // The nearest ratio (the sound takes the whole part of 4 v + 1).
        std::snprintf(text, kDisplayBound, "%d", truncRound(4.0f * v) + 1);
        break;
    case kMastertuning: {
        int cents = (int)((5.0f * v - 2.5f) * 100.0f);
        float hz = 440.0f * engine.masterTune();
        char cent[16];
        std::snprintf(cent, sizeof cent, "%s%d ", cents > 0 ? "+" : "", cents);
        formatFixed(text, cent, (double)hz, 2);
        break;
    }
    case kLag1:
    case kLag2:
    case kLag3:
        if (engine.parameter(kMemory) < 0.5f)
            std::snprintf(text, kDisplayBound, "-%d", truncRound(24.0f * v));
        else
            formatFixed(text, "", (double)parameterValue(index, v), 1);
        break;
    case kEQBRGain:
        formatFixed(text, "", (double)(20.0f * log10f(engine.eqNotchDepth())), 1, " dB");
        break;
    case kGain_out: {
        float g = 20.0f * log10f(3.7f * v * v);
        if (g > -116.0f)
            formatFixed(text, g > 0.0f ? "+" : "", (double)g, 1);
        else
            std::snprintf(text, kDisplayBound, "-%s", "\xE2\x88\x9E");
        break;
    }
    default:
        break;
    }
}
