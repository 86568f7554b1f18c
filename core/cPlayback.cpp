#include "core/cPlayback.h"

#include <cstdlib>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "media/cMidiDatabase.h"
#include "objects/cPlayer.h"

namespace {

// The input of a recorded step, as play reads it.
cInputState Replayed(unsigned iInput) {
    cInputState input;
    const std::pair<unsigned, int> aActions[] = {{cReplay::kLeft, kLeft},
                                                 {cReplay::kRight, kRight},
                                                 {cReplay::kFire, kFire},
                                                 {cReplay::kPause, kPause}};
    for (auto [iBit, iAction] : aActions)
        if (iInput & iBit)
            input.iHeld |= ActionBit(iAction);
    // A pause is recorded in the step its key went down in.
    if (iInput & cReplay::kPause)
        input.iPressed |= ActionBit(kPause);
    return input;
}

} // namespace

void cPlayback::Start(const cReplay& replay, eReturn whereTo) {
    Replay = replay;
    Return = whereTo;
    bRunning = true;
    bBegun = false;
    bOver = false;
    bInterrupted = false;
    bFaithful = false;
    iStepsRun = 0;
}

// Begins where the recorded game began, in a logic step of its own: a replay asked for by a
// window's key must not run in the rest of that step, nor the player's input step after it.
void cPlayback::Begin(cGameInstance* pGame, const cInputState& input) {
    HeldOver = input.Keys;
    cPlayer& player = *pGame->pPlayer;
    iEnergy = player.iEnergy;
    iLastFire = player.iLastFire;
    iLastTime = player.iLastTime;
    iMoveCount = pGame->iMoveCount;
    HoldClock();
    iClock = iTime;
    bBegun = true;
    pGame->NewGame();
    srand(Replay.iSeed);
    player.iEnergy = Replay.iEnergy;
    player.iLastFire = iClock + Replay.iLastFire;
    player.iLastTime = iClock + Replay.iLastTime;
    pGame->iMoveCount = Replay.iMoveCount;
    pGame->pMidis->PlayMidi(kMidiGame);
    pGame->pGui->SetActiveWindows({WND_ENERGYBAR, WND_SCORE, WND_POWERUP});
}

bool cPlayback::AnyKey(const cInputState& input) {
    HeldOver &= input.Keys;
    for (int i = 0; i < input.iTyped; ++i) {
        const int iScanCode = (input.aTyped[i].iKey >> 8) & 0xFF;
        if (input.aTyped[i].iKey == 0 || iScanCode >= KEY_MAX || !HeldOver[iScanCode])
            return true;
    }
    // The view's key switches the view, as it does everywhere.
    return input.iPressed & ~ActionBit(kFullscreen);
}

// After its last step the recording's game-over moment plays out on the timer's clock.
void cPlayback::Step(cGameInstance* pGame, const cInputState& input) {
    if (!bBegun)
        Begin(pGame, input);
    else if (AnyKey(input)) {
        bInterrupted = true;
        Stop(pGame);
        return;
    }
    bOver = bOver || pGame->GameOverScene.Running();
    if (!bOver && iStepsRun < Replay.Steps()) {
        iClock += Replay.Advance(iStepsRun);
        // In the menu of the pause the controller recharged the weapon, and no more.
        if (Replay.Gap(iStepsRun) >= 0) {
            iTime = iClock - Replay.Gap(iStepsRun);
            pGame->Pause();
            pGame->DoInput();
        }
        iTime = iClock;
        const cInputState replayed = Replayed(Replay.Input(iStepsRun++));
        pGame->Play();
        pGame->Update(replayed);
        return;
    }
    ReleaseClock();
    if (bOver && pGame->GameOverScene.Running())
        pGame->Update(cInputState());
    else
        Stop(pGame);
}

void cPlayback::Stop(cGameInstance* pGame) {
    bRunning = false;
    if (bBegun) {
        bFaithful = !bInterrupted && bOver && iStepsRun == Replay.Steps() &&
                    pGame->GetScore() == Replay.iScore && pGame->GetLevel() == Replay.iLevel;
        cPlayer& player = *pGame->pPlayer;
        player.iEnergy = iEnergy;
        player.iLastFire = iLastFire;
        player.iLastTime = iLastTime;
        pGame->iMoveCount = iMoveCount;
        ReleaseClock();
        pGame->Pause();
        pGame->GameOverScene.Stop();
        pGame->Banner.Hide();
    }
    bBegun = false;
    if (Return == kToList)
        pGame->pGui->SetActiveWindows({WND_HOF});
    else if (Return == kToMenu)
        pGame->NewGame();
    else
        pGame->Shutdown();
}
