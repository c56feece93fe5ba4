// SPDX-License-Identifier: MIT
// Verification, bounded: at most `workers` replays run at once, at most
// `capacity` wait or run; one more is turned away at once (the server answers
// 503 with Retry-After) instead of piling up threads and memory.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

namespace hall {

class VerifyQueue {
public:
    VerifyQueue(size_t workers, size_t capacity) : workers_(workers ? workers : 1), capacity_(capacity) {}
    // Runs `job` on the calling thread when its turn comes; false, running
    // nothing, when the queue is full.
    bool run(const std::function<void()>& job);
    size_t waitingOrRunning();

private:
    size_t workers_, capacity_;
    size_t queued_ = 0, running_ = 0;
    std::mutex mutex_;
    std::condition_variable turn_;
};

}  // namespace hall
