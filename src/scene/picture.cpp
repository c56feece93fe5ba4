// SPDX-License-Identifier: MIT
#include "scene/picture.h"

#include <array>

namespace hvezda {

namespace {
using namespace pictures;
constexpr std::array<const Picture*, 18> kAll{&ship,  &shipLeft, &shipRight, &craftA, &craftB,    &craftC,
                                              &craftD, &craftE,  &craftF,    &boss,   &boom1,     &boom2,
                                              &boom3, &shot,     &enemyShot, &token,  &gauge,     &title};
}  // namespace

std::span<const Picture* const> allPictures() { return kAll; }

}  // namespace hvezda
