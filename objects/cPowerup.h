#pragma once

#include "objects/cGameObject.h"

class cPlayerShip;

// A prize left by a destroyed monster: falls under gravity until the ship takes it or it leaves
// the screen at the bottom. Its position is the centre of its sprite. Only the two kinds below are
// ever created.
class cPowerup : public cGameObject {
public:
    // Pixels per logic step.
    cVector vVelocity{0, 0, 0};

protected:
    void OnDraw(BITMAP* pTarget, cGameInstance* pGame) override;
    void OnUpdate(int iTicks, cGameInstance* pGame) override;

    // One step of either kind: taken by the ship, it refills that charge of the ship and shows its
    // name; then it falls, and leaving the screen at the bottom marks it.
    void Step(cGameInstance* pGame, void (cPlayerShip::*pRefill)(), const char* sName);
};

// The super charger: doubles the recharge of weapon energy for a while.
class cPowerupSC : public cPowerup {
public:
    cPowerupSC();

protected:
    void OnUpdate(int iTicks, cGameInstance* pGame) override;
};

// Super speed: makes the ship one and a half times as fast for a while.
class cPowerupSS : public cPowerup {
public:
    cPowerupSS();

protected:
    void OnUpdate(int iTicks, cGameInstance* pGame) override;
};
