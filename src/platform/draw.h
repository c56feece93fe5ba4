// Drawing the scene. Works on any SDL_Renderer: the game window's, or a
// software renderer on a surface for screenshots without a display.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fonts.h"
#include "platform/geometry.h"
#include "platform/pictures.h"
#include "scene/scene.h"

#include <SDL_rect.h>

struct SDL_Renderer;
struct SDL_Texture;
typedef struct _TTF_Font TTF_Font;

namespace plat {

class Painter {
public:
    // `fonts` must outlive the painter; textures belong to `renderer`.
    Painter(SDL_Renderer* renderer, FontCache& fonts, PictureSource pictures);
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;
    ~Painter();

    // Clears to the window's black and draws every element back to front.
    // Does not present.
    void draw(hvezda::Scene& scene);

    // Size in pixels of a caption in a font, as an auto-sized label takes it
    // ({0, 0} without a usable font).
    std::pair<int, int> textSize(const hvezda::Font& font, const std::string& text);

private:
    struct TextTexture {
        SDL_Texture* texture = nullptr;
        int w = 0, h = 0;
    };

    void fill(const Rect& r, Rgb c);
    void drawSprite(const hvezda::Sprite& s, const Rect& clip);
    void drawLabel(const hvezda::Label& l, int ox, int oy, const Rect& clip);
    void drawImage(const hvezda::Image& i, int ox, int oy, const Rect& clip);
    void drawLine(const hvezda::Line& l, int ox, int oy, const Rect& clip);
    void drawStar(const hvezda::Star& s, const Rect& clip);
    void drawPoints(Rgb c);
    void drawPicture(const hvezda::Picture& p, int x, int y, const Rect& clip);
    void drawText(const hvezda::Font& font, const std::string& text, Rgb color, int x, int y, const Rect& clip);
    const TextTexture* textTexture(const hvezda::Font& font, const std::string& text);
    const std::vector<std::string>& wrapped(TTF_Font* f, const std::string& text, int width);

    SDL_Renderer* renderer_;
    FontCache& fonts_;
    PictureCache pictures_;
    std::map<std::tuple<std::string, int, std::string>, TextTexture> texts_;
    struct {
        TTF_Font* font = nullptr;
        std::string text;
        int width = -1;
        std::vector<std::string> lines;
    } wrap_;
    std::vector<SDL_Point> points_;
};

}  // namespace plat
