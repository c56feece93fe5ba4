// SPDX-License-Identifier: MIT
// Hears every key the input router hands the game, as the recorder does.
#pragma once

#include <functional>

#include "platform/input.h"

struct KeyLog final : platform::InputWatcher {
    explicit KeyLog(std::function<void(bool down, int code)> heard) : heard_(std::move(heard)) {}
    void before(hvezda::Game&, const platform::DeliveredEvent& e) override {
        if (e.kind != platform::DeliveredEvent::Kind::Click) heard_(e.kind == platform::DeliveredEvent::Kind::KeyDown, e.code);
    }
    void after(hvezda::Game&, const platform::DeliveredEvent&, bool) override {}

private:
    std::function<void(bool, int)> heard_;
};
