// Knows the parameter table: makes programs filled with the parameter
// defaults, maps the parameter keys of preset documents to indices, and
// reads and writes preset documents (YAML) and the old packed records.
#pragma once

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "Frameworks/PresetManager/Program.h"

#include <map>
#include <memory>
#include <string>

class Parameters;

class ProgramFactory {
public:
    ProgramFactory(const Parameters& parameters, const std::string& productName, const std::string& version);

    // A new program with every value at the parameter's default, read-only
    // while the read-only mode is on. It becomes m_currentProgram (the
    // factory keeps only that pointer; the caller owns the program).
    std::unique_ptr<Program> createProgram();
    void setCurrentProgramName(const std::string& name);
    // Stores the value into both sets of m_currentProgram; false for a key
    // that names no parameter (exact, case-sensitive).
    bool setParameterByName(const std::string& key, float value);
    Program* currentProgram() const { return m_currentProgram; }
    // Drops the pointer to the program made last (it is being destroyed).
    void forgetCurrentProgram() { m_currentProgram = nullptr; }

    void setReadOnlyMode(bool readOnly) { m_readOnlyMode = readOnly; }
    bool readOnlyMode() const { return m_readOnlyMode; }

    const Parameters& parameters() const { return m_parameters; }
    size_t numParameters() const;
    // The key under which preset documents store parameter `index`.
    const std::string& parameterKey(int index) const;
    // Index of the parameter stored under `key`, or -1.
    int indexOfKey(const std::string& key) const;
    const std::string& productName() const { return m_productName; }
    const std::string& version() const { return m_version; }

    // The preset document of a program (its active values); empty text for a
    // null program or when the emitter fails.
    std::string programToYaml(const Program* program) const;
    // Writes the document to `path`, replacing the file only once the whole
    // new text is on disk. True when a non-empty text was written.
    bool saveProgramFile(const Program* program, const std::string& path) const;
    // As saveProgramFile; with replaceExisting false an existing file is left
    // alone and Exists is answered.
    Platform::WriteResult writeProgramFile(const Program* program, const std::string& path, bool replaceExisting) const;
    // Reads a document from a file; the program remembers `path`.
    std::unique_ptr<Program> loadProgramFile(const std::string& path);
    // Reads a document from memory (the host chunk, no terminating zero
    // needed); the program is read-only. With requireWhole, a document that
    // lacks a parameter or ends inside its last value is refused (a chunk cut
    // short); preset files stay lenient.
    std::unique_ptr<Program> parseProgramChunk(const void* bytes, size_t size, bool requireWhole = false);

    // Size of one packed record: 24 name bytes and one float per parameter.
    size_t packedRecordSize() const;
    // Reads one packed record into a new program; answers the bytes consumed,
    // 0 (and no program) when fewer than a whole record remain.
    size_t readPackedProgram(const void* bytes, size_t size, std::unique_ptr<Program>& program);

private:
    const Parameters& m_parameters;
    std::string m_productName;
    std::string m_version;
    std::map<std::string, int> m_paramNameToIndex;
    bool m_readOnlyMode = false;
    Program* m_currentProgram = nullptr;
};
