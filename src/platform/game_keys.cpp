// SPDX-License-Identifier: MIT
#include "platform/game_keys.h"

#include <vector>

namespace platform {

void GameKeys::press(uint32_t source, int code, int shift) {
    if (blocked_) return;
    held_[code].insert(source);
    sink_(true, code, shift);
}

void GameKeys::letGo(int code, uint32_t source, int shift) {
    auto it = held_.find(code);
    if (it == held_.end() || it->second.erase(source) == 0) return;
    if (!it->second.empty()) return;
    held_.erase(it);
    sink_(false, code, shift);
}

void GameKeys::release(uint32_t source, int code, int shift) { letGo(code, source, shift); }

void GameKeys::releaseDevice(uint32_t device) {
    std::vector<std::pair<int, uint32_t>> gone;
    for (const auto& [code, sources] : held_)
        for (uint32_t s : sources)
            if (s >> 8 == device) gone.emplace_back(code, s);
    for (const auto& [code, s] : gone) letGo(code, s, 0);
}

void GameKeys::releaseAll() {
    std::vector<int> codes;
    for (const auto& entry : held_) codes.push_back(entry.first);
    held_.clear();
    for (int code : codes) sink_(false, code, 0);
}

}  // namespace platform
