#include "objects/cPlayer.h"

#include <allegro.h>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "media/cSoundDatabase.h"
#include "objects/Tuning.h"
#include "objects/cBullet.h"
#include "objects/cPlayerShip.h"

namespace {

// The bullet's lower edge starts this far above the bottom of the screen.
const int kBulletLift = 64;

int EnergyCap(const cGameRules& rules, cGameInstance* pGame) {
    return pGame->GetLevel() * rules.iEnergyPerLevel;
}

} // namespace

cPlayer::cPlayer() : iLastTime(iTime) {}

void cPlayer::DoInput(cGameObject* pAvatar, cGameRules* pRules, cGameInstance* pGame) {
    cPlayerShip* pShip = dynamic_cast<cPlayerShip*>(pAvatar);
    if (!pShip)
        return;
    // The clock runs on its own thread: one reading serves the whole step.
    const int iNow = iTime;
    cVector vPos = pShip->GetPosition();
    const int iDt = iNow - iLastTime;
    iLastTime = iNow;

    // Charges last for time played, not for time spent in the menus.
    if (pGame->IsPlaying()) {
        pShip->UseSC(iDt);
        pShip->UseSS(iDt);
    }
    Recharge(iDt, *pShip, *pRules, pGame);
    vPos.x = Steer(iDt, vPos.x, *pShip, *pRules, pGame);
    Fire(iNow, *pShip, *pRules, pGame);
    pShip->SetPosition(vPos);

    pGame->pGui->SendMessage(WND_ENERGYBAR, MSG_SETDATA, MsgArg(iEnergy),
                             MsgArg(EnergyCap(*pRules, pGame)));
}

void cPlayer::Recharge(int iDt, const cPlayerShip& ship, const cGameRules& rules,
                       cGameInstance* pGame) {
    const float fFactor = ship.HasSupercharger() ? Tuning::kSuperchargerFactor : 1.0f;
    iEnergy += static_cast<int>(iDt * rules.fRechargeRate * fFactor);
    const int iCap = EnergyCap(rules, pGame);
    if (iEnergy > iCap)
        iEnergy = iCap;
}

// The new x of the ship. Both stops apply to the top centre, so at the left stop half the ship is
// off screen and at the right stop it ends half a ship short of the edge.
float cPlayer::Steer(int iDt, float fX, const cPlayerShip& ship, const cGameRules& rules,
                     cGameInstance* pGame) const {
    const float fFactor = ship.HasSuperspeed() ? Tuning::kSuperspeedFactor : 1.0f;
    const float fStep = iDt * rules.fShipSpeed * fFactor;
    if (pGame->Input.Held(kLeft) && pGame->IsPlaying())
        fX -= fStep;
    if (pGame->Input.Held(kRight) && pGame->IsPlaying())
        fX += fStep;
    if (fX < 0)
        fX = 0;
    BITMAP* pSprite = ship.Sprite(pGame);
    const int iWidth = pSprite ? pSprite->w : 0;
    if (fX + iWidth > rules.fFieldWidth)
        fX = rules.fFieldWidth - iWidth;
    return fX;
}

// Only while playing: in the menus and the hall of fame Space is theirs, and a shot there would
// spend energy, sound over the screen and wait among the new objects until play resumes.
void cPlayer::Fire(int iNow, const cPlayerShip& ship, const cGameRules& rules,
                   cGameInstance* pGame) {
    if (!pGame->IsPlaying() || !pGame->Input.Held(kFire) || iNow - iLastFire < rules.iFireDelay ||
        iEnergy < rules.iShotCost)
        return;
    iLastFire = iNow;
    cBullet* pBullet = new cBullet;
    pBullet->SetBitmap(kBitmapBullet);
    BITMAP* pSprite = pBullet->Sprite(pGame);
    const int iWidth = pSprite ? pSprite->w : 0;
    const int iHeight = pSprite ? pSprite->h : 0;
    // From where the ship stood before this step's move.
    const float fShipX = ship.GetPosition().x;
    pBullet->SetVelocity(cVector(0, static_cast<float>(-rules.iBulletSpeed), 0));
    pBullet->SetPosition(cVector(
        fShipX - iWidth / 2, static_cast<float>(pGame->iFieldHeight - (iHeight + kBulletLift)), 0));
    pGame->AddObject(pBullet);
    pGame->pSounds->PlaySound(kSoundShot);
    iEnergy -= rules.iShotCost;
}
