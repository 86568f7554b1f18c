#pragma once

#include <allegro.h>

#include "objects/vector.h"

class cGameInstance;

// Everything in the play field: a sprite, a position, the id the game gave it and a mark for
// removal. The game draws, updates and collides objects through the virtual operations.
class cGameObject {
public:
    cGameObject() = default;
    virtual ~cGameObject() = default;
    cGameObject(const cGameObject&) = delete;
    cGameObject& operator=(const cGameObject&) = delete;

    void SetBitmap(int iNewBitmap) { iBitmap = iNewBitmap; }
    // The object's picture from the game's bitmap table, or null.
    BITMAP* Sprite(cGameInstance* pGame) const;
    cVector GetPosition() const { return vPosition; }
    void SetPosition(cVector vNewPosition) { vPosition = vNewPosition; }
    int Id() const { return iId; }
    void SetId(int iNewId) { iId = iNewId; }
    // Objects never destroy one another: they mark, and the game destroys marked objects.
    void Delete() { bDelete = true; }
    bool IsDeleted() const { return bDelete; }

    void Update(int iTicks, cGameInstance* pGame) { OnUpdate(iTicks, pGame); }
    void Draw(BITMAP* pTarget, cGameInstance* pGame) { OnDraw(pTarget, pGame); }
    // Whether pOther collides with this object, by this object's geometry.
    bool Collides(cGameObject* pOther, cGameInstance* pGame) { return OnCollide(pOther, pGame); }

    int iBitmap = 0;
    cVector vPosition{100, 100, 0};
    int iId = 0;
    bool bDelete = false;

protected:
    // Draws the sprite with its top-left corner at the position.
    virtual void OnDraw(BITMAP* pTarget, cGameInstance* pGame);
    virtual void OnUpdate(int iTicks, cGameInstance* pGame);
    // True when the two positions are less than 24 pixels apart.
    virtual bool OnCollide(cGameObject* pOther, cGameInstance* pGame);
};
