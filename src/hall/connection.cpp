// SPDX-License-Identifier: MIT
// The library reads every request through recv(2) on the thread that serves
// the connection. This program's own recv stands in front of the C library's
// (the dynamic linker binds the library's calls to it) and, on a thread
// serving a connection, holds that connection to its bounds. Other sockets
// (the database's) and other threads pass straight through.
#include "hall/connection.h"

#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>

namespace hall {

namespace {

std::atomic<int64_t> requestNs{10'000'000'000};
std::atomic<size_t> requestBytes{2 << 20};

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Budget {
    bool active = false;
    int fd = -1;  // the connection's socket: the first read after it begins
    int64_t deadlineNs = 0;
    size_t bytesLeft = 0;
};
thread_local Budget budget;

void renew() {
    budget.deadlineNs = nowNs() + requestNs.load();
    budget.bytesLeft = requestBytes.load();
}

}  // namespace

void boundConnections(const ConnectionBounds& bounds) {
    requestNs = bounds.requestMs * 1'000'000;
    requestBytes = bounds.requestBytes;
}

void nextRequest() {
    if (budget.active) renew();
}

ConnectionPool::ConnectionPool(size_t threads, size_t waiting) : most_(waiting) {
    for (size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

ConnectionPool::~ConnectionPool() { shutdown(); }

void ConnectionPool::enqueue(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        if (jobs_.size() < most_) {
            jobs_.push_back(std::move(fn));
            ready_.notify_one();
            return;
        }
    }
    // Too many wait: this one is read with nothing left, which closes it.
    budget = {true, -1, nowNs() - 1, 0};
    fn();
    budget = {};
}

void ConnectionPool::shutdown() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    ready_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void ConnectionPool::work() {
    for (;;) {
        std::function<void()> fn;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            fn = std::move(jobs_.front());
            jobs_.pop_front();
        }
        budget = {true, -1, 0, 0};
        renew();
        fn();
        budget = {};
    }
}

}  // namespace hall

extern "C" ssize_t recv(int fd, void* buf, size_t len, int flags) {
    using hall::budget;
    const bool bounded = budget.active && (budget.fd == -1 || budget.fd == fd);
    if (bounded) {
        budget.fd = fd;
        if (hall::nowNs() > budget.deadlineNs || budget.bytesLeft == 0) {
            errno = ETIMEDOUT;
            return -1;
        }
        if (len > budget.bytesLeft) len = budget.bytesLeft;
    }
    const ssize_t n = syscall(SYS_recvfrom, fd, buf, len, flags, nullptr, nullptr);
    if (bounded && n > 0 && !(flags & MSG_PEEK)) budget.bytesLeft -= static_cast<size_t>(n);
    return n;
}
