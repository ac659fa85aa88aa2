#include "PresetManager.h"

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetLog.h"
#include "platform/Assert.h"

#include <algorithm>
#include <cstring>

static const char* const kSource = "..\\..\\Frameworks\\PresetManager\\PresetManager";

// Guillemets around each name, kept on one line each.
// clang-format off
const char* const PresetManager::kFactoryCategory = "\xC2\xAB" "Factory presets" "\xC2\xBB";
const char* const PresetManager::kUserCategory = "\xC2\xAB" "User presets" "\xC2\xBB";
const char* const PresetManager::kProjectCategory = "\xC2\xAB" "Project presets" "\xC2\xBB";
const char* const PresetManager::kInitCategory = "\xC2\xAB" "Init" "\xC2\xBB";
// clang-format on

namespace {

const char* const kPresetExtension = ".yaml";
// Offset of the name of parameter 0 in the header of an old packed chunk.
const size_t kPackedChunkNameOffset = 12;

// Same name and stored values: the same preset, whatever was edited since.
bool sameStoredPreset(const Program& a, const Program& b)
{
    if (a.name != b.name || a.numValues() != b.numValues()) return false;
    for (size_t i = 0; i < a.numValues(); ++i)
        if (a.initialValue((int)i) != b.initialValue((int)i)) return false;
    return true;
}

bool isFixedCategory(const std::string& name) { return name.compare(0, 2, "\xC2\xAB") == 0; }

// Sub-folder categories first, then the fixed ones; each kind by name.
bool categoryBefore(const std::string& a, const std::string& b)
{
    const bool fixedA = isFixedCategory(a), fixedB = isFixedCategory(b);
    if (fixedA != fixedB) return !fixedA;
    return Platform::compareNames(a, b) < 0;
}

}  // namespace

PresetManager::PresetManager(ProgramFactory& factory) : m_factory(factory) {}

void PresetManager::YamlFileCallback::onFile(const std::string& path)
{
    std::unique_ptr<Program> program = m_manager.m_factory.loadProgramFile(path);
    if (!program) return;
    program->category = m_category;
    m_manager.fileProgram(std::move(program));
}

std::string PresetManager::YamlFileCallback::enterDirectory(const std::string& name)
{
    std::string previous = m_category;
    m_category = name;
    return previous;
}

void PresetManager::YamlFileCallback::leaveDirectory(const std::string& token) { m_category = token; }

void PresetManager::fileProgram(std::unique_ptr<Program> program)
{
    std::vector<Program*>& list = m_programsByCategory[program->category];
    if (list.empty()) m_categoryNames.push_back(program->category);
    list.push_back(program.get());
    m_allPrograms.push_back(std::move(program));
}

void PresetManager::sortCategory(std::vector<Program*>& programs) const
{
    std::sort(programs.begin(), programs.end(),
              [](const Program* a, const Program* b) { return Platform::compareNames(a->name, b->name) < 0; });
}

void PresetManager::loadAllPresets()
{
    const size_t before = m_allPrograms.size();
    const bool readOnly = m_factory.readOnlyMode();

    m_factory.setReadOnlyMode(true);
    YamlFileCallback factoryFiles(*this, kFactoryCategory);
    Platform::walkDirectoryTree(Platform::presetFolder(false), factoryFiles, kPresetExtension, 0);

    m_factory.setReadOnlyMode(false);
    YamlFileCallback userFiles(*this, kUserCategory);
    Platform::walkDirectoryTree(Platform::presetFolder(true), userFiles, kPresetExtension, 0);
    m_factory.setReadOnlyMode(readOnly);

    if (m_allPrograms.size() > before) {
        std::sort(m_categoryNames.begin(), m_categoryNames.end(), categoryBefore);
        for (auto& category : m_programsByCategory) sortCategory(category.second);
    } else {
        createDefaultProgram();
    }
}

void PresetManager::createDefaultProgram()
{
    if (m_defaultProgram) return;
    std::unique_ptr<Program> program = m_factory.createProgram();
    if (!program) {
        PresetLog::print(
            "Failed to load any presets or even create a default program. This is likely to be terminal.\n");
        return;
    }
    m_defaultProgram = program.get();
    program->name = "Init";
    program->category = kInitCategory;
    program->modified = true;
    addProgram(std::move(program), true);
}

