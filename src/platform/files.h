// SPDX-License-Identifier: MIT
// Files named by UTF-8 text on every system. Windows reads the names given to
// its narrow functions in the user's code page ("Jiří" is not in most of
// them), so a name goes through a path made from UTF-8, which opens files
// with the wide functions there; elsewhere the bytes pass as they are.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace plat {

inline std::filesystem::path pathFromUtf8(std::string_view name) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

// std::fopen for a UTF-8 name.
std::FILE* openFile(const std::string& name, const char* mode);

// Renames `from` to `to` in one step, replacing `to` if it is there (on
// Windows too): empty, or what went wrong.
std::string replaceFile(const std::string& from, const std::string& to);

// Replaces `file` (and makes its folder) with `text` whole, or leaves the old
// file as it was: empty, or what went wrong.
std::string writeFileAtomically(const std::string& file, const std::string& text);

// Windows keeps a user's files of the game in %APPDATA%\hvezda: that folder
// (made when missing), without a trailing separator; empty when Windows names
// none, and always empty elsewhere.
std::string windowsUserFolder();

}  // namespace plat
