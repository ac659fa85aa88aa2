// Reads one preset document through libyaml's parser events and makes a
// program of it with the factory. Every mismatch is reported with the
// source name (a file path or "host chunk") and the parser's position.
#pragma once

#include <memory>
#include <string>

class Program;
class ProgramFactory;

class PresetYamlReader {
public:
    PresetYamlReader(ProgramFactory& factory, const std::string& sourceName)
        : m_factory(factory), m_sourceName(sourceName)
    {}

    // A document that Ondrel wrote holds every parameter and ends with a line
    // break. With this on, a document without an entry for each parameter,
    // or whose last value runs to the end of the text, is refused: it was cut
    // short, and the missing values would silently take their defaults.
    void requireWholeDocument(bool on) { m_requireWhole = on; }

    std::unique_ptr<Program> readFile(const std::string& path);
    std::unique_ptr<Program> readMemory(const void* bytes, size_t size);

private:
    ProgramFactory& m_factory;
    std::string m_sourceName;
    bool m_requireWhole = false;
};
