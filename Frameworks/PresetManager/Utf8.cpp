#include "Utf8.h"

namespace Utf8 {

// Length of the well-formed sequence at text[i], or 0.
static size_t sequenceLength(const std::string& text, size_t i)
{
    const unsigned char lead = (unsigned char)text[i];
    if (lead < 0x80) return 1;
    size_t width;
    unsigned long value;
    if ((lead & 0xE0) == 0xC0) {
        width = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        width = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        width = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + width > text.size()) return 0;
    for (size_t k = 1; k < width; ++k) {
        const unsigned char c = (unsigned char)text[i + k];
        if ((c & 0xC0) != 0x80) return 0;
        value = (value << 6) | (c & 0x3F);
    }
    const unsigned long minimum = width == 2 ? 0x80 : width == 3 ? 0x800 : 0x10000;
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return width;
}

bool isValid(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        size_t n = sequenceLength(text, i);
        if (!n) return false;
        i += n;
    }
    return true;
}

std::string makeValid(const std::string& text)
{
    if (isValid(text)) return text;
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size();) {
        size_t n = sequenceLength(text, i);
        if (n) {
            out.append(text, i, n);
            i += n;
        } else {
            const unsigned char c = (unsigned char)text[i++];
            out += (char)(0xC0 | (c >> 6));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace Utf8
