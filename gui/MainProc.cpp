#include "gui/MainProc.h"

#include "core/cGameInstance.h"
#include "core/cInputState.h"
#include "core/main.h"
#include "gui/cGuiSystem.h"
#include "media/cMidiDatabase.h"

namespace {

const int kNewGame = 0;
const int kViewHighscores = 1;
const int kQuit = 2;
const int kResumeGame = 3;

// Hundredths of a second a key message must come after the last accepted one.
const int kKeyDelay = 14;

const int kMenuMusic = 4;
const int kGameMusic = 1;

void DrawMenu(BITMAP* pClient, int iSel, bool bPaused) {
    textprintf_ex(pClient, font, 15, 10, 0, -1, "New game");
    textprintf_ex(pClient, font, 15, 19, 0, -1, "View highscores");
    textprintf_ex(pClient, font, 15, 28, 0, -1, "Quit");
    if (bPaused)
        textprintf_ex(pClient, font, 15, 36, 0, -1, "Resume game");
    textprintf_ex(pClient, font, 5, iSel * 8 + 10, 0, -1, ">");
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

void StartPlaying(cMenuWindow& window) {
    window.pGame->pMidis->PlayMidi(kGameMusic);
    window.pGame->Play();
    window.pGui->SetActiveWindows({WND_ENERGYBAR, WND_SCORE, WND_POWERUP});
}

} // namespace

int MainProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    static int iSel = kNewGame;
    static bool bPaused = false;
    static int iLastKey = iTime;

    switch (iMsg) {
    case MSG_DRAW:
        DrawMenu(static_cast<BITMAP*>(a), iSel, bPaused);
        break;
    case MSG_SETDATA:
        bPaused = MsgInt(a) != 0;
        break;
    case MSG_ACTIVATE:
        window.pGame->pMidis->PlayMidi(kMenuMusic);
        break;
    case MSG_KEY: {
        // A key or a pad press says what to do, at most once per 150 ms.
        if (!AcceptKey(iLastKey, kKeyDelay))
            break;
        const unsigned iActions = cInputState::MenuActions(MsgInt(a), MsgInt(b));
        iSel = MoveSelection(iSel, bPaused, iActions);
        if (!(iActions & ActionBit(kConfirm)))
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
