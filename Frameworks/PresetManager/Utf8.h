// UTF-8 checks for texts that go into preset documents.
#pragma once

#include <string>

namespace Utf8 {

// True when the text is well-formed UTF-8 (shortest forms, no surrogates,
// nothing above U+10FFFF).
bool isValid(const std::string& text);

// The text with every byte that is not part of a well-formed sequence taken
// as a Latin-1 character (old 8-bit names stay readable).
std::string makeValid(const std::string& text);

}  // namespace Utf8
