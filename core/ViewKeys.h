#pragma once

#include <atomic>

class cGameInstance;

// Set when the player presses F11 or Alt+Enter; the loops switch the view.
extern std::atomic<bool> bToggleRequested;

// Allegro's keyboard hooks for the keys of the view. ScreenKeyEvent sees every press and release
// (a scan code, plus 0x80 for a release) and raises bToggleRequested once per press of F11 or of
// Enter with Alt held, never for the repeats of a held key. ScreenKeyFilter keeps those presses,
// and the repeats of an Enter that came with Alt until it is let go, out of the key buffer: Enter
// there would also carry out the menu's choice.
void ScreenKeyEvent(int iScanCode);
int ScreenKeyFilter(int iKey);
// Switches the view if the player asked; true when it did.
bool TakeToggle(cGameInstance* pGame);
