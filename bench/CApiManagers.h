// One manager through each interface of the same library file, the one
// that the C interface loads by default: made on first use and kept for
// the process. Null when the library does not load.
#pragma once

#include "DeviceConfigManager.h"
#include "k4xtrace_c.h"

namespace k4xbench {

// Made by the library's CreateDeviceConfigManager, as a C++ host makes it.
Zr::Kdt::Trace::CK4xDeviceConfigManager* CxxManager();

// Opened by k4x_open.
k4x_manager* CManager();

}  // namespace k4xbench
