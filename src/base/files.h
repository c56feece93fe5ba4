// SPDX-License-Identifier: MIT
// A player's files, named by UTF-8 text (paths.h), written so that a crash or
// a full disk never leaves half a file where a whole one was.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/paths.h"

namespace base {

// std::fopen for a UTF-8 name.
std::FILE* openFile(const std::string& name, const char* mode);

// Renames `from` to `to` in one step, replacing `to` if it is there (on
// Windows too): empty, or what went wrong.
std::string replaceFile(const std::string& from, const std::string& to);

// Replaces `file` (and makes its folder) with `text` whole, or leaves the old
// file as it was: empty, or what went wrong.
std::string writeFileAtomically(const std::string& file, const std::string& text);

#ifndef _WIN32
// Writes all of `text` to the descriptor, going on after a signal interrupts
// a write: false, with errno, when it cannot.
bool writeAll(int fd, std::string_view text);
#endif

}  // namespace base
