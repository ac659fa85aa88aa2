// What the module's exported entry point does: ask the host for its
// version, then create the instance. Null for a host that answers 0 or when
// the instance cannot be created.
#pragma once

#include "BaseLibrary/vst2abi.h"

AEffect* ondrelEntry(audioMasterCallback audioMaster);
