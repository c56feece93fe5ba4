// SPDX-License-Identifier: MIT
// Pictures are values: a stable name and a pixel size. The core never looks at
// pixels; the frontend finds the artwork for a picture by its name. Sprites that
// show "the same picture" point at the same Picture.
#pragma once

#include <span>
#include <string_view>

namespace hvezda {

struct Picture {
    std::string_view name;
    int width;   // pixels
    int height;  // pixels
};

namespace pictures {
inline constexpr Picture ship{"ship", 53, 79};
inline constexpr Picture shipLeft{"ship_left", 33, 74};
inline constexpr Picture shipRight{"ship_right", 34, 80};
inline constexpr Picture craftA{"craft_a", 83, 65};
inline constexpr Picture craftB{"craft_b", 66, 59};
inline constexpr Picture craftC{"craft_c", 47, 66};
inline constexpr Picture craftD{"craft_d", 64, 51};
inline constexpr Picture craftE{"craft_e", 45, 47};
inline constexpr Picture craftF{"craft_f", 47, 47};
inline constexpr Picture boss{"boss", 153, 79};
inline constexpr Picture boom1{"boom1", 71, 70};
inline constexpr Picture boom2{"boom2", 67, 64};
inline constexpr Picture boom3{"boom3", 80, 79};
inline constexpr Picture shot{"shot", 23, 6};
inline constexpr Picture enemyShot{"enemy_shot", 11, 11};
inline constexpr Picture token{"token", 20, 32};
inline constexpr Picture gauge{"gauge", 20, 403};
inline constexpr Picture title{"title", 270, 65};
}  // namespace pictures

// Every picture the game has, in a fixed order.
std::span<const Picture* const> allPictures();

}  // namespace hvezda
