// SPDX-License-Identifier: MIT
// The scene: every element the game ever shows, by its own name, with its
// starting state. The game never creates or destroys an element; it only moves,
// shows, hides and re-pictures these.
//
// Units are twips (15 to a pixel), origin top-left of the client area (or of
// the panel for the panel's children), y downward, single precision.
// Colours are 0x00BBGGRR; 0x80000000 | n is system colour n.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "scene/picture.h"

namespace hvezda {

inline constexpr int kTwipsPerPixel = 15;

namespace colors {
inline constexpr uint32_t black = 0x00000000;
inline constexpr uint32_t white = 0x00FFFFFF;
inline constexpr uint32_t green = 0x0000FF00;
inline constexpr uint32_t red = 0x000000FF;
inline constexpr uint32_t orange = 0x000080FF;
inline constexpr uint32_t grey = 0x00808080;
inline constexpr uint32_t darkBlue = 0x00400000;
inline constexpr uint32_t systemWindow = 0x80000005;      // window background
inline constexpr uint32_t systemWindowText = 0x80000008;  // window text
inline constexpr uint32_t systemButtonFace = 0x8000000F;  // a picture box's default back colour
}  // namespace colors

// A picture box.
struct Sprite {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    const Picture* picture = nullptr;
    uint32_t BackColor = colors::black;
    bool border = false;
    bool autoSize = false;
};

struct Font {
    std::string_view name;
    float size;  // points
    int weight;
    int charset;
};

struct Label {
    std::string Caption;
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    uint32_t ForeColor = colors::black;
    uint32_t BackColor = colors::black;
    bool transparent = false;  // back colour not painted
    bool autoSize = false;     // drawn at the size of its caption
    bool wordWrap = false;     // wraps at blanks within Width (Label7)
    Font font{};
};

// A windowless picture at natural size.
struct Image {
    float Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    const Picture* picture = nullptr;
};

struct Line {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    uint32_t color = colors::black;
    bool Visible = true;
};

// A star: a small filled circle.
struct Star {
    float Left = 0, Top = 0;
    float diameter = 0;
    uint32_t color = colors::white;
    bool Visible = true;
};

struct Timer {
    int Interval = 0;  // ms
    bool Enabled = false;
    int64_t nextDue = 0;  // virtual ms of the next tick while Enabled
};

struct Form {
    float Width = 0, Height = 0;  // outer size in twips
    bool KeyPreview = false;
    bool open = false;
    int32_t hWnd = 0;
};

// Heights the rules test against; the scene draws both as lines.
inline constexpr float kPanelLine = 1320;      // Line2, the panel's lower edge: a player shot above it is spent
inline constexpr float kShieldLowLine = 7800;  // Line3(1), the red tick: a shield bar reaching below it warns

// What the game writes into the status line Label1 and the end banner Label3.
namespace captions {
inline constexpr std::string_view winner = "WINNER";
inline constexpr std::string_view gameOver = "GAME OVER";
inline constexpr std::string_view shieldLow = "WARNING - SHIELD LOW !!";
}  // namespace captions

// Indices that exist in the star array (the others were never placed).
inline constexpr std::array<int, 10> kStarIndices{0, 1, 2, 3, 4, 7, 8, 10, 11, 12};

struct Scene {
    // Sprites of the window, in catalogue order.
    Sprite Picture2;                  // the black panel across the top; the panel's children below sit on it
    Sprite life;                      // the one shield refill still available (C), hidden once spent
    Sprite enemycraft1;               // enemy craft 1 to 4 (enemies/craft.h ties each to its shot, flag
    Sprite enemycraft4;               //   and explosion counter)
    Sprite enemycraft2;
    Sprite enemycraft3;
    Sprite boom3;                     // hidden holders of the three explosion pictures
    Sprite boom2;
    Sprite boom1;
    Sprite Picture1;                  // the player's ship
    std::array<Sprite, 6> e1;         // hidden picture bank a respawning craft copies from
    Sprite energy;                    // black bar over the shield gauge Image2: its Top is the shield
    Sprite command1;                  // a dark-blue strip behind the panel; nothing uses it
    Sprite rightt;                    // hidden holders of the ship's banking-right,
    Sprite rovne;                     //   straight
    Sprite leftt;                     //   and banking-left pictures
    Sprite enemyboss;                 // the boss
    std::array<Sprite, 12> fire;      // the ring of the player's shots; shown means in flight
    std::array<Sprite, 4> enemyfire;  // one shot per craft (enemyfire(n - 1) is craft n's), the boss's four later
    Sprite bossenergy;                // black bar over the boss's gauge Image3: its Top is the boss's energy
    // Children of the panel Picture2, placed relative to it.
    Label Label7;  // the text area that OVLÁDÁNÍ and CREDITS fill
    Label Label6;  // "CREDITS", clickable
    Label Label5;  // "OVLÁDÁNÍ" (controls), clickable
    Label Label4;  // "EXIT", clickable
    Image Image1;  // the title picture
    Line Line2;    // the panel's green lower line, at kPanelLine
    Label score;   // the score, as its caption (scene/score.h)
    Label Label2;  // the "$" before the score
    // The playfield beneath the sprites.
    Label Label3;                 // the end banner, "WINNER" or "GAME OVER", fading in to green
    Image Image3;                 // the boss's energy gauge on the left edge, shown in the boss phase
    Label Label1;                 // the red status line: the shield warning or "GAME OVER"
    std::array<Line, 2> Line3;    // red ticks beside the shield gauge; Line3(1) is at kShieldLowLine
    Line Line1;                   // a plain line in the playfield
    Image Image2;                 // the shield gauge on the right edge
    std::array<Star, 13> hvezda1;  // the stars; only kStarIndices exist
    // Timers, each driving one tick handler, and the windows.
    Timer Timer1;     // the ship's flight and the enemy firing rule (10 ms)
    Timer Timer2;     // the status line's blink (500 ms)
    Timer Timer3;     // the enemy tick: craft, shots, rams, the boss's approach (20 ms)
    Timer Timer4;     // the combat tick: hits, explosions, score, status line (20 ms)
    Timer Timer5;     // the end banner's fade (10 ms)
    Timer Timerboss;  // the boss tick (10 ms)
    Form Form1;       // the game window
    Form Form2;       // a second, hidden window whose handle the music player gets
};

// The scene as it stands when the window has just been built.
Scene makeScene();

// Auto-size: giving a picture to an auto-sized sprite makes its box the
// picture's size (plus the one-pixel frame each side when bordered), keeping
// Left and Top. Sprites without auto-size keep their box.
void setPicture(Sprite& s, const Picture* p);
inline void copyPicture(Sprite& to, const Sprite& from) { setPicture(to, from.picture); }

// The box test: strictly overlapping boxes, every sum rounded to single precision
// before it is compared (floats throughout, so no wider intermediate creeps in).
bool boxesOverlap(float aLeft, float aTop, float aWidth, float aHeight, float bLeft, float bTop, float bWidth,
                  float bHeight);
inline bool boxesOverlap(const Sprite& a, const Sprite& b) {
    return boxesOverlap(a.Left, a.Top, a.Width, a.Height, b.Left, b.Top, b.Width, b.Height);
}
// The horizontal half of the box test.
bool spansOverlap(float aLeft, float aWidth, float bLeft, float bWidth);

// ---- Looking elements up -------------------------------------------------

enum class Kind { Sprite, Label, Image, Line, Star, Timer, Form };
using ElementPtr = std::variant<Sprite*, Label*, Image*, Line*, Star*, Timer*, Form*>;

struct ElementRef {
    std::string_view base;  // "fire", "Picture1"
    int index = -1;         // array index, -1 for a plain element
    ElementPtr ptr;
    bool inPanel = false;  // a child of Picture2, positioned relative to it
    std::string name() const;  // "fire(3)", "Picture1"
    Kind kind() const { return static_cast<Kind>(ptr.index()); }
};

// Every element in catalogue order: the window's sprites, the panel's children,
// the playfield elements, the timers and Form1 (Form2 holds nothing).
std::vector<ElementRef> catalogue(Scene& s);
std::optional<ElementRef> findElement(Scene& s, std::string_view name);  // "fire(3)" or "score"
std::optional<ElementRef> findElement(Scene& s, std::string_view arrayName, int index);

// Back to front. The window's own order; when it reaches Picture2 the panel is
// drawn, then its children (panelDrawingOrder) on it, then the rest.
std::vector<ElementRef> drawingOrder(Scene& s);
std::vector<ElementRef> panelDrawingOrder(Scene& s);

}  // namespace hvezda
