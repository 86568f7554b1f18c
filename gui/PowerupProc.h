#pragma once

#include "gui/cMenuWindow.h"

// The charges of the ship's two power-ups as gauges, read from the ship at every draw.
int PowerupProc(cMenuWindow& window, int iMsg, void* a, void* b);