Program* PresetManager::addProgram(std::unique_ptr<Program> program, bool select)
{
    if (!program) return nullptr;
    Program* added = program.get();
    fileProgram(std::move(program));
    if (select) selectListedProgram(added);
    return added;
}

void PresetManager::selectListedProgram(Program* program)
{
    m_currentProgram = program;
    std::vector<Program*>& list = m_programsByCategory[program->category];
    sortCategory(list);
    auto category = std::find(m_categoryNames.begin(), m_categoryNames.end(), program->category);
    m_currentCategoryIndex = (int)(category - m_categoryNames.begin());
    m_currentProgramIndex = (int)(std::find(list.begin(), list.end(), program) - list.begin());
}

void PresetManager::selectProgram(int categoryIndex, int programIndex)
{
    if (categoryIndex < 0 || (size_t)categoryIndex >= m_categoryNames.size()) return;
    m_currentCategoryIndex = categoryIndex;
    const std::vector<Program*>& list = m_programsByCategory[m_categoryNames[(size_t)categoryIndex]];
    if (programIndex >= 0 && (size_t)programIndex < list.size()) {
        m_currentProgramIndex = programIndex;
        m_currentProgram = list[(size_t)programIndex];
    }
}

Program* PresetManager::getCurrentProgram() const
{
    ONDREL_ASSERT(kSource, m_currentProgram || m_defaultProgram);
    return m_currentProgram ? m_currentProgram : m_defaultProgram;
}

std::string PresetManager::getCurrentProgramName() const
{
    return m_currentProgram ? m_currentProgram->name : std::string("Init");
}

void PresetManager::renameCurrentProgram(const std::string& name)
{
    // The default program "Init" exists only when no preset could be loaded;
    // it keeps its name, so that the host always shows what it is.
    if (!m_currentProgram || m_currentProgram == m_defaultProgram) return;
    m_currentProgram->name = name;
    m_currentProgram->modified = true;
}

std::vector<Program*> PresetManager::getProgramsOfCategory(const std::string& name) const
{
    auto it = m_programsByCategory.find(name);
    return it == m_programsByCategory.end() ? std::vector<Program*>() : it->second;
}

bool PresetManager::isUserPresetName(const std::string& name) const
{
    auto it = m_programsByCategory.find(kUserCategory);
    if (it == m_programsByCategory.end()) return false;
    for (const Program* program : it->second)
        if (program->name == name) return true;
    return false;
}

std::unique_ptr<Program> PresetManager::duplicateCurrentProgram(const std::string& newName) const
{
    ONDREL_ASSERT(kSource, m_currentProgram);
    if (!m_currentProgram) return nullptr;
    auto copy = std::make_unique<Program>(*m_currentProgram);
    copy->name = newName;
    copy->readOnly = false;
    copy->category = kUserCategory;
    copy->modified = true;
    return copy;
}

bool PresetManager::isFileOfAnotherProgram(const Program* program) const
{
    if (program->filePath.empty()) return false;
    for (const auto& other : m_allPrograms)
        if (other.get() != program && other->filePath == program->filePath) return true;
    return false;
}

bool PresetManager::saveProgram(Program* program)
{
    if (!program) return false;
    program->setValueType(VALUE_CURRENT);
    // A factory or project preset is never written, and a copy that still
    // carries the file of the preset it came from must not replace that file.
    if (program->readOnly) {
        PresetLog::print("Refusing to overwrite read-only preset %s\n", program->name.c_str());
        return false;
    }
    if (isFileOfAnotherProgram(program)) {
        PresetLog::print("Refusing to overwrite preset file %s: it belongs to another preset\n",
                         program->filePath.c_str());
        return false;
    }
    if (!m_factory.saveProgramFile(program, program->filePath)) return false;
    program->commit();
    return true;
}

