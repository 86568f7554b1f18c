#pragma once

#include <map>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "MediaIds.h"
#include "core/cGameInstance.h"
#include "core/main.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "media/cBitmapDatabase.h"
#include "objects/cPlayerShip.h"
#include "support/AllegroTest.h"
#include "support/Files.h"

// The game as InitGame builds it, paused under the menu, in a scratch folder holding data/, with
// the clock moved only by the test; sounds played, music started and window data sent are noted.
class cGameTest : public cAllegroTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The id of the music started last, or 0 when none plays.
    int Music() const;
    BITMAP* Sprite(int iId) const { return game.pBitmaps->GetBitmap(iId); }
    // Lets iTicks hundredths pass, holds the key and sends the window a key message with its value.
    void Press(int iWindow, int iKey, int iTicks = 15);
    // Sends each character as readkey gives it: Backspace, Enter, Escape and Space by their own
    // scan codes, anything else as iScanCode's.
    void Type(int iWindow, const std::string& sText, int iScanCode = KEY_A);
    // Writes a hall of fame with the given entries, in the shape the game saves.
    static void WriteHOF(const std::string& sEntries);
    // Puts the object in play at once, as the merge of the next playing step would.
    template <class tObject> tObject* Join(tObject* pObject, float x, float y) {
        pObject->SetPosition(cVector(x, y, 0));
        game.AddObject(pObject);
        game.vNewObjects.pop_back();
        game.Join(pObject);
        return pObject;
    }
    // The objects waiting to join whose class is exactly this one.
    template <class tObject> std::vector<tObject*> Added() const {
        std::vector<tObject*> vFound;
        for (cGameObject* pObject : game.vNewObjects)
            if (typeid(*pObject) == typeid(tObject))
                vFound.push_back(static_cast<tObject*>(pObject));
        return vFound;
    }
    // Moves the clock on and runs the player's input step.
    void Input(int iTicks);
    void SetLevel(int iLevel);
    // Whether the game has ended (paused, the ship bursting); the scene is cut short for the next.
    bool GameIsOver();

    cScratchFolder Scratch;
    cGameInstance game;
    cPlayerShip* pShip = nullptr;

public:
    // iCount entries as the game saves them: <prefix>i scoring iFirst + i * iStep.
    static std::string Entries(int iCount, int iFirst, int iStep, const std::string& sPrefix = "P");
    static std::vector<int> vSounds;                 // ids in the order played, -1 a loop
    static std::map<int, std::pair<int, int>> mSent; // the last MSG_SETDATA of each window
};

// The same game, playing.
class cPlayingTest : public cGameTest {
protected:
    void SetUp() override {
        cGameTest::SetUp();
        game.Play();
    }
};
