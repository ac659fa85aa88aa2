// The LV2 tests' bundle, and its factory presets read as programs.
#pragma once

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/ParameterTable.h"

#include <memory>
#include <string>

const std::string kBundle = ONDREL_LV2_BUNDLE_DIR;
const std::string kFactory = kBundle + "/Presets/Factory/";

// The factory preset file at `path` (absolute, or relative to the factory folder).
inline std::unique_ptr<Program> factoryPreset(const std::string& path)
{
    static Parameters parameters;
    if (parameters.count() == 0) fillParameterTable(parameters);
    static ProgramFactory factory(parameters, "Ondrel", "0.9.8");
    return factory.loadProgramFile(path[0] == '/' ? path : kFactory + path);
}
