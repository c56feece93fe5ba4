#include "combat/combat.h"

void Timer4_Timer(Game&) {}
