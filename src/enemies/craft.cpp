// SPDX-License-Identifier: MIT
#include "enemies/craft.h"
#include "enemies/enemy_steps.h"

namespace hvezda {

namespace {

// Shown again with its explosion counter back at 0; the destroyed flag stays.
void bringBack(Craft c) {
    c.sprite.Visible = true;
    c.explosionStep = 0;
}

void drawPictureForPair(Game& g, Sprite& first, Sprite& second) {
    const Sprite& bank = g.scene.e1[static_cast<size_t>(drawRandom(g.random, 5))];  // e1(5) is never drawn
    copyPicture(first, bank);
    copyPicture(second, bank);
}

void comeInAtTop(Game& g, Craft c) {
    c.sprite.Top = c.slot.respawnTop;
    c.sprite.Left = static_cast<float>(drawRandom(g.random, 8000));
}

}  // namespace

void craftFall(Game& g) {
    // Hidden craft fall too, so a destroyed craft comes back when it would have anyway.
    for (int n : kFallOrder) {
        Craft c = craft(g, n);
        c.sprite.Top = c.sprite.Top + c.slot.fallStep;
    }
}

void respawnChecks(Game& g) {
    // QUIRK(craft-return-past-the-width): each check compares a top edge with the window's width on purpose: a
    // craft comes back only well below the bottom of the playfield. Craft 1
    // brings its partner 4 back with it and draws the picture of the pair;
    // craft 3 draws the picture of the pair 2 and 3 after its own column.
    const float bound = g.scene.Form1.Width;
    Craft c1 = craft(g, 1), c2 = craft(g, 2), c3 = craft(g, 3), c4 = craft(g, 4);
    if (c1.sprite.Top > bound) {
        bringBack(c1);
        bringBack(c4);
        drawPictureForPair(g, c1.sprite, c4.sprite);
        comeInAtTop(g, c1);
    }
    if (c4.sprite.Top > bound) {
        bringBack(c4);
        comeInAtTop(g, c4);
    }
    if (c2.sprite.Top > bound) {
        bringBack(c2);
        comeInAtTop(g, c2);
    }
    if (c3.sprite.Top > bound) {
        bringBack(c3);
        comeInAtTop(g, c3);
        drawPictureForPair(g, c2.sprite, c3.sprite);
    }
}

}  // namespace hvezda
