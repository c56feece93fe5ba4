// SPDX-License-Identifier: MIT
// The hall's answers, one function for each request, without HTTP: the
// server program routes to these, and so could any other front.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "hall/queue.h"
#include "hall/store.h"

namespace hall {

struct Answer {
    int status = 200;
    std::string body;
    std::string type = "application/json";
    int retryAfter = 0;  // seconds, for 429 and 503: sent as Retry-After when not 0
    std::string fileName = {};  // a download's name, when it is one
};

// {"error": why} with a 4xx or 5xx status.
Answer refusal(int status, const std::string& why);

// The time now, milliseconds since 1970 UTC.
using Clock = std::function<int64_t()>;
int64_t systemNow();

class Service {
public:
    Service(Store& store, Clock now, bool playPage) : store_(store), now_(std::move(now)), playPage_(playPage) {}
    // Replays go through this queue (when set): 503 at once when it is full.
    void verifyThrough(VerifyQueue* queue) { queue_ = queue; }

    Answer submit(std::string_view recording, std::string_view authorization);  // POST /api/games
    Answer seed();                                                               // GET /api/seed
    Answer board(const std::string& which, const std::string& day);              // GET /api/board
    Answer recording(const std::string& id);                                     // GET /api/games/ID
    Answer page();                                                               // GET /

private:
    Store& store_;
    Clock now_;
    bool playPage_;
    VerifyQueue* queue_ = nullptr;
    // Board answers as last made, by board and day, with the store's version then.
    struct Kept {
        uint64_t version;
        std::string body;
    };
    std::map<std::string, Kept> kept_;
    std::mutex keptMutex_;
};

}  // namespace hall
