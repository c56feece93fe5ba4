// SPDX-License-Identifier: MIT
#include "hall/limits.h"

#include <algorithm>
#include <vector>
#include <cmath>

namespace hall {

int RateLimit::take(std::string_view address, int64_t nowMs) {
    if (perMinute_ <= 0) return 0;
    const double perMs = perMinute_ / 60'000.0;
    std::lock_guard lock(mutex_);
    if (buckets_.size() >= kMostAddresses) forgetQuiet(nowMs);
    auto [it, fresh] = buckets_.try_emplace(std::string(address));
    Bucket& b = it->second;
    if (fresh) b = {static_cast<double>(perMinute_), nowMs};
    b.tokens = std::min<double>(perMinute_, b.tokens + std::max<int64_t>(0, nowMs - b.lastMs) * perMs);
    b.lastMs = std::max(b.lastMs, nowMs);
    if (b.tokens >= 1) {
        b.tokens -= 1;
        return 0;
    }
    return std::max(1, static_cast<int>(std::ceil((1 - b.tokens) / perMs / 1000)));
}

// Forgets every address whose bucket has filled again (it is as if never
// seen); when all are busy, the half heard from least recently.
void RateLimit::forgetQuiet(int64_t nowMs) {
    const int64_t fullAfterMs = 60'000;
    std::erase_if(buckets_, [&](const auto& kv) { return nowMs - kv.second.lastMs >= fullAfterMs; });
    if (buckets_.size() < kMostAddresses) return;
    std::vector<int64_t> times;
    times.reserve(buckets_.size());
    for (const auto& kv : buckets_) times.push_back(kv.second.lastMs);
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    const int64_t median = times[times.size() / 2];
    std::erase_if(buckets_, [&](const auto& kv) { return kv.second.lastMs <= median; });
}

std::string clientAddress(std::string_view peer, std::string_view forwardedFor, bool behindProxy) {
    if (!behindProxy) return std::string(peer);
    const size_t comma = forwardedFor.rfind(',');
    std::string_view last = comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1);
    while (!last.empty() && last.front() == ' ') last.remove_prefix(1);
    while (!last.empty() && last.back() == ' ') last.remove_suffix(1);
    const bool plausible = !last.empty() && last.size() <= 45 &&
                           last.find_first_not_of("0123456789abcdefABCDEF.:") == std::string_view::npos;
    return plausible ? std::string(last) : std::string(peer);
}

}  // namespace hall
