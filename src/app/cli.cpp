// SPDX-License-Identifier: MIT
#include "app/cli.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/settings.h"

namespace app {
namespace {

std::string controls() {
    using plat::Folder;
    using plat::folderInWords;
    return std::string("Controls:\n") +
           "  arrow keys        fly the ship (hold them)\n"
    "  X                 fire a shot upward\n"
    "  C                 spend the single shield refill\n"
    "  P, Pause or Esc   pause and resume (the game also pauses when its window loses the focus)\n"
    "  F11 or Alt+Enter  fullscreen on and off\n"
    "  F2                a new game\n"
    "  F12               a screenshot into " + folderInWords(Folder::Pictures) + "\n"
           "  H                 the hall of fame (any key or a click closes it)\n"
    "  click OVLÁDÁNÍ    show the controls in the game\n"
    "  click CREDITS     show who made the game\n"
    "  click EXIT        quit\n"
    "Gamepads: the d-pad or the left stick fly, A or the right shoulder fires, B spends the\n"
    "  refill, Start pauses, Back + Start starts a new game, Y shows the hall of fame.\n"
    "Settings: settings.toml in " + folderInWords(Folder::Settings) + ":\n"
    "  fullscreen, scale, vsync, pause_on_focus_loss, music_volume, gamepad_repeat_delay,\n"
    "  gamepad_repeat_rate, name, hall_server, and under [keys] left, right, up, down, fire, refill (key names\n"
    "  such as \"Space\"); --write-settings writes them all with comments.\n";
}

// What every program of the game offers, and how each says what is wrong: a
// line that begins with its name, as its other complaints do, and a hint.
void addCommonOptions(CLI::App& cli) {
    cli.set_help_flag("-h,--help", "Print this help and exit");
    cli.set_version_flag("--version", cli.get_name() + " " + HVEZDA_VERSION, "Print the version and exit");
    cli.failure_message([](const CLI::App* app, const CLI::Error& e) {
        return app->get_name() + ": " + e.what() + "\nRun '" + app->get_name() + " --help' for more information.\n";
    });
}

// A number of seconds above 0 (or from 0 up).
std::function<std::string(const std::string&)> seconds(bool zeroToo) {
    return [zeroToo](const std::string& text) {
        char* end = nullptr;
        const double s = std::strtod(text.c_str(), &end);
        if (end != text.c_str() && *end == '\0' && (s > 0 || (zeroToo && s == 0))) return std::string();
        return std::string(zeroToo ? "not a number of seconds from 0 up: " : "not a number of seconds above 0: ") +
               text;
    };
}

std::optional<int> parse(CLI::App& cli, int argc, char** argv) {
    try {
        cli.parse(argc, argv);
        return std::nullopt;
    } catch (const CLI::CallForHelp& e) {
        cli.exit(e);
        return 0;
    } catch (const CLI::CallForVersion& e) {
        cli.exit(e);
        return 0;
    } catch (const CLI::ParseError& e) {
        cli.exit(e);  // the error and "Run with --help for more information."
        return 2;
    }
}

}  // namespace

std::optional<int> readGameCommandLine(int argc, char** argv, GameOptions& options) {
    CLI::App cli("Hvězda, a small arcade game: fly, shoot, and beat the boss.", "hvezda");
    addCommonOptions(cli);
    cli.add_flag("--fullscreen", options.fullscreen, "Start in fullscreen (F11 or Alt+Enter switch back)");
    cli.add_option("--scale", options.scale, "The window's size as a whole multiple of 667 x 570 (1 to 8; 0: "
                                             "chosen from the display)")
        ->check(CLI::Range(0, plat::kMaxScale))
        ->type_name("N");
    cli.add_flag("--write-settings", options.writeSettings,
                 "Write the settings file with every setting and its comment (the values in force, this "
                 "command line's included), then exit");
    auto* record = cli.add_option("--record", options.record,
                                  "Record the game into FILE, a new game into FILE-2 and so on (by default the "
                                  "last two games are kept as last-game.sim and previous-game.sim in " +
                                      std::string(plat::folderInWords(plat::Folder::Recordings)) + ")")
                       ->type_name("FILE");
    auto* replay = cli.add_option("--replay", options.replay,
                                  "Play a recording back in the window and say whether it stayed in sync; keys "
                                  "and clicks do not reach the game then, the pause and fullscreen work, EXIT "
                                  "or closing the window quits")
                       ->type_name("FILE")
                       ->excludes(record);
    auto* best = cli.add_option("--replay-best", options.replayBest,
                                "Play back the hall of fame's game of place N (1 to 10), as --replay plays its file")
                     ->type_name("N")
                     ->check(CLI::Range(1, 10))
                     ->excludes(record)
                     ->excludes(replay);
    cli.add_option("--speed", options.speed, "Play the recording N times as fast (0.1 to 100)")
        ->type_name("N")
        ->check(CLI::Range(0.1, 100.0));
    auto* scores = cli.add_flag("--scores", options.scores,
                                "Print the hall of fame (the ten best ended games, each replayed to check it: place, "
                                "name, score, how it ended, play time and date, then its folder " +
                                    std::string(plat::folderInWords(plat::Folder::Hall)) +
                                    ") and exit without opening a window");
    cli.add_flag("--verbose", options.verbose, "With --scores, each game's recording too")->needs(scores);
    cli.add_flag("--daily", options.daily,
                 "Fly the daily flight: every game's luck drawn from the seed of today's date (UTC), the same for "
                 "every player that day. With --scores, print today's best daily games instead")
        ->excludes(replay)
        ->excludes(best);
    scores->excludes(record)->excludes(replay)->excludes(best);
    std::vector<std::string> submit;
    cli.add_option("--submit", submit,
                   "Send a recording to a public hall of fame (URL, by default the setting hall_server) with this "
                   "player's token, print the server's answer and exit: 0 when it is on the board, 1 when the "
                   "server refused it, 3 when it could not be sent")
        ->expected(1, 2)
        ->type_name("FILE [URL]")
        ->excludes(record)
        ->excludes(replay)
        ->excludes(best)
        ->excludes(scores);
    cli.footer(controls());
    const std::optional<int> status = parse(cli, argc, argv);
    if (!submit.empty()) options.submit = submit[0];
    if (submit.size() > 1) options.submitTo = submit[1];
    if (!status && options.speed != 1 && options.replay.empty() && options.replayBest == 0) {
        std::fprintf(stderr, "hvezda: --speed goes with --replay or --replay-best\nRun 'hvezda --help' for more information.\n");
        return 2;
    }
    return status;
}

std::optional<int> readPaceCommandLine(int argc, char** argv, PaceOptions& options) {
    CLI::App cli("Timing probe: the game's real loop and window, playing itself from a script.", "hvezda-pace");
    addCommonOptions(cli);
    std::string phase = "normal";
    bool noMusic = false;
    cli.add_option("--seconds", options.seconds, "How long to run (default 20)")->check(seconds(false));
    cli.add_option("--phase", phase, "normal: the shield warning blinks; boss: the boss fight")
        ->check(CLI::IsMember({"normal", "boss"}));
    cli.add_flag("--no-music", noMusic, "Run without the music");
    cli.add_option("--pause", options.pause, "Pause this many seconds half way; ticks are counted against the playing time")
        ->check(seconds(true))
        ->type_name("S");
    cli.add_flag("--vsync", options.vsync, "Show frames as the vsync setting does");
    cli.add_flag("--strict", options.strict, "Exit 1 when a target is missed");
    const std::optional<int> status = parse(cli, argc, argv);
    options.boss = phase == "boss";
    options.music = !noMusic;
    return status;
}

}  // namespace app
