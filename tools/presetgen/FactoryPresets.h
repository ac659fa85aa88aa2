// The factory preset library as a table: each preset is described in the
// units a sound designer thinks in (seconds, semitones, milliseconds, Hz)
// and turned into the 43 normalised parameter values.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct FactoryPreset {
    std::string category;  // sub-folder of the factory folder
    std::string name;
    std::vector<std::pair<std::string, float>> values;  // preset key -> value, all 43
};

const std::vector<FactoryPreset>& factoryPresets();
