#include "ParameterTable.h"

#include "Frameworks/Core/Parameters.h"
#include "source/engine/ParameterInfo.h"

void fillParameterTable(Parameters& parameters)
{
    for (int i = 0; i < kNumParameters; ++i) {
        const ParameterInfo& info = parameterInfo(i);
        parameters.addDefinition((uint64_t)i, info.name, info.defaultValue, info.label);
    }
}
