// SPDX-License-Identifier: MIT
// hvezda: the game in its window.
// On Windows SDL's own entry point runs main, with the arguments in UTF-8.
#include <SDL_main.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <optional>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/comforts.h"
#include "app/console.h"
#include "app/hall.h"
#ifdef HVEZDA_HALL_CLIENT
#include "app/hall_client.h"
#endif
#include "app/recorder.h"
#include "app/session.h"
#include "base/paths.h"
#include "base/utf8.h"
#include "musicplayer/openmpt_backend.h"
#include "platform/folders.h"
#include "shell/shell.h"
#include "record/replay.h"
#include "record/seed.h"

using namespace hvezda;
using namespace rec;

namespace {

int fail(const std::string& why, int status) {
    std::fprintf(stderr, "hvezda: %s\n", why.c_str());
    return status;
}

// The hall of fame's tables, each recording in its folder replayed first.
app::HallTables hallTables(std::string& folder) {
    std::string error;
    folder = plat::folder(plat::Folder::Hall, false, error);
    std::vector<std::string> problems;
    app::HallTables tables;
    if (!folder.empty()) tables = app::readHallTables(folder, rec::todayUtc(), problems);
    else problems.push_back("no hall of fame: " + error);
    for (const std::string& p : problems) std::fprintf(stderr, "hvezda: %s\n", p.c_str());
    return tables;
}

// --scores: one line a place (place, name, score, how it ended, play time,
// date, and "chosen luck" or "daily" where it applies; with `verbose` its
// recording), then the folder. With `daily`, today's daily flights.
int printScores(bool verbose, bool daily) {
    std::string folder;
    const app::HallTables tables = hallTables(folder);
    const std::vector<app::HallEntry>& table = daily ? tables.daily : tables.best;
    if (table.empty()) {
        if (daily)
            std::printf("No daily flight of today (%s) in the hall of fame in %s yet.\n", rec::todayUtc().c_str(),
                        folder.c_str());
        else
            std::printf("The hall of fame is empty: no ended game in %s yet.\n", folder.c_str());
        return 0;
    }
    size_t widest = 0;
    for (const app::HallEntry& e : table) widest = std::max(widest, base::utf8Count(app::playerName(e)));
    for (size_t i = 0; i < table.size(); ++i) {
        const app::HallEntry& e = table[i];
        const std::string name = app::playerName(e), pad(widest - base::utf8Count(name), ' ');
        // The luck's mark after the date, in a column of its own.
        std::string date = app::playDate(e);
        if (const std::string mark = app::luckMark(e); !mark.empty())
            date += std::string(date.size() < 10 ? 10 - date.size() : 0, ' ') + "  " + mark;
        std::printf("%2zu  %s%s  %6lld  %-9s  %5s  %s%s%s\n", i + 1, name.c_str(), pad.c_str(),
                    static_cast<long long>(e.score), e.winner ? "WINNER" : "GAME OVER", app::playTime(e).c_str(),
                    date.c_str(), verbose ? "  " : "", verbose ? e.file.c_str() : "");
    }
    std::printf("%s\n", folder.c_str());
    return 0;
}

// Plays a checked recording back in the open session; returns the exit status.
int replay(Game& game, app::Session& session, std::istream& recording, double speed) {
    Form_Load(game);
    session.present();
    session.show();
    const plat::LoopServices services = session.loopServices([&] { return !session.input().quitAsked(); });
    plat::Pace pace;
    pace.speed = speed;
    plat::LoopStats stats;
    const Verdict v = playRecording(game, recording, RecordingLimits{}, [&](Game& g, int64_t ms) {
        return plat::paceTo(g, g.clock + ms, services, pace, stats);
    });
    if (game.scene.Form1.open) Label4_Click(game);  // the music goes as on EXIT
    switch (v.status) {
        case Verdict::Verified: std::printf("hvezda: the replay stayed in sync: %s\n", v.message.c_str()); return 0;
        case Verdict::Stopped: std::printf("hvezda: replay stopped (%s)\n", v.message.c_str()); return 0;
        case Verdict::Unmet: return fail("the replay went out of sync: " + v.message, 1);
        case Verdict::Cut: return fail("the recording is cut short: " + v.message, 3);
        case Verdict::Refused: break;
    }
    return fail(v.message, 2);
}

#ifdef HVEZDA_HALL_CLIENT
// The player's token, kept in the state folder; empty after saying why not.
std::string tokenOrSay() {
    std::string error;
    const std::string folder = plat::folder(plat::Folder::Recordings, true, error);
    const std::string token = folder.empty() ? std::string() : app::playerToken(folder, error);
    if (token.empty()) std::fprintf(stderr, "hvezda: no player token for the hall of fame: %s\n", error.c_str());
    return token;
}
#endif

// --submit FILE [URL]: the server's answer on standard output.
int submit(const std::string& file, const std::string& server) {
    if (server.empty())
        return fail("--submit names no server and the setting hall_server is empty", 2);
#ifdef HVEZDA_HALL_CLIENT
    std::ifstream in(base::pathFromUtf8(file), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) return fail("cannot read " + file, 2);
    const std::string token = tokenOrSay();
    if (token.empty()) return 3;
    const app::HallAnswer a = app::postGame(server, token, text.str());
    if (a.accepted()) {
        std::printf("%s\n", a.body.c_str());
        std::fprintf(stderr, "hvezda: %s took %s: %s\n", app::hallBase(server).c_str(), file.c_str(),
                     app::acceptedInWords(a.body).c_str());
        return 0;
    }
    if (a.refused()) return fail(app::hallBase(server) + " refused " + file + " (" + std::to_string(a.status) + "): " + a.reason(), 1);
    return fail("cannot send " + file + " to " + app::hallBase(server) + ": " +
                    (a.status ? "status " + std::to_string(a.status) + ": " + a.reason() : a.error),
                3);
#else
    (void)file;
    return fail("this build cannot send games: it was built without libcurl", 3);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    app::useStartingConsole();
    app::GameOptions asked;
    if (const std::optional<int> status = app::readGameCommandLine(argc, argv, asked)) return *status;

    // A settings file never keeps the game from starting: what cannot be
    // read is said, and its default used.
    const std::string settingsFile = plat::settingsPath();
    std::vector<std::string> problems;
    const plat::Settings settings = app::settingsFor(asked, settingsFile, problems);
    for (const std::string& p : problems) std::fprintf(stderr, "hvezda: %s\n", p.c_str());
    if (asked.writeSettings) {
        if (const std::string why = plat::writeSettings(settings, settingsFile); !why.empty()) {
            std::fprintf(stderr, "hvezda: %s\n", why.c_str());
            return 1;
        }
        std::printf("hvezda: settings written to %s\n", settingsFile.c_str());
        return 0;
    }
    if (asked.scores) return printScores(asked.verbose, asked.daily);
    if (!asked.submit.empty()) return submit(asked.submit, asked.submitTo.empty() ? settings.hallServer : asked.submitTo);
    if (asked.replayBest > 0) {
        std::string folder;
        const std::vector<app::HallEntry> table = hallTables(folder).best;
        if (table.size() < static_cast<size_t>(asked.replayBest))
            return fail("the hall of fame has no game in place " + std::to_string(asked.replayBest), 2);
        asked.replay = table[static_cast<size_t>(asked.replayBest - 1)].file;
    }

    // A recording is checked whole before any window opens.
    std::ifstream recording;
    if (!asked.replay.empty()) {
        if (const std::string why = openRecording(asked.replay, recording); !why.empty()) return fail(why, 2);
        Game scratch;
        const Verdict v = checkRecording(scratch, recording, RecordingLimits{});
        if (v.status != Verdict::Verified) return fail(asked.replay + ": " + v.message, 2);
    }

    Game game;
    app::SessionOptions options;
    options.players = {&kRealPlayer, 1};
    options.window = {settings.scale, settings.fullscreen, settings.vsync};
    options.input = plat::inputOptions(settings);
    options.input.replay = !asked.replay.empty();
    std::string why;
    auto session = app::Session::open(game, options, why);
    if (!session) return fail(why, 1);
    // Each game's luck: a seed of its own from the clock, or today's for
    // everyone. Each ended game goes to the public hall of fame the settings
    // name, from a thread of its own, and each new game not of the daily
    // flight takes the open seed that thread fetched ahead (a seed from the
    // clock while none has come).
    app::SeedSource seeds = asked.daily ? app::seedOfToday : app::seedFromClock;
#ifdef HVEZDA_HALL_CLIENT
    std::unique_ptr<app::HallSender> sender;
    if (!settings.hallServer.empty() && asked.replay.empty()) {
        std::string error;
        const std::string token = tokenOrSay();
        if (!token.empty())
            sender = std::make_unique<app::HallSender>(settings.hallServer, token,
                                                       plat::folder(plat::Folder::Recordings, true, error));
    }
    if (sender && !asked.daily)
        seeds = [&sender] {
            const std::optional<uint64_t> open = sender->takeSeed();
            return open ? rec::GameSeed{*open, {}} : app::seedFromClock();
        };
#else
    if (!settings.hallServer.empty())
        std::fprintf(stderr, "hvezda: this build cannot send games to %s: it was built without libcurl\n",
                     settings.hallServer.c_str());
#endif
    app::Recorder recorder(asked.record, settings.name, seeds);
    std::string hallError;
    app::HallKeeper hall(plat::folder(plat::Folder::Hall, false, hallError), asked.replay.empty() ? &recorder : nullptr,
                         [&session] { session->input().openBoard(); });
#ifdef HVEZDA_HALL_CLIENT
    if (sender) hall.onEnded = [&sender](const std::string& recording) { sender->send(recording); };
#endif
    app::addComforts(*session, game, settings, &recorder, &hall);
    if (!asked.replay.empty()) return replay(game, *session, recording, asked.speed);

    recorder.start(game);
    session->input().watch(&recorder);
    Form_Load(game);
    session->present();
    session->show();
    // Runs until EXIT (or the desktop) closes the window; EXIT has released
    // the music by then.
    plat::LoopStats stats;
    plat::LoopProbe probe;
    probe.onInstant = [&](int64_t, int64_t, int64_t) {
        recorder.onInstant(game);
        hall.onInstant(game);
    };
    plat::runLoop(game, session->loopServices(), stats, probe);
    hall.gameLeft(game);
    recorder.finish(game);
    session->input().watch(nullptr);
    return 0;
}
