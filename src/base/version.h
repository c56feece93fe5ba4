// SPDX-License-Identifier: MIT
// This program's version, as the build names it.
#pragma once

#include <string_view>

namespace base {

// "0.2": recordings' format lines name it as "hvezda 0.2", --version prints it.
std::string_view programVersion();

}  // namespace base
