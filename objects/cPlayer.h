#pragma once

class cGameInstance;
class cGameObject;
class cGameRules;
class cPlayerShip;

// The player controller: steers the ship and fires as the step's input asks (the arrow keys and
// Space, or the pad) and keeps the weapon energy that every shot spends. Runs once per logic step,
// playing or not.
class cPlayer {
public:
    cPlayer();

    int GetAvatarID() const { return iAvatarID; }
    void SetAvatarID(int iId) { iAvatarID = iId; }
    // One input step for the ship pAvatar under the given rules.
    void DoInput(cGameObject* pAvatar, cGameRules* pRules, cGameInstance* pGame);

    int iAvatarID = 0;
    int iLastFire = 0;
    int iLastTime;
    // Starts empty; the first seconds of a run fill it up to the cap.
    int iEnergy = 0;

private:
    void Recharge(int iDt, const cPlayerShip& ship, const cGameRules& rules, cGameInstance* pGame);
    float Steer(int iDt, float fX, const cPlayerShip& ship, const cGameRules& rules,
                cGameInstance* pGame) const;
    void Fire(int iNow, const cPlayerShip& ship, const cGameRules& rules, cGameInstance* pGame);
};
