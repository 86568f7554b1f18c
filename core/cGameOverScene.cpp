#include "core/cGameOverScene.h"

#include <string>
#include <vector>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "objects/cParticleEffect.h"
#include "objects/cPlayer.h"
#include "objects/cPlayerShip.h"

namespace {

const int kLength = 200; // hundredths of a second

} // namespace

cGameOverScene::~cGameOverScene() {
    Stop();
}

// Many more sparks than a monster's, and faster: they rise well above the ship before they fall.
void cGameOverScene::Start(cGameInstance* pGame) {
    Stop();
    iStart = iTime;
    cVector vCentre(pGame->iFieldWidth / 2.0f, static_cast<float>(pGame->iFieldHeight), 0);
    if (cPlayerShip* pShip =
            dynamic_cast<cPlayerShip*>(pGame->GetObject(pGame->pPlayer->GetAvatarID()))) {
        BITMAP* pSprite = pShip->Sprite(pGame);
        vCentre = pShip->GetPosition() + cVector(0, pSprite ? pSprite->h * 0.7f : 0.0f, 0);
        pShip->Wreck();
    }
    pExplosion = new cParticleEffect;
    pExplosion->Init(1, 3, 0.5f, 2.5f, 60, 100);
    pExplosion->SetPosition(vCentre);
    pGame->pMidis->StopPlaying();
    pGame->pSounds->PlaySound(kSoundShipExplosion);
    Title.Show("Game over", iStart, kLength, 3);
    Score.Show("Score " + std::to_string(pGame->GetScore()), iStart, kLength, 2);
}

bool cGameOverScene::Step(cGameInstance* pGame) {
    if (!Running())
        return false;
    pExplosion->Update(1, pGame);
    if (iTime - iStart < kLength)
        return false;
    Stop();
    return true;
}

void cGameOverScene::Stop() {
    delete pExplosion;
    pExplosion = nullptr;
    Title.Hide();
    Score.Hide();
}

void cGameOverScene::Draw(BITMAP* pTarget, cGameInstance* pGame) {
    if (!Running())
        return;
    pExplosion->Draw(pTarget, pGame);
    const int iNow = iTime;
    Title.Draw(pTarget, pTarget->h * 3 / 8, iNow);
    Score.Draw(pTarget, pTarget->h * 3 / 8 + 32, iNow);
}

void cGameOverScene::ShowHallOfFame(cGameInstance* pGame) {
    pGame->Recording.iScore = pGame->GetScore();
    pGame->Recording.iLevel = pGame->GetLevel();
    pGame->HOF.OfferReplay(pGame->Recording.iScore, pGame->Recording.Text());
    std::vector<int> vWindows = {WND_HOF, WND_SCORE};
    if (pGame->LoadHOF()) {
        vWindows = {WND_HOFENTER, WND_SCORE};
        pGame->pGui->SendMessage(WND_HOFENTER, MSG_SETDATA, MsgArg(1), MsgArg(0));
    } else {
        pGame->HOF.DeclineName();
    }
    pGame->pGui->SetActiveWindows(vWindows);
}
