#include "boss/boss.h"

void Timerboss_Timer(Game&) {}
