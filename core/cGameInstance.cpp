#include "core/cGameInstance.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iostream>
#include <random>
#include <typeinfo>

#include "core/Clock.h"
#include "core/cInputReader.h"
#include "gui/EnergyBarProc.h"
#include "gui/HallOfFameEnterProc.h"
#include "gui/HallOfFameProc.h"
#include "gui/MainProc.h"
#include "gui/PowerupProc.h"
#include "gui/ScoreProc.h"
#include "gui/cGuiSystem.h"
#include "gui/cMenuWindow.h"
#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "objects/cMonster.h"
#include "objects/cPlayer.h"
#include "objects/cPlayerShip.h"

namespace {

// Whole seconds since iSince against the level's period: waves and monster steps come every 3 s
// at levels 1 and 2, every 2 s at 3 and 4, every second at 5 and 6.
bool PeriodOver(int iSince, int iLevel) {
    return (iTime - iSince) / 100 > 3.0 - 0.5 * iLevel;
}

} // namespace

cGameInstance::cGameInstance()
    : SpawnPoints{{106, 50, 0}, {234, 50, 0}, {362, 50, 0}, {490, 50, 0}} {}

cGameInstance::~cGameInstance() {
    DeleteObjects();
    for (cGameObject* pObject : vNewObjects)
        delete pObject;
    delete pPlayer;
    delete pInput;
    delete pBitmaps;
    if (pBuffer)
        destroy_bitmap(pBuffer);
    delete pGui;
    delete pSounds;
    delete pMidis;
    if (pSpriteData) {
        // The bitmap table has destroyed the pictures already; unloading frees the rest of the
        // file.
        for (DATAFILE* pObject = pSpriteData; pObject->type != DAT_END; ++pObject)
            pObject->dat = nullptr;
        unload_datafile(pSpriteData);
    }
}

int cGameInstance::InitSystem(int iWidth, int iHeight) {
    cScreen::NameWindow();
    // Without a display Allegro cannot start, and every later call of it would crash.
    if (allegro_init() != 0) {
        Shutdown();
        allegro_message("Could not set the graphics mode.");
        return 0;
    }
    set_window_title("Zenith Guard");
    install_keyboard();
    install_timer();
    install_mouse();
    // The music is played by Allegro's own synthesiser, which needs a sound card; a machine
    // without one starts silently instead of stopping the player at a message box.
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) != 0 &&
        install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) != 0)
        allegro_message("Error installing sound drivers.");
    pInput = new cInputReader(Settings.Bindings);

    iFieldWidth = iWidth;
    iFieldHeight = iHeight;
    if (!Screen.Open(iWidth, iHeight, iScale, Settings.iScale, bFullscreen)) {
        Shutdown();
        allegro_message("Could not set the graphics mode.");
        return 0;
    }
    iScale = Screen.iScale;
    srand(time(nullptr));
    pBuffer = create_bitmap(iWidth, iHeight);

    pBitmaps = new cBitmapDatabase;
    pPlayer = new cPlayer;
    pSounds = new cSoundDatabase;
    pMidis = new cMidiDatabase;

    pSpriteData = load_datafile("data/sprites.dat");
    if (!pSpriteData)
        return FailStartup("Datafile data/sprites.dat not found");
    pBitmaps->BuildBitmaps(pSpriteData);

    DATAFILE* pMidiData = load_datafile("data/midi.dat");
    if (!pMidiData)
        return FailStartup("Datafile data/midi.dat not found");
    pMidis->BuildMidis(pMidiData);

    DATAFILE* pSampleData = load_datafile("data/samples.dat");
    if (!pSampleData)
        return FailStartup("Datafile data/samples.dat not found");
    pSounds->BuildSounds(pSampleData);
    ApplyVolumes();

    pGui = new cGuiSystem;
    if (!pGui->LoadElements("data/gui.dat"))
        return FailStartup("Datafile data/gui.dat not found");
    return 1;
}

// Shows the message while the picture is still up, then leaves the graphics mode.
int cGameInstance::FailStartup(const char* sMessage) {
    allegro_message("%s", sMessage);
    set_gfx_mode(GFX_TEXT, 60, 80, 0, 0);
    Shutdown();
    return 0;
}

