#include "player/player.h"

void Form_KeyDown(Game&, int, int) {}
void Form_KeyUp(Game&, int, int) {}
void Timer1_Timer(Game&) {}
void Timer2_Timer(Game&) {}
void Timer5_Timer(Game&) {}
