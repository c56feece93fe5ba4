// SPDX-License-Identifier: MIT
#include "platform/settings.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <toml++/toml.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include "base/files.h"
#include "platform/folders.h"
#include "platform/keymap.h"

namespace plat {

namespace {

namespace fs = std::filesystem;

std::string where(const std::string& file, const toml::node& node) {
    return file + ":" + std::to_string(node.source().begin.line) + ": ";
}

// A whole number within [lo, hi], or a problem naming the range.
void readInt(const toml::table& t, const char* key, int lo, int hi, int& out, const std::string& file,
             std::vector<std::string>& problems) {
    const toml::node* n = t.get(key);
    if (!n) return;
    const auto v = n->value_exact<int64_t>();
    if (v && *v >= lo && *v <= hi) {
        out = static_cast<int>(*v);
        return;
    }
    problems.push_back(where(file, *n) + key + " must be a whole number from " + std::to_string(lo) + " to " +
                       std::to_string(hi) + "; using " + std::to_string(out));
}

void readBool(const toml::table& t, const char* key, bool& out, const std::string& file,
              std::vector<std::string>& problems) {
    const toml::node* n = t.get(key);
    if (!n) return;
    if (const auto v = n->value_exact<bool>()) {
        out = *v;
        return;
    }
    problems.push_back(where(file, *n) + key + " must be true or false; using " + (out ? "true" : "false"));
}

void readKeys(const toml::table& t, Settings& s, const std::string& file, std::vector<std::string>& problems) {
    for (const auto& [key, node] : t) {
        size_t i = 0;
        while (i < kGameKeys.size() && key.str() != kGameKeys[i].setting) ++i;
        if (i == kGameKeys.size()) {
            problems.push_back(where(file, node) + "keys has no setting '" + std::string(key.str()) + "'");
            continue;
        }
        const auto name = node.value_exact<std::string>();
        if (!name || keyCodeForName(*name) == 0) {
            problems.push_back(where(file, node) + "keys." + kGameKeys[i].setting +
                               " must name a key, such as \"Space\" or \"Left Ctrl\"; using " + s.keys[i]);
            continue;
        }
        // One key cannot stand for two of the game's keys.
        size_t other = 0;
        while (other < kGameKeys.size() &&
               (other == i || keyCodeForName(s.keys[other]) != keyCodeForName(*name)))
            ++other;
        if (other < kGameKeys.size()) {
            problems.push_back(where(file, node) + "keys." + kGameKeys[i].setting + ": " + *name + " already " +
                               kGameKeys[other].what + "; using " + s.keys[i]);
            continue;
        }
        s.keys[i] = *name;
    }
}

// A TOML basic string: quotes and backslashes escaped, control characters as \uXXXX.
std::string tomlText(const std::string& s) {
    std::string q = "\"";
    for (char c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            q += escaped;
            continue;
        }
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + '"';
}

}  // namespace

std::string settingsPath() {
    std::string unused;
    const std::string f = folder(Folder::Settings, false, unused);
    return f.empty() ? f : f + base::kPathSeparator + "settings.toml";
}

Settings loadSettings(const std::string& file, std::vector<std::string>& problems) {
    Settings s;
    std::error_code ec;
    if (file.empty() || !fs::exists(base::pathFromUtf8(file), ec)) return s;
    toml::table t;
    try {
        t = toml::parse_file(file);  // UTF-8 on Windows too
    } catch (const toml::parse_error& e) {
        problems.push_back(file + ":" + std::to_string(e.source().begin.line) + ": " +
                           std::string(e.description()) + "; using every default");
        return s;
    }
    readBool(t, "fullscreen", s.fullscreen, file, problems);
    readInt(t, "scale", 0, kMaxScale, s.scale, file, problems);
    readBool(t, "vsync", s.vsync, file, problems);
    readBool(t, "pause_on_focus_loss", s.pauseOnFocusLoss, file, problems);
    readInt(t, "music_volume", 0, 100, s.musicVolume, file, problems);
    readInt(t, "gamepad_repeat_delay", 50, 2000, s.repeatDelayMs, file, problems);
    readInt(t, "gamepad_repeat_rate", 0, 100, s.repeatPerSecond, file, problems);
    if (const toml::node* n = t.get("name")) {
        if (const auto name = n->value_exact<std::string>())
            s.name = *name;
        else
            problems.push_back(where(file, *n) + "name must be a text in quotes; using " + tomlText(s.name));
    }
    if (const toml::node* n = t.get("hall_server")) {
        const auto server = n->value_exact<std::string>();
        if (server && (server->empty() || server->rfind("http://", 0) == 0 || server->rfind("https://", 0) == 0) &&
            server->find_first_of(" \t\r\n") == std::string::npos)
            s.hallServer = *server;
        else
            problems.push_back(where(file, *n) +
                               "hall_server must be a server's address in quotes, such as \"https://example.org\" "
                               "(or \"\" for none); sending no games");
    }
    for (const auto& [key, node] : t) {
        if (key.str() == "keys") {
            if (const toml::table* keys = node.as_table())
                readKeys(*keys, s, file, problems);
            else
                problems.push_back(where(file, node) + "keys must be a table of key names; using the default keys");
            continue;
        }
        static constexpr const char* known[] = {"fullscreen",           "scale",
                                                "vsync",                "pause_on_focus_loss",
                                                "music_volume",         "gamepad_repeat_delay",
                                                "gamepad_repeat_rate",  "name",
                                                "hall_server"};
        // A named copy: clang before 16 cannot capture a structured binding.
        const std::string_view name = key.str();
        if (std::find_if(std::begin(known), std::end(known), [&](const char* k) { return name == k; }) ==
            std::end(known))
            problems.push_back(where(file, node) + "there is no setting '" + std::string(key.str()) + "'");
    }
    return s;
}

std::string settingsText(const Settings& s) {
    auto flag = [](bool b) { return b ? "true" : "false"; };
    std::ostringstream o;
    o << "# Hvězda's settings. Delete a line to have its default back.\n\n"
      << "# Start in fullscreen (F11 or Alt+Enter switch while playing).\n"
      << "fullscreen = " << flag(s.fullscreen) << "\n\n"
      << "# The window's size as a whole multiple of 667 x 570, 1 to " << kMaxScale
      << "; 0 picks one from the display.\n"
      << "scale = " << s.scale << "\n\n"
      << "# Wait for the display's refresh before showing a frame: no tearing, but a\n"
      << "# frame may show the game up to one refresh late.\n"
      << "vsync = " << flag(s.vsync) << "\n\n"
      << "# Pause when the window loses the focus or is minimised.\n"
      << "pause_on_focus_loss = " << flag(s.pauseOnFocusLoss) << "\n\n"
      << "# Music volume in percent, 0 to 100.\n"
      << "music_volume = " << s.musicVolume << "\n\n"
      << "# A gamepad's fire button held down fires again after this many\n"
      << "# milliseconds (50 to 2000), then this many times a second (0 to 100; 0: never).\n"
      << "gamepad_repeat_delay = " << s.repeatDelayMs << "\n"
      << "gamepad_repeat_rate = " << s.repeatPerSecond << "\n\n"
      << "# Your name, in the recordings of your games and in the hall of fame.\n"
      << "name = " << tomlText(s.name) << "\n\n"
      << "# A public hall of fame (hvezda-hall) that each ended game is sent to, such as\n"
      << "# \"https://example.org\"; \"\" sends nothing. A game that cannot go waits and goes\n"
      << "# with the next one.\n"
      << "hall_server = " << tomlText(s.hallServer) << "\n\n"
      << "# The game's keys, by SDL's key names (\"Space\", \"Left Ctrl\", \"Keypad 4\", \"W\").\n"
      << "[keys]\n";
    for (size_t i = 0; i < kGameKeys.size(); ++i)
        o << kGameKeys[i].setting << " = " << tomlText(s.keys[i]) << "  # " << kGameKeys[i].what << "\n";
    return o.str();
}

std::string writeSettings(const Settings& s, const std::string& file) {
#ifdef _WIN32
    if (file.empty()) return "cannot tell where the settings belong: Windows names no application data folder";
#else
    if (file.empty()) return "cannot tell where the settings belong: HOME is not set";
#endif
    return base::writeFileAtomically(file, settingsText(s));
}

std::string accountName() {
#ifdef _WIN32
    wchar_t wide[257];
    DWORD size = 257;
    return GetUserNameW(wide, &size) && size > 1 ? base::utf8FromPath(std::wstring(wide, size - 1)) : std::string();
#else
    std::string name;
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        // The full name is the comment's first field: "Jiří Novák,,,".
        const std::string comment = found->pw_gecos ? found->pw_gecos : "";
        name = comment.substr(0, comment.find(','));
        if (name.empty() && found->pw_name) name = found->pw_name;
    }
    if (name.empty())
        if (const char* user = std::getenv("USER")) name = user;
    return name;
#endif
}

int keyCodeForName(std::string_view name) {
    const SDL_Scancode sc = SDL_GetScancodeFromName(std::string(name).c_str());
    return sc == SDL_SCANCODE_UNKNOWN ? 0 : virtualKey(SDLK_UNKNOWN, sc);
}

KeyBindings::KeyBindings(const Settings& s) {
    for (size_t i = 0; i < keys_.size(); ++i) keys_[i] = keyCodeForName(s.keys[i]);
}

int KeyBindings::gameCode(int virtualKey) const {
    for (size_t i = 0; i < keys_.size(); ++i)
        if (virtualKey != 0 && keys_[i] == virtualKey) return kGameKeys[i].code;
    return 0;
}

}  // namespace plat
