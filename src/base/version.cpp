// SPDX-License-Identifier: MIT
#include "base/version.h"

#ifndef HVEZDA_VERSION
#define HVEZDA_VERSION "unknown"
#endif

namespace base {

std::string_view programVersion() { return HVEZDA_VERSION; }

}  // namespace base
