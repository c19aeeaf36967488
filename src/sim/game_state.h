#pragma once

// Process-wide state of the game; nothing of it survives the process.
struct GameState {
    int score = 0;            // +2 per basket; shown modulo 100
    bool shotLive = false;    // armed by every release, cleared by a basket
    int spinCounter = 0;      // moving calls above 5 px/s since process start
};

extern GameState gameState;
