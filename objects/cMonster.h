#pragma once

#include "objects/cGameObject.h"

// The enemy: sinks in the steps the game grants, wobbles on a small circle while it does and now
// and then drops a pie. Its position is the top centre of its sprite.
class cMonster : public cGameObject {
public:
    // Moves only the picture, never the position that collisions use.
    cVector vOffset{0, 0, 0};
    // Angle of the offset on its circle, in radians.
    float fPhase = 0;
    // Change of the angle per logic step.
    float fPhaseSpeed = 0.03f;
    // Only y counts: the depth the monster sinks to.
    cVector vTarget{0, 0, 0};

protected:
    void OnDraw(BITMAP* pTarget, cGameInstance* pGame) override;
    void OnUpdate(int iTicks, cGameInstance* pGame) override;

private:
    void Circle(int iTicks);
    void Sink(cGameInstance* pGame);
    void MaybeDropPie(cGameInstance* pGame);
};
