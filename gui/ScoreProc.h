#pragma once

#include "gui/cMenuWindow.h"

// The level and the score: MSG_SETDATA brings (score, level).
int ScoreProc(cMenuWindow& window, int iMsg, void* a, void* b);
