#pragma once

#include "objects/cGameObject.h"

// The monsters' missile: falls under gravity and ends the game when it lands on the ship. Its
// position is the centre of its sprite.
class cPie : public cGameObject {
public:
    // Pixels per logic step.
    cVector vVelocity{0, 0, 0};

protected:
    void OnDraw(BITMAP* pTarget, cGameInstance* pGame) override;
    void OnUpdate(int iTicks, cGameInstance* pGame) override;
};
