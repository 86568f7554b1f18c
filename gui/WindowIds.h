#pragma once

// The game's six windows.
const int WND_ENERGYBAR = 0;
const int WND_SCORE = 1;
const int WND_MAINMENU = 2;
const int WND_HOFENTER = 3;
const int WND_HOF = 4;
const int WND_POWERUP = 5;
