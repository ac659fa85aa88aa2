// Parameter values as text in preset documents, independent of the process
// locale (a host may switch the C locale to one with a decimal comma).
#pragma once

#include <string>

namespace ValueText {

// General format with six significant digits, shortest form: 0.5, 0, 1,
// 0.333333, 1e-07.
std::string format(float value);

// Leading blanks skipped, the longest valid number prefix taken (decimal,
// exponent, hexadecimal, inf, nan), 0 when there is none; narrowed to float.
float parse(const char* text);

// A value inside 0..1: NaN becomes `fallback`, values below 0 (and -inf)
// become 0, above 1 (and inf) become 1. `changed` tells whether it was moved.
float limit(float value, float fallback, bool& changed);

}  // namespace ValueText
