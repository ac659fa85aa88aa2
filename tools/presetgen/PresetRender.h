// Renders notes of a preset through the synthesis engine and measures them:
// level, decay, spectrum. Used to check the factory library (no clipping,
// never silent, audibly different presets).
#pragma once

#include <string>
#include <vector>

struct NoteMeasure {
    float peak = 0.0f;           // largest magnitude, both channels
    bool finite = true;          // no NaN or infinity anywhere
    float rmsStart = 0.0f;       // 0..0.25 s after the note-on
    float rmsHeld = 0.0f;        // 0.8..1.0 s (key still held)
    float rmsAfter = 0.0f;       // 0.5..1.0 s after the note-off
    float centroidHz = 0.0f;     // spectral centroid of the first second
    std::vector<float> bandsDb;  // third-octave band levels of the first second
    float oddEvenDb = 0.0f;      // odd over even harmonics of the (first) note, first second
    float pitchCents = 0.0f;     // detected pitch against the (first) note, folded into one octave (-600..600)
};

// values: the 43 normalised parameter values. Notes are held for
// `holdSeconds` and followed by `tailSeconds` after their release.
NoteMeasure renderNotes(const float* values, const std::vector<int>& notes, int velocity, float holdSeconds,
                        float tailSeconds);

// Distance between two measured sounds (spectral shape and envelope); small
// values mean they sound alike.
float soundDistance(const NoteMeasure& a, const NoteMeasure& b);

// What the factory library promises a musician, measured on short phrases
// at 44.1 kHz (levels are the RMS of both channels, in dBFS).
struct PresetSound {
    bool finite = true;
    float levelDb = 0.0f;          // loudest 400 ms of a held four-note chord at velocity 100
    float peakDb = 0.0f;           // largest sample of that chord, of eight notes at velocity 100,
                                   // and of single notes at velocity 127 (C1 to C7, C4 at 20 and 127)
    float fullChordPeakDb = 0.0f;  // largest sample of eight notes at velocity 127
    float velocityDb = 0.0f;       // loudest 400 ms of a note at velocity 127 against velocity 20
    int echoes = 0;                // repeats rising out of a staccato note's decay
    float fifthDb = -200.0f;       // energy a fifth above the pitch (1.5 or 0.75 times) against the pitch
    float bassDb = -200.0f;        // share of a C2's energy below 300 Hz
};

// values: the 43 normalised parameter values. `full`: also the single notes
// C1..C7 for the peak (the chords decide it for every factory preset).
PresetSound measureSound(const float* values, bool full);

// The library's limits, from what a musician expects of a factory library:
// levels within 10 dB of each other with the median between -20 and -16
// dBFS, no peak above -3 dBFS (eight notes at full velocity: none
// above full scale), at least 10 dB of velocity response (unless
// the preset sets Velosens to 0, as an organ does), and names that keep their
// promises: "Echo" or "Delay" echoes, "Fifth" sounds the fifth, a Bass sits
// in the bass. One line per fault; empty when the library keeps them.
struct AuditedPreset {
    std::string category, name;
    float velosens = 0.0f;
    PresetSound sound;
};
std::vector<std::string> libraryFaults(const std::vector<AuditedPreset>& library);
