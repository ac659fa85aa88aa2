#include "PresetYamlReader.h"

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetLog.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "Frameworks/PresetManager/ValueText.h"

#include <yaml.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const long kMaxPresetFileSize = 64L << 20;

// One entry of the preamble: the event expected, the event that ends the
// read quietly instead, the scalar text expected (null: any), whether the
// entry may be skipped, and whether its scalar is the preset name.
struct PreambleEntry {
    yaml_event_type_t expected;
    yaml_event_type_t ending;
    const char* text;
    bool skippable;
    bool isName;
};

const PreambleEntry kPreamble[] = {
    {YAML_STREAM_START_EVENT, YAML_STREAM_END_EVENT, nullptr, true, false},
    {YAML_DOCUMENT_START_EVENT, YAML_NO_EVENT, nullptr, false, false},
    {YAML_MAPPING_START_EVENT, YAML_NO_EVENT, nullptr, false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, "Preset", false, false},
    {YAML_MAPPING_START_EVENT, YAML_NO_EVENT, nullptr, false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, "product", false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, nullptr, false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, "version", false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, nullptr, false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, "format", false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, nullptr, false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, "name", false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, nullptr, false, true},
    {YAML_MAPPING_END_EVENT, YAML_NO_EVENT, nullptr, false, false},
    {YAML_SCALAR_EVENT, YAML_NO_EVENT, "Params", false, false},
    {YAML_MAPPING_START_EVENT, YAML_NO_EVENT, nullptr, false, false},
};
const size_t kPreambleLength = sizeof kPreamble / sizeof kPreamble[0];

// An event that deletes itself.
struct Event {
    yaml_event_t e;
    bool held = false;
    Event() { std::memset(&e, 0, sizeof e); }
    ~Event() { release(); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    void release()
    {
        if (held) yaml_event_delete(&e);
        held = false;
    }
    yaml_event_type_t type() const { return e.type; }
    bool isScalar() const { return e.type == YAML_SCALAR_EVENT; }
    std::string text() const
    {
        return std::string(reinterpret_cast<const char*>(e.data.scalar.value), e.data.scalar.length);
    }
    const char* cText() const { return reinterpret_cast<const char*>(e.data.scalar.value); }
};

// One read of one document.
class DocumentRead {
public:
    // requireWhole: see PresetYamlReader::requireWholeDocument.
    DocumentRead(yaml_parser_t& parser, ProgramFactory& factory, const std::string& source, bool requireWhole)
        : m_parser(parser),
          m_factory(factory),
          m_source(source),
          m_requireWhole(requireWhole),
          m_seen(factory.numParameters(), false)
    {}
    // A program that is not handed out must not stay the factory's current one.
    ~DocumentRead()
    {
        if (m_program && m_factory.currentProgram() == m_program.get()) m_factory.forgetCurrentProgram();
    }
    DocumentRead(const DocumentRead&) = delete;
    DocumentRead& operator=(const DocumentRead&) = delete;

    std::unique_ptr<Program> run()
    {
        if (!readPreamble()) return nullptr;
        if (!readParameters()) return nullptr;
        Event end;
        if (!next(end)) return nullptr;
        if (end.type() != YAML_DOCUMENT_END_EVENT) return formatError("Preset postamble parsing failed");
        if (!m_sawParameter) {
            PresetLog::print("Could not parse preset in chunk\n");
            return nullptr;
        }
        if (m_requireWhole && !isWhole(end.e.start_mark.index)) return nullptr;
        return std::move(m_program);
    }

private:
    bool next(Event& event)
    {
        event.release();
        if (!yaml_parser_parse(&m_parser, &event.e)) {
            parserError();
            return false;
        }
        event.held = true;
        return true;
    }

    // Marks count characters; the implicit document end stands where the
    // text ends, so a last value that ends there had no line break after it.
    bool isWhole(size_t documentEnd)
    {
        for (size_t i = 0; i < m_seen.size(); ++i) {
            if (!m_seen[i]) {
                formatError(("Parameter " + m_factory.parameterKey((int)i) + " is missing").c_str());
                return false;
            }
        }
        if (!m_emptyValueKey.empty()) {
            formatError(("Parameter " + m_emptyValueKey + " has no value").c_str());
            return false;
        }
        if (m_lastValueEnd >= documentEnd) {
            formatError("The text ends inside the last value");
            return false;
        }
        return true;
    }

    void parserError()
    {
        unsigned long offset, line, column;
        if (m_parser.error == YAML_SCANNER_ERROR || m_parser.error == YAML_PARSER_ERROR) {
            offset = (unsigned long)m_parser.problem_mark.index;
            line = (unsigned long)m_parser.problem_mark.line + 1;
            column = (unsigned long)m_parser.problem_mark.column + 1;
        } else if (m_parser.error == YAML_READER_ERROR) {
            offset = (unsigned long)m_parser.problem_offset;
            line = (unsigned long)m_parser.mark.line + 1;
            column = (unsigned long)m_parser.mark.column + 1;
        } else {
            offset = (unsigned long)m_parser.mark.index;
            line = (unsigned long)m_parser.mark.line + 1;
            column = (unsigned long)m_parser.mark.column + 1;
        }
        PresetLog::print("Parser error #%d in %s near file offset %lu, line %lu, col %lu:\n", (int)m_parser.error,
                         m_source.c_str(), offset, line, column);
        PresetLog::print("    %s\n", m_parser.problem ? m_parser.problem : "unknown problem");
        if (m_parser.context) PresetLog::print("    %s\n", m_parser.context);
    }

