// SPDX-License-Identifier: MIT
#include "hall/queue.h"

namespace hall {

bool VerifyQueue::run(const std::function<void()>& job) {
    {
        std::unique_lock lock(mutex_);
        if (queued_ + running_ >= capacity_) return false;
        ++queued_;
        turn_.wait(lock, [&] { return running_ < workers_; });
        --queued_;
        ++running_;
    }
    struct Done {
        VerifyQueue& q;
        ~Done() {
            {
                std::lock_guard lock(q.mutex_);
                --q.running_;
            }
            q.turn_.notify_one();
        }
    } done{*this};
    job();
    return true;
}

size_t VerifyQueue::waitingOrRunning() {
    std::lock_guard lock(mutex_);
    return queued_ + running_;
}

}  // namespace hall
