// The instrument's 43 parameters: their indices and the registry set-up.
#pragma once

#include "source/engine/ParameterIndex.h"

class Parameters;

// Adds the 43 definitions, in index order, to an empty registry.
void fillParameterTable(Parameters& parameters);
