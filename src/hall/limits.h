// SPDX-License-Identifier: MIT
// What one client may ask of the hall: submissions and seeds a minute for
// each address, counted in memory only (no address is written anywhere, and
// an address not heard from for a while is forgotten), and which address a
// request counts against when a proxy stands in front.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace hall {

// Submissions a minute from one address unless --submissions-per-minute says otherwise.
inline constexpr int kDefaultSubmissionsPerMinute = 60;
// Seeds a minute from one address: a page fetches one a game, ahead.
inline constexpr int kDefaultSeedsPerMinute = 60;
// Addresses the limiter remembers at once; past that the quietest are forgotten.
inline constexpr size_t kMostAddresses = 100'000;

// A token bucket for each address: `perMinute` requests, as a burst of as
// many, refilled evenly over the minute. 0 lets everything through.
class RateLimit {
public:
    explicit RateLimit(int perMinute) : perMinute_(perMinute) {}
    // 0 when the request may go ahead (and is counted); otherwise the whole
    // seconds to wait before the next one would.
    int take(std::string_view address, int64_t nowMs);
    int perMinute() const { return perMinute_; }

private:
    struct Bucket {
        double tokens = 0;
        int64_t lastMs = 0;
    };
    void forgetQuiet(int64_t nowMs);
    int perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

// The address a request is counted against: the peer's, or with a proxy in
// front (and only then) the last address of X-Forwarded-For, the one the
// proxy itself appended. Empty or malformed headers fall back to the peer.
std::string clientAddress(std::string_view peer, std::string_view forwardedFor, bool behindProxy);

}  // namespace hall
