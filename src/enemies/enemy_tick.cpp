#include "enemies/enemies.h"

void Timer3_Timer(Game&) {}
