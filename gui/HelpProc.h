#pragma once

#include "gui/cMenuWindow.h"

// A procedure for a window that shows nothing but its frame and background.
int HelpProc(cMenuWindow& window, int iMsg, void* a, void* b);
