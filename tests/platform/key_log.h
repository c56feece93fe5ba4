// SPDX-License-Identifier: MIT
// Hears every key the input router hands the game, as the recorder does.
#pragma once

#include <functional>

#include "platform/input.h"

struct KeyLog final : plat::InputWatcher {
    explicit KeyLog(std::function<void(bool down, int code)> heard) : heard_(std::move(heard)) {}
    void before(hvezda::Game&, const plat::DeliveredEvent& e) override {
        if (e.kind != plat::DeliveredEvent::Kind::Click) heard_(e.kind == plat::DeliveredEvent::Kind::KeyDown, e.code);
    }
    void after(hvezda::Game&, const plat::DeliveredEvent&, bool) override {}

private:
    std::function<void(bool, int)> heard_;
};
