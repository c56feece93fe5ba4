// SPDX-License-Identifier: MIT
// Around the game: settings, the keyboard's own keys and the pause, gamepads, a new game.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/new_game.h"
#include "musicplayer/recording.h"
#include "platform/input.h"
#include "platform/settings.h"
#include "sim/script.h"

using namespace hvezda;
using namespace rec;
using namespace driver;

namespace {

namespace fs = std::filesystem;
constexpr int64_t kMs = 1'000'000;

std::string freshDir(const std::string& name) {
    const fs::path dir = fs::path(::testing::TempDir()) / ("hvezda_comfort_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

// A settings file of `text` in a fresh folder, read.
struct Loaded {
    std::string file;
    std::vector<std::string> problems;
    plat::Settings s;
    Loaded(const std::string& name, const std::string& text) : file(freshDir(name) + "/settings.toml") {
        std::ofstream(file) << text;
        s = plat::loadSettings(file, problems);
    }
};

TEST(Settings, EveryValueIsReadAndKeysAreRebound) {
    const Loaded read("values",
                      "fullscreen = true\nscale = 3\nvsync = true\npause_on_focus_loss = false\n"
                      "music_volume = 40\ngamepad_repeat_delay = 400\ngamepad_repeat_rate = 12\n"
                      "hall_server = \"https://hall.example/\"\n"
                      "[keys]\nleft = \"a\"\nright = \"D\"\nup = \"W\"\ndown = \"S\"\n"
                      "fire = \"Space\"\nrefill = \"Left Ctrl\"\n");
    EXPECT_TRUE(read.problems.empty()) << read.problems[0];
    EXPECT_EQ(read.s, (plat::Settings{true, 3, true, false, 40, 400, 12, {"a", "D", "W", "S", "Space", "Left Ctrl"},
                                      plat::accountName(), "https://hall.example/"}));
    // A flies left, Space fires, Ctrl refills; the arrow and X no longer do.
    const plat::KeyBindings keys(read.s);
    for (auto [vk, code] : {std::pair{'A', 37}, {32, 88}, {17, 67}, {37, 0}, {88, 0}}) EXPECT_EQ(keys.gameCode(vk), code);
}

TEST(Settings, EachBadValueIsOneLineAndKeepsItsDefault) {
    const Loaded read("bad",
                      "scale = 9\nvsync = \"yes\"\nmusic_volume = 50\nvolume = 3\n"
                      "gamepad_repeat_rate = 2.5\n[keys]\nfire = \"Nokey\"\nleft = \"Right\"\n"
                      "up = \"Q\"\njump = \"J\"\n");
    const Loaded server("server", "hall_server = \"hall.example\"\n");
    ASSERT_EQ(server.problems.size(), 1u);
    EXPECT_EQ(server.problems[0].rfind(server.file + ":1: hall_server must be a server's address", 0), 0u);
    EXPECT_EQ(server.s, plat::Settings{});
    const std::string& file = read.file;
    const std::vector<std::string> want{
        file + ":1: scale must be a whole number from 0 to 8; using 0",
        file + ":5: gamepad_repeat_rate must be a whole number from 0 to 100; using 30",
        file + ":2: vsync must be true or false; using false",
        file + ":4: there is no setting 'volume'",
        file + ":7: keys.fire must name a key, such as \"Space\" or \"Left Ctrl\"; using X",
        file + ":10: keys has no setting 'jump'",
        file + ":8: keys.left: Right already fly right; using Left",
    };
    EXPECT_EQ(std::multiset<std::string>(read.problems.begin(), read.problems.end()),
              std::multiset<std::string>(want.begin(), want.end()));
    plat::Settings expected;  // the good values around the bad ones are read
    expected.musicVolume = 50, expected.keys[2] = "Q";
    EXPECT_EQ(read.s, expected);

    const Loaded broken("malformed", "scale = 2\nfullscreen = tru\n");
    EXPECT_EQ(broken.s, plat::Settings{});
    ASSERT_EQ(broken.problems.size(), 1u);
    EXPECT_EQ(broken.problems[0].rfind(broken.file + ":2: ", 0), 0u) << broken.problems[0];
    EXPECT_NE(broken.problems[0].find("using every default"), std::string::npos) << broken.problems[0];
}

// A missing file or folder gives the defaults quietly; a written one reads back the same.
TEST(Settings, WrittenFileReadsBackTheSameAndReplacesTheOldOneWhole) {
    const std::string dir = freshDir("write"), file = dir + "/new/hvezda/settings.toml";
    std::vector<std::string> problems;
    EXPECT_EQ(plat::loadSettings(file, problems), plat::Settings{});
    EXPECT_TRUE(problems.empty());
    setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    EXPECT_EQ(plat::settingsPath(), "/x/conf/hvezda/settings.toml");
    unsetenv("XDG_CONFIG_HOME");
    plat::Settings s;
    s.scale = 2, s.vsync = true, s.repeatPerSecond = 0, s.keys[4] = "\\", s.hallServer = "http://127.0.0.1:8080";
    ASSERT_EQ(plat::writeSettings(s, file), "");
    EXPECT_EQ(plat::loadSettings(file, problems), s);
    EXPECT_TRUE(problems.empty()) << problems[0];
    ASSERT_EQ(plat::writeSettings(plat::Settings{}, file), "");
    EXPECT_EQ(plat::loadSettings(file, problems), plat::Settings{});
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    EXPECT_NE(text.str().find("# Music volume in percent"), std::string::npos);
    EXPECT_EQ(fs::status(file).permissions(), static_cast<fs::perms>(0644));  // the umask's, kept
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(file).parent_path()), {}), 1);  // no temporary left
}

