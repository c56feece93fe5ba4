// SPDX-License-Identifier: MIT
#include "pictures.h"

namespace pg {

const std::vector<PictureDef>& allPictures() {
    static const std::vector<PictureDef> list = {
        {"boom1", 71, 70, drawBoom1},
        {"boom2", 67, 64, drawBoom2},
        {"boom3", 80, 79, drawBoom3},
        {"boss", 153, 79, drawBoss},
        {"craft_a", 83, 65, drawCraftA},
        {"craft_b", 66, 59, drawCraftB},
        {"craft_c", 47, 66, drawCraftC},
        {"craft_d", 64, 51, drawCraftD},
        {"craft_e", 45, 47, drawCraftE},
        {"craft_f", 47, 47, drawCraftF},
        {"enemy_shot", 11, 11, drawEnemyShot},
        {"gauge", 20, 403, drawGauge},
        {"icon_128", 128, 128, drawShipIcon, true},
        {"icon_16", 16, 16, drawShipIcon, true},
        {"icon_192", 192, 192, drawAppIcon, true},
        {"icon_256", 256, 256, drawShipIcon, true},
        {"icon_32", 32, 32, drawShipIcon, true},
        {"icon_48", 48, 48, drawShipIcon, true},
        {"icon_512", 512, 512, drawAppIcon, true},
        {"icon_64", 64, 64, drawShipIcon, true},
        {"ship", 53, 79, drawShip},
        {"ship_left", 33, 74, drawShipLeft},
        {"ship_right", 34, 80, drawShipRight},
        {"shot", 23, 6, drawShot},
        {"title", 270, 65, drawTitle},
        {"token", 20, 32, drawToken},
    };
    return list;
}

}  // namespace pg
