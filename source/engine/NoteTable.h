// Equal-tempered note frequencies shared by all instances: note 69 = 440 Hz.
// Entries 0..127 are the MIDI notes; entry 128 is one more equal-tempered step,
// reached when the octave switch raises the top notes.
#pragma once

constexpr int kNoteTableSize = 129;

// Frequencies in Hz, kNoteTableSize entries.
const float* noteFrequencyTable();
// One period of each note in ms (1000 / frequency), kNoteTableSize entries.
const float* notePeriodMsTable();
