#pragma once

#include "gui/cMenuWindow.h"

// The main menu: new game, view highscores, quit and, while a game is paused, resume. MSG_SETDATA
// with a not 0 offers "Resume game" and puts the marker on it; then Escape, P and the pad's back
// and Start resume too, and "New game" and "Quit" ask before they discard the paused game. Becoming
// active starts the menu music.
int MainProc(cMenuWindow& window, int iMsg, void* a, void* b);
