#include "source/engine/NoteTable.h"

namespace {
struct Tables {
    float frequency[kNoteTableSize];
    float periodMs[kNoteTableSize];
    Tables()
    {
        // Accumulated one step at a time in double, stored as float.
        double f = 8.175798915636872;
        for (int n = 0; n < kNoteTableSize; ++n) {
            frequency[n] = (float)f;
            periodMs[n] = 1000.0f / frequency[n];
            f *= 1.059463094359;
        }
    }
};

const Tables& tables()
{
    static const Tables t;  // built once, thread-safe
    return t;
}
}  // namespace

const float* noteFrequencyTable() { return tables().frequency; }

const float* notePeriodMsTable() { return tables().periodMs; }
