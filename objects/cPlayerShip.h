#pragma once

#include <vector>

#include "objects/Tuning.h"
#include "objects/cGameObject.h"

// The player's ship: steered by the player controller, it carries the charges of the two
// power-ups. Its position is the top centre of its sprite.
class cPlayerShip : public cGameObject {
public:
    cPlayerShip() { Reset(); }

    // Empties both charges and puts the ship together again, as at the start of a game.
    void Reset();
    // Blown up at the end of a game: not drawn until the next Reset.
    void Wreck() { bWrecked = true; }
    // Taking a power-up refills its charge; charges do not add up.
    void AddSupercharger() { iSupercharger = iMax; }
    void AddSuperspeed() { iSuperspeed = iMax; }
    // Spends iTicks of a charge, never going below 0.
    void UseSC(int iTicks);
    void UseSS(int iTicks);
    bool HasSupercharger() const { return iSupercharger > 0; }
    bool HasSuperspeed() const { return iSuperspeed > 0; }
    int SC() const { return iSupercharger; }
    int SS() const { return iSuperspeed; }
    int GetMax() const { return iMax; }

    int iMax = Tuning::kPowerupTicks;
    int iSupercharger = 0;
    int iSuperspeed = 0;
    bool bWrecked = false;

protected:
    void OnDraw(BITMAP* pTarget, cGameInstance* pGame) override;
    void OnUpdate(int iTicks, cGameInstance* pGame) override;
    // True when pOther's position lies strictly inside the box that reaches from the sprite's
    // height above the bottom of the screen down to it, as wide as the sprite around x, and below
    // the topmost drawn pixel of the sprite's column there: columns with nothing drawn never touch.
    bool OnCollide(cGameObject* pOther, cGameInstance* pGame) override;

private:
    // The first row drawn in the sprite's column, or -1 for a column that is empty or off it.
    int TopRow(BITMAP* pSprite, int iColumn);

    // The first drawn row of every column of the picture pOutlineOf.
    std::vector<int> vTopRows;
    const BITMAP* pOutlineOf = nullptr;
};
