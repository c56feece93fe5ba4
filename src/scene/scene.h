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

// Indices that exist in the star array (the others were never placed).
inline constexpr std::array<int, 10> kStarIndices{0, 1, 2, 3, 4, 7, 8, 10, 11, 12};

struct Scene {
    // Sprites of the window.
    Sprite Picture2, life, enemycraft1, enemycraft4, enemycraft2, enemycraft3, boom3, boom2, boom1, Picture1;
    std::array<Sprite, 6> e1;
    Sprite energy, command1, rightt, rovne, leftt, enemyboss;
    std::array<Sprite, 12> fire;
    std::array<Sprite, 4> enemyfire;
    Sprite bossenergy;
    // Children of the panel Picture2.
    Label Label7, Label6, Label5, Label4;
    Image Image1;
    Line Line2;
    Label score, Label2;
    // The playfield beneath the sprites.
    Label Label3;
    Image Image3;
    Label Label1;
    std::array<Line, 2> Line3;
    Line Line1;
    Image Image2;
    std::array<Star, 13> hvezda1;  // only kStarIndices exist
    // Timers and windows.
    Timer Timer1, Timer2, Timer3, Timer4, Timer5, Timerboss;
    Form Form1, Form2;
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
