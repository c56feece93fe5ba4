// SPDX-License-Identifier: MIT
// Bounds on each connection the HTTP library serves, which the library itself
// does not keep: a request (its line, headers and body) must arrive within a
// time, counted from the connection's start or the previous answer, and within
// a number of bytes. A client that sends one byte a second, or headers without
// end, is dropped. And connections wait for a thread in a queue of bounded
// length; past it they are closed at once.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace hall {

// A request's line and headers, at most (browsers send well under 4 KiB).
inline constexpr size_t kLargestHead = 16 * 1024;
inline constexpr size_t kMostHeaders = 64;

struct ConnectionBounds {
    int64_t requestMs = 10'000;         // to send one whole request
    size_t requestBytes = 2 << 20;      // of one request, headers and body (a body over the limit is read and dropped)
};

// Sets the bounds for every connection (before the server starts).
void boundConnections(const ConnectionBounds& bounds);
// Called after every answer (the server's logger): the next request gets the bounds afresh.
void nextRequest();

// The server's threads: `threads` serve connections, at most `waiting` wait
// for one; a connection past that is served at once with no time left, so
// the library closes it unread.
class ConnectionPool final : public httplib::TaskQueue {
public:
    ConnectionPool(size_t threads, size_t waiting);
    ~ConnectionPool() override;
    void enqueue(std::function<void()> fn) override;
    void shutdown() override;

private:
    void work();
    size_t most_;
    bool stopping_ = false;
    std::deque<std::function<void()>> jobs_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<std::thread> threads_;
};

}  // namespace hall
