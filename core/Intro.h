#pragma once

class cGameInstance;

// True once the intro begun at iStart has been shown five seconds, or the player skips it, with
// Escape or, as bPadSkips tells, the pad, or closes it.
bool IntroOver(int iStart, bool bPadSkips);
// Shows the intro pictures and waits, tick by tick, until IntroOver.
void Intro(cGameInstance* pGame);
