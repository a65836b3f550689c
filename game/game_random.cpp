#include "game/game_random.h"

#include "base/init_order.h"

GameRandom gameRandom TARVO_INIT_GAME;
