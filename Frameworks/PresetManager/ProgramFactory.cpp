#include "ProgramFactory.h"

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetLog.h"
#include "Frameworks/PresetManager/PresetYamlReader.h"
#include "Frameworks/PresetManager/PresetYamlWriter.h"
#include "Frameworks/PresetManager/ValueText.h"
#include "platform/Assert.h"

#include <cstdint>
#include <cstring>

static const char* const kSource = "..\\..\\Frameworks\\PresetManager\\ProgramFactory";

static const size_t kPackedNameSize = 24;

ProgramFactory::ProgramFactory(const Parameters& parameters, const std::string& productName, const std::string& version)
    : m_parameters(parameters), m_productName(productName), m_version(version)
{
    for (size_t i = 0; i < parameters.count(); ++i) m_paramNameToIndex[parameters.presetKey((int)i)] = (int)i;
}

size_t ProgramFactory::numParameters() const { return m_parameters.count(); }

const std::string& ProgramFactory::parameterKey(int index) const { return m_parameters.presetKey(index); }

int ProgramFactory::indexOfKey(const std::string& key) const
{
    auto it = m_paramNameToIndex.find(key);
    return it == m_paramNameToIndex.end() ? -1 : it->second;
}

std::unique_ptr<Program> ProgramFactory::createProgram()
{
    auto program = std::make_unique<Program>(m_parameters.count(), m_readOnlyMode);
    for (size_t i = 0; i < m_parameters.count(); ++i)
        program->setStoredValue((int)i, m_parameters.defaultValue((int)i));
    m_currentProgram = program.get();
    return program;
}

void ProgramFactory::setCurrentProgramName(const std::string& name)
{
    ONDREL_ASSERT(kSource, m_currentProgram);
    if (m_currentProgram) m_currentProgram->name = name;
}

bool ProgramFactory::setParameterByName(const std::string& key, float value)
{
    ONDREL_ASSERT(kSource, m_currentProgram);
    ONDREL_ASSERT(kSource, !m_paramNameToIndex.empty());
    if (!m_currentProgram) return false;
    int index = indexOfKey(key);
    if (index < 0) return false;
    m_currentProgram->setStoredValue(index, value);
    return true;
}

std::string ProgramFactory::programToYaml(const Program* program) const
{
    if (!program) return std::string();
    return PresetYamlWriter(*this).write(*program);
}

Platform::WriteResult ProgramFactory::writeProgramFile(const Program* program, const std::string& path,
                                                       bool replaceExisting) const
{
    std::string text = programToYaml(program);
    if (text.empty()) return Platform::WriteResult::Failed;
    Platform::WriteResult result = Platform::writeTextFile(path, text, replaceExisting);
    if (result == Platform::WriteResult::Failed) PresetLog::print("Failed to create preset file %s\n", path.c_str());
    return result;
}

bool ProgramFactory::saveProgramFile(const Program* program, const std::string& path) const
{
    return writeProgramFile(program, path, true) == Platform::WriteResult::Written;
}

std::unique_ptr<Program> ProgramFactory::loadProgramFile(const std::string& path)
{
    std::unique_ptr<Program> program = PresetYamlReader(*this, path).readFile(path);
    if (program) program->filePath = path;
    return program;
}

std::unique_ptr<Program> ProgramFactory::parseProgramChunk(const void* bytes, size_t size, bool requireWhole)
{
    bool previous = m_readOnlyMode;
    m_readOnlyMode = true;
    PresetYamlReader reader(*this, "host chunk");
    reader.requireWholeDocument(requireWhole);
    std::unique_ptr<Program> program = reader.readMemory(bytes, size);
    m_readOnlyMode = previous;
    return program;
}

size_t ProgramFactory::packedRecordSize() const { return kPackedNameSize + 4 * m_parameters.count(); }

size_t ProgramFactory::readPackedProgram(const void* bytes, size_t size, std::unique_ptr<Program>& program)
{
    program.reset();
    const size_t recordSize = packedRecordSize();
    if (!bytes || size < recordSize) return 0;
    const unsigned char* record = static_cast<const unsigned char*>(bytes);
    program = createProgram();
    size_t nameLength = 0;
    while (nameLength < kPackedNameSize && record[nameLength] != 0) ++nameLength;
    program->name.assign(reinterpret_cast<const char*>(record), nameLength);
    for (size_t i = 0; i < m_parameters.count(); ++i) {
        const unsigned char* p = record + kPackedNameSize + 4 * i;
        uint32_t bits = (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
        float value;
        std::memcpy(&value, &bits, sizeof value);
        bool changed = false;
        float limited = ValueText::limit(value, m_parameters.defaultValue((int)i), changed);
        if (changed)
            PresetLog::print("Packed preset %s: value %s of %s is outside 0..1, using %s\n", program->name.c_str(),
                             ValueText::format(value).c_str(), m_parameters.presetKey((int)i).c_str(),
                             ValueText::format(limited).c_str());
        program->setStoredValue((int)i, limited);
    }
    return recordSize;
}
