#include "objects/cBullet.h"

#include <cstdlib>
#include <typeinfo>

#include "MediaIds.h"
#include "core/cGameInstance.h"
#include "media/cSoundDatabase.h"
#include "objects/cMonster.h"
#include "objects/cParticleEffect.h"
#include "objects/cPowerup.h"

// A monster hit in this step stays in the list until the next purge, so a second bullet reaching
// it in the same step hits it again.
void cBullet::OnUpdate(int, cGameInstance* pGame) {
    if (cGameObject* pMonster = pGame->DoCollide(this, typeid(cMonster).name()))
        Hit(pMonster, pGame);
    vPosition += vVelocity;
    if (vPosition.y < 0)
        Delete();
}

void cBullet::Hit(cGameObject* pMonster, cGameInstance* pGame) {
    pMonster->Delete();
    Delete();
    cParticleEffect* pExplosion = new cParticleEffect;
    pExplosion->Init(1, 2, 0.5f, 0.8f, 5, 25);
    pExplosion->SetPosition(vPosition);
    pGame->AddObject(pExplosion);
    pGame->pSounds->PlaySound(kSoundImpact);
    pGame->Kill();
    DropPowerup(pGame);
}

// Level times a digit: a super charger for 1 and super speed for 2, so both come at level 1, only
// super speed at level 2 and nothing from level 3 on.
void cBullet::DropPowerup(cGameInstance* pGame) {
    const int iRoll = rand();
    const int iPick = pGame->GetLevel() * (iRoll % 10);
    cPowerup* pPowerup = nullptr;
    if (iPick == 1)
        pPowerup = new cPowerupSC;
    else if (iPick == 2)
        pPowerup = new cPowerupSS;
    if (!pPowerup)
        return;
    pPowerup->SetPosition(vPosition);
    pGame->AddObject(pPowerup);
}
