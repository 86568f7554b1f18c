#include "core/Clock.h"

#include <algorithm>
#include <semaphore.h>

std::atomic<int> iTime{0};
std::atomic<int> iGameTimer{0};
std::atomic<bool> bCloseRequested{false};
std::atomic<bool> bFocusLost{false};

namespace {

// Posted on every game tick and on a close request; the loops wait on it. Allegro runs the timer
// callbacks on a thread of its own, and sem_post is safe even in a signal handler.
sem_t& Ticks() {
    static sem_t* const pTicks = [] {
        static sem_t ticks;
        sem_init(&ticks, 0, 0);
        return &ticks;
    }();
    return *pTicks;
}

// The timer's count; how far iTime has been carried past it by replays whose recordings held
// pauses; whether a replay holds iTime now. Logic that reads the clock twice in one step must see
// one time, or a replay of the step would not come out the same.
std::atomic<int> iTicks{0};
int iClockAhead = 0;
bool bClockHeld = false;

} // namespace

void PrepareWakeUps() {
    Ticks();
}

void fpsCounter() {
    ++iTicks;
}

void SyncClock() {
    if (!bClockHeld)
        iTime = iTicks + iClockAhead;
}

void HoldClock() {
    bClockHeld = true;
}

void ReleaseClock() {
    bClockHeld = false;
    iClockAhead = std::max(iClockAhead, iTime - iTicks);
    SyncClock();
}

void GameTimer() {
    ++iGameTimer;
    sem_post(&Ticks());
}

// Runs on Allegro's input thread: it only raises the flag that the loops look at, and wakes them.
void CloseButton() {
    bCloseRequested = true;
    sem_post(&Ticks());
}

// Runs on Allegro's input thread too.
void FocusLost() {
    bFocusLost = true;
}

// A post may be one left over from a pass that ran several steps: waking for it costs a check.
void WaitForTick() {
    sem_wait(&Ticks());
    SyncClock();
}
