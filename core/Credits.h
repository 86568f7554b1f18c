#pragma once

#include <allegro.h>

class cGameInstance;

// Height of the credits picture: text below it is cut off.
const int kCreditsHeight = 800;

// The credits picture, iWidth wide: bitmap 12 centred at the top and below it the lines of
// sFile, centred. A missing file gives the picture alone. iEnd is set to the scroll offset at
// which the last line drawn, or the emblem when no line is, has gone off the top.
BITMAP* CreateCreditsBitmap(cGameInstance* pGame, int iWidth, const char* sFile, int& iEnd);
// Advances the scroll by one pixel for every whole tenth of a second since iStart; once a tenth
// has passed, iStart moves on to now. Returns the new offset.
int ScrollCredits(int& iStart, int iOffset);
// True when the scroll has reached iEnd or the player skips it, with Escape, Space or, as bPadSkips
// tells, the pad, or closes it.
bool CreditsOver(int iOffset, int iEnd, bool bPadSkips);
// Rolls the credits from "credits.txt" to music 5.
void Credits(cGameInstance* pGame);
