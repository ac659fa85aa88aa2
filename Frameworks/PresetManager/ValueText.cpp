#include "ValueText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace ValueText {

std::string format(float value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, (double)value, std::chars_format::general, 6);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// A number too large or too small for a double: from_chars leaves the value
// alone, strtod gives HUGE_VAL or 0. Tells the two apart by the position of
// the first significant digit plus the exponent.
static double saturate(const char* begin, const char* end)
{
    const char* p = begin;
    if (p + 1 < end && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) p += 2;
    long magnitude = 0;
    bool seenDigit = false, afterPoint = false;
    for (; p < end && *p != 'e' && *p != 'E' && *p != 'p' && *p != 'P'; ++p) {
        if (*p == '.') {
            afterPoint = true;
        } else if (!seenDigit && *p == '0') {
            if (afterPoint) --magnitude;
        } else {
            seenDigit = true;
            if (!afterPoint) ++magnitude;
        }
    }
    if (p < end) {
        ++p;
        bool negativeExponent = *p == '-';
        if (*p == '-' || *p == '+') ++p;
        long exponent = 0;
        for (; p < end && exponent < 100000; ++p) exponent = exponent * 10 + (*p - '0');
        magnitude += negativeExponent ? -exponent : exponent;
    }
    return magnitude > 0 ? HUGE_VAL : 0.0;
}

float parse(const char* text)
{
    if (!text) return 0.0f;
    const char* p = text;
    while (isBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p == '+' || *p == '-') return 0.0f;
    const char* end = p + std::strlen(p);
    double value = 0.0;
    std::from_chars_result result{p, std::errc::invalid_argument};
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        result = std::from_chars(p + 2, end, value, std::chars_format::hex);
        // "0x" without hexadecimal digits reads as the number 0 followed by text
        if (result.ec == std::errc::invalid_argument) value = 0.0;
    } else {
        result = std::from_chars(p, end, value, std::chars_format::general);
        if (result.ec == std::errc::invalid_argument) return 0.0f;
    }
    if (result.ec == std::errc::result_out_of_range) value = saturate(p, result.ptr);
    return (float)(negative ? -value : value);
}

float limit(float value, float fallback, bool& changed)
{
    changed = true;
    if (std::isnan(value)) return fallback;
    if (value < 0.0f) return 0.0f;
    if (value > 1.0f) return 1.0f;
    changed = false;
    return value;
}

}  // namespace ValueText
