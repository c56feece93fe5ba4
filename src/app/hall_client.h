// SPDX-License-Identifier: MIT
// Sending games to a public hall of fame (hvezda-hall): the player's token,
// one request at a time through libcurl, and the sender that works on a
// thread of its own so that no frame ever waits for the network. A game that
// cannot go now (no network, the server down or busy) waits as a file in a
// queue folder and goes with the next one; a refusal is final.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace app {

// The state folder's files of the hall's client.
inline constexpr const char* kTokenFile = "hall-token";   // the player's token
inline constexpr const char* kSeedFile = "hall-seed";     // an open seed fetched ahead, not used yet
inline constexpr const char* kQueueFolder = "hall-queue"; // games waiting to be sent

// The player's token, read from `folder`'s hall-token, or made (32 random
// bytes as hex) and written there atomically the first time. Empty, with
// `error`, when it can be neither read nor kept.
std::string playerToken(const std::string& folder, std::string& error);

// What a server answered: its HTTP status (0: no answer at all, `error` says
// why) and the body.
struct HallAnswer {
    long status = 0;
    std::string body;
    std::string error;
    bool accepted() const { return status >= 200 && status < 300; }
    bool refused() const { return status >= 400 && status < 500; }  // final: sending again changes nothing
    // The server's reason for a refusal ({"error": "..."}), else the body or the error.
    std::string reason() const;
};

// The server's address as written in the setting, without a trailing slash.
std::string hallBase(const std::string& server);

// POST SERVER/api/games with the recording and the token. `cancel`, when
// given, is polled during the transfer; true aborts it. Bounded in time.
HallAnswer postGame(const std::string& server, const std::string& token, const std::string& recording,
                    const std::atomic<bool>* cancel = nullptr);
// GET SERVER/api/seed, and the seed in its answer ({"seed": N}).
std::optional<uint64_t> fetchSeed(const std::string& server, std::string& error, const std::atomic<bool>* cancel = nullptr);

// A one-line summary of an accepted game's answer: "score 1234, GAME OVER, place 3 on the open board".
std::string acceptedInWords(const std::string& body);

class HallSender {
public:
    // `server`: the setting hall_server; `folder`: the state folder, where
    // the token, the queue and a seed fetched ahead are kept. Starts the
    // thread, which sends what is queued from an earlier run and fetches the
    // next open seed.
    HallSender(std::string server, std::string token, std::string folder);
    HallSender(const HallSender&) = delete;
    HallSender& operator=(const HallSender&) = delete;
    // Every game handed over is in the queue folder by the time this returns;
    // sending goes on for at most `kGraceMs`, then stops (what is left goes
    // next time).
    ~HallSender();
    static constexpr int kGraceMs = 3000;

    // Queues an ended game's recording and wakes the thread; returns at once.
    void send(std::string recording);
    // The open seed fetched ahead, taken for a new game (the thread then
    // fetches another); nothing when none has come yet.
    std::optional<uint64_t> takeSeed();

private:
    void run();
    void spool(std::deque<std::string>& games);  // into the queue folder
    void sendQueued();
    bool fetchAhead();  // true when a seed came

    const std::string server_, token_, folder_, queue_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> incoming_;
    std::optional<uint64_t> seed_;
    bool seedTaken_ = false;  // the seed file is to go
    bool stopping_ = false;
    bool done_ = false;       // the thread has ended
    std::atomic<bool> cancel_{false};  // read by curl's progress callback on the thread
    int sent_ = 0;            // names queue files uniquely within this run
    std::thread thread_;
};

}  // namespace app
