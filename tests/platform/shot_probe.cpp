// SPDX-License-Identifier: MIT
// shot-probe: looks for the game's pictures in a screenshot of the screen.
//   shot-probe find SHOT.png PICTURE.bmp WX WY ROW
//     prints the window x at which PICTURE appears with its top at window
//     row ROW (WX, WY: the window's place on the screen); exit 1 if nowhere.
//   shot-probe shots SHOT.png WX WY X0 X1 Y0 Y1
//     prints how many player shots (two bright dots 16 px apart on one row)
//     lie in that part of the window.
//   shot-probe scaled SHOT.png SCENE.png K ROWS
//     the 667 x 570 SCENE shown K times as large, centred in SHOT: prints the
//     mean error over its top ROWS rows and how many pixels outside the scene
//     are not black; exit 1 unless both are about nothing.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Image {
    SDL_Surface* s = nullptr;
    explicit Image(const char* file) {
        if (SDL_Surface* raw = IMG_Load(file)) {
            s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(raw);
        }
    }
    ~Image() {
        if (s) SDL_FreeSurface(s);
    }
    bool in(int x, int y) const { return x >= 0 && y >= 0 && x < s->w && y < s->h; }
    void rgb(int x, int y, int& r, int& g, int& b) const {
        Uint32 v;
        std::memcpy(&v, static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * 4, 4);
        Uint8 R, G, B;
        SDL_GetRGB(v, s->format, &R, &G, &B);
        r = R, g = G, b = B;
    }
};

bool bright(const Image& im, int x, int y) {
    if (!im.in(x, y)) return false;
    int r, g, b;
    im.rgb(x, y, r, g, b);
    return r > 230 && g > 230 && b > 120;
}

bool dark(const Image& im, int x, int y) {
    if (!im.in(x, y)) return false;
    int r, g, b;
    im.rgb(x, y, r, g, b);
    return r < 40 && g < 40 && b < 40;
}

int find(const Image& shot, const Image& pic, int wx, int wy, int row) {
    double best = 1e18;
    int bestX = -1;
    for (int x = 0; x + pic.s->w <= 667; ++x) {
        double diff = 0;
        for (int y = 0; y < pic.s->h && diff < best; ++y) {
            for (int i = 0; i < pic.s->w; ++i) {
                const int sx = wx + x + i, sy = wy + row + y;
                if (!shot.in(sx, sy)) {
                    diff += 765;
                    continue;
                }
                int r1, g1, b1, r2, g2, b2;
                shot.rgb(sx, sy, r1, g1, b1);
                pic.rgb(i, y, r2, g2, b2);
                diff += std::abs(r1 - r2) + std::abs(g1 - g2) + std::abs(b1 - b2);
            }
        }
        if (diff < best) {
            best = diff;
            bestX = x;
        }
    }
    const double mean = best / (pic.s->w * pic.s->h * 3.0);
    std::printf("%d %.2f\n", bestX, mean);
    // Drawn 1:1, so a real match is exact but for whatever flies over it
    // (an enemy shot across the ship adds about 4).
    return mean < 10.0 ? 0 : 1;
}

int shots(const Image& shot, int wx, int wy, int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int sx = wx + x, sy = wy + y;
            // Two dots 16 px apart with black between them, and not a streak.
            if (bright(shot, sx, sy) && bright(shot, sx + 16, sy) && dark(shot, sx + 8, sy) &&
                dark(shot, sx - 3, sy) && !bright(shot, sx + 1, sy - 3))
                ++n;
        }
    std::printf("%d\n", n);
    return 0;
}

int scaled(const Image& shot, const Image& scene, int k, int rows) {
    const int ox = (shot.s->w - 667 * k) / 2, oy = (shot.s->h - 570 * k) / 2;
    double diff = 0;
    for (int y = 0; y < rows * k; ++y)
        for (int x = 0; x < 667 * k; ++x) {
            int r1, g1, b1, r2, g2, b2;
            shot.rgb(ox + x, oy + y, r1, g1, b1);
            scene.rgb(x / k, y / k, r2, g2, b2);
            diff += std::abs(r1 - r2) + std::abs(g1 - g2) + std::abs(b1 - b2);
        }
    int outside = 0;
    for (int y = 0; y < shot.s->h; ++y)
        for (int x = 0; x < shot.s->w; ++x)
            if ((x < ox || y < oy || x >= ox + 667 * k || y >= oy + 570 * k) && !dark(shot, x, y)) ++outside;
    const double mean = diff / (667.0 * k * rows * k * 3.0);
    std::printf("%.2f %d\n", mean, outside);
    return mean < 2.0 && outside == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "find") == 0 && argc == 7) {
        Image shot(argv[2]), pic(argv[3]);
        if (!shot.s || !pic.s) return 2;
        return find(shot, pic, std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
    }
    if (argc >= 2 && std::strcmp(argv[1], "shots") == 0 && argc == 9) {
        Image shot(argv[2]);
        if (!shot.s) return 2;
        return shots(shot, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]),
                     std::atoi(argv[7]), std::atoi(argv[8]));
    }
    if (argc == 6 && std::strcmp(argv[1], "scaled") == 0) {
        Image shot(argv[2]), scene(argv[3]);
        if (!shot.s || !scene.s) return 2;
        return scaled(shot, scene, std::atoi(argv[4]), std::atoi(argv[5]));
    }
    std::fprintf(stderr, "usage: shot-probe find SHOT PICTURE WX WY ROW | shots SHOT WX WY X0 X1 Y0 Y1 | "
                         "scaled SHOT SCENE K ROWS\n");
    return 2;
}
