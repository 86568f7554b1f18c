#include "core/ViewKeys.h"

#include <allegro.h>
#include <iostream>

#include "core/Clock.h"

#include "core/cGameInstance.h"

std::atomic<bool> bToggleRequested{false};

namespace {

// The keys of the view as Allegro's input thread saw them last, and whether the Enter held now
// came with Alt.
std::atomic<bool> bF11Down{false};
std::atomic<bool> bEnterDown{false};
std::atomic<bool> bEnterTaken{false};

} // namespace

void ScreenKeyEvent(int iScanCode) {
    const bool bPressed = !(iScanCode & 0x80);
    const int iKey = iScanCode & 0x7F;
    if (iKey == KEY_F11 && bF11Down.exchange(bPressed) != bPressed && bPressed)
        bToggleRequested = true;
    if (iKey != KEY_ENTER || bEnterDown.exchange(bPressed) == bPressed)
        return;
    bEnterTaken = bPressed && (key[KEY_ALT] || key[KEY_ALTGR]);
    if (bEnterTaken)
        bToggleRequested = true;
}

int ScreenKeyFilter(int iKey) {
    const int iScanCode = iKey >> 8;
    return iScanCode == KEY_F11 || (iScanCode == KEY_ENTER && bEnterTaken) ? 0 : iKey;
}

bool TakeToggle(cGameInstance* pGame) {
    if (!bToggleRequested.exchange(false))
        return false;
    // The player meant the key for the view: the focus that the window loses while it is set up
    // anew does not pause the game. The next start opens the same view.
    if (!pGame->Screen.ToggleFullscreen()) {
        pGame->Shutdown();
        return true;
    }
    bFocusLost = false;
    pGame->ShowFrame();
    pGame->Settings.bFullscreen = pGame->Screen.IsFullscreen();
    pGame->Settings.Save(std::cerr);
    return true;
}
