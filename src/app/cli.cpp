#include "app/cli.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <string>

namespace app {
namespace {

constexpr const char* kControls =
    "Controls:\n"
    "  arrow keys        fly the ship (hold them)\n"
    "  X                 fire a shot upward\n"
    "  C                 spend the single shield refill\n"
    "  click OVLÁDÁNÍ    show the controls in the game\n"
    "  click CREDITS     show who made the game\n"
    "  click EXIT        quit\n";

// What every program of the game offers, and how each says what is wrong: a
// line that begins with its name, as its other complaints do, and a hint.
void addCommonOptions(CLI::App& cli) {
    cli.set_help_flag("-h,--help", "Print this help and exit");
    cli.set_version_flag("--version", cli.get_name() + " " + HVEZDA_VERSION, "Print the version and exit");
    cli.failure_message([](const CLI::App* app, const CLI::Error& e) {
        return app->get_name() + ": " + e.what() + "\nRun '" + app->get_name() + " --help' for more information.\n";
    });
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

std::optional<int> readGameCommandLine(int argc, char** argv) {
    CLI::App cli("Hvězda, a small arcade game: fly, shoot, and beat the boss.", "hvezda");
    addCommonOptions(cli);
    cli.footer(kControls);
    return parse(cli, argc, argv);
}

std::optional<int> readPaceCommandLine(int argc, char** argv, PaceOptions& options) {
    CLI::App cli("Timing probe: the game's real loop and window, playing itself from a script.", "hvezda-pace");
    addCommonOptions(cli);
    std::string phase = "normal";
    bool noMusic = false;
    cli.add_option("--seconds", options.seconds, "How long to run (default 20)")->check([](const std::string& text) {
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        return end != text.c_str() && *end == '\0' && seconds > 0 ? std::string()
                                                                   : "not a number of seconds above 0: " + text;
    });
    cli.add_option("--phase", phase, "normal: the shield warning blinks; boss: the boss fight")
        ->check(CLI::IsMember({"normal", "boss"}));
    cli.add_flag("--no-music", noMusic, "Run without the music");
    cli.add_flag("--strict", options.strict, "Exit 1 when a target is missed");
    const std::optional<int> status = parse(cli, argc, argv);
    options.boss = phase == "boss";
    options.music = !noMusic;
    return status;
}

}  // namespace app
