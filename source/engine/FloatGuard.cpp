#include "source/engine/FloatGuard.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

FloatGuard::Class FloatGuard::classify(float sample)
{
    uint32_t bits;
    std::memcpy(&bits, &sample, sizeof bits);
    if ((bits & 0x7F800000u) != 0x7F800000u) return kFinite;
    uint32_t mantissa = bits & 0x007FFFFFu;
    if (mantissa == 0) return (bits & 0x80000000u) ? kNegativeInfinity : kPositiveInfinity;
    return (mantissa & 0x00400000u) ? kQuietNaN : kSignalingNaN;
}

void FloatGuard::record(Class c, int stage)
{
    int expected = kEmpty;
    if (!state_.compare_exchange_strong(expected, kWriting, std::memory_order_acquire)) return;
    const char* name = "";
    switch (c) {
    case kSignalingNaN:
        name = "/* signaling NaN */";
        break;
    case kQuietNaN:
        name = "/* quiet NaN */";
        break;
    case kNegativeInfinity:
        name = "/* negative infinity */";
        break;
    case kPositiveInfinity:
        name = "/* positive infinity */";
        break;
    default:
        break;
    }
    std::snprintf(text_, sizeof text_, "%sstage%d", name, stage);
    state_.store(kReady, std::memory_order_release);
}

bool FloatGuard::takeReport(char* text, int textSize, char* title, int titleSize)
{
    int expected = kReady;
    if (!state_.compare_exchange_strong(expected, kReading, std::memory_order_acquire)) return false;
    if (text && textSize > 0) std::snprintf(text, (size_t)textSize, "%s", text_);
    if (title && titleSize > 0) std::snprintf(title, (size_t)titleSize, "%s", kTitle);
    state_.store(kEmpty, std::memory_order_release);
    return true;
}
