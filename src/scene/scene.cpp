// SPDX-License-Identifier: MIT
#include "scene/scene.h"

#include <charconv>

namespace hvezda {

namespace {

constexpr Font kDefaultFont{"MS Sans Serif", 8.0f, 400, 238};
constexpr Font kSans12{"MS Sans Serif", 12.0f, 400, 238};
constexpr Font kSans24{"MS Sans Serif", 24.0f, 400, 238};
constexpr Font kSans975{"MS Sans Serif", 9.75f, 400, 238};

// An image shows its picture at natural size.
Image image(float left, float top, const Picture& pic) {
    return Image{.Left = left,
                 .Top = top,
                 .Width = static_cast<float>(pic.width * kTwipsPerPixel),
                 .Height = static_cast<float>(pic.height * kTwipsPerPixel),
                 .picture = &pic};
}

Line line(float x1, float y1, float x2, float y2, uint32_t color) {
    return Line{.X1 = x1, .Y1 = y1, .X2 = x2, .Y2 = y2, .color = color};
}

// Timers enabled in the scene start at time 0; a stopped one gets the same
// first due time, which enabling it later replaces.
Timer runningTimer(int interval) { return Timer{.Interval = interval, .Enabled = true, .nextDue = interval}; }
Timer stoppedTimer(int interval) { return Timer{.Interval = interval, .Enabled = false, .nextDue = interval}; }

}  // namespace

Scene makeScene() {
    using namespace pictures;
    using namespace colors;
    Scene s;
    // Sprites: shown, black, without border or auto-size unless said.
    s.Picture2 = {.Left = 0, .Top = 0, .Width = 10695, .Height = 1455, .border = true};
    s.life = {.Left = 9360, .Top = 7920, .Width = 300, .Height = 480, .picture = &token, .autoSize = true};
    s.enemycraft1 = {.Left = 3960, .Top = 1800, .Width = 1245, .Height = 975, .picture = &craftA, .autoSize = true};
    s.enemycraft4 = {.Left = 5640, .Top = 1800, .Width = 1245, .Height = 975, .picture = &craftA, .autoSize = true};
    s.enemycraft2 = {.Left = 7920, .Top = 2880, .Width = 1020, .Height = 915, .picture = &craftB, .border = true,
                     .autoSize = true};
    s.enemycraft3 = {.Left = 2160, .Top = 1920, .Width = 990, .Height = 885, .picture = &craftB, .autoSize = true};
    // Hidden holders whose pictures other sprites copy.
    const auto holder = [](float left, float top, float width, float height, const Picture* pic, uint32_t back) {
        return Sprite{.Left = left, .Top = top, .Width = width, .Height = height, .Visible = false, .picture = pic,
                      .BackColor = back, .border = true};
    };
    s.boom3 = holder(1680, 6120, 585, 525, &pictures::boom3, black);
    s.boom2 = holder(960, 6120, 615, 495, &pictures::boom2, black);
    s.boom1 = holder(240, 6120, 615, 495, &pictures::boom1, black);
    s.Picture1 = {.Left = 4560, .Top = 6480, .Width = 795, .Height = 1185, .picture = &ship, .autoSize = true};
    // The picture bank that respawning craft copy from.
    s.e1[5] = holder(1680, 5520, 615, 495, &craftF, systemButtonFace);
    s.e1[4] = holder(960, 5520, 615, 495, &craftE, systemButtonFace);
    s.e1[3] = holder(240, 5520, 615, 495, &craftD, systemButtonFace);
    s.e1[2] = holder(1680, 4920, 615, 495, &craftC, systemButtonFace);
    s.e1[1] = holder(960, 4920, 615, 495, &craftA, systemButtonFace);
    s.e1[0] = holder(240, 4920, 615, 495, &craftB, systemButtonFace);
    s.energy = {.Left = 9720, .Top = -4200, .Width = 255, .Height = 6375, .border = true};
    s.command1 = {.Left = 9000, .Top = 840, .Width = 615, .Height = 135, .BackColor = darkBlue, .border = true};
    s.rightt = holder(1800, 840, 495, 495, &shipRight, systemButtonFace);
    s.rovne = holder(1080, 840, 495, 495, &ship, systemButtonFace);
    s.leftt = holder(600, 840, 375, 495, &shipLeft, systemButtonFace);
    s.enemyboss = {.Left = 4200, .Top = 0, .Width = 2325, .Height = 1215, .picture = &pictures::boss,
                   .BackColor = systemWindow, .border = true, .autoSize = true};
    // The shots: hidden, auto-sized, on the window's colour.
    const auto shotSprite = [](float left, float top, float width, float height, const Picture* pic) {
        return Sprite{.Left = left, .Top = top, .Width = width, .Height = height, .Visible = false, .picture = pic,
                      .BackColor = systemWindow, .autoSize = true};
    };
    constexpr std::array<float, 12> fireTops{2880, 3120, 3480, 4320, 3720, 3960, 5640, 5400, 6000, 4800, 5160, 4560};
    for (size_t i = 0; i < s.fire.size(); ++i) s.fire[i] = shotSprite(6000, fireTops[i], 345, 90, &shot);
    constexpr std::array<float, 4> enemyFireLefts{3000, 3360, 4080, 3720};
    for (size_t i = 0; i < s.enemyfire.size(); ++i)
        s.enemyfire[i] = shotSprite(enemyFireLefts[i], 3240, 165, 165, &enemyShot);
    s.bossenergy = {.Left = 120, .Top = -4080, .Width = 225, .Height = 6375, .border = true};

    // Labels: shown, black on black, painted, at a fixed size unless said.
    s.Label7 = {.Caption = "", .Left = 240, .Top = 240, .Width = 2655, .Height = 855, .ForeColor = green,
                .wordWrap = true, .font = kDefaultFont};
    s.Label6 = {.Caption = "CREDITS", .Left = 8880, .Top = 720, .Width = 975, .Height = 255, .ForeColor = green,
                .font = kDefaultFont};
    s.Label5 = {.Caption = "OVLÁDÁNÍ", .Left = 8880, .Top = 480, .Width = 975, .Height = 255, .ForeColor = green,
                .font = kDefaultFont};
    s.Label4 = {.Caption = "EXIT", .Left = 8880, .Top = 960, .Width = 735, .Height = 225, .ForeColor = green,
                .font = kDefaultFont};
    s.Image1 = image(3360, 0, title);
    s.Line2 = line(0, kPanelLine, 9960, kPanelLine, green);  // the panel sits at 0, 0
    s.score = {.Caption = "0", .Left = 5040, .Top = 960, .Width = 135, .Height = 300, .ForeColor = orange,
               .transparent = true, .autoSize = true, .font = kSans12};
    s.Label2 = {.Caption = "$", .Left = 4800, .Top = 960, .Width = 135, .Height = 300, .ForeColor = orange,
                .transparent = true, .autoSize = true, .font = kSans12};

    s.Label3 = {.Caption = std::string(captions::winner), .Left = 4200, .Top = 4320, .Width = 1950, .Height = 555,
                .Visible = false, .ForeColor = black, .transparent = true, .autoSize = true, .font = kSans24};
    s.Image3 = image(120, 2280, gauge);
    s.Image3.Visible = false;  // shown in the boss phase
    s.Label1 = {.Caption = "", .Left = 6840, .Top = 8040, .Width = 45, .Height = 240, .ForeColor = red,
                .transparent = true, .autoSize = true, .font = kSans975};
    s.Line3[1] = line(9600, kShieldLowLine, 9720, kShieldLowLine, red);
    s.Line3[0] = line(9600, 2400, 9720, 2400, red);
    s.Line1 = line(4440, 4080, 5640, 4560, systemWindowText);
    s.Image2 = image(9720, 2280, gauge);

    struct StarStart {
        int index;
        float left, top, diameter;
        uint32_t color;
    };
    constexpr std::array<StarStart, 10> stars{{{0, 6720, 7320, 50, white},
                                               {1, 1080, 1560, 50, white},
                                               {2, 3600, 2760, 45, white},
                                               {3, 4800, 4440, 45, white},
                                               {4, 1800, 4800, 50, white},
                                               {7, 7200, 2040, 50, white},
                                               {8, 8880, 3600, 50, grey},
                                               {10, 4560, 5640, 45, grey},
                                               {11, 720, 3480, 45, grey},
                                               {12, 1080, 4320, 45, grey}}};
    for (const StarStart& st : stars)
        s.hvezda1[st.index] = {.Left = st.left, .Top = st.top, .diameter = st.diameter, .color = st.color};
    for (int missing : {5, 6, 9}) s.hvezda1[missing].Visible = false;

    s.Timer1 = runningTimer(10);
    s.Timer2 = stoppedTimer(500);
    s.Timer3 = runningTimer(20);
    s.Timer4 = runningTimer(20);
    s.Timer5 = stoppedTimer(10);
    s.Timerboss = stoppedTimer(10);

    s.Form1 = {.Width = 10005, .Height = 8550, .KeyPreview = true, .open = true};
    return s;
}

void setPicture(Sprite& s, const Picture* p) {
    s.picture = p;
    if (!s.autoSize) return;
    const int frame = s.border ? 2 : 0;
    const int w = p ? p->width : 0;
    const int h = p ? p->height : 0;
    s.Width = static_cast<float>((w + frame) * kTwipsPerPixel);
    s.Height = static_cast<float>((h + frame) * kTwipsPerPixel);
}

// QUIRK(strict-spans-in-single-precision): strict, and summed in single
// precision as the game did: spans that only touch do not overlap.
bool spansOverlap(float aLeft, float aWidth, float bLeft, float bWidth) {
    const float aRight = aLeft + aWidth;
    const float bRight = bLeft + bWidth;
    return aRight > bLeft && bRight > aLeft;
}

bool boxesOverlap(float aLeft, float aTop, float aWidth, float aHeight, float bLeft, float bTop, float bWidth,
                  float bHeight) {
    return spansOverlap(aLeft, aWidth, bLeft, bWidth) && spansOverlap(aTop, aHeight, bTop, bHeight);
}

std::string ElementRef::name() const {
    std::string n(base);
    if (index >= 0) n += "(" + std::to_string(index) + ")";
    return n;
}

namespace {

template <typename T>
ElementRef ref(std::string_view base, T* p, int index = -1, bool inPanel = false) {
    return ElementRef{base, index, ElementPtr{p}, inPanel};
}

template <typename T, size_t N>
void addArray(std::vector<ElementRef>& out, std::string_view base, std::array<T, N>& arr, bool descending = false) {
    for (size_t k = 0; k < N; ++k) {
        const size_t i = descending ? N - 1 - k : k;
        out.push_back(ref(base, &arr[i], static_cast<int>(i)));
    }
}

void addStars(std::vector<ElementRef>& out, Scene& s) {
    for (int i : kStarIndices) out.push_back(ref("hvezda1", &s.hvezda1[i], i));
}

}  // namespace

std::vector<ElementRef> catalogue(Scene& s) {
    std::vector<ElementRef> out;
    out.reserve(80);
    out.push_back(ref("Picture2", &s.Picture2));
    out.push_back(ref("life", &s.life));
    out.push_back(ref("enemycraft1", &s.enemycraft1));
    out.push_back(ref("enemycraft4", &s.enemycraft4));
    out.push_back(ref("enemycraft2", &s.enemycraft2));
    out.push_back(ref("enemycraft3", &s.enemycraft3));
    out.push_back(ref("boom3", &s.boom3));
    out.push_back(ref("boom2", &s.boom2));
    out.push_back(ref("boom1", &s.boom1));
    out.push_back(ref("Picture1", &s.Picture1));
    addArray(out, "e1", s.e1, true);
    out.push_back(ref("energy", &s.energy));
    out.push_back(ref("command1", &s.command1));
    out.push_back(ref("rightt", &s.rightt));
    out.push_back(ref("rovne", &s.rovne));
    out.push_back(ref("leftt", &s.leftt));
    out.push_back(ref("enemyboss", &s.enemyboss));
    addArray(out, "fire", s.fire);
    addArray(out, "enemyfire", s.enemyfire);
    out.push_back(ref("bossenergy", &s.bossenergy));

    out.push_back(ref("Label7", &s.Label7, -1, true));
    out.push_back(ref("Label6", &s.Label6, -1, true));
    out.push_back(ref("Label5", &s.Label5, -1, true));
    out.push_back(ref("Label4", &s.Label4, -1, true));
    out.push_back(ref("Image1", &s.Image1, -1, true));
    out.push_back(ref("Line2", &s.Line2, -1, true));
    out.push_back(ref("score", &s.score, -1, true));
    out.push_back(ref("Label2", &s.Label2, -1, true));

    out.push_back(ref("Label3", &s.Label3));
    out.push_back(ref("Image3", &s.Image3));
    out.push_back(ref("Label1", &s.Label1));
    addArray(out, "Line3", s.Line3, true);
    out.push_back(ref("Line1", &s.Line1));
    out.push_back(ref("Image2", &s.Image2));
    addStars(out, s);

    out.push_back(ref("Timer1", &s.Timer1));
    out.push_back(ref("Timer2", &s.Timer2));
    out.push_back(ref("Timer3", &s.Timer3));
    out.push_back(ref("Timer4", &s.Timer4));
    out.push_back(ref("Timer5", &s.Timer5));
    out.push_back(ref("Timerboss", &s.Timerboss));
    out.push_back(ref("Form1", &s.Form1));
    return out;
}

std::optional<ElementRef> findElement(Scene& s, std::string_view arrayName, int index) {
    for (const ElementRef& r : catalogue(s))
        if (r.base == arrayName && r.index == index) return r;
    return std::nullopt;
}

std::optional<ElementRef> findElement(Scene& s, std::string_view name) {
    const size_t open = name.find('(');
    if (open == std::string_view::npos) return findElement(s, name, -1);
    if (name.size() < open + 3 || name.back() != ')') return std::nullopt;
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    int index = -1;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (ec != std::errc{} || end != digits.data() + digits.size() || index < 0) return std::nullopt;
    return findElement(s, name.substr(0, open), index);
}

std::vector<ElementRef> drawingOrder(Scene& s) {
    std::vector<ElementRef> out;
    out.reserve(64);
    addStars(out, s);
    out.push_back(ref("Image2", &s.Image2));
    out.push_back(ref("Line1", &s.Line1));
    out.push_back(ref("Line3", &s.Line3[0], 0));
    out.push_back(ref("Line3", &s.Line3[1], 1));
    out.push_back(ref("Label1", &s.Label1));
    out.push_back(ref("Image3", &s.Image3));
    out.push_back(ref("Label3", &s.Label3));
    out.push_back(ref("bossenergy", &s.bossenergy));
    addArray(out, "enemyfire", s.enemyfire);
    addArray(out, "fire", s.fire);
    out.push_back(ref("enemyboss", &s.enemyboss));
    out.push_back(ref("leftt", &s.leftt));
    out.push_back(ref("rovne", &s.rovne));
    out.push_back(ref("rightt", &s.rightt));
    out.push_back(ref("command1", &s.command1));
    out.push_back(ref("energy", &s.energy));
    addArray(out, "e1", s.e1);
    out.push_back(ref("Picture1", &s.Picture1));
    out.push_back(ref("boom1", &s.boom1));
    out.push_back(ref("boom2", &s.boom2));
    out.push_back(ref("boom3", &s.boom3));
    out.push_back(ref("enemycraft3", &s.enemycraft3));
    out.push_back(ref("enemycraft2", &s.enemycraft2));
    out.push_back(ref("enemycraft4", &s.enemycraft4));
    out.push_back(ref("enemycraft1", &s.enemycraft1));
    out.push_back(ref("Picture2", &s.Picture2));
    out.push_back(ref("life", &s.life));
    return out;
}

std::vector<ElementRef> panelDrawingOrder(Scene& s) {
    return {ref("Label2", &s.Label2, -1, true), ref("score", &s.score, -1, true), ref("Line2", &s.Line2, -1, true),
            ref("Image1", &s.Image1, -1, true), ref("Label4", &s.Label4, -1, true), ref("Label5", &s.Label5, -1, true),
            ref("Label6", &s.Label6, -1, true), ref("Label7", &s.Label7, -1, true)};
}

}  // namespace hvezda
