#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/cGameInstance.h"
#include "core/main.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "objects/cPlayer.h"
#include "support/AllegroTest.h"

// A game with its real windows, built without InitSystem: no sprites or samples, and a music table
// of silent pieces 1 to 5 that still records which one was started last. Runs in a fresh folder of
// its own, where the hall of fame is read and written.
class cGuiGameTest : public cAllegroTest {
protected:
    void SetUp() override {
        cAllegroTest::SetUp();
        if (HasFatalFailure())
            return;
        sOldFolder = std::filesystem::current_path();
        char sTemplate[] = "/tmp/zenith-gui-XXXXXX";
        ASSERT_NE(mkdtemp(sTemplate), nullptr);
        sFolder = sTemplate;
        std::filesystem::current_path(sFolder);

        // The procedures throttle keys by the clock and remember it between tests: every test
        // starts well after the last one.
        static int iClock = 1000000;
        iClock += 1000000;
        iTime = iClock;
        clear_keybuf();
        ReleaseKeys();

        game.pBitmaps = new cBitmapDatabase;
        game.pSounds = new cSoundDatabase;
        game.pMidis = new cMidiDatabase;
        for (int iId = 1; iId <= 5; ++iId) {
            cMidi* pPiece = new cMidi;
            pPiece->SetID(iId);
            game.pMidis->vMidis.push_back(pPiece);
        }
        game.pPlayer = new cPlayer;
        game.pGui = new cGuiSystem;
        ASSERT_TRUE(game.pGui->LoadElements(std::string(GAME_DATA_DIR) + "/gui.dat"));
        game.InitGame();
    }

    void TearDown() override {
        ReleaseKeys();
        if (!sFolder.empty()) {
            std::filesystem::current_path(sOldFolder);
            std::filesystem::remove_all(sFolder);
        }
    }

    static void ReleaseKeys() {
        for (int iKey : {KEY_UP, KEY_DOWN, KEY_ENTER, KEY_SPACE, KEY_ESC})
            key[iKey] = 0;
    }

    // The id of the music started last, or 0 when none plays.
    int Music() const { return game.pMidis->pCurrent ? game.pMidis->pCurrent->GetID() : 0; }

    // Lets iTicks hundredths of a second pass, holds the key and sends the window a key message.
    void Press(int iWindow, int iKey, int iTicks) {
        iTime += iTicks;
        key[iKey] = 1;
        game.pGui->SendMessage(iWindow, MSG_KEY, MsgArg(iKey << 8), nullptr);
        key[iKey] = 0;
    }

    // Writes a hall of fame with the given entries, in the shape the game saves.
    static void WriteHOF(const std::string& sEntries) {
        FILE* pFile = fopen("HallOfFame.xml", "w");
        fprintf(pFile, "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n%s</HallOfFame>\n",
                sEntries.c_str());
        fclose(pFile);
    }

    cGameInstance game;
    std::filesystem::path sOldFolder;
    std::string sFolder;
};
