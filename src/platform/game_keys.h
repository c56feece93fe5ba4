// SPDX-License-Identifier: MIT
// The six keys the game knows, merged from every source that can hold one:
// the keyboard and each gamepad's d-pad, stick and buttons. The game gets a
// key-down for every press (repeats too: it counts them), and a key's key-up
// only when the last source holding it lets go, so releasing the keyboard's
// Left while a stick still points left does not stop the ship. No SDL here.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>

namespace platform {

// A source is a device (0: the keyboard, n: gamepad n) and a part of it.
enum class KeyPart : uint32_t { Keys = 0, Dpad = 1, Stick = 2, Buttons = 3, Shoulder = 4 };
inline uint32_t keySource(uint32_t device, KeyPart part) { return device << 8 | static_cast<uint32_t>(part); }
inline constexpr uint32_t kKeyboard = 0;

class GameKeys {
public:
    // Receives every key event the game is to see.
    using Sink = std::function<void(bool down, int code, int shift)>;
    explicit GameKeys(Sink sink) : sink_(std::move(sink)) {}

    // Dropped while blocked (the game is paused).
    void press(uint32_t source, int code, int shift = 0);
    // Ignored when that source does not hold the key.
    void release(uint32_t source, int code, int shift = 0);
    // A device gone (a gamepad unplugged): lets go of all its parts hold.
    void releaseDevice(uint32_t device);
    // The key-up of every held key, in code order (a pause begins).
    void releaseAll();
    // Forgets every hold without telling the game (a new game begins).
    void forget() { held_.clear(); }
    bool held(int code) const { return held_.count(code) != 0; }
    void setBlocked(bool blocked) { blocked_ = blocked; }

private:
    void letGo(int code, uint32_t source, int shift);

    Sink sink_;
    std::map<int, std::set<uint32_t>> held_;  // code -> sources holding it
    bool blocked_ = false;
};

}  // namespace platform
