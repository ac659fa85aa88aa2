#include "ParameterTable.h"

#include "Frameworks/Core/Parameters.h"

namespace {

struct Row {
    const char* name;
    float defaultValue;
    const char* label;
};

const Row kRows[kNumParameters] = {
    {"Wave", 0.5f, ""},        {"Harmonics", 0.0f, ""},  {"Octave", 0.5f, ""},
    {"Mastertuning", 0.5f, ""}, {"Attack1", 0.5f, ""},   {"Decay1", 0.5f, ""},
    {"Sustain1", 0.5f, ""},    {"Release1", 0.5f, ""},   {"Repeat", 0.5f, ""},
    {"Velosens", 0.5f, ""},    {"ADSR2wave", 0.5f, ""},  {"ADSR2harm", 0.5f, ""},
    {"Speed1", 0.5f, "Hz"},    {"Range1", 0.5f, "ms"},   {"Lag1", 0.5f, ""},
    {"On1", 0.5f, ""},         {"Speed2", 0.5f, "Hz"},   {"Range2", 0.5f, "ms"},
    {"Lag2", 0.5f, ""},        {"On2", 0.5f, ""},        {"Speed3", 0.5f, "Hz"},
    {"Range3", 0.5f, "ms"},    {"Lag3", 0.5f, ""},       {"On3", 0.5f, ""},
    {"Stereo", 0.5f, "%"},     {"PolyMono", 0.5f, ""},   {"Memory", 0.5f, ""},
    {"FdBkAmount", 0.5f, "%"}, {"FdBkPhase", 0.5f, ""},  {"Attack2", 0.5f, ""},
    {"Release2", 0.5f, ""},    {"ReverbSize", 0.5f, ""}, {"ReverbMix", 0.5f, ""},
    {"ReverbOn", 0.5f, ""},    {"EQHPHz", 0.5f, ""},     {"EQLPHz", 0.5f, ""},
    {"EQBRHz", 0.5f, ""},      {"EQBRBW", 0.5f, ""},     {"EQBRGain", 0.5f, ""},
    {"EQOn", 0.5f, ""},        {"Gain_out", 0.5f, ""},   {"Pan", 0.5f, ""},
    {"Noise", 0.0f, ""},
};

}  // namespace

void fillParameterTable(Parameters& parameters)
{
    for (int i = 0; i < kNumParameters; ++i)
        parameters.addDefinition((uint64_t)i, kRows[i].name, kRows[i].defaultValue, kRows[i].label);
}
