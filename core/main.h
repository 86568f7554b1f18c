#pragma once

#include <string>

// The loop runs on the clock; the intro before it and the keys of the view come with it.
#include "core/Clock.h"
#include "core/Intro.h"
#include "core/ViewKeys.h"

class cGameInstance;
class cReplay;

// One pass of the main loop. With no logic step due it gives the processor back until the next tick
// and draws nothing, since nothing has changed. Each step reads the clock as it stood at its start.
// Otherwise every step that has come due runs, even when one of them ends the game, so that none is
// lost; then one frame, if the display is ready for another.
template <class tGame> void RunPass(tGame& game) {
    if (iGameTimer == 0) {
        WaitForTick();
        return;
    }
    int iSteps = 0;
    for (; iGameTimer != 0; ++iSteps) {
        SyncClock();
        game.Update();
        game.DoInput();
        --iGameTimer;
    }
    if (game.FrameDue(iSteps))
        game.DoFrame();
}

// Runs the whole program in a window iScale times the game's size (0: as the setting or the desktop
// allows), or in the fullscreen view; the result is the process's exit status. With a replay, read
// from sReplayFile, the program plays it instead, without the intro and the credits, and ends.
int GameMain(int iScale, const cReplay* pReplay = nullptr, const std::string& sReplayFile = "");
