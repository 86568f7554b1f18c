#include "objects/cGameObject.h"

#include "core/cGameInstance.h"
#include "media/cBitmapDatabase.h"

BITMAP* cGameObject::Sprite(cGameInstance* pGame) const {
    return pGame->pBitmaps->GetBitmap(iBitmap);
}

void cGameObject::OnDraw(BITMAP* pTarget, cGameInstance* pGame) {
    if (BITMAP* pSprite = Sprite(pGame))
        draw_sprite(pTarget, pSprite, static_cast<int>(vPosition.x), static_cast<int>(vPosition.y));
}

void cGameObject::OnUpdate(int, cGameInstance*) {}

bool cGameObject::OnCollide(cGameObject* pOther, cGameInstance*) {
    return (vPosition - pOther->GetPosition()).Length() < 24.0f;
}
