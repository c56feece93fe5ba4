// SPDX-License-Identifier: MIT
// A fresh, empty folder for a platform test, under gtest's temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

inline std::string freshFolder(const std::string& name) {
    const std::string dir = ::testing::TempDir() + "hvezda-" + name + "-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}