void cGameInstance::InitGame() {
    pGui->pGame = this;
    bRunning = true;

    struct cWindowRow {
        int iId;
        int iX, iY, iWidth, iHeight;
        int iRed, iGreen, iBlue;
        tWindowProc pProc;
    };
    const int W = iFieldWidth;
    const int H = iFieldHeight;
    const cWindowRow aWindows[] = {
        {WND_ENERGYBAR, 10, H - 20, 100, 20, 100, 0, 0, EnergyBarProc},
        {WND_SCORE, 10, 10, 110, 40, 100, 0, 0, ScoreProc},
        {WND_MAINMENU, W / 2 - 150, H / 2 - 100, 300, 100, 255, 255, 255, MainProc},
        {WND_HOF, W / 2 - 170, H / 2 - 100, 340, 200, 255, 255, 255, HallOfFameProc},
        {WND_HOFENTER, W / 2 - 200, H / 2 - 100, 400, 100, 255, 255, 255, HallOfFameEnterProc},
        {WND_POWERUP, W - 190, 10, 190, 40, 100, 0, 0, PowerupProc},
    };
    for (const cWindowRow& row : aWindows) {
        cMenuWindow* pWindow = new cMenuWindow;
        pWindow->SetId(row.iId);
        pWindow->SetPosition(cVector(row.iX, row.iY, 0));
        pWindow->SetSize(row.iWidth, row.iHeight);
        pWindow->SetBgColor(makecol(row.iRed, row.iGreen, row.iBlue));
        pWindow->pProc = row.pProc;
        pGui->AddWindow(pWindow);
    }
    pGui->SetActiveWindows({WND_MAINMENU});

    Rules.fShipSpeed = 5.0f;
    Rules.fFieldWidth = static_cast<float>(iFieldWidth);
    Rules.iFireDelay = 8;
    Rules.iBulletSpeed = 4;
    Rules.fRechargeRate = 1.0f;
    Rules.iEnergyPerLevel = 80;
    Rules.iShotCost = 20;
    Starfield.Build(iFieldWidth, iFieldHeight);
    NewGame();
}

void cGameInstance::NewGame() {
    bRecording = false;
    GameOverScene.Stop();
    iCurrentScore = 0;
    iMonstersSpawned = 0;
    iCurrentLevel = 0;
    iLastWaveTime = iTime;
    iLastMoveTime = iTime;

    for (cGameObject* pObject : vNewObjects)
        delete pObject;
    vNewObjects.clear();
    for (cGameObject* pObject : vObjects)
        if (!dynamic_cast<cPlayerShip*>(pObject))
            pObject->Delete();

    const cVector vShipStart(iFieldWidth / 2, iFieldHeight - 94, 0);
    if (!GetObject(pPlayer->GetAvatarID())) {
        cPlayerShip* pShip = new cPlayerShip;
        pShip->SetBitmap(1);
        pShip->SetPosition(vShipStart);
        SetPlayerAvatar(AddObject(pShip));
    }
    // Every game starts with the ship in the middle, not where the last one left it.
    if (cPlayerShip* pShip = dynamic_cast<cPlayerShip*>(GetObject(pPlayer->GetAvatarID()))) {
        pShip->Reset();
        pShip->SetPosition(vShipStart);
    }

    Banner.Hide();
    pGui->SetActiveWindows({WND_MAINMENU});
    // One playing step brings the ship in, clears out the old game and resets the panels. It runs
    // on what is held, as the step that asked for it: its keys and presses are that step's.
    cInputState held = Input;
    held.iTyped = 0;
    held.iPressed = 0;
    Play();
    Update(held);
    Pause();
    // That step pauses into the menu if it meets a focus change from before (the window's first
    // focus sets one off): a game nobody has played is not there to resume.
    pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(0), MsgArg(0));
    CalcLevel();
    bGameOpen = false;
    if (!Playback.Running())
        BeginRecording();
}

// The game's rand() starts from a seed of its own, so that the game can be played again; what the
// controller keeps from before the game counts from the game's start.
void cGameInstance::BeginRecording() {
    const unsigned iSeed = std::random_device()();
    srand(iSeed);
    Recording = cReplay();
    Recording.iSeed = iSeed;
    Recording.iEnergy = pPlayer->iEnergy;
    Recording.iLastFire = std::clamp(pPlayer->iLastFire - iTime, -cReplay::kMaxAdvance, 0);
    Recording.iLastTime = std::clamp(pPlayer->iLastTime - iTime, -cReplay::kMaxAdvance, 0);
    Recording.iMoveCount = iMoveCount;
    iLastRecorded = iTime;
    iLastInputTime = pPlayer->iLastTime;
    bRecording = true;
}

