#include "objects/cPie.h"

#include <typeinfo>

#include "MediaIds.h"
#include "core/cGameInstance.h"
#include "media/cBitmapDatabase.h"
#include "objects/Tuning.h"
#include "objects/cPlayerShip.h"

// A pie that hits the ship still moves on in that step; the next purge removes it.
void cPie::OnUpdate(int, cGameInstance* pGame) {
    if (pGame->DoCollide(this, typeid(cPlayerShip).name())) {
        Delete();
        pGame->GameOver();
    }
    vVelocity += cVector(0, Tuning::kGravity, 0);
    vPosition += vVelocity;
    if (vPosition.y > pGame->iFieldHeight)
        Delete();
}

void cPie::OnDraw(BITMAP* pTarget, cGameInstance* pGame) {
    // Every pie looks the same, whatever its own bitmap id says.
    BITMAP* pSprite = pGame->pBitmaps->GetBitmap(kBitmapPie);
    if (!pSprite)
        return;
    draw_sprite(pTarget, pSprite, static_cast<int>(vPosition.x - pSprite->w / 2),
                static_cast<int>(vPosition.y - pSprite->h / 2));
}
