// SPDX-License-Identifier: MIT
#include "base/files.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace base {

namespace fs = std::filesystem;

#ifdef _WIN32

std::FILE* openFile(const std::string& name, const char* mode) {
    const std::wstring wideMode(mode, mode + std::strlen(mode));  // "r", "wb": ASCII
    return _wfopen(pathFromUtf8(name).c_str(), wideMode.c_str());
}

std::string writeFileAtomically(const std::string& file, const std::string& text) {
    const fs::path path = pathFromUtf8(file);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) return "cannot make " + utf8FromPath(path.parent_path()) + ": " + ec.message();
    fs::path temp = path;
    temp += L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
    const HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "cannot write in " + utf8FromPath(path.parent_path()) + ": " +
               std::system_category().message(static_cast<int>(GetLastError()));
    DWORD written = 0;
    bool ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size() &&
              FlushFileBuffers(h);
    const DWORD err = ok ? 0 : GetLastError();
    CloseHandle(h);
    if (!ok) {
        DeleteFileW(temp.c_str());
        return "cannot write " + file + ": " + std::system_category().message(static_cast<int>(err));
    }
    // One step replaces the old file by the new one: a reader sees either.
    if (std::string why = replaceFile(utf8FromPath(temp), file); !why.empty()) {
        DeleteFileW(temp.c_str());
        return "cannot write " + file + ": " + why;
    }
    return {};
}

std::string replaceFile(const std::string& from, const std::string& to) {
    if (MoveFileExW(pathFromUtf8(from).c_str(), pathFromUtf8(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return std::system_category().message(static_cast<int>(GetLastError()));
}

#else

std::FILE* openFile(const std::string& name, const char* mode) { return std::fopen(name.c_str(), mode); }

bool writeAll(int fd, std::string_view text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;  // a signal came before anything was written
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string writeFileAtomically(const std::string& file, const std::string& text) {
    const fs::path path(file);
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) return "cannot make " + path.parent_path().string() + ": " + ec.message();
    std::string temp = file + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return "cannot write in " + path.parent_path().string() + ": " + std::strerror(errno);
    // The mode an ordinary new file gets, or the one the old file had.
    const mode_t mask = umask(0);
    umask(mask);
    struct stat old {};
    fchmod(fd, stat(file.c_str(), &old) == 0 ? old.st_mode & 07777 : 0666 & ~mask);
    bool ok = writeAll(fd, text);
    while (ok && fsync(fd) != 0) ok = errno == EINTR;  // a signal: sync again
    const int err = errno;
    close(fd);
    if (!ok || std::rename(temp.c_str(), file.c_str()) != 0) {
        const std::string why = std::strerror(ok ? errno : err);
        unlink(temp.c_str());
        return "cannot write " + file + ": " + why;
    }
    return {};
}

std::string replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? std::string() : std::strerror(errno);
}

#endif

}  // namespace base
