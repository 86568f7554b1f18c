#pragma once

#include <atomic>
#include <string>

class cGameInstance;
class cReplay;

// Logic steps per second.
const int kLogicRate = 120;

// The system clock in hundredths of a second, as the game reads it: brought up to fpsCounter's
// count by SyncClock, so that it stands still within a logic step, and set by a replay to the times
// of its recording while the replay holds it. It never goes back.
extern std::atomic<int> iTime;
// Logic steps due and not yet run: GameTimer adds one 120 times a second, the main loop takes them.
extern std::atomic<int> iGameTimer;
// Set when the player closes the game window.
extern std::atomic<bool> bCloseRequested;
// Set when the game window loses the keyboard; the next logic step pauses a running game.
extern std::atomic<bool> bFocusLost;

// Set when the player presses F11 or Alt+Enter; the loops switch the view.
extern std::atomic<bool> bToggleRequested;

void fpsCounter();
// Brings iTime up to the timer's count, unless a replay holds it; the loops call it at every tick
// and before every logic step. Main thread only, like the two below.
void SyncClock();
// From HoldClock on, iTime is left to the replay; from ReleaseClock on it follows the timer again,
// going on from the later of the replay's time and the timer's count.
void HoldClock();
void ReleaseClock();
// Also wakes the main thread, which waits for the ticks rather than spinning.
void GameTimer();
// Raises bCloseRequested and wakes the main thread, so that the loops end at once.
void CloseButton();
void FocusLost();
// Blocks until the next game tick or a close request.
void WaitForTick();

// Allegro's keyboard hooks for the keys of the view. ScreenKeyEvent sees every press and release
// (a scan code, plus 0x80 for a release) and raises bToggleRequested once per press of F11 or of
// Enter with Alt held, never for the repeats of a held key. ScreenKeyFilter keeps those presses,
// and the repeats of an Enter that came with Alt until it is let go, out of the key buffer: Enter
// there would also carry out the menu's choice.
void ScreenKeyEvent(int iScanCode);
int ScreenKeyFilter(int iKey);
// Switches the view if the player asked; true when it did.
bool TakeToggle(cGameInstance* pGame);

// True once the intro begun at iStart has been shown five seconds, or the player skips it, with
// Escape or, as bPadSkips tells, the pad, or closes it.
bool IntroOver(int iStart, bool bPadSkips);
// Shows the intro pictures and waits, tick by tick, until IntroOver.
void Intro(cGameInstance* pGame);

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
