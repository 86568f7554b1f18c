#pragma once

#include "gui/cMenuWindow.h"

// The hall-of-fame list: Space, Enter or Escape saves the best ten to "HallOfFame.xml" and returns
// to the main menu.
int HallOfFameProc(cMenuWindow& window, int iMsg, void* a, void* b);
