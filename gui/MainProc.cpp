#include "gui/MainProc.h"

#include <algorithm>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "gui/cInputState.h"
#include "media/cMidiDatabase.h"

namespace {

const int kNewGame = 0;
const int kViewHighscores = 1;
const int kQuit = 2;
const int kResumeGame = 3;

// Hundredths of a second a key message must come after the last accepted one.
const int kKeyDelay = 14;

// Escape, P, and the pad's back and Start: they resume a paused game, and answer "No".
const unsigned kBackActions = ActionBit(kBack) | ActionBit(kPause);

void DrawMenu(BITMAP* pClient, int iSel, bool bPaused) {
    textprintf_ex(pClient, font, 15, 10, 0, -1, "New game");
    textprintf_ex(pClient, font, 15, 19, 0, -1, "View highscores");
    textprintf_ex(pClient, font, 15, 28, 0, -1, "Quit");
    if (bPaused)
        textprintf_ex(pClient, font, 15, 36, 0, -1, "Resume game");
    textprintf_ex(pClient, font, 5, iSel * 8 + 10, 0, -1, ">");
}

void DrawQuestion(BITMAP* pClient, bool bYes) {
    textprintf_ex(pClient, font, 15, 10, 0, -1, "Discard the game in progress?");
    textprintf_ex(pClient, font, 15, 28, 0, -1, "Yes");
    textprintf_ex(pClient, font, 15, 36, 0, -1, "No");
    textprintf_ex(pClient, font, 5, bYes ? 28 : 36, 0, -1, ">");
}

int MoveSelection(int iSel, bool bPaused, unsigned iActions) {
    if (iActions & ActionBit(kDown)) {
        ++iSel;
        if (iSel > kQuit && !bPaused)
            iSel = kQuit;
        if (iSel > kResumeGame && bPaused)
            iSel = kResumeGame;
    }
    if (iActions & ActionBit(kUp)) {
        --iSel;
        if (iSel < kNewGame)
            iSel = kNewGame;
    }
    return iSel;
}

// Whether the choice is to be carried out: Enter, or, in a paused game, a back action, which
// resumes it. "New game" and "Quit" would throw a paused game away: they ask first, "No" marked.
bool Choose(int& iSel, bool bPaused, bool& bAsking, bool& bYes, unsigned iActions) {
    iSel = MoveSelection(iSel, bPaused, iActions);
    if (bPaused && (iActions & kBackActions)) {
        iSel = kResumeGame;
        return true;
    }
    if (!(iActions & ActionBit(kConfirm)))
        return false;
    bAsking = bPaused && (iSel == kNewGame || iSel == kQuit);
    bYes = false;
    return !bAsking;
}

// Whether the answer lets the choice go on: Enter on "Yes". Up and Down pick the answer; Enter on
// "No", or a back action, returns to the menu.
bool Answer(bool& bAsking, bool& bYes, unsigned iActions) {
    if (iActions & (ActionBit(kUp) | ActionBit(kDown)))
        bYes = (iActions & ActionBit(kUp)) != 0;
    if (!(iActions & (kBackActions | ActionBit(kConfirm))))
        return false;
    bAsking = false;
    return bYes && !(iActions & kBackActions);
}

void StartPlaying(cMenuWindow& window) {
    window.pGame->pMidis->PlayMidi(kMidiGame);
    window.pGame->Play();
    window.pGui->SetActiveWindows({WND_ENERGYBAR, WND_SCORE, WND_POWERUP});
}

} // namespace

int MainProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    static int iSel = kNewGame;
    static bool bPaused = false;
    static int iLastKey = iTime;
    // The window asks before a choice discards the paused game, and which answer is marked.
    static bool bAsking = false;
    static bool bYes = false;

    switch (iMsg) {
    case MSG_DRAW:
        if (bAsking)
            DrawQuestion(static_cast<BITMAP*>(a), bYes);
        else
            DrawMenu(static_cast<BITMAP*>(a), iSel, bPaused);
        break;
    case MSG_SETDATA:
        bPaused = MsgInt(a) != 0;
        // A pause opens the menu on "Resume game": Enter out of habit goes on playing.
        iSel = bPaused ? kResumeGame : std::min(iSel, kQuit);
        bAsking = false;
        break;
    case MSG_ACTIVATE:
        window.pGame->pMidis->PlayMidi(kMidiMenu);
        break;
    case MSG_KEY: {
        // A key or a pad press says what to do, at most once per 150 ms.
        if (!AcceptKey(iLastKey, kKeyDelay))
            break;
        const unsigned iActions = cInputState::MenuActions(MsgInt(a), MsgInt(b));
        if (bAsking ? !Answer(bAsking, bYes, iActions)
                    : !Choose(iSel, bPaused, bAsking, bYes, iActions))
            break;
        if (iSel == kNewGame) {
            window.pGame->NewGame();
            StartPlaying(window);
            bPaused = false;
        } else if (iSel == kViewHighscores) {
            window.pGame->LoadHOF();
            window.pGui->SetActiveWindows({WND_HOF});
        } else if (iSel == kQuit) {
            window.pGame->Shutdown();
        } else if (iSel == kResumeGame) {
            StartPlaying(window);
            iSel = kNewGame;
            bPaused = false;
        }
        break;
    }
    }
    return 0;
}
