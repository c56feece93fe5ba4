// SPDX-License-Identifier: MIT
#include "platform/frames.h"

#include <SDL.h>

#include "platform/fingerprint.h"

using namespace hvezda;

namespace plat {

bool Frames::present(Scene& scene, bool force) {
    const uint64_t now = sceneFingerprint(scene);
    if (!force && presented_ > 0 && now == shown_) {
        ++skipped_;
        return false;
    }
    painter_.draw(scene);
    if (overlay_) overlay_();
    SDL_RenderPresent(renderer_);
    shown_ = now;
    ++presented_;
    return true;
}

}  // namespace plat
