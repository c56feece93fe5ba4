// SPDX-License-Identifier: MIT
// What the hall shows: its entries as JSON for programs and as one HTML page
// for people. A name is shown as its player wrote it, never as markup.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

#include "hall/store.h"

namespace hall {

// "WINNER" or "GAME OVER", as the game says it.
const char* resultOf(const Entry& e);

// An entry as a board lists it: rank, name, score, result, length_ms, when, id.
nlohmann::json boardRow(const Entry& e);
// An entry as the answer to a game sent: id, name, score, result, length_ms, board, day, rank.
nlohmann::json sentAnswer(const Entry& e);

// Text made safe inside an element or a quoted attribute: & < > " ' escaped.
std::string escapeHtml(std::string_view text);

// The page at /: the day's board and the open board, each row linking its
// recording and a replay of it in the game's page (/play/?replay=ID).
std::string boardPage(const std::string& day, const std::vector<Entry>& daily, const std::vector<Entry>& open,
                      bool playPage);

}  // namespace hall
