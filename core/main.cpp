#include "core/main.h"

#include <algorithm>
#include <allegro.h>
#include <cstdlib>
#include <iostream>
#include <semaphore.h>

#include "core/Credits.h"
#include "core/cCloseRequests.h"
#include "core/cGameInstance.h"
#include "core/cInputReader.h"
#include "media/cBitmapDatabase.h"

std::atomic<int> iTime{0};
std::atomic<int> iGameTimer{0};
std::atomic<bool> bCloseRequested{false};
std::atomic<bool> bFocusLost{false};
std::atomic<bool> bToggleRequested{false};

namespace {

const int kIntroTicks = 499; // the intro ends once more than this many hundredths have passed

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

// The keys of the view as Allegro's input thread saw them last, and whether the Enter held now
// came with Alt.
std::atomic<bool> bF11Down{false};
std::atomic<bool> bEnterDown{false};
std::atomic<bool> bEnterTaken{false};

// The timer's count; how far iTime has been carried past it by replays whose recordings held
// pauses; whether a replay holds iTime now. Logic that reads the clock twice in one step must see
// one time, or a replay of the step would not come out the same.
std::atomic<int> iTicks{0};
int iClockAhead = 0;
bool bClockHeld = false;

} // namespace

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
    pGame->ToggleFullscreen();
    return true;
}

bool IntroOver(int iStart, bool bPadSkips) {
    return iTime - iStart > kIntroTicks || key[KEY_ESC] || bPadSkips || bCloseRequested;
}

// Drawn into the frame buffer, so that a scaled window shows it enlarged like the game.
void Intro(cGameInstance* pGame) {
    BITMAP* pFrame = pGame->pBuffer;
    draw_sprite(pFrame, pGame->pBitmaps->GetBitmap(8), 0, 0);
    draw_sprite(pFrame, pGame->pBitmaps->GetBitmap(7), 0, pFrame->h - 128);
    draw_sprite(pFrame, pGame->pBitmaps->GetBitmap(12), pFrame->w - 160, pFrame->h - 80);
    pGame->ShowFrame();
    const int iStart = iTime;
    while (!IntroOver(iStart, pGame->pInput->PadSkips(iTime))) {
        WaitForTick();
        TakeToggle(pGame);
    }
}

int GameMain(int iScale, const cReplay* pReplay, const std::string& sReplayFile) {
    cGameInstance game;
    game.iScale = iScale;
    game.Settings.Load(cSettings::DefaultFile(), std::cerr);
    game.bFullscreen = game.Settings.bFullscreen;
    if (!game.InitSystem(640, 480))
        return EXIT_FAILURE;

    Ticks(); // made before the timers that post it start
    set_close_button_callback(CloseButton);
    const cCloseRequests closeRequests(&game.HOF);
    set_display_switch_callback(SWITCH_OUT, FocusLost);
    keyboard_lowlevel_callback = ScreenKeyEvent;
    keyboard_callback = ScreenKeyFilter;
    install_int_ex(fpsCounter, BPS_TO_TIMER(100));
    install_int_ex(GameTimer, BPS_TO_TIMER(kLogicRate));
    game.InitGame();
    if (pReplay)
        game.Playback.Start(*pReplay, cPlayback::kToExit);
    else
        Intro(&game);

    while (game.Running() && !bCloseRequested) {
        TakeToggle(&game);
        RunPass(game);
    }

    // However the game ends, nothing entered is lost: a name being typed goes in as it stands.
    std::string sWhy;
    const bool bSaved = game.HOF.SaveBeforeExit(sWhy);
    if (!bSaved)
        std::cerr << "zenith-guard: the hall of fame was not saved: " << sWhy << '\n';
    // A closed window ends the program at once; a quit from the menu rolls the credits first.
    if (gfx_driver && !bCloseRequested && !pReplay)
        Credits(&game);
    if (!bSaved)
        return EXIT_FAILURE;
    // A replay that went another way than its game tells that the game's logic has changed.
    const cPlayback& playback = game.Playback;
    if (pReplay && !playback.Running() && !playback.bInterrupted && !playback.bFaithful) {
        std::cerr << "zenith-guard: " << sReplayFile << ": the replay went another way than its "
                  << "game: score " << game.GetScore() << ", level " << game.GetLevel() << " after "
                  << playback.iStepsRun << " steps, not " << pReplay->iScore << ", "
                  << pReplay->iLevel << " after " << pReplay->Steps() << '\n';
        return EXIT_FAILURE;
    }
    return cCloseRequests::Signal() ? 128 + cCloseRequests::Signal() : EXIT_SUCCESS;
}
