// The preset library of one plug-in instance: loads the factory and user
// preset folders at start, files programs into categories, keeps the
// current program, takes programs from the host chunk and saves user presets.
#pragma once

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The current program is read on the host's audio thread (automation goes
// into it) while the user-interface thread selects another: the pointer is
// handed over whole, after the program it points to is complete.
class ProgramPointer {
public:
    ProgramPointer& operator=(Program* p)
    {
        pointer.store(p, std::memory_order_release);
        return *this;
    }
    operator Program*() const { return pointer.load(std::memory_order_acquire); }
    Program* operator->() const { return *this; }

private:
    std::atomic<Program*> pointer{nullptr};
};

class PresetManager {
public:
    static const char* const kFactoryCategory;  // "«Factory presets»"
    static const char* const kUserCategory;     // "«User presets»"
    static const char* const kProjectCategory;  // "«Project presets»"
    static const char* const kInitCategory;     // "«Init»"

    // Largest host chunk taken (a preset document is about a kilobyte).
    static const size_t kMaxChunkSize = 16u << 20;
    // Size of the header of an old packed chunk before its records.
    static const size_t kPackedChunkHeaderSize = 1548;

    explicit PresetManager(ProgramFactory& factory);
    PresetManager(const PresetManager&) = delete;
    PresetManager& operator=(const PresetManager&) = delete;

    // Start-up scan of the factory and user folders; makes the default
    // program "Init" when nothing could be loaded.
    void loadAllPresets();
    // Takes a program into the library, filed under its category; with
    // select it becomes the current program. Answers the program.
    Program* addProgram(std::unique_ptr<Program> program, bool select);
    // Selects program p of category c; out-of-range indices change nothing
    // (a program index outside the category changes the category only).
    void selectProgram(int categoryIndex, int programIndex);

    // The current program, else the default program.
    Program* getCurrentProgram() const;
    // The current program's name, "Init" when there is none.
    std::string getCurrentProgramName() const;
    // The current program takes the name and is marked modified; the
    // default program "Init" is never renamed.
    void renameCurrentProgram(const std::string& name);

    std::vector<std::string> getCategoryNames() const { return m_categoryNames; }
    size_t getCategoryCount() const { return m_categoryNames.size(); }
    std::vector<Program*> getProgramsOfCategory(const std::string& name) const;
    int getCurrentCategoryIndex() const { return m_currentCategoryIndex; }
    int getCurrentProgramIndex() const { return m_currentProgramIndex; }
    // Every program taken in, in the order taken (packed programs included).
    const std::vector<std::unique_ptr<Program>>& getAllPrograms() const { return m_allPrograms; }

    // Whether a program of "«User presets»" has exactly this name.
    bool isUserPresetName(const std::string& name) const;
    // A writable copy of the current program under a new name, category
    // "«User presets»", modified; not yet listed.
    std::unique_ptr<Program> duplicateCurrentProgram(const std::string& newName) const;
    // Overwrites the program's own file with its current values. Refused for
    // read-only programs, programs without a file, and a file that belongs to
    // another listed program.
    bool saveProgram(Program* program);
    // Writes the program to a new file (never over an existing one) in the
    // folder, the user folder when empty; the program remembers the file.
    bool saveProgramToNewFile(Program* program, const std::string& folder);

    // A YAML host chunk: the program read becomes current under
    // "«Project presets»"; null (nothing changed) when it does not read or
    // lacks a parameter. A listed project preset with the same name and
    // values is taken again, and a current project preset is replaced, so
    // that repeated chunks do not accumulate.
    Program* loadProgramsFromChunk(const void* bytes, size_t size);
    // Packed records of an old host chunk (the bytes after its header):
    // every whole record becomes a program of the library, filed under no
    // category, unless the library already holds the same one. Answers the
    // number of records read.
    size_t loadPackedPrograms(const void* bytes, size_t size);

    // The whole host chunk decision: a YAML chunk (starting with "---")
    // becomes the current program; an old packed chunk (not isPreset, at
    // least 1548 bytes, the name of parameter 0 at byte 12) adds its records;
    // anything else, and null, empty or oversized data, is refused.
    enum class ChunkResult { Refused, ProgramLoaded, PackedProgramsLoaded };
    ChunkResult loadHostChunk(const void* data, size_t size, bool isPreset);

    // The preset document of a program, of the current program.
    std::string programToYaml(const Program* program) const { return m_factory.programToYaml(program); }
    std::string currentProgramToYaml() const { return programToYaml(getCurrentProgram()); }

    ProgramFactory& factory() { return m_factory; }

private:
    class YamlFileCallback : public Platform::DirTreeCallback {
    public:
        YamlFileCallback(PresetManager& manager, const std::string& category) : m_manager(manager), m_category(category)
        {}
        void onFile(const std::string& path) override;
        std::string enterDirectory(const std::string& name) override;
        void leaveDirectory(const std::string& token) override;

    private:
        PresetManager& m_manager;
        std::string m_category;
    };

    void fileProgram(std::unique_ptr<Program> program);
    // Makes a listed program current, its category sorted, the indices set.
    void selectListedProgram(Program* program);
    void createDefaultProgram();
    void sortCategory(std::vector<Program*>& programs) const;
    bool isFileOfAnotherProgram(const Program* program) const;

    ProgramFactory& m_factory;
    std::vector<std::unique_ptr<Program>> m_allPrograms;
    std::vector<std::string> m_categoryNames;
    std::map<std::string, std::vector<Program*>> m_programsByCategory;
    int m_currentCategoryIndex = 0;
    int m_currentProgramIndex = 0;
    ProgramPointer m_currentProgram;
    Program* m_defaultProgram = nullptr;
};
