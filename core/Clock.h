#pragma once

#include <atomic>

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

// Makes what the callbacks below post to wake the main thread; called before any is installed.
void PrepareWakeUps();
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
