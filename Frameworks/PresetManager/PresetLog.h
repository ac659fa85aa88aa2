// Diagnostics of the preset code: printf-style lines on the standard error
// stream. Tests install a recorder to see the exact texts.
#pragma once

namespace PresetLog {

// Formats like printf and writes the text to the standard error stream, and
// to the recorder when one is installed.
void print(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

using Recorder = void (*)(const char* text);
// Installs a recorder that receives every formatted text; null removes it.
void setRecorder(Recorder recorder);
// Whether texts also go to the standard error stream (on by default; fuzzers
// turn it off).
void setEcho(bool echo);

}  // namespace PresetLog