void cGameInstance::RecordStep(const cInputState& input, bool bPausing) {
    const unsigned iInput =
        (input.Held(kLeft) ? cReplay::kLeft : 0) | (input.Held(kRight) ? cReplay::kRight : 0) |
        (input.Held(kFire) ? cReplay::kFire : 0) | (bPausing ? cReplay::kPause : 0);
    const int iGap = pPlayer->iLastTime != iLastInputTime ? iTime - pPlayer->iLastTime : -1;
    Recording.AddStep(iTime - iLastRecorded, iInput, iGap);
    iLastRecorded = iTime;
    iLastInputTime = iTime;
}

// Several monsters may end the game in one step: the ship bursts once. The score panel alone
// stays, with the points of this last step too.
void cGameInstance::GameOver() {
    Pause();
    bRecording = false;
    bGameOpen = false;
    pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(0), MsgArg(0));
    if (GameOverScene.Running())
        return;
    pGui->SendMessage(WND_SCORE, MSG_SETDATA, MsgArg(GetScore()), MsgArg(GetLevel()));
    pGui->SetActiveWindows({WND_SCORE});
    Banner.Hide();
    GameOverScene.Start(this);
    // Should the game be closed before the name entry comes, the score goes in under the default
    // name if it earns a place.
    HOF.AwaitName(GetScore());
}

void cGameInstance::ShowHallOfFame() {
    Recording.iScore = GetScore();
    Recording.iLevel = GetLevel();
    HOF.OfferReplay(Recording.iScore, Recording.Text());
    std::vector<int> vWindows = {WND_HOF, WND_SCORE};
    if (LoadHOF()) {
        vWindows = {WND_HOFENTER, WND_SCORE};
        pGui->SendMessage(WND_HOFENTER, MSG_SETDATA, MsgArg(1), MsgArg(0));
    } else {
        HOF.DeclineName();
    }
    pGui->SetActiveWindows(vWindows);
}

void cGameInstance::CalcLevel() {
    const int aLevelStarts[] = {40, 100, 300, 500, 1000};
    iCurrentLevel = 1;
    for (int iStart : aLevelStarts)
        if (iMonstersSpawned >= iStart)
            ++iCurrentLevel;
}

void cGameInstance::AddMonster(int iSpawnPoint) {
    cMonster* pMonster = new cMonster;
    pMonster->SetPosition(SpawnPoints[iSpawnPoint]);
    // One monster in four, on average, has the second look.
    pMonster->SetBitmap(rand() % 200 < 50 ? 9 : 3);
    AddObject(pMonster);
}

void cGameInstance::SetPlayerAvatar(int iId) {
    pPlayer->SetAvatarID(iId);
}

int cGameInstance::NumMonsters() const {
    const auto it = mClasses.find(typeid(cMonster));
    return it == mClasses.end() ? 0 : static_cast<int>(it->second.size());
}

int cGameInstance::DoMove() {
    if (!PeriodOver(iLastMoveTime, iCurrentLevel))
        return 0;
    // Every monster is granted one step per period; the period closes once all have had theirs.
    if (++iMoveCount >= NumMonsters()) {
        iLastMoveTime = iTime;
        iMoveCount = 0;
    }
    return iCurrentLevel + 60;
}

bool cGameInstance::LoadHOF() {
    return HOF.Load(iCurrentScore);
}

void cGameInstance::Update() {
    RunStep(pInput->Read(iTime));
}

void cGameInstance::RunStep(const cInputState& input) {
    if (Playback.Running())
        Playback.Step(this, input);
    else
        Update(input);
}

