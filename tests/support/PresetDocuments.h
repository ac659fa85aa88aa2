// Preset documents and old packed chunks written by hand, as users, hosts
// and older versions hand them to the plug-in. Header only: the preset
// library's, the plug-in's and the editor's tests use it.
#pragma once

#include <cstring>
#include <string>
#include <vector>

namespace testing_support {

// A preset document with the standard preamble, this name and these lines
// below "Params:" (each "  Key: value\n").
inline std::string presetDocument(const std::string& params, const std::string& name = "Test")
{
    return "---\nPreset:\n  product: Ondrel\n  version: 0.9.8\n  format: 1\n  name: " + name + "\nParams:\n" + params;
}

// An old packed chunk: a header naming `firstName` at byte 12, then records
// of a 24-byte name ("Old 0", "Old 1", ...) and 43 floats, value i of record
// r being 0.01 * (i + r).
inline std::vector<unsigned char> packedChunk(int records, const char* firstName = "Wave")
{
    std::vector<unsigned char> bytes(1548 + 196 * (size_t)records, 0);
    std::memcpy(&bytes[12], firstName, std::strlen(firstName));
    for (int r = 0; r < records; ++r) {
        unsigned char* record = &bytes[1548 + 196 * (size_t)r];
        const std::string name = "Old " + std::to_string(r);
        std::memcpy(record, name.data(), name.size());
        for (int i = 0; i < 43; ++i) {
            const float v = 0.01f * (float)(i + r);
            std::memcpy(record + 24 + 4 * i, &v, 4);
        }
    }
    return bytes;
}

}  // namespace testing_support
