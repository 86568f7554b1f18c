#include "core/Startup.h"

#include <allegro.h>
#include <cstdlib>
#include <ctime>

#include "core/Volumes.h"
#include "core/cGameInstance.h"
#include "core/cInputReader.h"
#include "gui/cGuiSystem.h"
#include "media/cBitmapDatabase.h"
#include "media/cMidiDatabase.h"
#include "media/cSoundDatabase.h"
#include "objects/cPlayer.h"

namespace {

// Shows the message while the picture is still up, then leaves the graphics mode.
int FailStartup(cGameInstance& game, const char* sMessage) {
    allegro_message("%s", sMessage);
    set_gfx_mode(GFX_TEXT, 60, 80, 0, 0);
    game.Shutdown();
    return 0;
}

} // namespace

int StartSystem(cGameInstance& game, int iWidth, int iHeight) {
    cScreen::NameWindow();
    // Without a display Allegro cannot start, and every later call of it would crash.
    if (allegro_init() != 0) {
        game.Shutdown();
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
    game.pInput = new cInputReader(game.Settings.Bindings);

    game.iFieldWidth = iWidth;
    game.iFieldHeight = iHeight;
    if (!game.Screen.Open(iWidth, iHeight, game.iScale, game.Settings.iScale, game.bFullscreen)) {
        game.Shutdown();
        allegro_message("Could not set the graphics mode.");
        return 0;
    }
    game.iScale = game.Screen.iScale;
    srand(time(nullptr));
    game.pBuffer = create_bitmap(iWidth, iHeight);

    game.pBitmaps = new cBitmapDatabase;
    game.pPlayer = new cPlayer;
    game.pSounds = new cSoundDatabase;
    game.pMidis = new cMidiDatabase;

    game.pSpriteData = load_datafile("data/sprites.dat");
    if (!game.pSpriteData)
        return FailStartup(game, "Datafile data/sprites.dat not found");
    game.pBitmaps->BuildBitmaps(game.pSpriteData);

    DATAFILE* pMidiData = load_datafile("data/midi.dat");
    if (!pMidiData)
        return FailStartup(game, "Datafile data/midi.dat not found");
    game.pMidis->BuildMidis(pMidiData);

    DATAFILE* pSampleData = load_datafile("data/samples.dat");
    if (!pSampleData)
        return FailStartup(game, "Datafile data/samples.dat not found");
    game.pSounds->BuildSounds(pSampleData);
    ApplyVolumes(game);

    game.pGui = new cGuiSystem;
    if (!game.pGui->LoadElements("data/gui.dat"))
        return FailStartup(game, "Datafile data/gui.dat not found");
    return 1;
}

void ReleaseSystem(cGameInstance& game) {
    delete game.pPlayer;
    delete game.pInput;
    delete game.pBitmaps;
    if (game.pBuffer)
        destroy_bitmap(game.pBuffer);
    delete game.pGui;
    delete game.pSounds;
    delete game.pMidis;
    if (game.pSpriteData) {
        // The bitmap table has destroyed the pictures already; unloading frees the rest of the
        // file.
        for (DATAFILE* pObject = game.pSpriteData; pObject->type != DAT_END; ++pObject)
            pObject->dat = nullptr;
        unload_datafile(game.pSpriteData);
    }
}
