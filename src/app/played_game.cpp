// SPDX-License-Identifier: MIT
#include "app/played_game.h"

#include "app/comforts.h"
#include "platform/folders.h"
#include "shell/shell.h"

namespace app {

namespace {

std::string hallFolder() {
    std::string unused;
    return platform::folder(platform::Folder::Hall, false, unused);
}

}  // namespace

PlayedGame::PlayedGame(const PlayOptions& options)
    : recorder_(options.recordFile, options.settings.name, options.seeds),
      hall_(hallFolder(), options.replay ? nullptr : &recorder_, [this] { session_->input().openBoard(); }),
      replay_(options.replay) {}

std::unique_ptr<PlayedGame> PlayedGame::open(const PlayOptions& options, std::string& error) {
    std::unique_ptr<PlayedGame> played(new PlayedGame(options));
    played->session_ = Session::open(played->game_, options.session, error);
    if (!played->session_) return nullptr;
    addComforts(*played->session_, played->game_, options.settings, &played->recorder_, &played->hall_);
    return played;
}

void PlayedGame::start() {
    if (!replay_) {
        recorder_.start(game_);
        session_->input().watch(&recorder_);
    }
    hvezda::Form_Load(game_);
    session_->present();
    session_->show();
}

platform::LoopServices PlayedGame::loopServices(std::function<bool()> more) {
    platform::LoopServices services = session_->loopServices(std::move(more));
    services.afterInstant = [this] {
        recorder_.onInstant(game_);
        hall_.onInstant(game_);
    };
    return services;
}

void PlayedGame::finish() {
    hall_.gameLeft(game_);
    recorder_.finish(game_);
    session_->input().watch(nullptr);
}

}  // namespace app
