// SPDX-License-Identifier: MIT
#include "app/host.h"

#include <SDL.h>

#include <filesystem>

#include "app/data_folder.h"
#include "base/files.h"
#include "platform/window.h"
#include "shell/shell.h"

using namespace hvezda;

namespace app {

std::string folderFromBasePath(const char* basePath) {
    if (!basePath || !*basePath) return ".";
    std::string folder(basePath);
    // Down to the root ("/", or "C:\" on Windows), not past it.
    auto trailing = [&folder] {
        const char c = folder.back();
        const bool driveRoot = base::kPathSeparator == '\\' && folder[folder.size() - 2] == ':';
        return (c == '/' || c == base::kPathSeparator) && !driveRoot;
    };
    while (folder.size() > 1 && trailing()) folder.pop_back();
    return folder;
}

Host makeHost(HostWindows& windows) {
    Host h;
    h.programFolder = [] {
        char* base = SDL_GetBasePath();
        std::string folder = folderFromBasePath(base);
        SDL_free(base);
        return dataFolder(folder);
    };
    h.setCurrentDirectory = [](const std::string& folder) {
        // The game checks nothing here; a folder that cannot be entered just
        // leaves the current directory where it was.
        std::error_code ec;
        std::filesystem::current_path(base::pathFromUtf8(folder), ec);
    };
    h.form2Handle = [&windows]() -> int32_t {
        if (!windows.form2) return static_cast<int32_t>(platform::openHiddenWindow("Form2", &windows.form2));
        return static_cast<int32_t>(SDL_GetWindowID(windows.form2));
    };
    h.closeWindows = [&windows] {
        // The windows themselves go when the loop has stopped; from here on
        // nothing is drawn into them.
        windows.closed = true;
    };
    return h;
}

}  // namespace app
