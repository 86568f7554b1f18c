#include "core/cGameInstance.h"

#include <algorithm>
#include <cstdlib>
#include <typeinfo>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/Volumes.h"
#include "core/cInputReader.h"
#include "gui/WindowTable.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "objects/Tuning.h"
#include "objects/cMonster.h"
#include "objects/cPlayer.h"
#include "objects/cPlayerShip.h"

namespace {

// Whole seconds since iSince against the level's period: waves and monster steps come every 3 s
// at levels 1 and 2, every 2 s at 3 and 4, every second at 5 and 6.
bool PeriodOver(int iSince, int iLevel) {
    return (iTime - iSince) / 100 > Tuning::kPeriodSeconds - Tuning::kPeriodStepPerLevel * iLevel;
}

} // namespace

cGameInstance::cGameInstance()
    : SpawnPoints{{106, 50, 0}, {234, 50, 0}, {362, 50, 0}, {490, 50, 0}} {}

cGameInstance::~cGameInstance() {
    DeleteObjects();
    Objects.DeleteNew();
    ReleaseSystem(*this);
}

void cGameInstance::InitGame() {
    pGui->pGame = this;
    bRunning = true;

    AddGameWindows(pGui, iFieldWidth, iFieldHeight);
    pGui->SetActiveWindows({WND_MAINMENU});

    Rules.fShipSpeed = Tuning::kShipSpeed;
    Rules.fFieldWidth = static_cast<float>(iFieldWidth);
    Rules.iFireDelay = Tuning::kFireDelay;
    Rules.iBulletSpeed = Tuning::kBulletSpeed;
    Rules.fRechargeRate = Tuning::kRechargeRate;
    Rules.iEnergyPerLevel = Tuning::kEnergyPerLevel;
    Rules.iShotCost = Tuning::kShotCost;
    Starfield.Build(iFieldWidth, iFieldHeight);
    NewGame();
}

void cGameInstance::NewGame() {
    Recorder.Stop();
    GameOverScene.Stop();
    iCurrentScore = 0;
    iMonstersSpawned = 0;
    iCurrentLevel = 0;
    iLastWaveTime = iTime;
    iLastMoveTime = iTime;

    Objects.DeleteNew();
    for (cGameObject* pObject : vObjects)
        if (!dynamic_cast<cPlayerShip*>(pObject))
            pObject->Delete();

    const cVector vShipStart(iFieldWidth / 2, iFieldHeight - Tuning::kShipLift, 0);
    if (!GetObject(pPlayer->GetAvatarID())) {
        cPlayerShip* pShip = new cPlayerShip;
        pShip->SetBitmap(kBitmapShip);
        pShip->SetPosition(vShipStart);
        SetPlayerAvatar(AddObject(pShip));
    }
    // Every game starts with the ship in the middle, not where the last one left it.
    if (cPlayerShip* pShip = dynamic_cast<cPlayerShip*>(GetObject(pPlayer->GetAvatarID()))) {
        pShip->Reset();
        pShip->SetPosition(vShipStart);
    }

    Banner.Hide();
    pGui->SetActiveWindows({WND_MAINMENU});
    // One playing step brings the ship in, clears out the old game and resets the panels. It runs
    // on what is held, as the step that asked for it: its keys and presses are that step's.
    cInputState held = Input;
    held.iTyped = 0;
    held.iPressed = 0;
    Play();
    Update(held);
    Pause();
    // That step pauses into the menu if it meets a focus change from before (the window's first
    // focus sets one off): a game nobody has played is not there to resume.
    pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(0), MsgArg(0));
    CalcLevel();
    bGameOpen = false;
    if (!Playback.Running())
        Recorder.Begin(*pPlayer, iMoveCount);
}

// Several monsters may end the game in one step: the ship bursts once. The score panel alone
// stays, with the points of this last step too.
void cGameInstance::GameOver() {
    Pause();
    Recorder.Stop();
    bGameOpen = false;
    pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(0), MsgArg(0));
    if (GameOverScene.Running())
        return;
    pGui->SendMessage(WND_SCORE, MSG_SETDATA, MsgArg(GetScore()), MsgArg(GetLevel()));
    pGui->SetActiveWindows({WND_SCORE});
    Banner.Hide();
    GameOverScene.Start(this);
    // Should the game be closed before the name entry comes, the score goes in under the default
    // name if it earns a place.
    HOF.AwaitName(GetScore());
}

void cGameInstance::CalcLevel() {
    iCurrentLevel = 1;
    for (int iStart : Tuning::kLevelStarts)
        if (iMonstersSpawned >= iStart)
            ++iCurrentLevel;
}

