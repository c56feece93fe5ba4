// SPDX-License-Identifier: MIT
// Every picture the generator draws, with its exact size in pixels.
#pragma once

#include <vector>

#include "raster.h"

namespace pg {

struct PictureDef {
    const char* name;
    int width, height;
    void (*draw)(Canvas&);
    // Written as a PNG with alpha, not a BMP: icons (a see-through background,
    // or for the page's icons an opaque one).
    bool transparent = false;
};

// In name order, as the files are listed: the game's pictures, the desktop
// icons of the fighter, one per size, and the page's icons.
const std::vector<PictureDef>& allPictures();

void drawShip(Canvas& c);
void drawShipIcon(Canvas& c);  // any square size
void drawAppIcon(Canvas& c);   // any square size
void drawShipLeft(Canvas& c);
void drawShipRight(Canvas& c);
void drawCraftA(Canvas& c);
void drawCraftB(Canvas& c);
void drawCraftC(Canvas& c);
void drawCraftD(Canvas& c);
void drawCraftE(Canvas& c);
void drawCraftF(Canvas& c);
void drawBoss(Canvas& c);
void drawBoom1(Canvas& c);
void drawBoom2(Canvas& c);
void drawBoom3(Canvas& c);
void drawShot(Canvas& c);
void drawEnemyShot(Canvas& c);
void drawToken(Canvas& c);
void drawGauge(Canvas& c);
void drawTitle(Canvas& c);

}  // namespace pg
