// SPDX-License-Identifier: MIT
// hvezda-latency: from a key press to the frame that shows it, measured from
// outside the game, as a player's X server sees it. The game runs as it is,
// with no hook: the probe presses an arrow through XTEST, hears from the X
// server (DAMAGE) whenever the game draws over the ship, reads those pixels
// back and stops the clock at the first frame in which the ship stands one
// step further, banked. The presses come at random moments, so at random
// phases of the game's 10 ms flight tick.
//
//   hvezda-latency ASSETS_FOLDER [--presses N] [--seed S] [--verbose]
//
// Needs DISPLAY and the game's window (named Form1) on it. Prints one line
// of figures per run (see the end of main) for bench/latency.sh.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>
#include <time.h>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 667;  // the game's logical window
constexpr int kStep = 10;    // the ship's sideways step per flight tick, in pixels
constexpr int kMostSteps = 4;
constexpr int kBandTop = 420, kBandHeight = 100;  // rows the ship flies in at the start

int64_t nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

void sleepNs(int64_t ns) {
    const timespec t{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    nanosleep(&t, nullptr);
}

// One of the ship's pictures, as 0xRRGGBB with black for "not the ship".
struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    int lit = 0;  // pixels that are not black
};

std::optional<Picture> loadPicture(const std::string& path) {
    SDL_Surface* raw = SDL_LoadBMP(path.c_str());
    if (!raw) return std::nullopt;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(raw);
    if (!s) return std::nullopt;
    Picture p;
    p.w = s->w, p.h = s->h;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            const uint32_t c = static_cast<const uint32_t*>(s->pixels)[y * s->pitch / 4 + x] & 0xffffff;
            p.px.push_back(c);
            p.lit += c != 0;
        }
    SDL_FreeSurface(s);
    return p;
}

// Pixels read back from the X server: a rectangle of the window, in window pixels.
struct Grab {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t at(int wx, int wy) const {
        if (wx < x || wy < y || wx >= x + w || wy >= y + h) return 0xffffffff;
        return px[static_cast<size_t>((wy - y) * w + (wx - x))];
    }
};

bool grab(Display* d, Window win, int x, int y, int w, int h, Grab& g) {
    XImage* img = XGetImage(d, win, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!img) return false;
    g.x = x, g.y = y, g.w = w, g.h = h;
    g.px.resize(static_cast<size_t>(w) * h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) g.px[static_cast<size_t>(r * w + c)] = XGetPixel(img, c, r) & 0xffffff;
    XDestroyImage(img);
    return true;
}

bool near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)) > 24) return false;
    return true;
}

// The share of `p`'s lit pixels that differ where it would be drawn with
// its top left corner at logical (lx, ly); counting stops past `most`.
double mismatch(const Grab& g, const Picture& p, int lx, int ly, int scale, double most = 1) {
    int wrong = 0;
    const int limit = static_cast<int>(most * p.lit);
    for (int y = 0; y < p.h && wrong <= limit; ++y)
        for (int x = 0; x < p.w; ++x) {
            const uint32_t want = p.px[static_cast<size_t>(y * p.w + x)];
            if (want && !near(g.at((lx + x) * scale + scale / 2, (ly + y) * scale + scale / 2), want)) ++wrong;
        }
    return static_cast<double>(wrong) / p.lit;
}

// A picture counts as shown where at most this share of it differs: a shot
// or a craft may fly over it. The ship not yet moved differs by over 80 %.
constexpr double kMostHidden = 1.0 / 3;

struct Ship {
    int x = 0, y = 0;
};

