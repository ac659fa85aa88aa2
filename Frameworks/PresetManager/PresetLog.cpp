#include "PresetLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace PresetLog {

static std::atomic<Recorder> g_recorder{nullptr};
static std::atomic<bool> g_echo{true};

void setEcho(bool echo) { g_echo = echo; }

void setRecorder(Recorder recorder) { g_recorder = recorder; }

void print(const char* format, ...)
{
    char small[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (length < 0) {
        text = format;
    } else if ((size_t)length < sizeof small) {
        text.assign(small, (size_t)length);
    } else {
        text.resize((size_t)length + 1);
        std::vsnprintf(&text[0], text.size(), format, copy);
        text.resize((size_t)length);
    }
    va_end(copy);
    if (g_echo.load()) std::fputs(text.c_str(), stderr);
    if (Recorder r = g_recorder.load()) r(text.c_str());
}

}  // namespace PresetLog
