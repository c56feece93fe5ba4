// SPDX-License-Identifier: MIT
// File names as UTF-8 text on every system. Windows reads the names given to
// its narrow functions in the user's code page ("Jiří" is not in most of
// them), so a name goes through a path made from UTF-8, which opens files
// with the wide functions there; elsewhere the bytes pass as they are.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace base {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline std::filesystem::path pathFromUtf8(std::string_view name) {
    return std::filesystem::path(std::u8string_view(reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace base
