// The presets of a folder tree as programs, for the tools and tests that
// measure the factory library.
#pragma once

#include "Frameworks/PresetManager/ProgramFactory.h"

#include <memory>
#include <string>
#include <vector>

// Every preset file below `folder`, each with its sub-folder's name as its
// category; files that do not load are left out.
std::vector<std::unique_ptr<Program>> loadPresetFolder(ProgramFactory& factory, const std::string& folder);
