#pragma once

#include "gui/cMenuWindow.h"

// The hall-of-fame list: rank, name and score of each entry, a line that tells when the table
// could not be saved, and the replay of the chosen game. Up and Down choose a game, Enter (or the
// pad's fire button) watches its replay; Space, Enter or Escape returns to the main menu.
int HallOfFameProc(cMenuWindow& window, int iMsg, void* a, void* b);
