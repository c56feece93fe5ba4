#include "scene/scene.h"

#include <charconv>

namespace {

constexpr Font kDefaultFont{"MS Sans Serif", 8.0f, 400, 238};
constexpr Font kSans12{"MS Sans Serif", 12.0f, 400, 238};
constexpr Font kSans24{"MS Sans Serif", 24.0f, 400, 238};
constexpr Font kSans975{"MS Sans Serif", 9.75f, 400, 238};

Sprite sprite(float left, float top, float width, float height, const Picture* pic, uint32_t back, bool border,
              bool autoSize, bool visible) {
    Sprite s;
    s.Left = left;
    s.Top = top;
    s.Width = width;
    s.Height = height;
    s.picture = pic;
    s.BackColor = back;
    s.border = border;
    s.autoSize = autoSize;
    s.Visible = visible;
    return s;
}

Label label(float left, float top, float width, float height, std::string caption, uint32_t fore, uint32_t back,
            bool transparent, bool autoSize, Font font, bool visible) {
    Label l;
    l.Left = left;
    l.Top = top;
    l.Width = width;
    l.Height = height;
    l.Caption = std::move(caption);
    l.ForeColor = fore;
    l.BackColor = back;
    l.transparent = transparent;
    l.autoSize = autoSize;
    l.font = font;
    l.Visible = visible;
    return l;
}

Image image(float left, float top, const Picture* pic, bool visible) {
    Image i;
    i.Left = left;
    i.Top = top;
    i.Width = static_cast<float>(pic->width * kTwipsPerPixel);
    i.Height = static_cast<float>(pic->height * kTwipsPerPixel);
    i.picture = pic;
    i.Visible = visible;
    return i;
}

Line line(float x1, float y1, float x2, float y2, uint32_t color) {
    Line l;
    l.X1 = x1;
    l.Y1 = y1;
    l.X2 = x2;
    l.Y2 = y2;
    l.color = color;
    return l;
}

Timer timer(int interval, bool enabled) {
    Timer t;
    t.Interval = interval;
    t.Enabled = enabled;
    t.nextDue = interval;  // timers enabled in the scene start at time 0
    return t;
}

}  // namespace

Scene makeScene() {
    using namespace pictures;
    using namespace colors;
    Scene s;
    s.Picture2 = sprite(0, 0, 10695, 1455, nullptr, black, true, false, true);
    s.life = sprite(9360, 7920, 300, 480, &token, black, false, true, true);
    s.enemycraft1 = sprite(3960, 1800, 1245, 975, &craftA, black, false, true, true);
    s.enemycraft4 = sprite(5640, 1800, 1245, 975, &craftA, black, false, true, true);
    s.enemycraft2 = sprite(7920, 2880, 1020, 915, &craftB, black, true, true, true);
    s.enemycraft3 = sprite(2160, 1920, 990, 885, &craftB, black, false, true, true);
    s.boom3 = sprite(1680, 6120, 585, 525, &pictures::boom3, black, true, false, false);
    s.boom2 = sprite(960, 6120, 615, 495, &pictures::boom2, black, true, false, false);
    s.boom1 = sprite(240, 6120, 615, 495, &pictures::boom1, black, true, false, false);
    s.Picture1 = sprite(4560, 6480, 795, 1185, &ship, black, false, true, true);
    // The picture bank: hidden holders whose pictures respawning craft copy.
    s.e1[5] = sprite(1680, 5520, 615, 495, &craftF, systemButtonFace, true, false, false);
    s.e1[4] = sprite(960, 5520, 615, 495, &craftE, systemButtonFace, true, false, false);
    s.e1[3] = sprite(240, 5520, 615, 495, &craftD, systemButtonFace, true, false, false);
    s.e1[2] = sprite(1680, 4920, 615, 495, &craftC, systemButtonFace, true, false, false);
    s.e1[1] = sprite(960, 4920, 615, 495, &craftA, systemButtonFace, true, false, false);
    s.e1[0] = sprite(240, 4920, 615, 495, &craftB, systemButtonFace, true, false, false);
    s.energy = sprite(9720, -4200, 255, 6375, nullptr, black, true, false, true);
    s.command1 = sprite(9000, 840, 615, 135, nullptr, darkBlue, true, false, true);
    s.rightt = sprite(1800, 840, 495, 495, &shipRight, systemButtonFace, true, false, false);
    s.rovne = sprite(1080, 840, 495, 495, &ship, systemButtonFace, true, false, false);
    s.leftt = sprite(600, 840, 375, 495, &shipLeft, systemButtonFace, true, false, false);
    s.enemyboss = sprite(4200, 0, 2325, 1215, &pictures::boss, systemWindow, true, true, true);
    constexpr std::array<float, 12> fireTops{2880, 3120, 3480, 4320, 3720, 3960, 5640, 5400, 6000, 4800, 5160, 4560};
    for (size_t i = 0; i < s.fire.size(); ++i)
        s.fire[i] = sprite(6000, fireTops[i], 345, 90, &shot, systemWindow, false, true, false);
    constexpr std::array<float, 4> enemyFireLefts{3000, 3360, 4080, 3720};
    for (size_t i = 0; i < s.enemyfire.size(); ++i)
        s.enemyfire[i] = sprite(enemyFireLefts[i], 3240, 165, 165, &enemyShot, systemWindow, false, true, false);
    s.bossenergy = sprite(120, -4080, 225, 6375, nullptr, black, true, false, true);

    s.Label7 = label(240, 240, 2655, 855, "", green, black, false, false, kDefaultFont, true);
    s.Label7.wordWrap = true;
    s.Label6 = label(8880, 720, 975, 255, "CREDITS", green, black, false, false, kDefaultFont, true);
    s.Label5 = label(8880, 480, 975, 255, "OVLÁDÁNÍ", green, black, false, false, kDefaultFont, true);
    s.Label4 = label(8880, 960, 735, 225, "EXIT", green, black, false, false, kDefaultFont, true);
    s.Image1 = image(3360, 0, &title, true);
    s.Line2 = line(0, 1320, 9960, 1320, green);
    s.score = label(5040, 960, 135, 300, "0", orange, black, true, true, kSans12, true);
    s.Label2 = label(4800, 960, 135, 300, "$", orange, black, true, true, kSans12, true);

    s.Label3 = label(4200, 4320, 1950, 555, "WINNER", black, black, true, true, kSans24, false);
    s.Image3 = image(120, 2280, &gauge, false);
    s.Label1 = label(6840, 8040, 45, 240, "", red, black, true, true, kSans975, true);
    s.Line3[1] = line(9600, 7800, 9720, 7800, red);
    s.Line3[0] = line(9600, 2400, 9720, 2400, red);
    s.Line1 = line(4440, 4080, 5640, 4560, systemWindowText);
    s.Image2 = image(9720, 2280, &gauge, true);

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
    for (const StarStart& st : stars) {
        Star& star = s.hvezda1[st.index];
        star.Left = st.left;
        star.Top = st.top;
        star.diameter = st.diameter;
        star.color = st.color;
        star.Visible = true;
    }
    for (int missing : {5, 6, 9}) s.hvezda1[missing].Visible = false;

    s.Timer1 = timer(10, true);
    s.Timer2 = timer(500, false);
    s.Timer3 = timer(20, true);
    s.Timer4 = timer(20, true);
    s.Timer5 = timer(10, false);
    s.Timerboss = timer(10, false);

    s.Form1.Width = 10005;
    s.Form1.Height = 8550;
    s.Form1.KeyPreview = true;
    s.Form1.open = true;
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
