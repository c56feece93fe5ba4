// SPDX-License-Identifier: MIT
// The player's settings: a TOML file in the user's configuration folder,
// read at start-up. The game never writes it, except when asked to with
// --write-settings. A missing file means the defaults; whatever cannot be
// read is reported and left at its default, and the game starts anyway.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The game's six keys: the setting that binds each, the code the game gets,
// and the key it is bound to by default (SDL's key names).
struct GameKey {
    const char* setting;
    int code;
    const char* defaultKey;
    const char* what;
};
inline constexpr std::array<GameKey, 6> kGameKeys{{
    {"left", 37, "Left", "fly left"},
    {"right", 39, "Right", "fly right"},
    {"up", 38, "Up", "fly up"},
    {"down", 40, "Down", "fly down"},
    {"fire", 88, "X", "fire a shot"},
    {"refill", 67, "C", "spend the shield refill"},
}};

// The account's full name, else its login name (on Windows the user name);
// empty when the system names neither.
std::string accountName();

struct Settings {
    bool fullscreen = false;
    int scale = 0;  // the window's whole factor; 0: chosen from the display
    bool vsync = false;
    bool pauseOnFocusLoss = true;
    int musicVolume = 100;      // percent
    int repeatDelayMs = 250;    // a gamepad's held fire button: the first repeat
    int repeatPerSecond = 30;   // and then this many a second (0: no repeat)
    std::array<std::string, kGameKeys.size()> keys{"Left", "Right", "Up", "Down", "X", "C"};
    std::string name = accountName();  // who plays, in the recordings and the hall of fame
    std::string hallServer;  // a public hall of fame each ended game is sent to ("https://..."); empty: none
    bool operator==(const Settings&) const = default;
};

inline constexpr int kMaxScale = 8;

// $XDG_CONFIG_HOME/hvezda/settings.toml, else ~/.config/hvezda/settings.toml;
// empty when neither variable says where home is.
std::string settingsPath();

// Reads the file. Each problem is one line, "FILE:LINE: what is wrong; what
// is used instead"; a file that is not TOML at all gives one such line and
// every default. A missing file is no problem.
Settings loadSettings(const std::string& file, std::vector<std::string>& problems);

// The settings as a commented file, and writing it atomically (a temporary
// file beside it, then renamed over it), making the folder if need be.
// writeSettings returns the error, or nothing.
std::string settingsText(const Settings& s);
std::string writeSettings(const Settings& s, const std::string& file);

// The virtual-key code of the key SDL names so ("Left", "X", "Space",
// "Keypad 4"; any case); 0 when there is no such key.
int keyCodeForName(std::string_view name);

// Which of the game's codes a pressed key stands for under the bindings.
class KeyBindings {
public:
    KeyBindings() : KeyBindings(Settings{}) {}
    explicit KeyBindings(const Settings& s);
    int gameCode(int virtualKey) const;  // 0: none of the game's keys

private:
    std::array<int, kGameKeys.size()> keys_{};
};

}  // namespace plat
