#pragma once

#include "gui/cMenuWindow.h"

// The hall-of-fame list, with a line that tells when the table could not be saved: Space, Enter or
// Escape returns to the main menu.
int HallOfFameProc(cMenuWindow& window, int iMsg, void* a, void* b);
