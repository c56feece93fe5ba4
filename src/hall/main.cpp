// SPDX-License-Identifier: MIT
// hvezda-hall: the public hall of fame. It takes recordings of games over
// HTTP, replays each one, and lists those whose luck no player could pick.
#include <CLI/CLI.hpp>
#include <httplib.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <thread>

#include <pthread.h>

#include "base/arguments.h"
#include "hall/connection.h"
#include "hall/limits.h"
#include "hall/queue.h"
#include "hall/rules.h"
#include "hall/service.h"
#include "hall/store.h"

namespace {

int usage(const std::string& why) {
    std::cerr << "hvezda-hall: " << why << "\nRun hvezda-hall --help for the options.\n";
    return 2;
}

// $XDG_STATE_HOME/hvezda, else ~/.local/state/hvezda, made private when missing; empty when neither names a folder.
std::string stateFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/') base = xdg;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/') base = std::string(home) + "/.local/state";
    if (base.empty()) return {};
    const std::string folder = base + "/hvezda";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
    return folder;
}

// The test clock: a file holding the time in milliseconds since 1970 UTC,
// read at every request; when it holds none, the system's time.
hall::Clock testClock(const std::string& file) {
    return [file] {
        std::ifstream in(file);
        int64_t ms = 0;
        return in >> ms ? ms : hall::systemNow();
    };
}

