// SPDX-License-Identifier: MIT
#include "app/hall_client.h"

#include <curl/curl.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "base/files.h"

namespace app {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Bounds: no request takes longer, no answer is read further.
constexpr long kConnectSeconds = 5;
constexpr long kRequestSeconds = 20;
constexpr size_t kLargestAnswer = 64 * 1024;
// How long the thread waits before asking again for a seed it could not get.
constexpr auto kSeedRetry = std::chrono::seconds(30);

std::string readFile(const std::string& file, bool& ok) {
    std::ifstream in(base::pathFromUtf8(file), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    ok = static_cast<bool>(in);
    return text.str();
}

bool isToken(const std::string& t) {
    return t.size() == 64 && std::all_of(t.begin(), t.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

size_t collect(char* data, size_t size, size_t count, void* out) {
    auto* body = static_cast<std::string*>(out);
    const size_t n = size * count;
    if (body->size() + n > kLargestAnswer) return 0;  // ends the transfer with an error
    body->append(data, n);
    return n;
}

int progress(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return cancel && static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

void initCurl() {
    static const bool once = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)once;
}

// One request: GET when `body` is null, else POST of it.
HallAnswer request(const std::string& url, const std::string* body, const std::string& token,
                   const std::atomic<bool>* cancel) {
    initCurl();
    HallAnswer answer;
    CURL* curl = curl_easy_init();
    if (!curl) {
        answer.error = "libcurl cannot start a request";
        return answer;
    }
    char problem[CURL_ERROR_SIZE] = "";
    curl_slist* headers = nullptr;
    if (!token.empty()) headers = curl_slist_append(headers, ("Authorization: Bearer " + token).c_str());
    if (body) headers = curl_slist_append(headers, "Content-Type: text/plain; charset=utf-8");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, kRequestSeconds);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "hvezda/" HVEZDA_VERSION);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, problem);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.body);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancel));
    if (body) {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    }
    const CURLcode done = curl_easy_perform(curl);
    if (done == CURLE_OK) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    } else {
        answer.error = problem[0] ? problem : curl_easy_strerror(done);
        answer.body.clear();
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return answer;
}

// The JSON value of `key` in `body` as text, empty when there is none.
std::string field(const nlohmann::json& j, const char* key) {
    if (!j.is_object() || !j.contains(key)) return {};
    const nlohmann::json& v = j[key];
    return v.is_string() ? v.get<std::string>() : v.dump();
}

nlohmann::json parsed(const std::string& body) { return nlohmann::json::parse(body, nullptr, false); }

}  // namespace

std::string playerToken(const std::string& folder, std::string& error) {
    const std::string file = folder + base::kPathSeparator + kTokenFile;
    std::error_code ec;
    if (fs::exists(base::pathFromUtf8(file), ec)) {
        bool ok = false;
        std::string token = readFile(file, ok);
        while (!token.empty() && (token.back() == '\n' || token.back() == '\r')) token.pop_back();
        if (ok && isToken(token)) return token;
        if (!ok) {
            error = "cannot read " + file;
            return {};
        }
        // A token edited by hand is no token: a new one takes its place (the
        // names it held stay with the old one on the server).
        std::fprintf(stderr, "hvezda: %s holds no token; making a new one\n", file.c_str());
    }
    std::random_device random;
    std::string token;
    static constexpr char kHex[] = "0123456789abcdef";
    while (token.size() < 64) {
        const unsigned r = random();
        for (int i = 0; i < 8 && token.size() < 64; ++i) token += kHex[(r >> (4 * i)) & 15];
    }
    if (const std::string why = base::writeFileAtomically(file, token + "\n"); !why.empty()) {
        error = why;
        return {};
    }
    return token;
}

std::string HallAnswer::reason() const {
    if (status == 0) return error;
    const std::string said = field(parsed(body), "error");
    std::string text = said.empty() ? body : said;
    if (text.size() > 200) text = text.substr(0, 200) + "...";
    return text.empty() ? "no reason given" : text;
}

