#pragma once

#include "gui/cMenuWindow.h"

// The main menu: new game, view highscores, quit and, while a game is paused, resume. MSG_SETDATA
// with a not 0 offers "Resume game"; becoming active starts the menu music.
int MainProc(cMenuWindow& window, int iMsg, void* a, void* b);
