// SPDX-License-Identifier: MIT
#include "platform/gamepad.h"

#include <SDL.h>

#include <climits>

namespace platform {

namespace {

constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kFire = 88, kRefill = 67;

uint32_t deviceOf(int32_t instance) { return static_cast<uint32_t>(instance) + 1; }

}  // namespace

Gamepads::~Gamepads() {
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad.controller);
}

void Gamepads::stick(uint32_t device, int& held, int value, int minusCode, int plusCode) {
    int now = held;
    if (value <= -kStickPress)
        now = -1;
    else if (value >= kStickPress)
        now = 1;
    else if (value > -kStickRelease && value < kStickRelease)
        now = 0;
    if (now == held) return;
    const uint32_t source = keySource(device, KeyPart::Stick);
    if (held) keys_.release(source, held < 0 ? minusCode : plusCode);
    held = now;
    if (held) keys_.press(source, held < 0 ? minusCode : plusCode);
}

bool Gamepads::handle(const SDL_Event& e, int64_t nowNs, PadAction& action) {
    action = PadAction::None;
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED: {
            const int32_t id = SDL_JoystickGetDeviceInstanceID(e.cdevice.which);
            if (id < 0 || pads_.count(id)) return true;
            if (SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which)) pads_[id].controller = c;
            return true;
        }
        case SDL_CONTROLLERDEVICEREMOVED: {
            auto it = pads_.find(e.cdevice.which);
            if (it == pads_.end()) return true;
            keys_.releaseDevice(deviceOf(it->first));
            SDL_GameControllerClose(it->second.controller);
            pads_.erase(it);
            return true;
        }
        case SDL_CONTROLLERAXISMOTION: {
            auto it = pads_.find(e.caxis.which);
            if (it == pads_.end()) return true;
            const uint32_t device = deviceOf(it->first);
            Pad& pad = it->second;
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) stick(device, pad.stickX, e.caxis.value, kLeft, kRight);
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) stick(device, pad.stickY, e.caxis.value, kUp, kDown);
            return true;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            auto it = pads_.find(e.cbutton.which);
            if (it == pads_.end()) return true;
            Pad& pad = it->second;
            const uint32_t device = deviceOf(it->first);
            const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
            auto hold = [&](KeyPart part, int code) {
                if (down)
                    keys_.press(keySource(device, part), code);
                else
                    keys_.release(keySource(device, part), code);
            };
            switch (e.cbutton.button) {
                case SDL_CONTROLLER_BUTTON_DPAD_LEFT: hold(KeyPart::Dpad, kLeft); break;
                case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: hold(KeyPart::Dpad, kRight); break;
                case SDL_CONTROLLER_BUTTON_DPAD_UP: hold(KeyPart::Dpad, kUp); break;
                case SDL_CONTROLLER_BUTTON_DPAD_DOWN: hold(KeyPart::Dpad, kDown); break;
                case SDL_CONTROLLER_BUTTON_B: hold(KeyPart::Buttons, kRefill); break;
                case SDL_CONTROLLER_BUTTON_A:
                    hold(KeyPart::Buttons, kFire);
                    pad.a = down;
                    // Each press starts the repeat over, as a new key press does.
                    if (down) pad.nextRepeat = nowNs + rate_.delayNs;
                    break;
                case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
                    hold(KeyPart::Shoulder, kFire);
                    pad.shoulder = down;
                    if (down) pad.nextRepeat = nowNs + rate_.delayNs;
                    break;
                case SDL_CONTROLLER_BUTTON_BACK: pad.back = down; break;
                case SDL_CONTROLLER_BUTTON_START:
                    if (down) action = pad.back ? PadAction::NewGame : PadAction::Pause;
                    break;
                case SDL_CONTROLLER_BUTTON_Y:
                    if (down) action = PadAction::Hall;
                    break;
                default: break;
            }
            return true;
        }
        default:
            return false;
    }
}

int64_t Gamepads::nextRepeatNs() const {
    int64_t next = INT64_MAX;
    if (rate_.periodNs <= 0) return next;
    for (const auto& [id, pad] : pads_)
        if ((pad.a || pad.shoulder) && pad.nextRepeat < next) next = pad.nextRepeat;
    return next;
}

bool Gamepads::repeat(int64_t nowNs) {
    if (rate_.periodNs <= 0) return false;
    bool sent = false;
    for (auto& [id, pad] : pads_) {
        if (!(pad.a || pad.shoulder) || pad.nextRepeat > nowNs) continue;
        keys_.press(keySource(deviceOf(id), pad.a ? KeyPart::Buttons : KeyPart::Shoulder), kFire);
        // Late repeats are not made up for: the next one is a period from the last.
        pad.nextRepeat += rate_.periodNs;
        if (pad.nextRepeat <= nowNs) pad.nextRepeat = nowNs + rate_.periodNs;
        sent = true;
    }
    return sent;
}

}  // namespace platform
