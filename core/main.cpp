#include "core/main.h"

#include <allegro.h>
#include <cstdlib>
#include <iostream>

#include "core/Credits.h"
#include "core/cCloseRequests.h"
#include "core/cGameInstance.h"

int GameMain(int iScale, const cReplay* pReplay, const std::string& sReplayFile) {
    cGameInstance game;
    game.iScale = iScale;
    game.Settings.Load(cSettings::DefaultFile(), std::cerr);
    game.bFullscreen = game.Settings.bFullscreen;
    if (!game.InitSystem(640, 480))
        return EXIT_FAILURE;

    PrepareWakeUps();
    set_close_button_callback(CloseButton);
    const cCloseRequests closeRequests(&game.HOF);
    set_display_switch_callback(SWITCH_OUT, FocusLost);
    keyboard_lowlevel_callback = ScreenKeyEvent;
    keyboard_callback = ScreenKeyFilter;
    install_int_ex(fpsCounter, BPS_TO_TIMER(100));
    install_int_ex(GameTimer, BPS_TO_TIMER(kLogicRate));
    game.InitGame();
    if (pReplay)
        game.Playback.Start(*pReplay, cPlayback::kToExit);
    else
        Intro(&game);

    while (game.Running() && !bCloseRequested) {
        TakeToggle(&game);
        RunPass(game);
    }

    // However the game ends, nothing entered is lost: a name being typed goes in as it stands.
    std::string sWhy;
    const bool bSaved = game.HOF.SaveBeforeExit(sWhy);
    if (!bSaved)
        std::cerr << "zenith-guard: the hall of fame was not saved: " << sWhy << '\n';
    // A closed window ends the program at once; a quit from the menu rolls the credits first.
    if (gfx_driver && !bCloseRequested && !pReplay)
        Credits(&game);
    if (!bSaved)
        return EXIT_FAILURE;
    // A replay that went another way than its game tells that the game's logic has changed.
    const cPlayback& playback = game.Playback;
    if (pReplay && !playback.Running() && !playback.bInterrupted && !playback.bFaithful) {
        std::cerr << "zenith-guard: " << sReplayFile << ": the replay went another way than its "
                  << "game: score " << game.GetScore() << ", level " << game.GetLevel() << " after "
                  << playback.iStepsRun << " steps, not " << pReplay->iScore << ", "
                  << pReplay->iLevel << " after " << pReplay->Steps() << '\n';
        return EXIT_FAILURE;
    }
    return cCloseRequests::Signal() ? 128 + cCloseRequests::Signal() : EXIT_SUCCESS;
}
