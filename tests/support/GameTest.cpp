#include "support/GameTest.h"

#include <cstdio>
#include <filesystem>

#include "core/cInputReader.h"
#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "objects/cPlayer.h"

std::vector<int> cGameTest::vSounds;
std::map<int, std::pair<int, int>> cGameTest::mSent;

namespace {

// There is no sound card: a stand-in driver notes the id of each sample started.
DIGI_DRIVER recorder;
DIGI_DRIVER* pRealDriver = nullptr;
cGameInstance* pRecorded = nullptr;

void RecordVoice(int, const SAMPLE* pSample) {
    for (const cSound* pSound : pRecorded->pSounds->vSounds)
        if (pSound->pSample == pSample)
            cGameTest::vSounds.push_back(pSound->GetID());
}

// A sample set to loop would never stop: it is noted as an extra sound of id -1.
void RecordPlaymode(int, int iPlaymode) {
    if (iPlaymode & PLAYMODE_LOOP)
        cGameTest::vSounds.push_back(-1);
}

tWindowProc aProcs[6];

int RecordProc(cMenuWindow& window, int iMsg, void* a, void* b) {
    if (iMsg == MSG_SETDATA)
        cGameTest::mSent[window.Id()] = {MsgInt(a), MsgInt(b)};
    return aProcs[window.Id()](window, iMsg, a, b);
}

} // namespace

// The game starts Allegro itself, in the scratch folder.
void cGameTest::SetUp() {
    ASSERT_TRUE(StartDisplay());
    std::filesystem::create_directory_symlink(GAME_DATA_DIR, "data");
    // The procedures throttle keys by the clock: every test starts well after the last key.
    iTime = iTime + 1000000;
    allegro_exit();
    ASSERT_EQ(game.InitSystem(640, 480), 1);
    vSounds.clear();
    mSent.clear();
    pRecorded = &game;
    pRealDriver = digi_driver;
    recorder = *digi_driver;
    recorder.voices = 8;
    recorder.init_voice = RecordVoice;
    recorder.loop_voice = RecordPlaymode;
    digi_driver = &recorder;
    game.InitGame();
    for (cMenuWindow* pWindow : game.pGui->vWindows) {
        aProcs[pWindow->Id()] = pWindow->pProc;
        pWindow->pProc = RecordProc;
    }
    pShip = dynamic_cast<cPlayerShip*>(game.GetObject(game.pPlayer->GetAvatarID()));
    ASSERT_NE(pShip, nullptr);
}

void cGameTest::TearDown() {
    for (int iKey : {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_ENTER, KEY_SPACE, KEY_ESC})
        key[iKey] = 0;
    if (pRealDriver)
        digi_driver = pRealDriver;
}

int cGameTest::Music() const {
    return game.pMidis->pCurrent ? game.pMidis->pCurrent->GetID() : 0;
}

void cGameTest::Press(int iWindow, int iKey, int iTicks) {
    iTime += iTicks;
    key[iKey] = 1;
    game.pGui->SendMessage(iWindow, MSG_KEY, MsgArg(iKey << 8), nullptr);
    key[iKey] = 0;
}

void cGameTest::Type(int iWindow, const std::string& sText, int iScanCode) {
    for (const unsigned char c : sText) {
        const int iKey = c == '\b'   ? KEY_BACKSPACE
                         : c == '\r' ? KEY_ENTER
                         : c == 27   ? KEY_ESC
                         : c == ' '  ? KEY_SPACE
                                     : iScanCode;
        game.pGui->SendMessage(iWindow, MSG_KEY, MsgArg(iKey << 8 | c), nullptr);
    }
}

std::string cGameTest::Entries(int iCount, int iFirst, int iStep, const std::string& sPrefix) {
    std::string sEntries;
    for (int i = 0; i < iCount; ++i)
        sEntries += " <entry name = \"" + sPrefix + std::to_string(i) + "\" score = \"" +
                    std::to_string(iFirst + i * iStep) + "\" />\n";
    return sEntries;
}

void cGameTest::WriteHOF(const std::string& sEntries) {
    FILE* pFile = fopen("HallOfFame.xml", "w");
    fprintf(pFile, "<?xml version = \"1.0\"?>\n\n<HallOfFame >\n%s</HallOfFame>\n",
            sEntries.c_str());
    fclose(pFile);
}

void cGameTest::Input(int iTicks) {
    iTime += iTicks;
    game.Input = game.pInput->Read(iTime);
    game.pPlayer->DoInput(pShip, &game.Rules, &game);
}

void cGameTest::SetLevel(int iLevel) {
    const int aFirstMonster[] = {0, 40, 100, 300, 500, 1000};
    game.iMonstersSpawned = aFirstMonster[iLevel - 1];
    game.CalcLevel();
}

bool cGameTest::GameIsOver() {
    const bool bOver = !game.IsPlaying() && game.GameOverScene.Running();
    game.GameOverScene.Stop();
    return bOver;
}
