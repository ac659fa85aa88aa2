// The words for the positions of the parameters that a switch with several
// positions shows: the editor's labels and the LV2 ports' scale points.
// Position k of n stands at the value k / (n - 1).
#pragma once

struct ParameterChoices {
    int index;
    const char* labels[4];
    int positions;
};

inline constexpr ParameterChoices kParameterChoices[] = {
    {25, {"poly", "mono"}, 2},
    {2, {"-1", "off", "+1"}, 3},
    {8, {"off", "2", "3", "\xE2\x88\x9E"}, 4},  // the last is the infinity sign
    {26, {"memory"}, 1},
};

// The row of a parameter index, or null.
inline const ParameterChoices* parameterChoices(int index)
{
    for (const ParameterChoices& c : kParameterChoices)
        if (c.index == index) return &c;
    return nullptr;
}