// The input is taken by value: a new game started in this step runs a step of its own.
void cGameInstance::Update(cInputState input) {
    Input = input;
    if (!Playback.Running())
        AttractDemo.Step(this, input);
    // The key that resumes a game in the menu is pressed in this step too: it must not pause the
    // game again at once.
    const bool bWasPlaying = IsPlaying();
    pGui->Update(input);
    // M types a letter in the name entry.
    const std::vector<int>& vActive = pGui->vActive;
    if (input.Pressed(kMute) &&
        std::find(vActive.begin(), vActive.end(), WND_HOFENTER) == vActive.end())
        ToggleMusic();
    // A replay's game ends in its moment, without a hall of fame.
    if (GameOverScene.Step(this) && !Playback.Running())
        ShowHallOfFame();
    if (!IsPlaying())
        return;

    // A switch away counts only while playing; one made in a menu is forgotten. Escape and P pause
    // as they go down: held on from the menu, or repeating, they do not. A replay pauses where its
    // game did, for that step, and goes on.
    const bool bPausing =
        (bWasPlaying && (input.Pressed(kBack) || input.Pressed(kPause))) || input.bFocusLost;
    if (bRecording)
        RecordStep(input, bPausing);
    if (!Playback.Running())
        bGameOpen = true;
    if (bPausing) {
        Pause();
        if (!Playback.Running()) {
            pGui->SetActiveWindows({WND_MAINMENU});
            pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(1), MsgArg(0));
        }
    }
    CalcLevel();
    pGui->SendMessage(WND_SCORE, MSG_SETDATA, MsgArg(GetScore()), MsgArg(GetLevel()));

    Purge();
    for (cGameObject* pObject : vNewObjects)
        Join(pObject);
    vNewObjects.clear();

    CalcLevel();
    if (PeriodOver(iLastWaveTime, iCurrentLevel)) {
        const int iLevelBefore = iCurrentLevel;
        for (int i = 0; i < 4; ++i) {
            iLastWaveTime = iTime;
            AddMonster(i);
            ++iMonstersSpawned;
        }
        CalcLevel();
        if (iCurrentLevel > iLevelBefore)
            Banner.Show("Level " + std::to_string(iCurrentLevel), iTime);
    }
    for (cGameObject* pObject : vObjects)
        pObject->Update(1, this);
}

void cGameInstance::ApplyVolumes() {
    set_volume(-1, Settings.bMusicMuted ? 0 : cSettings::Volume(Settings.iMusicVolume));
    pSounds->iVolume = cSettings::Volume(Settings.iEffectsVolume);
}

void cGameInstance::ToggleMusic() {
    Settings.bMusicMuted = !Settings.bMusicMuted;
    ApplyVolumes();
    Settings.Save(std::cerr);
}

void cGameInstance::DoInput() {
    if (cGameObject* pAvatar = GetObject(pPlayer->GetAvatarID()))
        pPlayer->DoInput(pAvatar, &Rules, this);
}

void cGameInstance::Purge() {
    const auto bDeleted = [](const cGameObject* pObject) { return pObject->IsDeleted(); };
    for (auto& [type, vList] : mClasses)
        vList.erase(std::remove_if(vList.begin(), vList.end(), bDeleted), vList.end());
    auto itKept = std::stable_partition(vObjects.begin(), vObjects.end(), std::not_fn(bDeleted));
    for (auto it = itKept; it != vObjects.end(); ++it)
        delete *it;
    vObjects.erase(itKept, vObjects.end());
}

// An idle menu composes the same frame at every step, the stars standing still: it is not sent to
// the screen again.
void cGameInstance::DoFrame() {
    clear_to_color(pBuffer, 0);
    const int iNow = iTime;
    Starfield.Draw(pBuffer, iNow, IsPlaying());
    for (cGameObject* pObject : vObjects)
        pObject->Draw(pBuffer, this);
    GameOverScene.Draw(pBuffer, this);
    Banner.Draw(pBuffer, iFieldHeight * 3 / 8, iNow);
    pGui->Draw(pBuffer);
    ShowFrame();
}

// The player meant the key for the view: the focus that the window loses while it is set up
// anew does not pause the game. The next start opens the same view.
void cGameInstance::ToggleFullscreen() {
    if (!Screen.ToggleFullscreen()) {
        Shutdown();
        return;
    }
    bFocusLost = false;
    ShowFrame();
    Settings.bFullscreen = Screen.IsFullscreen();
    Settings.Save(std::cerr);
}

void cGameInstance::DeleteObjects() {
    for (cGameObject* pObject : vObjects)
        delete pObject;
    vObjects.clear();
    mClasses.clear();
}

int cGameInstance::AddObject(cGameObject* pObject) {
    pObject->SetId(iNextId++);
    vNewObjects.push_back(pObject);
    return pObject->Id();
}

void cGameInstance::Join(cGameObject* pObject) {
    vObjects.push_back(pObject);
    mClasses[typeid(*pObject)].push_back(pObject);
}

cGameObject* cGameInstance::GetObject(int iId) const {
    for (cGameObject* pObject : vObjects)
        if (pObject->Id() == iId)
            return pObject;
    return nullptr;
}

cGameObject* cGameInstance::DoCollide(cGameObject* pObject, std::string sClass) {
    if (!pObject)
        return nullptr;
    for (const auto& [type, vList] : mClasses) {
        if (sClass != type.name())
            continue;
        for (cGameObject* pListed : vList)
            if (pListed->Collides(pObject, this))
                return pListed;
        break;
    }
    return nullptr;
}

int cGameInstance::GetLevel() {
    CalcLevel();
    return iCurrentLevel;
}
