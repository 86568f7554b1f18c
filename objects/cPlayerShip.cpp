#include "objects/cPlayerShip.h"

#include <algorithm>
#include <cmath>

#include "core/cGameInstance.h"

void cPlayerShip::Reset() {
    iSupercharger = 0;
    iSuperspeed = 0;
    iMax = Tuning::kPowerupTicks;
    bWrecked = false;
}

void cPlayerShip::UseSC(int iTicks) {
    iSupercharger = std::max(0, iSupercharger - iTicks);
}

void cPlayerShip::UseSS(int iTicks) {
    iSuperspeed = std::max(0, iSuperspeed - iTicks);
}

void cPlayerShip::OnDraw(BITMAP* pTarget, cGameInstance* pGame) {
    BITMAP* pSprite = Sprite(pGame);
    if (!pSprite || bWrecked)
        return;
    draw_sprite(pTarget, pSprite, static_cast<int>(vPosition.x) - pSprite->w / 2,
                static_cast<int>(vPosition.y));
}

// All of the ship's motion comes from the player controller.
void cPlayerShip::OnUpdate(int, cGameInstance*) {}

// The ship stands at the bottom, so the box is measured from there and not from its own y. Its top
// edge follows the drawn outline: a pie that ends the game has visibly landed on the ship.
bool cPlayerShip::OnCollide(cGameObject* pOther, cGameInstance* pGame) {
    BITMAP* pSprite = Sprite(pGame);
    if (!pSprite)
        return false;
    const int iHalf = pSprite->w / 2;
    const cVector vOther = pOther->GetPosition();
    if (!(vOther.x > vPosition.x - iHalf && vOther.x < vPosition.x + iHalf))
        return false;
    // The picture's column under the point, as OnDraw places the picture.
    const int iColumn =
        static_cast<int>(std::floor(vOther.x)) - (static_cast<int>(vPosition.x) - iHalf);
    const int iTop = TopRow(pSprite, iColumn);
    return iTop >= 0 && vOther.y > pGame->iFieldHeight - pSprite->h + iTop;
}

// Worked out once per picture: the ship is asked by every falling object at every step.
int cPlayerShip::TopRow(BITMAP* pSprite, int iColumn) {
    if (pSprite != pOutlineOf) {
        pOutlineOf = pSprite;
        vTopRows.assign(pSprite->w, -1);
        const int iMask = bitmap_mask_color(pSprite);
        for (int x = 0; x < pSprite->w; ++x)
            for (int y = 0; y < pSprite->h && vTopRows[x] < 0; ++y)
                if (getpixel(pSprite, x, y) != iMask)
                    vTopRows[x] = y;
    }
    return iColumn >= 0 && iColumn < pSprite->w ? vTopRows[iColumn] : -1;
}