std::string hallBase(const std::string& server) {
    std::string base = server;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

HallAnswer postGame(const std::string& server, const std::string& token, const std::string& recording,
                    const std::atomic<bool>* cancel) {
    return request(hallBase(server) + "/api/games", &recording, token, cancel);
}

std::optional<uint64_t> fetchSeed(const std::string& server, std::string& error, const std::atomic<bool>* cancel) {
    const HallAnswer a = request(hallBase(server) + "/api/seed", nullptr, {}, cancel);
    if (!a.accepted()) {
        error = a.status ? "status " + std::to_string(a.status) + ": " + a.reason() : a.error;
        return std::nullopt;
    }
    const nlohmann::json j = parsed(a.body);
    const std::string text = field(j, "seed");
    uint64_t seed = 0;
    size_t used = 0;
    try {
        seed = std::stoull(text, &used, 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size() || text[0] == '-') {
        error = "no seed in the answer: " + a.body.substr(0, 200);
        return std::nullopt;
    }
    return seed;
}

std::string acceptedInWords(const std::string& body) {
    const nlohmann::json j = parsed(body);
    const std::string score = field(j, "score"), result = field(j, "result"), rank = field(j, "rank"),
                      board = field(j, "board"), day = field(j, "day");
    if (score.empty()) return body.substr(0, 200);
    std::string words = "score " + score;
    if (!result.empty()) words += ", " + result;
    if (!rank.empty() && rank != "null") words += ", place " + rank;
    if (!board.empty() && board != "null")
        words += " on the " + board + (board == "daily" && !day.empty() && day != "null" ? " board of " + day : " board");
    return words;
}

HallSender::HallSender(std::string server, std::string token, std::string folder)
    : server_(hallBase(server)),
      token_(std::move(token)),
      folder_(std::move(folder)),
      queue_(folder_ + base::kPathSeparator + kQueueFolder) {
    // A seed fetched in an earlier run is ready for the first game.
    // "SEED SERVER": only this server knows it issued the seed.
    bool ok = false;
    std::istringstream text(readFile(folder_ + base::kPathSeparator + kSeedFile, ok));
    uint64_t seed = 0;
    std::string from;
    if (ok && text >> seed >> from && from == server_) seed_ = seed;
    thread_ = std::thread([this] { run(); });
}

HallSender::~HallSender() {
    {
        std::unique_lock lock(mutex_);
        stopping_ = true;
        wake_.notify_all();
        wake_.wait_for(lock, std::chrono::milliseconds(kGraceMs), [this] { return done_; });
        cancel_ = true;
    }
    thread_.join();
}

void HallSender::send(std::string recording) {
    std::lock_guard lock(mutex_);
    incoming_.push_back(std::move(recording));
    wake_.notify_all();
}

std::optional<uint64_t> HallSender::takeSeed() {
    std::lock_guard lock(mutex_);
    std::optional<uint64_t> seed;
    seed.swap(seed_);
    if (seed) {
        seedTaken_ = true;
        wake_.notify_all();
    }
    return seed;
}

void HallSender::run() {
    bool first = true;
    auto seedAfter = Clock::now();
    for (;;) {
        std::deque<std::string> games;
        bool stop = false, needSeed = false, forget = false;
        {
            std::unique_lock lock(mutex_);
            const auto ready = [this] { return stopping_ || !incoming_.empty() || seedTaken_; };
            if (!first) {
                if (seed_) wake_.wait(lock, ready);
                else wake_.wait_until(lock, seedAfter, ready);
            }
            first = false;
            games.swap(incoming_);
            stop = stopping_;
            needSeed = !seed_;
            forget = seedTaken_;
            seedTaken_ = false;
        }
        if (forget) {
            std::error_code ec;
            fs::remove(base::pathFromUtf8(folder_ + base::kPathSeparator + kSeedFile), ec);
        }
        spool(games);
        if (cancel_) break;
        if (!games.empty() || !stop) sendQueued();
        if (needSeed && !stop && Clock::now() >= seedAfter)
            seedAfter = fetchAhead() ? Clock::now() : Clock::now() + kSeedRetry;
        if (stop) break;
    }
    std::lock_guard lock(mutex_);
    done_ = true;
    wake_.notify_all();
}

void HallSender::spool(std::deque<std::string>& games) {
    for (const std::string& game : games) {
        // Named by the time, so that the queue goes in the order played.
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
        char name[64];
        std::snprintf(name, sizeof name, "%015lld-%04d.sim", static_cast<long long>(ms), ++sent_ % 10000);
        const std::string file = queue_ + base::kPathSeparator + name;
        if (const std::string why = base::writeFileAtomically(file, game); !why.empty())
            std::fprintf(stderr, "hvezda: a game for the hall of fame is lost: %s\n", why.c_str());
    }
}

void HallSender::sendQueued() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(base::pathFromUtf8(queue_), ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".sim") files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        if (cancel_) return;
        const std::string file = base::utf8FromPath(path);
        bool ok = false;
        const std::string recording = readFile(file, ok);
        if (!ok) {
            std::fprintf(stderr, "hvezda: cannot read %s; it waits\n", file.c_str());
            continue;
        }
        const HallAnswer a = postGame(server_, token_, recording, &cancel_);
        if (a.accepted()) {
            std::fprintf(stderr, "hvezda: the hall of fame at %s took a game: %s\n", server_.c_str(),
                         acceptedInWords(a.body).c_str());
        } else if (a.refused()) {
            std::fprintf(stderr, "hvezda: the hall of fame at %s refused a game (%ld: %s); it is not sent again\n",
                         server_.c_str(), a.status, a.reason().c_str());
        } else {
            if (!cancel_)
                std::fprintf(stderr, "hvezda: the hall of fame at %s cannot take games now (%s); %zu wait in %s\n",
                             server_.c_str(), a.status ? ("status " + std::to_string(a.status)).c_str() : a.error.c_str(),
                             files.size() - static_cast<size_t>(&path - files.data()), queue_.c_str());
            return;  // the rest goes with the next game
        }
        fs::remove(path, ec);
    }
}

bool HallSender::fetchAhead() {
    std::string error;
    const std::optional<uint64_t> seed = fetchSeed(server_, error, &cancel_);
    if (!seed) return false;  // the game is played on a seed of its own; asked again later
    base::writeFileAtomically(folder_ + base::kPathSeparator + kSeedFile, std::to_string(*seed) + " " + server_ + "\n");
    std::lock_guard lock(mutex_);
    seed_ = seed;
    return true;
}

}  // namespace app
