#include "core/cAttractDemo.h"

#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"

// A look at the time per step: the idle menu sleeps between its ticks as before.
void cAttractDemo::Step(cGameInstance* pGame, const cInputState& input) {
    const int iNow = iTime;
    const bool bIdleMenu = pGame->pGui->vActive == std::vector<int>{WND_MAINMENU} &&
                           !pGame->IsPlaying() && !pGame->bGameOpen;
    const bool bInput = input.iHeld || input.iPressed || input.iTyped || input.Keys.any();
    if (!bIdleMenu || bInput || !bWaiting) {
        iIdleSince = iNow;
        bWaiting = bIdleMenu;
        return;
    }
    if (iNow - iIdleSince >= kIdleTicks && !StartBest(pGame))
        iIdleSince = iNow;
}

bool cAttractDemo::StartBest(cGameInstance* pGame) {
    pGame->LoadHOF();
    cReplay replay;
    std::string sWhy;
    for (const cHOFEntry& entry : pGame->HOF.vEntries)
        if (!entry.sReplay.empty() && replay.Load(pGame->HOF.ReplayFile(entry), sWhy)) {
            pGame->Playback.Start(replay, cPlayback::kToMenu);
            return true;
        }
    if (!replay.Load(sShipped, sWhy))
        return false;
    pGame->Playback.Start(replay, cPlayback::kToMenu);
    return true;
}
