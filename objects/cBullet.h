#pragma once

#include "objects/cGameObject.h"

// The player's shot: flies at a fixed velocity and destroys the first monster it reaches. Its
// position is the top-left corner of its sprite.
class cBullet : public cGameObject {
public:
    void SetVelocity(cVector vNewVelocity) { vVelocity = vNewVelocity; }

    // Pixels per logic step.
    cVector vVelocity{0, 0, 0};

protected:
    void OnUpdate(int iTicks, cGameInstance* pGame) override;

private:
    void Hit(cGameObject* pMonster, cGameInstance* pGame);
    void DropPowerup(cGameInstance* pGame);
};
