#pragma once

#include <typeinfo>
#include <vector>

#include "core/cGameInstance.h"
#include "objects/cPlayerShip.h"
#include "support/AllegroTest.h"

// A playing game put together by hand around the real sprites, with the rules the game sets. Its
// sounds and the messages to its energy bar are recorded; the clocks move only when a test moves
// them.
class cObjectsTest : public cAllegroTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds the object and puts it in play at once, as the merge of the next playing step would.
    template <class tObject> tObject* Join(tObject* pObject, float x, float y) {
        pObject->SetPosition(cVector(x, y, 0));
        game.AddObject(pObject);
        game.vObjects.push_back(game.vNewObjects.back());
        game.vNewObjects.pop_back();
        return pObject;
    }
    // The ship at its start, (320, 386), steered by the player.
    void AddShip();
    // Moves the clock on and runs the player's input step.
    void Input(int iTicks);
    void SetLevel(int iLevel);
    // The sprites the objects use are all there: SetUp checks it.
    BITMAP* Sprite(int iId) const;
    // The objects waiting to join whose class is exactly this one.
    template <class tObject> std::vector<tObject*> Added() const {
        std::vector<tObject*> vFound;
        for (cGameObject* pObject : game.vNewObjects)
            if (typeid(*pObject) == typeid(tObject))
                vFound.push_back(static_cast<tObject*>(pObject));
        return vFound;
    }
    // Paused, with the hall of fame showing.
    bool GameIsOver() const;

    cGameInstance game;
    cPlayerShip* pShip = nullptr;

public:
    static std::vector<int> vSounds; // ids, in the order played
    static int iEnergySent;
    static int iCapSent;
};
