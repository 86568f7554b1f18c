#include "core/cGameInstance.h"

#include <cstdlib>
#include <ctime>

#include "gui/cGuiSystem.h"
#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"

cGameInstance::~cGameInstance() {
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
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) != 0)
        allegro_message("Error installing sound drivers.");

    set_color_depth(16);
    if (set_gfx_mode(GFX_AUTODETECT, iWidth, iHeight, 0, 0) != 0) {
        Shutdown();
        allegro_message("Could not set the graphics mode.");
        return 0;
    }
    srand(time(nullptr));
    pBuffer = create_bitmap(SCREEN_W, SCREEN_H);

    pBitmaps = new cBitmapDatabase;
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
}

void cGameInstance::Update() {
    if (!IsPlaying())
        return;
}

void cGameInstance::DoInput() {}

void cGameInstance::DoFrame() {
    clear_to_color(pBuffer, 0);
    draw_sprite(screen, pBuffer, 0, 0);
}
