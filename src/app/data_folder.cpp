// SPDX-License-Identifier: MIT
#include "app/data_folder.h"

#include <filesystem>

#include "base/files.h"
#include "shell/shell.h"

namespace app {

std::string dataFolder(const std::string& programFolder) {
    namespace fs = std::filesystem;
    const fs::path folder = base::pathFromUtf8(programFolder);
    std::error_code ec;
    if (fs::exists(folder / hvezda::kMusicFileName, ec)) return programFolder;
    return base::utf8FromPath((folder / ".." / "share" / "hvezda").lexically_normal());
}

}  // namespace app