// The straight ship in its band, where it fits best (a tenth of it may be hidden).
std::optional<Ship> findShip(Display* d, Window win, const Picture& p, int scale) {
    Grab g;
    if (!grab(d, win, 0, kBandTop * scale, kWidth * scale, kBandHeight * scale, g)) return std::nullopt;
    std::optional<Ship> found;
    double best = 0.1;
    for (int y = kBandTop; y + p.h <= kBandTop + kBandHeight; ++y)
        for (int x = 0; x + p.w <= kWidth; ++x)
            if (const double m = mismatch(g, p, x, y, scale, best); m < best) {
                best = m;
                found = Ship{x, y};
            }
    return found;
}

double quantile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

Window findWindow(Display* d, Window w, const char* name) {
    char* title = nullptr;
    if (XFetchName(d, w, &title) && title) {
        const bool same = std::strcmp(title, name) == 0;
        XFree(title);
        XWindowAttributes a{};
        if (same && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) return w;
    }
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &kids, &n))
        for (unsigned i = 0; i < n && !found; ++i) found = findWindow(d, kids[i], name);
    if (kids) XFree(kids);
    return found;
}

int fail(const char* why) {
    std::fprintf(stderr, "hvezda-latency: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return fail("usage: hvezda-latency ASSETS_FOLDER [--presses N] [--seed S] [--verbose]");
    const std::string assets = argv[1];
    int presses = 200;
    unsigned seed = static_cast<unsigned>(nowNs());
    bool verbose = false;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--presses" && i + 1 < argc) presses = std::atoi(argv[++i]);
        else if (a == "--seed" && i + 1 < argc) seed = static_cast<unsigned>(std::atol(argv[++i]));
        else if (a == "--verbose") verbose = true;
        else return fail(("unknown argument " + a).c_str());
    }
    const auto straight = loadPicture(assets + "/ship.bmp");
    const auto left = loadPicture(assets + "/ship_left.bmp");
    const auto right = loadPicture(assets + "/ship_right.bmp");
    if (!straight || !left || !right) return fail("cannot read the ship's pictures");

    Display* d = XOpenDisplay(nullptr);
    if (!d) return fail("cannot open the display");
    int evBase = 0, errBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &evBase, &errBase, &major, &minor)) return fail("the X server has no XTEST");
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(d, &damageEvent, &damageError)) return fail("the X server has no DAMAGE");
    Window win = 0;
    for (int i = 0; i < 150 && !win; ++i) {
        win = findWindow(d, DefaultRootWindow(d), "Form1");
        if (!win) sleepNs(100'000'000);
    }
    if (!win) return fail("no window named Form1");
    XWindowAttributes attrs{};
    XGetWindowAttributes(d, win, &attrs);
    const int scale = std::max(1, attrs.width / kWidth);
    // The probe hears the key the way the game does (its own copy of the
    // event) and every drawing into the window.
    XSelectInput(d, win, KeyPressMask | KeyReleaseMask);
    XDamageCreate(d, win, XDamageReportRawRectangles);
    XSetInputFocus(d, win, RevertToParent, CurrentTime);
    XSync(d, False);
    const KeyCode keyLeft = XKeysymToKeycode(d, XK_Left), keyRight = XKeysymToKeycode(d, XK_Right);
    const KeyCode keyNewGame = XKeysymToKeycode(d, XK_F2);

    std::mt19937 random(seed);
    std::vector<double> shownMs, keyMs;
    int missed = 0, newGames = 0;
    const int64_t maxWaitNs = 1'000'000'000;
    while (static_cast<int>(shownMs.size()) < presses) {
        // Between presses: a random pause, so the press falls at any phase
        // of the tick; then the ship, straight and at rest, is looked for.
        sleepNs(120'000'000 + std::uniform_int_distribution<int64_t>(0, 100'000'000)(random));
        std::optional<Ship> ship = findShip(d, win, *straight, scale);
        if (!ship) {
            // Hit, exploding, or the game is over: a new game after a while.
            static int lost = 0;
            if (++lost % 20 == 0) {
                XTestFakeKeyEvent(d, keyNewGame, True, 0);
                XTestFakeKeyEvent(d, keyNewGame, False, 0);
                XSync(d, False);
                ++newGames;
            }
            continue;
        }
        const bool goLeft = ship->x + straight->w / 2 > kWidth / 2;
        const Picture& banked = goLeft ? *left : *right;
        // With vsync a frame may come after two or three ticks: the ship is
        // then that many steps further on.
        const int dir = goLeft ? -1 : 1;
        const int farX = ship->x + dir * kMostSteps * kStep;
        // Where the banked ship may appear, in window pixels, with a margin.
        const int rx = std::max(0, (std::min(ship->x, farX) - 4) * scale);
        const int ry = std::max(0, (ship->y - 8) * scale);
        const int rw = (straight->w + kMostSteps * kStep + 8) * scale, rh = (straight->h + 16) * scale;
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
        }

        const KeyCode key = goLeft ? keyLeft : keyRight;
        const int64_t pressed = nowNs();
        XTestFakeKeyEvent(d, key, True, 0);
        XFlush(d);
        int64_t keySeen = 0, shown = 0;
        std::string checks;
        while (!shown && nowNs() - pressed < maxWaitNs) {
            if (!XPending(d)) {
                pollfd p{ConnectionNumber(d), POLLIN, 0};
                poll(&p, 1, 50);
                continue;
            }
            XEvent e;
            XNextEvent(d, &e);
            const int64_t t = nowNs();
            if (e.type == KeyPress && !keySeen) keySeen = t;
            if (e.type != damageEvent + XDamageNotify) continue;
            const auto& dn = reinterpret_cast<const XDamageNotifyEvent&>(e);
            if (dn.area.x + dn.area.width <= rx || dn.area.x >= rx + rw || dn.area.y + dn.area.height <= ry ||
                dn.area.y >= ry + rh)
                continue;
            // The frame has reached the server; does it show the step?
            Grab g;
            if (grab(d, win, rx, ry, rw, rh, g)) {
                double best = 1;
                for (int steps = 1; steps <= kMostSteps && !shown; ++steps)
                    for (int dy = -6; dy <= 6 && !shown; ++dy) {
                        best = std::min(best, mismatch(g, banked, ship->x + dir * steps * kStep, ship->y + dy, scale));
                        if (best <= kMostHidden) shown = t;
                    }
                // When and how much of the stepped ship each frame showed.
                if (verbose) checks += " " + std::to_string((t - pressed) / 100000) + ":" + std::to_string(static_cast<int>(best * 100));
            }
        }
        XTestFakeKeyEvent(d, key, False, 0);
        XSync(d, False);
        if (!shown) {
            ++missed;
            if (verbose) std::fprintf(stderr, "press %zu: no step within 1 s\n", shownMs.size());
            continue;
        }
        shownMs.push_back(static_cast<double>(shown - pressed) / 1e6);
        if (keySeen) keyMs.push_back(static_cast<double>(keySeen - pressed) / 1e6);
        if (verbose)
            std::fprintf(stderr, "press %zu at %lld: key %.2f ms, step shown %.2f ms%s\n", shownMs.size(),
                         static_cast<long long>(pressed),
                         keySeen ? static_cast<double>(keySeen - pressed) / 1e6 : -1.0, shownMs.back(), checks.c_str());
    }
    std::printf("presses %zu min %.2f median %.2f p90 %.2f p99 %.2f max %.2f key_median %.2f key_p99 %.2f "
                "over20 %ld missed %d new_games %d scale %d\n",
                shownMs.size(), quantile(shownMs, 0), quantile(shownMs, 0.5), quantile(shownMs, 0.9),
                quantile(shownMs, 0.99), quantile(shownMs, 1), quantile(keyMs, 0.5), quantile(keyMs, 0.99),
                static_cast<long>(std::count_if(shownMs.begin(), shownMs.end(), [](double v) { return v > 20; })),
                missed, newGames, scale);
    XCloseDisplay(d);
    return 0;
}
