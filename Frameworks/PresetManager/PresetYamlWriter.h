// Writes one preset document through libyaml's emitter events.
#pragma once

#include <string>

class Program;
class ProgramFactory;

class PresetYamlWriter {
public:
    explicit PresetYamlWriter(const ProgramFactory& factory) : m_factory(factory) {}

    // The document of the program's active values; empty text when any emit
    // call failed (each failure is reported).
    std::string write(const Program& program) const;

private:
    const ProgramFactory& m_factory;
};