void answer(httplib::Response& res, const hall::Answer& a) {
    res.status = a.status;
    res.set_content(a.body, a.type.c_str());
    if (a.retryAfter > 0) res.set_header("Retry-After", std::to_string(a.retryAfter));
    if (!a.fileName.empty()) res.set_header("Content-Disposition", "attachment; filename=\"" + a.fileName + "\"");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"The public hall of fame of Hvězda: takes recordings of games (POST /api/games), replays each one, "
                 "and lists on / and /api/board the games of a day's seed or of a seed this server issued "
                 "(GET /api/seed). docs/hall.md tells the whole interface.",
                 "hvezda-hall"};
    std::string listen = "127.0.0.1:8080", database, web, clockFile;
    app.add_option("--listen", listen, "the address and port to serve on (port 0: any free one)")
        ->type_name("HOST:PORT")
        ->capture_default_str();
    app.add_option("--database", database,
                   "where the board is kept: sqlite:PATH (default: hvezda-hall.sqlite in $XDG_STATE_HOME/hvezda, "
                   "usually ~/.local/state/hvezda)")
        ->type_name("URL");
    app.add_option("--web", web, "serves this folder (the browser build of the game) at /play/")
        ->type_name("DIR")
        ->check(CLI::ExistingDirectory);
    int submissionsPerMinute = hall::kDefaultSubmissionsPerMinute, seedsPerMinute = hall::kDefaultSeedsPerMinute;
    bool behindProxy = false;
    size_t threads = 32, verifyQueue = 64, verifiers = std::max(1u, std::thread::hardware_concurrency());
    app.add_option("--submissions-per-minute", submissionsPerMinute,
                   "games one address may send a minute (a burst of as many), 0 for no limit; over it: 429")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    app.add_option("--seeds-per-minute", seedsPerMinute, "seeds one address may ask for a minute, 0 for no limit")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    app.add_flag("--behind-proxy", behindProxy,
                 "a proxy on this machine stands in front: count requests against the last address of its "
                 "X-Forwarded-For header, not the proxy's");
    app.add_option("--threads", threads, "connections served at once")->check(CLI::Range(1, 1024))->capture_default_str();
    app.add_option("--verify-queue", verifyQueue, "games waiting for or in their replay, at most; past it: 503")
        ->check(CLI::Range(1, 100000))
        ->capture_default_str();
    app.add_option("--verifiers", verifiers, "replays run at once (default: the number of cores)")
        ->check(CLI::Range(1, 256));
    // For tests only: the server's time from a file (milliseconds since 1970 UTC), read at every request.
    app.add_option("--test-clock", clockFile)->group("");
    try {
        base::Utf8Arguments utf8(argc, argv);
        app.parse(utf8.argc(), utf8.argv());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return usage(e.what());
    }

    const size_t colon = listen.rfind(':');
    int port = -1;
    if (colon != std::string::npos && colon + 1 < listen.size() && listen.size() - colon <= 6 &&
        listen.find_first_not_of("0123456789", colon + 1) == std::string::npos)
        port = std::stoi(listen.substr(colon + 1));
    if (port < 0 || port > 65535 || colon == 0) return usage("--listen needs HOST:PORT, such as 127.0.0.1:8080");
    const std::string host = listen.substr(0, colon);

    if (database.empty()) {
        const std::string folder = stateFolder();
        if (folder.empty()) return usage("no state folder (neither XDG_STATE_HOME nor HOME is set): give --database");
        database = "sqlite:" + folder + "/hvezda-hall.sqlite";
    }
    std::string error;
    std::unique_ptr<hall::Store> store = hall::openStore(database, error);
    if (!store) {
        std::cerr << "hvezda-hall: " << error << "\n";
        return 1;
    }
    const hall::Clock now = clockFile.empty() ? hall::Clock(hall::systemNow) : testClock(clockFile);
    hall::Service service(*store, now, !web.empty());
    hall::VerifyQueue queue(verifiers, verifyQueue);
    service.verifyThrough(&queue);
    hall::RateLimit submissions(submissionsPerMinute), seeds(seedsPerMinute);
    // 0 when `limit` lets the request through; otherwise answered with 429.
    const auto limited = [&](hall::RateLimit& limit, const httplib::Request& req, httplib::Response& res,
                             const char* what) {
        const std::string address =
            hall::clientAddress(req.remote_addr, req.get_header_value("X-Forwarded-For"), behindProxy);
        const int wait = limit.take(address, hall::systemNow());
        if (wait == 0) return false;
        hall::Answer a = hall::refusal(429, std::string("more than ") + std::to_string(limit.perMinute()) + " " +
                                                what + " a minute from one address: wait " + std::to_string(wait) + " s");
        a.retryAfter = wait;
        answer(res, a);
        return true;
    };

    // SIGINT and SIGTERM end the server between requests: every thread but
    // the one that waits for them has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    httplib::Server server;
    hall::boundConnections({});
    server.new_task_queue = [threads] { return new hall::ConnectionPool(threads, 4 * threads); };
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_timeout(5);
    server.set_keep_alive_max_count(1000);
    server.set_logger([](const httplib::Request&, const httplib::Response&) { hall::nextRequest(); });
    // Headers beyond what any browser sends are refused before anything reads the body.
    server.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        size_t bytes = req.target.size();
        for (const auto& [name, value] : req.headers) bytes += name.size() + value.size() + 4;
        if (bytes <= hall::kLargestHead && req.headers.size() <= hall::kMostHeaders)
            return httplib::Server::HandlerResponse::Unhandled;
        answer(res, hall::refusal(431, "the request's headers are larger than " + std::to_string(hall::kLargestHead) +
                                           " bytes or more than " + std::to_string(hall::kMostHeaders)));
        res.set_header("Connection", "close");
        return httplib::Server::HandlerResponse::Handled;
    });
    server.set_payload_max_length(hall::kLargestRecording);
    // Headers and body leave in separate writes: without this, a kept-alive
    // connection waits for the delayed acknowledgement between them (27 ms an answer).
    server.set_tcp_nodelay(true);
    server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return;
        std::string why = "the request cannot be served";
        if (res.status == 404) why = "nothing here";
        if (res.status == 413)
            why = req.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) == 0
                      ? "a form-encoded body is limited to 8192 bytes: send the recording as text/plain"
                      : "the body is larger than the limit of " + std::to_string(hall::kLargestRecording) + " bytes";
        answer(res, hall::refusal(res.status, why));
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
        std::string why = "the server failed";
        try {
            std::rethrow_exception(ep);
        } catch (const std::exception& e) {
            std::cerr << "hvezda-hall: " << e.what() << "\n";
        } catch (...) {
        }
        answer(res, hall::refusal(500, why));
    });
    // A page served from another address may use the interface too: tokens
    // travel in a header, never in cookies, so any origin may ask.
    server.set_default_headers({{"Access-Control-Allow-Origin", "*"}});
    server.Options(R"(/api/.*)", [](const httplib::Request&, httplib::Response& res) {
        res.status = 204;
        res.set_header("Access-Control-Allow-Methods", "GET, POST");
        res.set_header("Access-Control-Allow-Headers", "Authorization, Content-Type");
        res.set_header("Access-Control-Max-Age", "86400");
    });
    server.Post("/api/games", [&](const httplib::Request& req, httplib::Response& res) {
        if (limited(submissions, req, res, "games")) return;
        answer(res, service.submit(req.body, req.get_header_value("Authorization")));
    });
    server.Get("/api/seed", [&](const httplib::Request& req, httplib::Response& res) {
        if (!limited(seeds, req, res, "seeds")) answer(res, service.seed());
        res.set_header("Cache-Control", "no-store");
    });
    server.Get("/api/board", [&](const httplib::Request& req, httplib::Response& res) {
        answer(res, service.board(req.get_param_value("board"), req.get_param_value("day")));
    });
    server.Get(R"(/api/games/([^/]*))", [&](const httplib::Request& req, httplib::Response& res) {
        answer(res, service.recording(req.matches[1]));
    });
    server.Get("/", [&](const httplib::Request&, httplib::Response& res) { answer(res, service.page()); });
    if (!web.empty()) {
        server.set_mount_point("/play/", web);
        server.Get("/play", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/play/"); });
    }

    const int bound = port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
    if (bound < 0) {
        std::cerr << "hvezda-hall: cannot listen on " << listen << "\n";
        return 1;
    }
    std::cout << "hvezda-hall: listening on http://" << host << ":" << bound << "/ with " << database << std::endl;

    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    stopper.detach();
    server.listen_after_bind();
    return 0;
}
