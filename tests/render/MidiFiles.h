// Standard MIDI files written byte by byte for the tests, so that running
// status and tempo maps are exactly as stated.
#pragma once

#include <cstdint>
#include <vector>

namespace midi_files {

// Format 1, 480 pulses per quarter. Track 0: 120 bpm at 0, 240 bpm at pulse
// 960, 60 bpm at pulse 1920. Track 1, in running status after its first
// note-on: notes at 0.5 s (on 60), 1.0 s (on 62), 1.25 s (60 off by velocity
// 0), 1.5 s (62 off), 2.5 s (on 64), 3.0 s (64 off by velocity 0).
std::vector<unsigned char> tempoChangesWithRunningStatus();
// The seconds of the six note events above.
inline const double kTempoFileTimes[6] = {0.5, 1.0, 1.25, 1.5, 2.5, 3.0};

// Format 0 at 96 pulses per quarter and the default tempo (120 bpm): note 69
// on at pulse 96 (0.5 s) that is never switched off; the track ends at pulse 192 (1.0 s).
std::vector<unsigned char> hangingNote();

}  // namespace midi_files
