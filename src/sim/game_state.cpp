#include "sim/game_state.h"

GameState gameState;
