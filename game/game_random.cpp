#include "game/game_random.h"

#include "engine/init_order.h"

GameRandom gameRandom TARVO_INIT_GAME;
