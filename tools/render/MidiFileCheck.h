// Checks the framing of a Standard MIDI File before libsmf parses it. libsmf
// trusts lengths and end-of-track marks: a truncated chunk makes it read past
// its buffer, and a track without an end-of-track mark makes it abort. Only
// the framing is checked here (chunks, delta times, event lengths, the end
// mark) and what libsmf does not support (format 2, SMPTE time, sysex continuation
// packets) is refused; the events are read by libsmf.
#pragma once

#include <string>
#include <vector>

// Empty when the file is well framed, else what is wrong with it.
std::string midiFramingProblem(const std::vector<unsigned char>& bytes);
