// SPDX-License-Identifier: MIT
#include "app/console.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace app {

void useStartingConsole() {
    auto nowhere = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE || GetFileType(h) == FILE_TYPE_UNKNOWN;
    };
    const bool out = nowhere(STD_OUTPUT_HANDLE), err = nowhere(STD_ERROR_HANDLE);
    if ((!out && !err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (out) std::freopen("CONOUT$", "w", stdout);
    if (err) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace app

#else

namespace app {
void useStartingConsole() {}
}  // namespace app

#endif
