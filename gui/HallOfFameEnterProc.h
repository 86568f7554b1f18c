#pragma once

#include "gui/cMenuWindow.h"

// The name entry after a game whose score earned a place: the player types a name after a caret
// and confirms it with Enter, which enters it in the hall of fame and shows the list; Escape shows
// the list without an entry.
int HallOfFameEnterProc(cMenuWindow& window, int iMsg, void* a, void* b);
