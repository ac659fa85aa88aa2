// The registry of parameter definitions: name, unit label
// and default of each parameter, in index order. Filled once per instance
// before the plug-in object exists, read-only afterwards (any thread).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ParameterDefinition {
    uint64_t index = 0;
    std::string name;
    std::string label;
    float defaultValue = 0.0f;

    // The key under which preset documents store this parameter.
    const std::string& presetKey() const { return name; }
};

class Parameters {
public:
    // Appends a definition; the index must be the next position.
    const ParameterDefinition& addDefinition(uint64_t id, const std::string& name, float defaultValue,
                                             const std::string& label);

    size_t count() const { return m_definitions.size(); }
    bool contains(int index) const { return index >= 0 && (size_t)index < m_definitions.size(); }

    // For an index inside the table; an index outside gives an empty definition.
    const ParameterDefinition& definition(int index) const;
    const std::string& name(int index) const { return definition(index).name; }
    const std::string& presetKey(int index) const { return definition(index).presetKey(); }
    const std::string& label(int index) const { return definition(index).label; }
    float defaultValue(int index) const { return definition(index).defaultValue; }

    // Index of the definition whose name is `name`, or -1.
    int indexOfName(const std::string& name) const;

private:
    std::vector<std::unique_ptr<ParameterDefinition>> m_definitions;
};
