#pragma once

// The tuning values of player control, set once when the game is prepared.
class cGameRules {
public:
    float fShipSpeed = 0;    // pixels per hundredth of a second
    float fFieldWidth = 0;   // the ship's right edge stays inside it
    int iFireDelay = 0;      // least hundredths of a second between two shots
    int iBulletSpeed = 0;    // pixels per logic step, upwards
    float fRechargeRate = 0; // energy per hundredth of a second
    int iEnergyPerLevel = 0; // the energy cap is the level times this
    int iShotCost = 0;       // energy a shot takes, and needs
};