SDL_Event keyEvent(bool down, SDL_Scancode sc, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
    if (e.key.keysym.sym == SDLK_UNKNOWN && sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        e.key.keysym.sym = SDLK_a + (sc - SDL_SCANCODE_A);
    e.key.keysym.mod = mod;
    return e;
}

// Collects what reaches the game and what reaches the platform.
struct Recorder {
    Game g;
    int64_t now = 0;
    plat::InputRouter input;
    std::vector<std::string> log;
    explicit Recorder(const plat::InputOptions& o = {}) : input(g, 1, o, [this] { return now; }) {
        input.onGameKey = [this](bool down, int code, int) {
            log.push_back((down ? "+" : "-") + std::to_string(code));
        };
        input.onAction = [this](plat::Action a) { log.push_back(std::array{"fullscreen", "new game", "shot"}[int(a)]); };
        input.onPauseChanged = [this](bool p) { log.push_back(p ? "paused" : "playing"); };
    }
    std::vector<std::string> take() { return std::exchange(log, {}); }
    void key(SDL_Scancode sc, Uint16 mod = 0) {
        input.handle(keyEvent(true, sc, mod));
        input.handle(keyEvent(false, sc, mod));
    }
};

using Log = std::vector<std::string>;

TEST(Keyboard, PlatformKeysNeverReachTheGameAndAPauseLetsGoOfHeldKeys) {
    Recorder r;
    r.input.handle(keyEvent(true, SDL_SCANCODE_LEFT));
    r.input.handle(keyEvent(true, SDL_SCANCODE_X));
    r.input.handle(keyEvent(true, SDL_SCANCODE_X));  // a repeat counts
    EXPECT_EQ(r.take(), (Log{"+37", "+88", "+88"}));
    r.key(SDL_SCANCODE_P);
    EXPECT_EQ(r.take(), (Log{"-37", "-88", "paused"}));
    r.input.handle(keyEvent(true, SDL_SCANCODE_DOWN));  // held while paused: the game never hears of it
    r.input.handle(keyEvent(false, SDL_SCANCODE_LEFT));
    r.key(SDL_SCANCODE_ESCAPE);
    r.input.handle(keyEvent(false, SDL_SCANCODE_DOWN));
    for (int i = 0; i < 2; ++i) r.key(SDL_SCANCODE_PAUSE);
    EXPECT_EQ(r.take(), (Log{"playing", "paused", "playing"}));
    r.key(SDL_SCANCODE_F11);
    r.key(SDL_SCANCODE_RETURN, KMOD_LALT);
    for (SDL_Scancode sc : {SDL_SCANCODE_RETURN, SDL_SCANCODE_F12, SDL_SCANCODE_P, SDL_SCANCODE_F2}) r.key(sc);
    EXPECT_EQ(r.take(), (Log{"fullscreen", "fullscreen", "shot", "paused", "playing", "new game"}));  // F2 plays
    EXPECT_TRUE(r.input.takeNewGame());  // the loop is told, once
    EXPECT_FALSE(r.input.takeNewGame());

    const SDL_Event focus{.window = {SDL_WINDOWEVENT, 0, 1, SDL_WINDOWEVENT_FOCUS_LOST, 0, 0, 0, 0, 0}};
    r.input.handle(focus);
    EXPECT_EQ(r.take(), Log{"paused"});
    plat::InputOptions stayOn;
    stayOn.pauseOnFocusLoss = false;
    Recorder r2(stayOn);
    r2.input.handle(focus);
    EXPECT_TRUE(r2.take().empty());
}

// The virtual pads: buttons and axes in SDL's game-controller order.
TEST(Gamepads, StickDpadButtonsRepeatsAndHotPlugGiveExactlyTheseKeys) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    Recorder r;
    const auto pump = [&] {
        for (SDL_Event e; SDL_PollEvent(&e);) r.input.handle(e);
    };
    const auto attach = [&] {
        SDL_VirtualJoystickDesc d{};
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        const int index = SDL_JoystickAttachVirtualEx(&d);
        pump();
        return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    };
    const auto button = [&](SDL_Joystick* j, SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(j, b, down);
        pump();
    };
    const auto axis = [&](SDL_Joystick* j, SDL_GameControllerAxis a, int v) {
        SDL_JoystickSetVirtualAxis(j, a, static_cast<Sint16>(v));
        pump();
    };
    const auto repeats = [&](std::initializer_list<int> ms) {  // a 1 for each moment a repeat is due
        std::string fired;
        for (int t : ms) r.now = t * kMs, fired += r.input.repeat() ? '1' : '0';
        return fired;
    };
    SDL_Joystick* pad = attach();
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    button(pad, SDL_CONTROLLER_BUTTON_B, true);
    button(pad, SDL_CONTROLLER_BUTTON_B, false);
    EXPECT_EQ(r.take(), (Log{"+38", "-38", "+67", "-67"}));

    // The stick: out past half to hold, back inside a quarter to let go.
    for (int v : {-16000, -16384, -9000, -17000, -8500, -8191, 20000, 30000, 0, 0})
        axis(pad, SDL_CONTROLLER_AXIS_LEFTX, v);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, 17000);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -17000);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
    EXPECT_EQ(r.take(), (Log{"+37", "-37", "+39", "-39", "+40", "-40", "+38", "-38"}));

    // A held fire button repeats after 250 ms, then every 1/30 s; a new press starts the
    // delay over; a late repeat is one, not a burst; the key goes up when both are let go.
    r.now = 0;
    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(r.input.nextRepeatNs(), 250 * kMs);
    EXPECT_EQ(repeats({249, 250, 283, 284, 300}), "01010");
    button(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    button(pad, SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(repeats({549, 900, 932}), "010");
    button(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
    EXPECT_EQ(repeats({2000}), "0");
    EXPECT_EQ(r.take(), (Log{"+88", "+88", "+88", "+88", "+88", "-88"}));

    // Start pauses (the held arrow let go), Back + Start starts a new game;
    // a second pad plugged in later plays too; unplugging lets go of its keys.
    SDL_Joystick* second = attach();
    ASSERT_NE(second, nullptr);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    button(second, SDL_CONTROLLER_BUTTON_START, true);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    button(second, SDL_CONTROLLER_BUTTON_START, false);
    button(second, SDL_CONTROLLER_BUTTON_BACK, true);
    button(second, SDL_CONTROLLER_BUTTON_START, true);
    axis(second, SDL_CONTROLLER_AXIS_LEFTY, 30000);
    SDL_JoystickDetachVirtual(1);
    pump();
    button(second, SDL_CONTROLLER_BUTTON_DPAD_UP, true);  // gone: nothing
    EXPECT_EQ(r.take(), (Log{"+39", "-39", "paused", "playing", "new game", "+40", "-40"}));
    SDL_JoystickDetachVirtual(0);
    pump();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

// F2: the state of a program just started, the music released and started from the beginning.
TEST(NewGame, GivesTheStartUpStateAndStartsTheMusicAgain) {
    Sim sim;
    startSim(sim, {});
    std::ostringstream fresh, later, renewed;
    std::string error;
    ASSERT_TRUE(runSimLine(sim, "dump", fresh, error));
    for (const char* line : {"keydown 39", "keydown 88", "advance 1500", "click Label6", "keydown 67"})
        ASSERT_TRUE(runSimLine(sim, line, later, error)) << error;
    const size_t calls = sim.music->calls().size();
    app::startNewGame(sim.game);
    ASSERT_TRUE(runSimLine(sim, "dump", renewed, error));
    // The same, but for the new music player's handle.
    std::string same = renewed.str();
    const size_t handle = same.find("\nstate.musicHandle=2\n");
    ASSERT_NE(handle, std::string::npos);
    EXPECT_EQ(same.replace(handle, 21, "\nstate.musicHandle=1\n"), fresh.str());
    const auto& all = sim.music->calls();
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(calls), all.end()),
              (std::vector<std::string>{"Stop(1)", "Destroy(1)", "CreateEx(loop|true)=2", "SetWindow(2,2)",
                                        "Load(2,/hvezda/Moonlite.dat)", "Play(2)"}));
}

}  // namespace
