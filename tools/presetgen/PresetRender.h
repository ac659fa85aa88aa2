// Renders notes of a preset through the synthesis engine and measures them:
// level, decay, spectrum. Used to check the factory library (no clipping,
// never silent, audibly different presets).
#pragma once

#include <vector>

struct NoteMeasure {
    float peak = 0.0f;          // largest magnitude, both channels
    bool finite = true;         // no NaN or infinity anywhere
    float rmsStart = 0.0f;      // 0..0.25 s after the note-on
    float rmsHeld = 0.0f;       // 0.8..1.0 s (key still held)
    float rmsAfter = 0.0f;      // 0.5..1.0 s after the note-off
    float centroidHz = 0.0f;    // spectral centroid of the first second
    std::vector<float> bandsDb; // third-octave band levels of the first second
    float oddEvenDb = 0.0f;     // odd over even harmonics of the (first) note, first second
    float pitchCents = 0.0f;    // detected pitch against the (first) note, folded into one octave (-600..600)
};

// values: the 43 normalised parameter values. Notes are held for
// `holdSeconds` and followed by `tailSeconds` after their release.
NoteMeasure renderNotes(const float* values, const std::vector<int>& notes, int velocity, float holdSeconds,
                        float tailSeconds);

// Distance between two measured sounds (spectral shape and envelope); small
// values mean they sound alike.
float soundDistance(const NoteMeasure& a, const NoteMeasure& b);
