// SPDX-License-Identifier: MIT
#include "platform/hall_overlay.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include "platform/geometry.h"

namespace plat {

namespace {

constexpr SDL_Color kWhite{255, 255, 255, 255}, kGreen{0, 255, 0, 255}, kGrey{128, 128, 128, 255};
constexpr int kPanelX = 24, kPanelY = 40, kPanelW = kWindowWidth - 2 * kPanelX, kPanelH = 460;
constexpr int kFirstRow = kPanelY + 92, kRowHeight = 28;

enum class Align { Left, Right, Centre };

// One line of text; cut with "…" to `width` pixels when it is wider (0: any width).
void text(SDL_Renderer* r, TTF_Font* font, std::string s, int x, int y, SDL_Color colour, Align align, int width = 0) {
    if (!font || s.empty()) return;
    int w = 0, h = 0;
    while (width > 0 && TTF_SizeUTF8(font, s.c_str(), &w, &h) == 0 && w > width && !s.empty()) {
        if (s.size() >= 3 && s.compare(s.size() - 3, 3, "…") == 0) s.resize(s.size() - 3);
        size_t last = s.size() - 1;  // drop the last character, whole
        while (last > 0 && (static_cast<unsigned char>(s[last]) & 0xC0) == 0x80) --last;
        s = s.substr(0, last) + "…";
    }
    SDL_Surface* surface = TTF_RenderUTF8_Blended(font, s.c_str(), colour);
    if (!surface) return;
    if (SDL_Texture* t = SDL_CreateTextureFromSurface(r, surface)) {
        const int left = align == Align::Left ? x : align == Align::Right ? x - surface->w : x - surface->w / 2;
        // A text with accents over capitals is drawn taller, upward: the baselines stay in line.
        const int top = y - (surface->h - TTF_FontHeight(font));
        const SDL_Rect at{left, top, surface->w, surface->h};
        SDL_RenderCopy(r, t, nullptr, &at);
        SDL_DestroyTexture(t);
    }
    SDL_FreeSurface(surface);
}

// The columns of a table, from its left edge: where each starts (or ends,
// when right-aligned). The all-time table starts at the panel's left, today's
// at its middle.
struct Column {
    int x;
    Align align;
    int width;
};
constexpr int kHalf = kPanelW / 2;
constexpr Column kPlace{30, Align::Right, 0}, kName{40, Align::Left, 128}, kScore{216, Align::Right, 0},
    kTime{262, Align::Right, 0}, kMark{270, Align::Left, 0};

void table(SDL_Renderer* r, FontCache& fonts, int left, const std::string& title, const std::vector<HallRow>& rows,
           int marked, const std::string& empty) {
    TTF_Font* head = fonts.get(hvezda::Font{"MS Sans Serif", 10, 700, 238});
    TTF_Font* body = fonts.get(hvezda::Font{"MS Sans Serif", 12, 400, 238});
    const int headY = kFirstRow - 28;
    text(r, head, "#", left + kPlace.x, headY, kGreen, kPlace.align);
    text(r, head, title, left + kName.x, headY, kGreen, kName.align);
    text(r, head, "SKÓRE", left + kScore.x, headY, kGreen, kScore.align);
    text(r, head, "ČAS", left + kTime.x, headY, kGreen, kTime.align);
    if (rows.empty()) text(r, body, empty, left + kHalf / 2, kFirstRow + 4 * kRowHeight, kWhite, Align::Centre);
    for (size_t i = 0; i < rows.size(); ++i) {
        const int y = kFirstRow + static_cast<int>(i) * kRowHeight;
        SDL_Color colour = kWhite;
        if (static_cast<int>(i) == marked) {
            const SDL_Rect bar{left + 6, y - 3, kHalf - 12, kRowHeight - 2};
            SDL_SetRenderDrawColor(r, 0, 0, 0x40, 255);  // the game's dark blue
            SDL_RenderFillRect(r, &bar);
            colour = kGreen;
        }
        const HallRow& row = rows[i];
        text(r, body, row.place, left + kPlace.x, y, colour, kPlace.align);
        text(r, body, row.name, left + kName.x, y, colour, kName.align, kName.width);
        text(r, body, row.score, left + kScore.x, y, colour, kScore.align);
        text(r, body, row.time, left + kTime.x, y, colour, kTime.align);
        text(r, body, row.mark, left + kMark.x, y, colour, kMark.align);
    }
}

// "7. 12." for 2026-12-07.
std::string dayAndMonth(const std::string& iso) {
    if (iso.size() != 10) return iso;
    auto number = [&](size_t at) { return std::to_string((iso[at] - '0') * 10 + (iso[at + 1] - '0')); };
    return number(8) + ". " + number(5) + ".";
}

}  // namespace

void drawHallOverlay(SDL_Renderer* r, FontCache& fonts, const HallBoard& board) {
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(r, 0, 0, 0, 160);
    const SDL_Rect all{0, 0, kWindowWidth, kWindowHeight};
    SDL_RenderFillRect(r, &all);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    const SDL_Rect panel{kPanelX, kPanelY, kPanelW, kPanelH};
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderFillRect(r, &panel);
    SDL_SetRenderDrawColor(r, 0, 255, 0, 255);
    SDL_RenderDrawRect(r, &panel);
    SDL_RenderDrawLine(r, kPanelX + 12, kFirstRow - 6, kPanelX + kPanelW - 13, kFirstRow - 6);
    SDL_RenderDrawLine(r, kPanelX + kHalf, kFirstRow - 30, kPanelX + kHalf, kFirstRow + 10 * kRowHeight - 6);

    TTF_Font* heading = fonts.get(hvezda::Font{"MS Sans Serif", 24, 700, 238});
    TTF_Font* small = fonts.get(hvezda::Font{"MS Sans Serif", 8, 400, 238});
    TTF_Font* head = fonts.get(hvezda::Font{"MS Sans Serif", 10, 700, 238});
    text(r, heading, "SÍŇ SLÁVY", kWindowWidth / 2, kPanelY + 14, kWhite, Align::Centre);
    table(r, fonts, kPanelX, "NEJLEPŠÍ", board.best, board.bestMarked, "Zatím žádná dohraná hra.");
    table(r, fonts, kPanelX + kHalf, "DENNÍ LET " + dayAndMonth(board.date), board.daily, board.dailyMarked,
          "Dnes zatím žádný denní let.");
    text(r, small, "* štěstí zvolené záznamem, ne ze semínka    D denní let (hvezda --daily)", kWindowWidth / 2,
         kPanelY + kPanelH - 44, kGrey, Align::Centre);
    text(r, head, "Zavřete libovolnou klávesou nebo kliknutím.", kWindowWidth / 2, kPanelY + kPanelH - 26, kGrey,
         Align::Centre);
}

}  // namespace plat
