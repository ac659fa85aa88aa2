#include "PresetYamlWriter.h"

#include "Frameworks/PresetManager/PresetLog.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "Frameworks/PresetManager/Utf8.h"
#include "Frameworks/PresetManager/ValueText.h"

#include <yaml.h>

namespace {

int appendToText(void* data, unsigned char* buffer, size_t size)
{
    static_cast<std::string*>(data)->append(reinterpret_cast<const char*>(buffer), size);
    return 1;
}

// One emitter with its output text; counts failed emits.
class Emitter {
public:
    Emitter()
    {
        m_ready = yaml_emitter_initialize(&m_emitter) != 0;
        if (!m_ready) {
            PresetLog::print("emitter error: %s\n", "cannot initialize the emitter");
            ++m_failures;
            return;
        }
        yaml_emitter_set_output(&m_emitter, appendToText, &m_text);
        yaml_emitter_set_encoding(&m_emitter, YAML_UTF8_ENCODING);
    }
    ~Emitter()
    {
        if (m_ready) yaml_emitter_delete(&m_emitter);
    }
    Emitter(const Emitter&) = delete;
    Emitter& operator=(const Emitter&) = delete;

    // Emits an event whose initialization returned `initialized`.
    void emit(yaml_event_t& event, int initialized)
    {
        if (!initialized) {
            PresetLog::print("emitter error: %s\n", "cannot make the event");
            ++m_failures;
            return;
        }
        if (!m_ready) {
            yaml_event_delete(&event);
            return;
        }
        if (!yaml_emitter_emit(&m_emitter, &event)) {
            PresetLog::print("emitter error: %s\n", m_emitter.problem ? m_emitter.problem : "unknown problem");
            ++m_failures;
        }
    }

    void streamStart()
    {
        yaml_event_t e;
        emit(e, yaml_stream_start_event_initialize(&e, YAML_UTF8_ENCODING));
    }
    void documentStart()
    {
        yaml_event_t e;
        emit(e, yaml_document_start_event_initialize(&e, nullptr, nullptr, nullptr, 0));
    }
    void mappingStart()
    {
        yaml_event_t e;
        emit(e, yaml_mapping_start_event_initialize(&e, nullptr, nullptr, 1, YAML_ANY_MAPPING_STYLE));
    }
    void scalar(const std::string& text)
    {
        yaml_event_t e;
        emit(e, yaml_scalar_event_initialize(&e, nullptr, nullptr,
                                             reinterpret_cast<yaml_char_t*>(const_cast<char*>(text.c_str())),
                                             (int)text.size(), 1, 1, YAML_ANY_SCALAR_STYLE));
    }
    void mappingEnd()
    {
        yaml_event_t e;
        emit(e, yaml_mapping_end_event_initialize(&e));
    }
    void documentEnd()
    {
        yaml_event_t e;
        emit(e, yaml_document_end_event_initialize(&e, 1));
    }
    void streamEnd()
    {
        yaml_event_t e;
        emit(e, yaml_stream_end_event_initialize(&e));
    }

    std::string result() const { return m_failures ? std::string() : m_text; }

private:
    yaml_emitter_t m_emitter;
    bool m_ready = false;
    int m_failures = 0;
    std::string m_text;
};

}  // namespace

std::string PresetYamlWriter::write(const Program& program) const
{
    Emitter out;
    out.streamStart();
    out.documentStart();
    out.mappingStart();
    out.scalar("Preset");
    out.mappingStart();
    out.scalar("product");
    out.scalar(m_factory.productName());
    out.scalar("version");
    out.scalar(m_factory.version());
    out.scalar("format");
    out.scalar("1");
    out.scalar("name");
    // A name that is not UTF-8 (an old 8-bit name, a host's text) would make
    // the emitter refuse the whole document, and the preset could not be kept.
    out.scalar(Utf8::makeValid(program.name));
    out.mappingEnd();
    out.scalar("Params");
    out.mappingStart();
    const size_t count = m_factory.numParameters();
    for (size_t i = 0; i < count; ++i) {
        out.scalar(m_factory.parameterKey((int)i));
        out.scalar(ValueText::format(program.getValue((int)i)));
    }
    out.mappingEnd();
    out.mappingEnd();
    out.documentEnd();
    out.streamEnd();
    return out.result();
}