    std::nullptr_t formatError(const char* text)
    {
        PresetLog::print("Preset format error in %s near file offset %lu, line %lu, col %lu:\n", m_source.c_str(),
                         (unsigned long)m_parser.mark.index, (unsigned long)m_parser.mark.line + 1,
                         (unsigned long)m_parser.mark.column + 1);
        PresetLog::print("    %s\n", text);
        return nullptr;
    }

    bool readPreamble()
    {
        size_t entry = 0;
        Event event;
        while (entry < kPreambleLength) {
            if (!next(event)) return false;
            for (;;) {
                const PreambleEntry& want = kPreamble[entry];
                if (want.ending != YAML_NO_EVENT && event.type() == want.ending) return false;
                if (event.type() == YAML_NO_EVENT) return false;
                if (event.type() == want.expected) break;
                if (!want.skippable) {
                    formatError("Preset preamble parsing failed");
                    return false;
                }
                ++entry;
            }
            const PreambleEntry& matched = kPreamble[entry];
            if (matched.text && event.text() != matched.text) {
                formatError("Preset preamble parsing failed");
                return false;
            }
            if (matched.isName) {
                m_program = m_factory.createProgram();
                m_factory.setCurrentProgramName(event.text());
            }
            ++entry;
        }
        return true;
    }

    bool readParameters()
    {
        Event key, value;
        for (;;) {
            if (!next(key) || !next(value)) return false;
            if (key.isScalar() && value.isScalar()) {
                const std::string name = key.text();
                if (name == "name") {
                    m_factory.setCurrentProgramName(value.text());
                } else {
                    m_sawParameter = true;
                    m_lastValueEnd = value.e.end_mark.index;
                    if (value.e.data.scalar.length == 0 && m_emptyValueKey.empty() && m_factory.indexOfKey(name) >= 0)
                        m_emptyValueKey = name;
                    setParameter(name, value.cText());
                }
            } else if (key.type() == YAML_MAPPING_END_EVENT && value.type() == YAML_MAPPING_END_EVENT) {
                return true;
            } else {
                formatError("Expected more key / value pairs or mapping end");
                return false;
            }
        }
    }

    // Values outside 0..1 (and NaN) would drive the synthesizer outside its
    // range: they are brought back into it and reported.
    void setParameter(const std::string& key, const char* text)
    {
        const int index = m_factory.indexOfKey(key);
        if (index < 0) return;
        m_seen[(size_t)index] = true;
        float value = ValueText::parse(text);
        bool changed = false;
        const float limited = ValueText::limit(value, m_factory.parameters().defaultValue(index), changed);
        if (changed)
            PresetLog::print("Preset value %.40s of %s in %s is outside 0..1, using %s\n", text, key.c_str(),
                             m_source.c_str(), ValueText::format(limited).c_str());
        m_factory.setParameterByName(key, limited);
    }

    yaml_parser_t& m_parser;
    ProgramFactory& m_factory;
    const std::string& m_source;
    const bool m_requireWhole;
    std::vector<bool> m_seen;     // per parameter index: an entry was read
    size_t m_lastValueEnd = 0;    // mark just after the last value read
    std::string m_emptyValueKey;  // the first parameter entry without a value
    std::unique_ptr<Program> m_program;
    bool m_sawParameter = false;
};

// A parser that is released in every case.
struct Parser {
    yaml_parser_t p;
    bool ready;
    Parser() { ready = yaml_parser_initialize(&p) != 0; }
    ~Parser()
    {
        if (ready) yaml_parser_delete(&p);
    }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
};

}  // namespace

std::unique_ptr<Program> PresetYamlReader::readFile(const std::string& path)
{
    Parser parser;
    if (!parser.ready) {
        PresetLog::print("Failed to initialize YAML parser\n");
        return nullptr;
    }
    FILE* file = std::fopen(path.c_str(), "r");
    // A folder opens for reading on some systems and then fails to read: it
    // is refused like a file that cannot be opened, as on the others.
    if (file && std::fgetc(file) == EOF && std::ferror(file)) {
        std::fclose(file);
        file = nullptr;
    }
    if (file) std::rewind(file);
    if (!file) {
        PresetLog::print("Failed to open preset file %s\n", path.c_str());
        return nullptr;
    }
    // A preset is about a kilobyte; a huge file is not one, and reading it
    // would hold up the start of the plug-in.
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long length = std::ftell(file);
        std::rewind(file);
        if (length > kMaxPresetFileSize) {
            PresetLog::print("Preset file %s is too large (%ld bytes)\n", path.c_str(), length);
            std::fclose(file);
            return nullptr;
        }
    }
    yaml_parser_set_input_file(&parser.p, file);
    std::unique_ptr<Program> program = DocumentRead(parser.p, m_factory, m_sourceName, m_requireWhole).run();
    std::fclose(file);
    return program;
}

std::unique_ptr<Program> PresetYamlReader::readMemory(const void* bytes, size_t size)
{
    Parser parser;
    if (!parser.ready) {
        PresetLog::print("Failed to initialize YAML parser\n");
        return nullptr;
    }
    static const unsigned char empty[1] = {0};
    if (!bytes) size = 0;
    yaml_parser_set_input_string(&parser.p, bytes ? static_cast<const unsigned char*>(bytes) : empty, size);
    return DocumentRead(parser.p, m_factory, m_sourceName, m_requireWhole).run();
}
