#include "fuzz/presets/PresetFuzzChecks.h"

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/ParameterTable.h"

#include <cmath>

namespace PresetFuzz {

namespace {

const Parameters& table()
{
    static Parameters parameters = [] {
        Parameters p;
        fillParameterTable(p);
        return p;
    }();
    return parameters;
}

std::string checkValues(const Program& program)
{
    for (size_t i = 0; i < program.numValues(); ++i) {
        const float v = program.getValue((int)i);
        if (!(v >= 0.0f && v <= 1.0f)) return "value outside 0..1 at " + std::to_string(i);
    }
    return std::string();
}

}  // namespace

std::string checkDocument(const uint8_t* data, size_t size)
{
    ProgramFactory factory(table(), "Ondrel", "0.9.8");
    std::unique_ptr<Program> program = factory.parseProgramChunk(data, size);
    if (!program) return std::string();
    if (!program->readOnly) return "a chunk program is not read-only";
    std::string fault = checkValues(*program);
    if (!fault.empty()) return fault;
    const std::string first = factory.programToYaml(program.get());
    if (first.empty()) return "a program that was read cannot be written";
    std::unique_ptr<Program> again = factory.parseProgramChunk(first.data(), first.size());
    if (!again) return "the written document does not read:\n" + first;
    const std::string second = factory.programToYaml(again.get());
    if (second != first) return "writing is not stable:\n" + first + "\n" + second;
    return std::string();
}

std::string checkHostChunk(const uint8_t* data, size_t size)
{
    if (size == 0) return std::string();
    const bool isPreset = data[0] & 1;
    ++data;
    --size;
    ProgramFactory factory(table(), "Ondrel", "0.9.8");
    PresetManager manager(factory);
    std::unique_ptr<Program> init = factory.createProgram();
    init->name = "Init";
    init->category = "Start";
    Program* start = manager.addProgram(std::move(init), true);
    const size_t before = manager.getAllPrograms().size();

    const PresetManager::ChunkResult result = manager.loadHostChunk(size ? data : nullptr, size, isPreset);
    const size_t after = manager.getAllPrograms().size();
    switch (result) {
    case PresetManager::ChunkResult::Refused:
        if (manager.getCurrentProgram() != start || after != before) return "a refused chunk changed the library";
        break;
    case PresetManager::ChunkResult::ProgramLoaded: {
        Program* current = manager.getCurrentProgram();
        if (current == start || after != before + 1) return "a YAML chunk did not add one current program";
        if (current->category != PresetManager::kProjectCategory || !current->readOnly)
            return "a chunk program is not a project preset";
        std::string fault = checkValues(*current);
        if (!fault.empty()) return fault;
        break;
    }
    case PresetManager::ChunkResult::PackedProgramsLoaded: {
        if (isPreset) return "a packed chunk was taken as a single preset";
        if (manager.getCurrentProgram() != start) return "a packed chunk changed the current program";
        const size_t records = (size - PresetManager::kPackedChunkHeaderSize) / factory.packedRecordSize();
        // One program per record, except records the library already holds
        // (the same record twice in one chunk is added once).
        if (after > before + records || (records > 0 && after == before))
            return "a packed chunk did not add one program per new record";
        for (size_t i = before; i < after; ++i) {
            std::string fault = checkValues(*manager.getAllPrograms()[i]);
            if (!fault.empty()) return fault;
            if (manager.programToYaml(manager.getAllPrograms()[i].get()).empty())
                return "a packed program cannot be written";
        }
        break;
    }
    }
    if (manager.currentProgramToYaml().empty()) return "the current program cannot be written";
    return std::string();
}

}  // namespace PresetFuzz
