// SPDX-License-Identifier: MIT
#include "platform/folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/paths.h"

#ifdef _WIN32
#include <SDL.h>
#include <shlobj.h>
#else
#include <sys/stat.h>
#endif

namespace platform {

namespace {

#ifdef _WIN32
// %APPDATA%\hvezda (SDL makes it), or empty.
std::string appData(std::string& error) {
    char* pref = SDL_GetPrefPath("", "hvezda");
    std::string f = pref ? pref : "";
    SDL_free(pref);
    while (!f.empty() && (f.back() == '\\' || f.back() == '/')) f.pop_back();
    if (f.empty()) error = "Windows names no application data folder";
    return f;
}
#else
// An absolute folder from a variable, or empty.
std::string fromVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : "";
}

// $VARIABLE/hvezda, else $HOME/BELOW/hvezda.
std::string xdg(const char* variable, const char* below, std::string& error) {
    if (std::string base = fromVariable(variable); !base.empty()) return base + "/hvezda";
    if (std::string home = fromVariable("HOME"); !home.empty()) return home + below + "/hvezda";
    error = std::string("neither ") + variable + " nor HOME names a folder";
    return {};
}

// mkdir -p with the mode of a private folder.
bool makeFolders(const std::string& path, std::string& error) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "cannot make " + part + ": " + std::strerror(errno);
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}
#endif

}  // namespace

std::string folder(Folder which, bool make, std::string& error) {
    std::string f;
#ifdef _WIN32
    if (which == Folder::Pictures) {
        f = ".";
        wchar_t* known = nullptr;
        if (SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &known) == S_OK) f = base::utf8FromPath(known);
        CoTaskMemFree(known);
        return f;
    }
    f = appData(error);
    if (!f.empty() && which == Folder::Hall) f += "\\hall";
    std::error_code ec;
    if (!f.empty() && make && !std::filesystem::create_directories(base::pathFromUtf8(f), ec) && ec) {
        error = "cannot make " + f + ": " + ec.message();
        return {};
    }
    return f;
#else
    switch (which) {
        case Folder::Pictures:
            if (f = fromVariable("XDG_PICTURES_DIR"); f.empty()) f = fromVariable("HOME");
            return f.empty() ? "." : f;
        case Folder::Settings: f = xdg("XDG_CONFIG_HOME", "/.config", error); break;
        case Folder::Recordings: f = xdg("XDG_STATE_HOME", "/.local/state", error); break;
        case Folder::Hall:
            f = xdg("XDG_STATE_HOME", "/.local/state", error);
            if (!f.empty()) f += "/hall";
            break;
    }
    return f.empty() || !make || makeFolders(f, error) ? f : std::string();
#endif
}

const char* folderInWords(Folder which) {
#ifdef _WIN32
    switch (which) {
        case Folder::Pictures: return "your Pictures folder";
        case Folder::Hall: return "%APPDATA%\\hvezda\\hall";
        default: return "%APPDATA%\\hvezda";
    }
#else
    switch (which) {
        case Folder::Pictures: return "$XDG_PICTURES_DIR (else your home folder)";
        case Folder::Settings: return "$XDG_CONFIG_HOME/hvezda (usually ~/.config/hvezda)";
        case Folder::Recordings: return "$XDG_STATE_HOME/hvezda (usually ~/.local/state/hvezda)";
        case Folder::Hall: return "$XDG_STATE_HOME/hvezda/hall (usually ~/.local/state/hvezda/hall)";
    }
    return "";
#endif
}

}  // namespace platform
