#include "objects_fixture.h"

#include "core/main.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "objects/cPlayer.h"

std::vector<int> cObjectsTest::vSounds;
int cObjectsTest::iEnergySent = -1;
int cObjectsTest::iCapSent = -1;

namespace {

// There is no sound card: a stand-in for Allegro's driver notes the sample of each voice started,
// and the sample tells the id.
SAMPLE* aSamples[3];
DIGI_DRIVER recorder;
DIGI_DRIVER* pRealDriver = nullptr;

void RecordVoice(int, const SAMPLE* pSample) {
    for (int i = 0; i < 3; ++i)
        if (aSamples[i] == pSample)
            cObjectsTest::vSounds.push_back(i);
}

int RecordEnergyProc(cMenuWindow&, int iMsg, void* a, void* b) {
    if (iMsg == MSG_SETDATA) {
        cObjectsTest::iEnergySent = MsgInt(a);
        cObjectsTest::iCapSent = MsgInt(b);
    }
    return 0;
}

} // namespace

void cObjectsTest::SetUp() {
    cAllegroTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    iTime = 10000;
    game.pSpriteData = load_datafile(GAME_DATA_DIR "/sprites.dat");
    ASSERT_NE(game.pSpriteData, nullptr);
    game.pBitmaps = new cBitmapDatabase;
    game.pBitmaps->BuildBitmaps(game.pSpriteData);
    for (int iId : {1, 2, 3, 4, 5, 9, 10, 11})
        ASSERT_NE(Sprite(iId), nullptr) << "sprite " << iId;
    game.pSounds = new cSoundDatabase;
    for (int i = 0; i < 3; ++i) {
        game.pSounds->vSounds.push_back(new cSound);
        game.pSounds->vSounds[i]->SetSample(aSamples[i] = create_sample(8, 0, 11025, 16));
        game.pSounds->vSounds[i]->SetID(i);
    }
    pRealDriver = digi_driver;
    recorder = *digi_driver;
    recorder.voices = 8;
    recorder.init_voice = RecordVoice;
    digi_driver = &recorder;
    game.pMidis = new cMidiDatabase;
    game.pGui = new cGuiSystem;
    game.pGui->pGame = &game;
    cMenuWindow* pEnergyBar = new cMenuWindow;
    pEnergyBar->SetId(WND_ENERGYBAR);
    pEnergyBar->pProc = RecordEnergyProc;
    game.pGui->AddWindow(pEnergyBar);
    game.pPlayer = new cPlayer;
    game.Rules = {5.0f, 640.0f, 8, 4, 1.0f, 80, 20};
    game.iLastWaveTime = game.iLastMoveTime = iTime;
    game.Play();
}

void cObjectsTest::TearDown() {
    key[KEY_LEFT] = key[KEY_RIGHT] = key[KEY_SPACE] = 0;
    if (!pRealDriver)
        return;
    for (SAMPLE* pSample : aSamples) {
        stop_sample(pSample);
        destroy_sample(pSample);
    }
    digi_driver = pRealDriver;
}

void cObjectsTest::AddShip() {
    pShip = Join(new cPlayerShip, 320, 386);
    pShip->SetBitmap(1);
    game.pPlayer->SetAvatarID(pShip->Id());
}

void cObjectsTest::Input(int iTicks) {
    iTime += iTicks;
    game.pPlayer->DoInput(pShip, &game.Rules, &game);
}

void cObjectsTest::SetLevel(int iLevel) {
    const int aFirstMonster[] = {0, 40, 100, 300, 500, 1000};
    game.iMonstersSpawned = aFirstMonster[iLevel - 1];
    game.CalcLevel();
}

BITMAP* cObjectsTest::Sprite(int iId) const {
    return game.pBitmaps->GetBitmap(iId);
}

bool cObjectsTest::GameIsOver() const {
    const std::vector<int>& vActive = game.pGui->vActive;
    return !game.IsPlaying() && vActive.size() == 1 &&
           (vActive[0] == WND_HOF || vActive[0] == WND_HOFENTER);
}
