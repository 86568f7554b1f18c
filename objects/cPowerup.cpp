#include "objects/cPowerup.h"

#include <typeinfo>

#include "MediaIds.h"
#include "core/Clock.h"
#include "core/cGameInstance.h"
#include "media/cSoundDatabase.h"
#include "objects/Tuning.h"
#include "objects/cPlayerShip.h"

// The halves are taken after truncating the position, unlike a pie's.
void cPowerup::OnDraw(BITMAP* pTarget, cGameInstance* pGame) {
    BITMAP* pSprite = Sprite(pGame);
    if (!pSprite)
        return;
    draw_sprite(pTarget, pSprite, static_cast<int>(vPosition.x) - pSprite->w / 2,
                static_cast<int>(vPosition.y) - pSprite->h / 2);
}

// The two kinds have their own steps.
void cPowerup::OnUpdate(int, cGameInstance*) {}

// The search matches the exact class, so what it finds is the ship. A power-up taken still moves
// on in that step; the purge removes it before it could refill the charge a second time.
void cPowerup::Step(cGameInstance* pGame, void (cPlayerShip::*pRefill)(), const char* sName) {
    if (cGameObject* pShip = pGame->DoCollide(this, typeid(cPlayerShip).name())) {
        Delete();
        (static_cast<cPlayerShip*>(pShip)->*pRefill)();
        pGame->pSounds->PlaySound(kSoundPowerup);
        pGame->Banner.Show(sName, iTime);
    }
    vVelocity += cVector(0, Tuning::kGravity, 0);
    vPosition += vVelocity;
    if (vPosition.y > pGame->iFieldHeight)
        Delete();
}

cPowerupSC::cPowerupSC() {
    iBitmap = kBitmapSuperCharger;
}

void cPowerupSC::OnUpdate(int, cGameInstance* pGame) {
    Step(pGame, &cPlayerShip::AddSupercharger, "Super charger");
}

cPowerupSS::cPowerupSS() {
    iBitmap = kBitmapSuperSpeed;
}

void cPowerupSS::OnUpdate(int, cGameInstance* pGame) {
    Step(pGame, &cPlayerShip::AddSuperspeed, "Super speed");
}
