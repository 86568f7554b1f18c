#pragma once

#include <allegro.h>
#include <vector>

#include "gui/cInputState.h"

// Which keys and pad buttons stand for which actions. The keys are those the game has always
// had; the buttons are those of the common pads on Linux: A or Cross (0) fires and confirms, B or
// Circle (1) goes back, Start (7 on Xbox pads, 9 on PlayStation ones) pauses.
class cBindings {
public:
    // Scan codes by action, for the nine actions with keys of their own.
    std::vector<int> aKeys[kFullscreen] = {{KEY_LEFT}, {KEY_RIGHT}, {KEY_UP},
                                           {KEY_DOWN}, {KEY_SPACE}, {KEY_ENTER},
                                           {KEY_ESC},  {KEY_P},     {KEY_M}};
    // Button numbers as the system counts them, from 0.
    int iPadFire = 0;
    int iPadBack = 1;
    int iPadPause = 7;
};
