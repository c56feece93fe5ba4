// SPDX-License-Identifier: MIT
// The command line in UTF-8. Windows hands a narrow main its arguments in the
// user's code page, where a folder like "C:\Users\Jiří" may not survive, so
// there they are read again from the wide command line; elsewhere they are
// the bytes as given. (The game's own main gets UTF-8 from SDL already.)
#pragma once

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace base {

class Utf8Arguments {
public:
    Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
        int count = 0;
        if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
            for (int i = 0; i < count; ++i) {
                const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
                std::string arg(bytes > 0 ? bytes - 1 : 0, '\0');
                if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
                args_.push_back(std::move(arg));
            }
            LocalFree(wide);
        }
#endif
        if (args_.empty()) args_.assign(argv, argv + argc);
        for (std::string& a : args_) pointers_.push_back(a.data());
        pointers_.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(args_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> args_;
    std::vector<char*> pointers_;
};

}  // namespace base
