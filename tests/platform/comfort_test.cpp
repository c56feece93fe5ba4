// SPDX-License-Identifier: MIT
// Around the game: settings, keys and the pause, gamepads, a new game, the host, the window's scale, the key map.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/host.h"
#include "app/new_game.h"
#include "musicplayer/recording.h"
#include "platform/clock_random.h"
#include "platform/input.h"
#include "platform/keymap.h"
#include "platform/settings.h"
#include "platform/window.h"
#include "scratch.h"
#include "sim/script.h"

using namespace hvezda;
using namespace record;
using namespace driver;

namespace {

namespace fs = std::filesystem;
constexpr int64_t kMs = 1'000'000;

struct Loaded {  // a settings file of `text` in a fresh folder, read
    std::string file;
    std::vector<std::string> problems;
    platform::Settings s;
    Loaded(const std::string& name, const std::string& text) : file(freshFolder(name) + "/settings.toml") {
        std::ofstream(file) << text;
        s = platform::loadSettings(file, problems);
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
    EXPECT_EQ(read.s, (platform::Settings{true, 3, true, false, 40, 400, 12, {"a", "D", "W", "S", "Space", "Left Ctrl"},
                                      platform::accountName(), "https://hall.example/"}));
    // A flies left, Space fires, Ctrl refills; the arrow and X no longer do.
    const platform::KeyBindings keys(read.s);
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
    EXPECT_EQ(server.s, platform::Settings{});
    const std::vector<std::string> want{
        read.file + ":1: scale must be a whole number from 0 to 8; using 0",
        read.file + ":5: gamepad_repeat_rate must be a whole number from 0 to 100; using 30",
        read.file + ":2: vsync must be true or false; using false",
        read.file + ":4: there is no setting 'volume'",
        read.file + ":7: keys.fire must name a key, such as \"Space\" or \"Left Ctrl\"; using X",
        read.file + ":10: keys has no setting 'jump'",
        read.file + ":8: keys.left: Right already fly right; using Left",
    };
    EXPECT_EQ(std::multiset<std::string>(read.problems.begin(), read.problems.end()),
              std::multiset<std::string>(want.begin(), want.end()));
    platform::Settings expected;  // the good values around the bad ones are read
    expected.musicVolume = 50, expected.keys[2] = "Q";
    EXPECT_EQ(read.s, expected);

    const Loaded broken("malformed", "scale = 2\nfullscreen = tru\n");
    EXPECT_EQ(broken.s, platform::Settings{});
    ASSERT_EQ(broken.problems.size(), 1u);
    EXPECT_EQ(broken.problems[0].rfind(broken.file + ":2: ", 0), 0u) << broken.problems[0];
    EXPECT_NE(broken.problems[0].find("using every default"), std::string::npos) << broken.problems[0];
}

// A missing file or folder gives the defaults quietly; a written one reads back the same.
TEST(Settings, WrittenFileReadsBackTheSameAndReplacesTheOldOneWhole) {
    const std::string dir = freshFolder("write"), file = dir + "/new/hvezda/settings.toml";
    std::vector<std::string> problems;
    EXPECT_EQ(platform::loadSettings(file, problems), platform::Settings{});
    EXPECT_TRUE(problems.empty());
    platform::Settings s;
    s.scale = 2, s.vsync = true, s.repeatPerSecond = 0, s.keys[4] = "\\", s.hallServer = "http://127.0.0.1:8080";
    ASSERT_EQ(platform::writeSettings(s, file), "");
    EXPECT_EQ(platform::loadSettings(file, problems), s);
    EXPECT_TRUE(problems.empty()) << problems[0];
    ASSERT_EQ(platform::writeSettings(platform::Settings{}, file), "");
    EXPECT_EQ(platform::loadSettings(file, problems), platform::Settings{});
    EXPECT_NE(readFile(file).find("# Music volume in percent"), std::string::npos);
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

// Collects what reaches the game (every key handed to it, as the recorder hears them) and what reaches the platform.
struct Recorder final : platform::InputWatcher {
    Game g;
    int64_t now = 0;
    platform::InputRouter input;
    std::vector<std::string> log;
    explicit Recorder(const platform::InputOptions& o = {}) : input(g, 1, o, [this] { return now; }) {
        input.watch(this);
        input.onAction = [this](platform::Action a) { log.push_back(std::array{"fullscreen", "new game", "shot"}[int(a)]); };
        input.onPauseChanged = [this](bool p) { log.push_back(p ? "paused" : "playing"); };
    }
    void before(Game&, const platform::DeliveredEvent& e) override {
        using Kind = platform::DeliveredEvent::Kind;
        if (e.kind != Kind::Click) log.push_back((e.kind == Kind::KeyDown ? "+" : "-") + std::to_string(e.code));
    }
    void after(Game&, const platform::DeliveredEvent&, bool) override {}
    std::vector<std::string> take() { return std::exchange(log, {}); }
    void key(SDL_Scancode sc, Uint16 mod = 0) { input.handle(keyEvent(true, sc, mod)), input.handle(keyEvent(false, sc, mod)); }
};

using Log = std::vector<std::string>;

TEST(Keyboard, PlatformKeysNeverReachTheGameAndAPauseLetsGoOfHeldKeys) {
    Recorder r;
    for (SDL_Scancode sc : {SDL_SCANCODE_LEFT, SDL_SCANCODE_X, SDL_SCANCODE_X}) r.input.handle(keyEvent(true, sc));  // a repeat counts
    EXPECT_EQ(r.take(), (Log{"+37", "+88", "+88"}));
    r.key(SDL_SCANCODE_P);
    EXPECT_EQ(r.take(), (Log{"-37", "-88", "paused"}));
    r.input.handle(keyEvent(true, SDL_SCANCODE_DOWN));  // held while paused: the game never hears of it
    r.input.handle(keyEvent(false, SDL_SCANCODE_LEFT));
    r.key(SDL_SCANCODE_ESCAPE);
    r.input.handle(keyEvent(false, SDL_SCANCODE_DOWN));
    for (int i = 0; i < 2; ++i) r.key(SDL_SCANCODE_PAUSE);
    EXPECT_EQ(r.take(), (Log{"playing", "paused", "playing"}));
    for (SDL_Scancode sc : {SDL_SCANCODE_RETURN, SDL_SCANCODE_F12, SDL_SCANCODE_P, SDL_SCANCODE_F2}) r.key(sc);
    EXPECT_EQ(r.take(), (Log{"shot", "paused", "playing", "new game"}));  // Enter alone is no fullscreen; F2 plays

    const SDL_Event focus{.window = {SDL_WINDOWEVENT, 0, 1, SDL_WINDOWEVENT_FOCUS_LOST, 0, 0, 0, 0, 0}};
    r.input.handle(focus);
    EXPECT_EQ(r.take(), Log{"paused"});
    platform::InputOptions stayOn;
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
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        pump();
        return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    };
    const auto button = [&](SDL_Joystick* j, SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(j, b, down), pump(); };
    const auto axis = [&](SDL_Joystick* j, SDL_GameControllerAxis a, int v) { SDL_JoystickSetVirtualAxis(j, a, Sint16(v)), pump(); };
    const auto press = [&](SDL_Joystick* j, SDL_GameControllerButton b) { button(j, b, true), button(j, b, false); };
    const auto repeats = [&](std::initializer_list<int> ms) {  // a 1 for each moment a repeat is due
        std::string fired;
        for (int t : ms) r.now = t * kMs, fired += r.input.repeat() ? '1' : '0';
        return fired;
    };
    SDL_Joystick* pad = attach();
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    press(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    press(pad, SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(r.take(), (Log{"+38", "-38", "+67", "-67"}));

    // The stick: out past half to hold, back inside a quarter to let go.
    for (int v : {-16000, -16384, -9000, -17000, -8500, -8191, 20000, 30000, 0, 0}) axis(pad, SDL_CONTROLLER_AXIS_LEFTX, v);
    for (int v : {17000, -17000, 0}) axis(pad, SDL_CONTROLLER_AXIS_LEFTY, v);
    EXPECT_EQ(r.take(), (Log{"+37", "-37", "+39", "-39", "+40", "-40", "+38", "-38"}));

    // Fire repeats after 250 ms, then every 1/30 s; a new press restarts the delay; a late repeat is one, not a burst.
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

    // Start pauses (letting go of the held arrow), Back + Start is a new game; a pad plugged in later plays; unplugging lets go.
    SDL_Joystick* second = attach();
    ASSERT_NE(second, nullptr);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    press(second, SDL_CONTROLLER_BUTTON_START);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    button(second, SDL_CONTROLLER_BUTTON_BACK, true);
    button(second, SDL_CONTROLLER_BUTTON_START, true);
    axis(second, SDL_CONTROLLER_AXIS_LEFTY, 30000);
    SDL_JoystickDetachVirtual(1), pump();
    button(second, SDL_CONTROLLER_BUTTON_DPAD_UP, true);  // gone: nothing
    EXPECT_EQ(r.take(), (Log{"+39", "-39", "paused", "playing", "new game", "+40", "-40"}));
    SDL_JoystickDetachVirtual(0), pump();
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
    std::string same = renewed.str();  // the same, but for the new music player's handle
    const size_t handle = same.find("\nstate.musicHandle=2\n");
    ASSERT_NE(handle, std::string::npos);
    EXPECT_EQ(same.replace(handle, 21, "\nstate.musicHandle=1\n"), fresh.str());
    const auto& all = sim.music->calls();
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(calls), all.end()),
              (std::vector<std::string>{"Stop(1)", "Destroy(1)", "CreateEx(loop|true)=2", "SetWindow(2,2)",
                                        "Load(2,/hvezda/Moonlite.dat)", "Play(2)"}));
}

TEST(Host, ProgramFolderLosesItsTrailingSeparatorExceptAtTheRoot) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/hvezda/", "/opt/hvezda"}, {"/opt/hvezda//", "/opt/hvezda"}, {"//", "/"}, {nullptr, "."}, {"", "."}};
    for (auto [base, folder] : cases) EXPECT_EQ(app::folderFromBasePath(base), folder) << (base ? base : "null");
}

// The scale keeps the size of a 96 dpi screen, and never outgrows the display.
TEST(Window, ScaleKeepsTheSizeOfA96DpiScreen) {
    const struct { int w, h, dpi, scale; } cases[] = {{1920, 1040, -1, 1}, {3840, 2160, -1, 2}, {3840, 2112, -1, 1}, {3840, 2112, 192, 2},
                 {7680, 4320, -1, 4}, {800, 600, -1, 1},   {1920, 1080, 288, 1}, {1300, 2160, -1, 1}};
    for (const auto& c : cases) EXPECT_EQ(platform::scaleFactor(c.w, c.h, c.dpi), c.scale) << c.w << "x" << c.h << "@" << c.dpi;
}

// F2 twice in a frame still gives two games their own luck.
TEST(ClockRandom, GamesStartedInOneInstantGetTheirOwnSeeds) {
    std::set<uint64_t> seeds;
    for (int i = 0; i < 1000; ++i) seeds.insert(platform::clockSeed());
    EXPECT_EQ(seeds.size(), 1000u);
}

// SDL keys to the virtual-key codes the game's handlers read, and modifiers to its shift state.
TEST(KeyMap, KeysBecomeVirtualKeyCodes) {
    const struct { SDL_Keycode key; SDL_Scancode place; int vk; } keys[] = {  // key 0: what its place types on a US board
        {SDLK_LEFT, SDL_SCANCODE_LEFT, 37}, {SDLK_UP, SDL_SCANCODE_UP, 38}, {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
        {SDLK_DOWN, SDL_SCANCODE_DOWN, 40}, {SDLK_x, SDL_SCANCODE_X, 88},   {SDLK_c, SDL_SCANCODE_C, 67},
        // Letters follow the layout: on a QWERTZ board the key in Y's place is Z.
        {SDLK_z, SDL_SCANCODE_Y, 90}, {SDLK_y, SDL_SCANCODE_Z, 89},
        {0x447 /* ч */, SDL_SCANCODE_X, 88},    // a non-Latin layout keeps the place's letter
        {SDLK_COMMA, SDL_SCANCODE_M, 188},      // a letter's place typing punctuation
        // The Czech digit row types letters with diacritics and is still 0-9.
        {0x11B /* ě */, SDL_SCANCODE_2, 50}, {SDLK_PLUS, SDL_SCANCODE_1, 49}, {0xE9 /* é */, SDL_SCANCODE_0, 48},
        // The rest of the keyboard, by place (a sample of each block).
        {0, SDL_SCANCODE_RETURN, 13}, {0, SDL_SCANCODE_KP_ENTER, 13}, {0, SDL_SCANCODE_SPACE, 32},
        {0, SDL_SCANCODE_RSHIFT, 16}, {0, SDL_SCANCODE_RCTRL, 17},     {0, SDL_SCANCODE_RALT, 18},
        {0, SDL_SCANCODE_F12, 123},   {0, SDL_SCANCODE_PAGEDOWN, 34},  {0, SDL_SCANCODE_KP_9, 105},
        {0, SDL_SCANCODE_KP_DIVIDE, 111}, {0, SDL_SCANCODE_SEMICOLON, 186}, {0, SDL_SCANCODE_APOSTROPHE, 222},
        {0, SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const auto& k : keys) {
        const SDL_Keycode key = k.key ? k.key : SDL_SCANCODE_TO_KEYCODE(k.place);
        EXPECT_EQ(platform::virtualKey(key, k.place), k.vk) << SDL_GetScancodeName(k.place) << " typing " << key;
    }
}

TEST(KeyMap, ModifiersMakeTheShiftState) {
    const std::pair<int, int> mods[] = {
        {KMOD_NONE, 0}, {KMOD_LSHIFT, 1}, {KMOD_RSHIFT, 1}, {KMOD_LCTRL, 2}, {KMOD_RCTRL, 2},
        {KMOD_LALT, 4}, {KMOD_RALT, 4},   {KMOD_LSHIFT | KMOD_RCTRL | KMOD_LALT, 7},
        {KMOD_CAPS | KMOD_NUM, 0}, {KMOD_CAPS | KMOD_LCTRL, 2},  // lock keys are no modifiers
    };
    for (auto [mod, state] : mods) EXPECT_EQ(platform::shiftState(static_cast<Uint16>(mod)), state) << mod;
}

}  // namespace
