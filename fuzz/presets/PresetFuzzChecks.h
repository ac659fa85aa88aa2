// What the preset fuzzers check for one input, shared with the regression
// test that replays the corpus in the normal build. Each check answers an
// empty text when every property holds, else a description of the fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace PresetFuzz {

// A preset document from memory: reading never fails badly; a document that
// reads writes back to a text that reads again to the same text.
std::string checkDocument(const uint8_t* data, size_t size);

// A host chunk (the first byte chooses the single-preset flag): refused
// chunks change nothing, YAML chunks make the current program, packed
// chunks add one program per whole record.
std::string checkHostChunk(const uint8_t* data, size_t size);

}  // namespace PresetFuzz
