#pragma once

#include <allegro.h>

class cBitmapDatabase;
class cGuiSystem;
class cMidiDatabase;
class cSoundDatabase;

// The one game: owns the screen buffer, the media tables and the window system, and runs the logic
// step and the frame of the main loop.
class cGameInstance {
public:
    cGameInstance() = default;
    ~cGameInstance();
    cGameInstance(const cGameInstance&) = delete;
    cGameInstance& operator=(const cGameInstance&) = delete;

    // Starts Allegro at the given screen size and loads the data files: 1 on success, 0 after a
    // failure that has been shown to the player.
    int InitSystem(int iWidth, int iHeight);
    void InitGame();

    void Update();
    void DoInput();
    void DoFrame();

    bool IsPlaying() const { return bPlaying; }
    bool Running() const { return bRunning; }
    void Play() { bPlaying = true; }
    void Pause() { bPlaying = false; }
    void Shutdown() { bRunning = false; }

    DATAFILE* pSpriteData = nullptr;
    BITMAP* pBuffer = nullptr;
    bool bPlaying = false;
    bool bRunning = false;
    cGuiSystem* pGui = nullptr;
    cBitmapDatabase* pBitmaps = nullptr;
    cSoundDatabase* pSounds = nullptr;
    cMidiDatabase* pMidis = nullptr;

private:
    int FailStartup(const char* sMessage);
};
