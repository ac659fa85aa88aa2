#include "Parameters.h"

#include "platform/Assert.h"

static const char* const kSource = "..\\..\\Frameworks\\Core\\Parameters";

const ParameterDefinition& Parameters::addDefinition(uint64_t id, const std::string& name, float defaultValue,
                                                     const std::string& label)
{
    auto def = std::make_unique<ParameterDefinition>();
    def->index = id;
    def->name = name;
    def->label = label;
    def->defaultValue = defaultValue;
    m_definitions.push_back(std::move(def));
    ONDREL_ASSERT(kSource, m_definitions.size() - 1 == id);
    return *m_definitions.back();
}

const ParameterDefinition& Parameters::definition(int index) const
{
    static const ParameterDefinition empty;
    return contains(index) ? *m_definitions[(size_t)index] : empty;
}

int Parameters::indexOfName(const std::string& name) const
{
    for (size_t i = 0; i < m_definitions.size(); ++i)
        if (m_definitions[i]->name == name) return (int)i;
    return -1;
}