bool PresetManager::saveProgramToNewFile(Program* program, const std::string& folder)
{
    if (!program) return false;
    const std::string target = folder.empty() ? Platform::presetFolder(true) : folder;
    program->setValueType(VALUE_CURRENT);
    // The folder may have been removed while the plug-in ran.
    Platform::createFolder(target);
    // Another save may take a free name between the check and the write:
    // the write never replaces a file, so look for the next free name.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string path = Platform::uniquePresetFileName(target, program->name, "yaml");
        if (path.empty()) {
            PresetLog::print("Failed to create preset file %s\n", target.c_str());
            return false;
        }
        Platform::WriteResult result = m_factory.writeProgramFile(program, path, false);
        if (result == Platform::WriteResult::Failed) return false;
        if (result == Platform::WriteResult::Written) {
            program->commit();
            program->filePath = path;
            return true;
        }
    }
    return false;
}

Program* PresetManager::loadProgramsFromChunk(const void* bytes, size_t size)
{
    if (!bytes || size == 0 || size > kMaxChunkSize) {
        PresetLog::print("Host chunk refused: %s\n", !bytes ? "no data" : size == 0 ? "empty" : "too large");
        return nullptr;
    }
    // A chunk that Ondrel wrote holds every parameter; one cut short is refused.
    std::unique_ptr<Program> program = m_factory.parseProgramChunk(bytes, size, true);
    if (!program) return nullptr;
    program->category = kProjectCategory;

    // Hosts hand the chunk back at every project load, undo and recall of
    // their own presets. A project preset with the same name and values is
    // taken again; otherwise, while a project preset is current, the new
    // chunk replaces it (it was the host's program, and the host's state now
    // supersedes it). Only a chunk arriving while another preset is current
    // adds a project preset, so the library does not grow with every call.
    Program* reused = nullptr;
    auto projects = m_programsByCategory.find(kProjectCategory);
    if (projects != m_programsByCategory.end())
        for (Program* listed : projects->second)
            if (sameStoredPreset(*listed, *program)) reused = listed;
    if (!reused && m_currentProgram && m_currentProgram->category == kProjectCategory) reused = m_currentProgram;
    if (!reused) return addProgram(std::move(program), true);
    if (m_factory.currentProgram() == program.get()) m_factory.forgetCurrentProgram();
    *reused = *program;
    selectListedProgram(reused);
    return reused;
}

size_t PresetManager::loadPackedPrograms(const void* bytes, size_t size)
{
    if (!bytes || size > kMaxChunkSize) return 0;
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    size_t count = 0;
    for (;;) {
        std::unique_ptr<Program> program;
        const size_t used = m_factory.readPackedProgram(p, size, program);
        if (!used || !program) break;
        // The same old chunk restored again adds nothing new.
        const bool known = std::any_of(m_allPrograms.begin(), m_allPrograms.end(), [&](const auto& held) {
            return held->category.empty() && sameStoredPreset(*held, *program);
        });
        if (known) {
            if (m_factory.currentProgram() == program.get()) m_factory.forgetCurrentProgram();
        } else {
            m_allPrograms.push_back(std::move(program));
        }
        ++count;
        p += used;
        size -= used;
    }
    return count;
}

PresetManager::ChunkResult PresetManager::loadHostChunk(const void* data, size_t size, bool isPreset)
{
    if (!data || size == 0 || size > kMaxChunkSize) {
        PresetLog::print("Host chunk refused: %s\n", !data ? "no data" : size == 0 ? "empty" : "too large");
        return ChunkResult::Refused;
    }
    const char* bytes = static_cast<const char*>(data);
    if (size >= 3 && std::memcmp(bytes, "---", 3) == 0)
        return loadProgramsFromChunk(data, size) ? ChunkResult::ProgramLoaded : ChunkResult::Refused;
    if (isPreset || size < kPackedChunkHeaderSize) return ChunkResult::Refused;
    const char* name = bytes + kPackedChunkNameOffset;
    const size_t room = kPackedChunkHeaderSize - kPackedChunkNameOffset;
    const size_t length = strnlen(name, room);
    if (length == room || std::string(name, length) != m_factory.parameters().name(0)) return ChunkResult::Refused;
    loadPackedPrograms(bytes + kPackedChunkHeaderSize, size - kPackedChunkHeaderSize);
    return ChunkResult::PackedProgramsLoaded;
}
