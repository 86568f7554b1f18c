#include "core/cGameInstance.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <typeinfo>

#include "core/main.h"
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
#include "xml/cTag.h"
#include "xml/cXmlFile.h"

namespace {

// Whole seconds since iSince against the level's period: waves and monster steps come every 3 s
// at levels 1 and 2, every 2 s at 3 and 4, every second at 5 and 6.
bool PeriodOver(int iSince, int iLevel) {
    return (iTime - iSince) / 100 > 3.0 - 0.5 * iLevel;
}

// An attribute's value, empty when the tag lacks it.
std::string Attribute(const cTag* pTag, const std::string& sName) {
    const auto it = pTag->mAttributes.find(sName);
    return it == pTag->mAttributes.end() ? std::string() : it->second;
}

// The score as atoi reads it, except that a number too long for an int is clamped instead of
// overflowing.
int ScoreOf(const std::string& sText) {
    const long lScore = std::strtol(sText.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(lScore, INT_MIN, INT_MAX));
}

} // namespace

cGameInstance::cGameInstance()
    : SpawnPoints{{106, 50, 0}, {234, 50, 0}, {362, 50, 0}, {490, 50, 0}} {}

cGameInstance::~cGameInstance() {
    DeleteObjects();
    for (cGameObject* pObject : vNewObjects)
        delete pObject;
    delete pPlayer;
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

    iFieldWidth = iWidth;
    iFieldHeight = iHeight;
    if (!Screen.Open(iWidth, iHeight, iScale, bFullscreen)) {
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
        {WND_HOF, W / 2 - 150, H / 2 - 100, 300, 200, 255, 255, 255, HallOfFameProc},
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
    NewGame();
}

void cGameInstance::NewGame() {
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

    if (!GetObject(pPlayer->GetAvatarID())) {
        cPlayerShip* pShip = new cPlayerShip;
        pShip->SetBitmap(1);
        pShip->SetPosition(cVector(iFieldWidth / 2, iFieldHeight - 94, 0));
        SetPlayerAvatar(AddObject(pShip));
    }
    if (cPlayerShip* pShip = dynamic_cast<cPlayerShip*>(GetObject(pPlayer->GetAvatarID())))
        pShip->Reset();

    pGui->SetActiveWindows({WND_MAINMENU});
    // One playing step brings the ship in, clears out the old game and resets the panels.
    Play();
    Update();
    Pause();
    // That step pauses into the menu if it meets Escape held or a focus change from before (the
    // window's first focus sets one off): a game nobody has played is not there to resume.
    pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(0), MsgArg(0));
    CalcLevel();
}

void cGameInstance::GameOver() {
    Pause();
    pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(0), MsgArg(0));
    std::vector<int> vWindows = {WND_HOF};
    if (LoadHOF()) {
        vWindows = {WND_HOFENTER};
        pGui->SendMessage(WND_HOFENTER, MSG_SETDATA, MsgArg(1), MsgArg(0));
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
    cXmlFile file;
    file.Read(HOF.sFileName);
    const int iIndex = file.GetTagIndex("HallOfFame");
    std::vector<cHOFEntry> vRead;
    if (iIndex != -1) {
        for (const cTag* pChild : file.vTags[iIndex]->vChildren) {
            cHOFEntry entry;
            entry.sName = Attribute(pChild, "name");
            entry.iScore = ScoreOf(Attribute(pChild, "score"));
            vRead.push_back(entry);
        }
    }
    HOF.SetLoaded(std::move(vRead));
    return HOF.Qualifies(iCurrentScore);
}

void cGameInstance::Update() {
    pGui->Update();
    // A switch away counts only while playing; one made in a menu is forgotten.
    const bool bSwitchedAway = bFocusLost.exchange(false);
    if (!IsPlaying())
        return;

    if (key[KEY_ESC] || bSwitchedAway) {
        Pause();
        pGui->SetActiveWindows({WND_MAINMENU});
        pGui->SendMessage(WND_MAINMENU, MSG_SETDATA, MsgArg(1), MsgArg(0));
    }
    CalcLevel();
    pGui->SendMessage(WND_SCORE, MSG_SETDATA, MsgArg(GetScore()), MsgArg(GetLevel()));

    Purge();
    for (cGameObject* pObject : vNewObjects)
        Join(pObject);
    vNewObjects.clear();

    CalcLevel();
    if (PeriodOver(iLastWaveTime, iCurrentLevel)) {
        for (int i = 0; i < 4; ++i) {
            iLastWaveTime = iTime;
            AddMonster(i);
            ++iMonstersSpawned;
        }
        CalcLevel();
    }
    for (cGameObject* pObject : vObjects)
        pObject->Update(1, this);
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

// An idle menu composes the same frame at every step: the screen takes only what changed.
void cGameInstance::DoFrame() {
    clear_to_color(pBuffer, 0);
    for (cGameObject* pObject : vObjects)
        pObject->Draw(pBuffer, this);
    pGui->Draw(pBuffer);
    ShowFrame();
}

// The player meant the key for the view: the focus that the window loses while it is set up
// anew does not pause the game.
void cGameInstance::ToggleFullscreen() {
    if (!Screen.ToggleFullscreen()) {
        Shutdown();
        return;
    }
    bFocusLost = false;
    ShowFrame();
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
