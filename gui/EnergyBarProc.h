#pragma once

#include "gui/cMenuWindow.h"

// The weapon energy as a yellow bar across the window: MSG_SETDATA brings (energy, cap).
int EnergyBarProc(cMenuWindow& window, int iMsg, void* a, void* b);
