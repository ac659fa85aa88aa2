// Helpers of the robustness tests: an instance made inside the test program
// through the plug-in's entry point (with the bundle's data folder; its
// editor opens headless), and the check every rendered block must pass.
#pragma once

#include "tests/support/SaneBlocks.h"
#include "tools/host/PluginHost.h"

#include <memory>

namespace robustness {

// A host with a new instance, not yet opened; null (with a test failure)
// when the instance cannot be made.
std::unique_ptr<PluginHost> newInstance();
using testing_support::renderOverNaN;
using testing_support::sane;
// Resident memory of this process in bytes.
long residentBytes();

}  // namespace robustness
