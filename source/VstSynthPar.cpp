// Display texts of the 43 parameters, as the host shows them. Values come
// from getParameter (the current program); the tuning, lag and equalizer
// texts use the engine's own derived values so they say what is heard.
#include "BaseLibrary/VstSynthLib.h"
#include "ParameterTable.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr size_t kDisplayBound = 24;

int truncRound(float x) { return (int)(x + 0.5f); }

}  // namespace

void VstSynth::getParameterDisplay(VstInt32 index, char* text)
{
    if (!text) return;
    if (index < 0 || index >= kNumParams) {
        *text = 0;
        return;
    }
    float v = getParameter(index);
    if (std::isnan(v)) v = 0.0f;
    switch (index) {
    case kWave:
        std::snprintf(text, kDisplayBound, "%d", truncRound(4.0f * v) + 1);
        break;
    case kMastertuning: {
        int cents = (int)((5.0f * v - 2.5f) * 100.0f);
        float hz = 440.0f * engine.masterTune();
        std::snprintf(text, kDisplayBound, "%s%d %1.2f", cents > 0 ? "+" : "", cents, (double)hz);
        break;
    }
    case kVelosens:
        std::snprintf(text, kDisplayBound, "%d", truncRound(127.0f * v));
        break;
    case kSpeed1:
    case kSpeed2:
    case kSpeed3:
        std::snprintf(text, kDisplayBound, "%1.1f", (double)(12.0f * v));
        break;
    case kRange1:
    case kRange2:
    case kRange3:
        std::snprintf(text, kDisplayBound, "%1.1f", (double)(10.0f * v));
        break;
    case kLag1:
    case kLag2:
    case kLag3:
        if (engine.parameter(kMemory) < 0.5f)
            std::snprintf(text, kDisplayBound, "-%d", truncRound(24.0f * v));
        else
            std::snprintf(text, kDisplayBound, "%1.1f", (double)(250.0f * v));
        break;
    case kStereo:
    case kFdBkAmount:
        std::snprintf(text, kDisplayBound, "%d", truncRound(100.0f * v));
        break;
    case kEQHPHz:
        std::snprintf(text, kDisplayBound, "%1.2f", (double)engine.eqHighPassHz());
        break;
    case kEQLPHz:
        std::snprintf(text, kDisplayBound, "%1.2f", (double)engine.eqLowPassHz());
        break;
    case kEQBRHz:
        std::snprintf(text, kDisplayBound, "%1.2f", (double)engine.eqNotchHz());
        break;
    case kEQBRBW:
        std::snprintf(text, kDisplayBound, "%1.2f", (double)engine.eqNotchWidthHz());
        break;
    case kEQBRGain:
        std::snprintf(text, kDisplayBound, "%1.1f %s", (double)(20.0f * log10f(engine.eqNotchDepth())), "dB");
        break;
    case kGain_out: {
        float g = 20.0f * log10f(3.7f * v * v);
        if (g > -116.0f)
            std::snprintf(text, kDisplayBound, "%s%1.1f", g > 0.0f ? "+" : "", (double)g);
        else
            std::snprintf(text, kDisplayBound, "-%s", "\xE2\x88\x9E");
        break;
    }
    default:
        break;  // switches and unlabelled controls: the host's text stays
    }
}
