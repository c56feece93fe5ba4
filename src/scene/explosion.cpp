// SPDX-License-Identifier: MIT
#include "scene/explosion.h"

namespace hvezda {

bool explosionStep(Scene& s, Sprite& target, Counter& step) {
    step = countUp(step);
    if (step == 1) copyPicture(target, s.boom1);
    if (step == 2) copyPicture(target, s.boom2);
    if (step == 3) copyPicture(target, s.boom3);
    if (step != 4) return false;
    target.Visible = false;
    return true;
}

}  // namespace hvezda
