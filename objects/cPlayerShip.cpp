#include "objects/cPlayerShip.h"

#include <algorithm>

#include "core/cGameInstance.h"

void cPlayerShip::Reset() {
    iSupercharger = 0;
    iSuperspeed = 0;
    iMax = 1000;
}

void cPlayerShip::UseSC(int iTicks) {
    iSupercharger = std::max(0, iSupercharger - iTicks);
}

void cPlayerShip::UseSS(int iTicks) {
    iSuperspeed = std::max(0, iSuperspeed - iTicks);
}

void cPlayerShip::OnDraw(BITMAP* pTarget, cGameInstance* pGame) {
    BITMAP* pSprite = Sprite(pGame);
    if (!pSprite)
        return;
    draw_sprite(pTarget, pSprite, static_cast<int>(vPosition.x) - pSprite->w / 2,
                static_cast<int>(vPosition.y));
}

// All of the ship's motion comes from the player controller.
void cPlayerShip::OnUpdate(int, cGameInstance*) {}

// The ship stands at the bottom, so the box is measured from there and not from its own y.
bool cPlayerShip::OnCollide(cGameObject* pOther, cGameInstance* pGame) {
    BITMAP* pSprite = Sprite(pGame);
    const int iWidth = pSprite ? pSprite->w : 0;
    const int iHeight = pSprite ? pSprite->h : 0;
    const int iHalf = iWidth / 2;
    const cVector vOther = pOther->GetPosition();
    return vOther.x > vPosition.x - iHalf && vOther.x < vPosition.x + iHalf &&
           vOther.y > pGame->iFieldHeight - iHeight;
}
