// SPDX-License-Identifier: MIT
// A fresh, empty folder for a test, under gtest's temporary folder; a file's bytes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string freshFolder(const std::string& name) {
    const std::string dir = ::testing::TempDir() + "hvezda-" + name + "-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string readFile(const std::filesystem::path& file) {
    return (std::stringstream() << std::ifstream(file, std::ios::binary).rdbuf()).str();
}