void cGameInstance::AddMonster(int iSpawnPoint) {
    cMonster* pMonster = new cMonster;
    pMonster->SetPosition(SpawnPoints[iSpawnPoint]);
    // One monster in four, on average, has the second look.
    pMonster->SetBitmap(rand() % 200 < 50 ? kBitmapMonsterHeavy : kBitmapMonster);
    AddObject(pMonster);
}

void cGameInstance::SetPlayerAvatar(int iId) {
    pPlayer->SetAvatarID(iId);
}

int cGameInstance::NumMonsters() const {
    return Objects.Count(typeid(cMonster));
}

int cGameInstance::DoMove() {
    if (!PeriodOver(iLastMoveTime, iCurrentLevel))
        return 0;
    // Every monster is granted one step per period; the period closes once all have had theirs.
    if (++iMoveCount >= NumMonsters()) {
        iLastMoveTime = iTime;
        iMoveCount = 0;
    }
    return iCurrentLevel + Tuning::kMonsterStepBase;
}

void cGameInstance::Update() {
    RunStep(pInput->Read(iTime));
}

void cGameInstance::RunStep(const cInputState& input) {
    if (Playback.Running())
        Playback.Step(this, input);
    else
        Update(input);
}

// The input is taken by value: a new game started in this step runs a step of its own.
void cGameInstance::Update(cInputState input) {
    Input = input;
    if (!Playback.Running())
        AttractDemo.Step(this, input);
    // The key that resumes a game in the menu is pressed in this step too: it must not pause the
    // game again at once.
    const bool bWasPlaying = IsPlaying();
    pGui->Update(input);
    // M types a letter in the name entry.
    const std::vector<int>& vActive = pGui->vActive;
    if (input.Pressed(kMute) &&
        std::find(vActive.begin(), vActive.end(), WND_HOFENTER) == vActive.end())
        ToggleMusic(*this);
    // A replay's game ends in its moment, without a hall of fame.
    if (GameOverScene.Step(this) && !Playback.Running())
        GameOverScene.ShowHallOfFame(this);
    if (!IsPlaying())
        return;

    // A switch away counts only while playing; one made in a menu is forgotten. Escape and P pause
    // as they go down: held on from the menu, or repeating, they do not. A replay pauses where its
    // game did, for that step, and goes on.
    const bool bPausing =
        (bWasPlaying && (input.Pressed(kBack) || input.Pressed(kPause))) || input.bFocusLost;
    if (Recorder.Recording())
        Recorder.Step(input, bPausing, *pPlayer);
    if (!Playback.Running())
        bGameOpen = true;
    if (bPausing) {
        Pause();
        if (!Playback.Running()) {
            pGui->SetActiveWindows({WND_MAINMENU});
            pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(1), MsgArg(0));
        }
    }
    CalcLevel();
    pGui->SendMessage(WND_SCORE, MSG_SETDATA, MsgArg(GetScore()), MsgArg(GetLevel()));

    Objects.Purge();
    Objects.JoinNew();

    CalcLevel();
    if (PeriodOver(iLastWaveTime, iCurrentLevel)) {
        const int iLevelBefore = iCurrentLevel;
        for (int i = 0; i < 4; ++i) {
            iLastWaveTime = iTime;
            AddMonster(i);
            ++iMonstersSpawned;
        }
        CalcLevel();
        if (iCurrentLevel > iLevelBefore)
            Banner.Show("Level " + std::to_string(iCurrentLevel), iTime);
    }
    for (cGameObject* pObject : vObjects)
        pObject->Update(1, this);
}

void cGameInstance::DoInput() {
    if (cGameObject* pAvatar = GetObject(pPlayer->GetAvatarID()))
        pPlayer->DoInput(pAvatar, &Rules, this);
}

// An idle menu composes the same frame at every step, the stars standing still: it is not sent to
// the screen again.
void cGameInstance::DoFrame() {
    clear_to_color(pBuffer, 0);
    const int iNow = iTime;
    Starfield.Draw(pBuffer, iNow, IsPlaying());
    for (cGameObject* pObject : vObjects)
        pObject->Draw(pBuffer, this);
    GameOverScene.Draw(pBuffer, this);
    Banner.Draw(pBuffer, iFieldHeight * 3 / 8, iNow);
    pGui->Draw(pBuffer);
    ShowFrame();
}

int cGameInstance::GetLevel() {
    CalcLevel();
    return iCurrentLevel;
}
