// SPDX-License-Identifier: MIT
#include <array>

#include "combat/combat_steps.h"
#include "enemies/craft.h"

namespace hvezda {

namespace {

struct Push {
    int tested;  // this craft is moved ...
    int other;   // ... when its span overlaps this one's
    float by;
};

// QUIRK(fixed-pushes): the direction of each push is fixed, whichever craft lies further left; the
// pairs 2-3 and 1-4 are tested twice, once from each side.
constexpr std::array<Push, 8> kPushes{{
    {3, 2, +50},
    {2, 3, -50},
    {2, 1, -50},
    {2, 4, +50},
    {3, 1, -50},
    {3, 4, +50},
    {1, 4, -50},
    {4, 1, +50},
}};

}  // namespace

void spaceCraft(Game& g) {
    // Only the horizontal spans count: tops and visibility play no part, and
    // nothing keeps a craft inside the playfield.
    for (const Push& p : kPushes) {
        Sprite& moved = craft(g, p.tested).sprite;
        const Sprite& other = craft(g, p.other).sprite;
        if (spansOverlap(moved.Left, moved.Width, other.Left, other.Width)) moved.Left = moved.Left + p.by;
    }
}

}  // namespace hvezda
