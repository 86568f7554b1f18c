#pragma once

#include <allegro.h>
#include <string>
#include <vector>

#include "core/Startup.h"
#include "core/cAttractDemo.h"
#include "core/cBanner.h"
#include "core/cGameOverScene.h"
#include "core/cGameRules.h"
#include "core/cHOF.h"
#include "core/cObjectList.h"
#include "core/cPlayback.h"
#include "core/cRecorder.h"
#include "core/cReplay.h"
#include "core/cScreen.h"
#include "core/cSettings.h"
#include "gui/WindowIds.h"
#include "gui/cInputState.h"
#include "objects/cStarfield.h"
#include "objects/vector.h"

class cBitmapDatabase;
class cGameObject;
class cGuiSystem;
class cInputReader;
class cMidiDatabase;
class cPlayer;
class cSoundDatabase;

// The one game: owns the objects in play, the screen buffer, the media tables and the window
// system, and runs the logic step and the frame of the main loop.
class cGameInstance {
public:
    cGameInstance();
    ~cGameInstance();
    cGameInstance(const cGameInstance&) = delete;
    cGameInstance& operator=(const cGameInstance&) = delete;

    // Starts Allegro at the given screen size and loads the data files: 1 on success, 0 after a
    // failure that has been shown to the player.
    int InitSystem(int iWidth, int iHeight) { return StartSystem(*this, iWidth, iHeight); }
    // Builds the windows, sets the rules and prepares a first game, paused, under the main menu.
    void InitGame();

    void NewGame();
    // Ends the game: it pauses, and after the ship's burst the hall of fame comes.
    void GameOver();
    void CalcLevel();
    void AddMonster(int iSpawnPoint);
    void SetPlayerAvatar(int iId);
    int NumMonsters() const;
    // The downward step granted to the monster asking now: 0, or 60 plus the level.
    int DoMove();
    // Reloads the hall of fame; true when the current score earns a place in it.
    bool LoadHOF() { return HOF.Load(iCurrentScore); }

    // One logic step of the main loop on the input read from the keyboard and the pad, or on the
    // given input: a step of the replay while one plays, else Update(input). Update(input) is one
    // logic step of play on the given input. DoInput is the player's input step of it, on the same
    // input; DoFrame draws one frame.
    void Update();
    void RunStep(const cInputState& input);
    void Update(cInputState input);
    void DoInput();
    void DoFrame();
    // Shows the finished frame in pBuffer on the screen.
    void ShowFrame() { Screen.Show(pBuffer); }
    // Whether a frame is to be drawn after iSteps more logic steps.
    bool FrameDue(int iSteps) { return Screen.FrameDue(iSteps); }
    void DeleteObjects() { Objects.DeleteAll(); }

    // The object joins the game at the next playing step; returns the id it was given.
    int AddObject(cGameObject* pObject) { return Objects.Add(pObject); }
    // Puts an object in play: at the end of vObjects and of its class's list.
    void Join(cGameObject* pObject) { Objects.Join(pObject); }
    cGameObject* GetObject(int iId) const { return Objects.Get(iId); }
    // The first object in play of exactly the named class that pObject collides with, or null.
    cGameObject* DoCollide(cGameObject* pObject, std::string sClass) {
        return Objects.Collide(pObject, sClass, this);
    }

    int GetLevel();
    int GetScore() const { return iCurrentScore; }
    bool IsPlaying() const { return bPlaying; }
    bool Running() const { return bRunning; }
    void Play() { bPlaying = true; }
    void Pause() { bPlaying = false; }
    void Shutdown() { bRunning = false; }
    // A monster destroyed: scores the current level.
    void Kill() { iCurrentScore += iCurrentLevel; }

    // The objects in play, those waiting to join and the next id, under the names the game uses.
    cObjectList Objects;
    std::vector<cGameObject*>& vObjects = Objects.vObjects;
    std::vector<cGameObject*>& vNewObjects = Objects.vNewObjects;
    DATAFILE* pSpriteData = nullptr;
    cGameRules Rules;
    int& iNextId = Objects.iNextId;
    BITMAP* pBuffer = nullptr;
    // The play field, in game pixels: its geometry stays that of the size the game was started at,
    // however large the window shows it.
    int iFieldWidth = 640;
    int iFieldHeight = 480;
    // Screen pixels per game pixel in the window, each way: as asked before InitSystem, which
    // chooses when it is 0, and as chosen after it. The view to start in.
    int iScale = 1;
    bool bFullscreen = false;
    cScreen Screen;
    int iLastMoveTime = 0;
    int iLastWaveTime = 0;
    int iCurrentLevel = 1;
    int iMonstersSpawned = 0;
    int iMoveCount = 0;
    int iCurrentScore = 0;
    bool bPlaying = false;
    bool bRunning = false;
    cVector SpawnPoints[4];
    cGuiSystem* pGui = nullptr;
    cBitmapDatabase* pBitmaps = nullptr;
    cSoundDatabase* pSounds = nullptr;
    cMidiDatabase* pMidis = nullptr;
    cPlayer* pPlayer = nullptr;
    cHOF HOF;
    // Drawn behind the objects in every frame.
    cStarfield Starfield;
    // Tells of a level reached or a power-up taken, over the objects and under the windows.
    cBanner Banner;
    // Runs from the end of a game until the hall of fame comes.
    cGameOverScene GameOverScene;
    // The player's settings, read before InitSystem; saved where they change.
    cSettings Settings;
    // Reads the keyboard and the pad once a logic step, through the bindings of the settings.
    cInputReader* pInput = nullptr;
    // The input of the current logic step, which all of its parts read.
    cInputState Input;
    // The game being played, as it is played, and the replay it makes.
    cRecorder Recorder;
    cReplay& Recording = Recorder.Replay;
    // A game has been played since the last NewGame and has not ended: it may be paused in the
    // menu. Replays wait until it is over.
    bool bGameOpen = false;
    // Plays replays, in place of the steps of play while it runs.
    cPlayback Playback;
    // Starts a replay when the first menu has stood idle long enough.
    cAttractDemo AttractDemo;
};
