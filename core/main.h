#pragma once

#include <atomic>

class cGameInstance;

// The system clock in hundredths of a second, advanced by fpsCounter and never reset.
extern std::atomic<int> iTime;
// Logic steps due and not yet run: GameTimer adds one 120 times a second, the main loop takes them.
extern std::atomic<int> iGameTimer;
// Set when the player closes the game window.
extern std::atomic<bool> bCloseRequested;
// Set when the game window loses the keyboard; the next logic step pauses a running game.
extern std::atomic<bool> bFocusLost;

void fpsCounter();
// Also wakes the main thread, which waits for the ticks rather than spinning.
void GameTimer();
// Raises bCloseRequested and wakes the main thread, so that the loops end at once.
void CloseButton();
void FocusLost();
// Blocks until the next game tick or a close request.
void WaitForTick();

// True once the intro begun at iStart has been shown five seconds, or the player skips or closes
// it.
bool IntroOver(int iStart);
// Shows the intro pictures and waits, tick by tick, until IntroOver.
void Intro(cGameInstance* pGame);

// One pass of the main loop. With no logic step due it gives the processor back until the next tick
// and draws nothing, since nothing has changed. Otherwise every step that has come due runs, even
// when one of them ends the game, so that none is lost; then one frame.
template <class tGame> void RunPass(tGame& game) {
    if (iGameTimer == 0) {
        WaitForTick();
        return;
    }
    while (iGameTimer != 0) {
        game.Update();
        game.DoInput();
        --iGameTimer;
    }
    game.DoFrame();
}

// Runs the whole program in a window iScale times the game's size (0: as the setting or the desktop
// allows); the result is the process's exit status.
int GameMain(int iScale);
